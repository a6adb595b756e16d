#include "keys/key_picture_buttons.h"
#include "keys/window_log.h"

#include <QPushButton>
#include <QWidget>

const char* const KeyPictureButtons::NormalStyle =
    "QPushButton{background-color: rgba(125, 125, 125, 5);border-radius:10px;color:#FFFFFF;}";
const char* const KeyPictureButtons::SelectedStyle =
    "QPushButton{background-color: rgba(125, 125, 125, 5);border-radius:10px;color:#FFFFFF;border:4px solid "
    "#e1e100;}";

KeyPictureButtons::KeyPictureButtons(QWidget* root)
{
    for (int id = 1; id <= kCount; ++id) {
        const QString name = QStringLiteral("pushButton_K%1").arg(id);
        buttons_[id] = root->findChild<QPushButton*>(name);
        if (!buttons_[id])
            qCWarning(lcUi) << "Button not found:" << name;
    }
}

QPushButton* KeyPictureButtons::button(int id) const
{
    return (id >= 1 && id <= kCount) ? buttons_[id] : nullptr;
}

void KeyPictureButtons::setText(int id, const QString& text)
{
    if (QPushButton* b = button(id))
        b->setText(text);
}

QString KeyPictureButtons::text(int id) const
{
    QPushButton* b = button(id);
    return b ? b->text() : QString();
}

void KeyPictureButtons::resetHighlights()
{
    for (int id = 1; id <= kSelectable; ++id)
        if (QPushButton* b = buttons_[id])
            b->setStyleSheet(NormalStyle);
}

void KeyPictureButtons::highlight(int id)
{
    if (id >= 1 && id <= kSelectable)
        if (QPushButton* b = buttons_[id])
            b->setStyleSheet(SelectedStyle);
}

void KeyPictureButtons::highlightKey(int id, bool lightingPageInFront)
{
    if (lightingPageInFront)
        return;
    if (id == 0xFF) {
        resetHighlights();
    } else if (id >= 1 && id <= kSelectable) {
        resetHighlights();
        highlight(id);
    }
}
