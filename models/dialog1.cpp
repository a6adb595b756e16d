#include "models/dialog1.h"

#include "models/layout_table.h"
#include "models/picture_cache.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDebug>
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {
const QString kTitleStyle = QStringLiteral(
    "QPushButton{background-color: rgb(125, 125, 125);border-radius:10px;color:#ffffff;}");
const QString kModelButtonStyle = QStringLiteral(
    "QPushButton{background-color: rgba(125, 125, 125, 5);border-radius:10px;color:#FFFFFF;}");
}  // namespace

Dialog1::Dialog1(QWidget* parent) : QDialog(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("Dialog1"));
    setEnabled(true);
    resize(1301, 577);
    setStyleSheet(QStringLiteral("background-color: rgb(172, 172, 172);"));

    m_title = new QPushButton(this);
    m_title->setObjectName(QStringLiteral("pushButton"));
    QFont font;
    font.setFamily(QStringLiteral("Arial"));
    font.setPointSize(12);
    m_title->setFont(font);

    // Pictures first so that every click target lies above its picture.
    const PickerModel* models = ModelCatalogue::pickerModels();
    for (int i = 0; i < ModelCatalogue::kPickerCount; ++i) {
        m_pictures[static_cast<size_t>(i)] = new QLabel(this);
        m_pictures[static_cast<size_t>(i)]->setObjectName(QString::fromLatin1(models[i].label));
        auto* name = new QLabel(this);
        name->setObjectName(QString::fromLatin1(models[i].label) + QStringLiteral("_name"));
        name->setAlignment(Qt::AlignCenter);
        const int keys = models[i].value & 0xFF;
        const int knobs = models[i].value >> 8;
        name->setText(knobs == 0 ? QStringLiteral("%1 键  /  %1 keys").arg(keys)
                                 : QStringLiteral("%1 键 + %2 旋钮  /  %1 keys + %2 knob%3")
                                       .arg(keys)
                                       .arg(knobs)
                                       .arg(knobs == 1 ? "" : "s"));
        m_names[static_cast<size_t>(i)] = name;
    }
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    for (int i = 0; i < ModelCatalogue::kPickerCount; ++i) {
        auto* button = new QPushButton(this);
        button->setObjectName(QString::fromLatin1(models[i].button));
        m_buttons[static_cast<size_t>(i)] = button;
        m_group->addButton(button, models[i].groupId);
    }
#if QT_VERSION >= QT_VERSION_CHECK(5, 15, 0)
    connect(m_group, &QButtonGroup::idClicked, this, &Dialog1::on_changeButtonGroup);
#else
    connect(m_group, QOverload<int>::of(&QButtonGroup::buttonClicked), this,
            &Dialog1::on_changeButtonGroup);
#endif

    retranslateUi();
    setWindowFlag(Qt::FramelessWindowHint, true);
}

void Dialog1::retranslateUi()
{
    setWindowTitle(QCoreApplication::translate("Dialog1", "Dialog"));
    m_title->setText(QCoreApplication::translate(
        "Dialog1", "请选择你的键盘  /  Please select your keyboard"));
    for (QLabel* picture : m_pictures)
        picture->setText(QCoreApplication::translate("Dialog1", "TextLabel"));
    for (QPushButton* button : m_buttons)
        button->setText(QString());
}

void Dialog1::on_changeButtonGroup(int id)
{
    if (const PickerModel* model = ModelCatalogue::pickerModel(id))
        emit modelPicked(model->value);
    qDebug("Select_PHY_Key value is  %d ", id);
}

void Dialog1::place(int W, int H)
{
    const PickerPlacement placement = computePickerPlacement(W, H);
    // A top-level window: its position is on the screen, so anchor it to the
    // main window's client area.
    QPoint origin;
    if (QWidget* owner = parentWidget())
        origin = owner->window()->mapToGlobal(QPoint(0, 0));
    const QRect dialogRect = placement.dialog.translated(origin);
    if (geometry() != dialogRect)
        setGeometry(dialogRect);

    const PickerModel* models = ModelCatalogue::pickerModels();
    for (const NamedRect& child : placement.children) {
        if (qstrcmp(child.name, "pushButton") == 0) {
            if (m_title->geometry() != child.rect)
                m_title->setGeometry(child.rect);
            if (m_title->styleSheet() != kTitleStyle)
                m_title->setStyleSheet(kTitleStyle);
            continue;
        }
        for (int i = 0; i < ModelCatalogue::kPickerCount; ++i) {
            QPushButton* button = m_buttons[static_cast<size_t>(i)];
            QLabel* picture = m_pictures[static_cast<size_t>(i)];
            if (qstrcmp(child.name, models[i].button) == 0) {
                if (button->geometry() != child.rect)
                    button->setGeometry(child.rect);
                if (button->styleSheet() != kModelButtonStyle)
                    button->setStyleSheet(kModelButtonStyle);
            } else if (qstrcmp(child.name, models[i].label) == 0) {
                if (picture->geometry() != child.rect)
                    picture->setGeometry(child.rect);
                pictureCache().show(picture, QString::fromLatin1(models[i].picture), child.rect.size());
                // Under the picture itself: it keeps its aspect, left in its label.
                QSize shown = child.rect.size();
                if (const QPixmap* pixmap = picture->pixmap(); pixmap && !pixmap->isNull())
                    shown = shown.boundedTo(pixmap->size() / pixmap->devicePixelRatio());
                const int pictureBottom = child.rect.top() + (child.rect.height() + shown.height()) / 2;
                const int nameLeft = qMax(0, child.rect.left() + (shown.width() - child.rect.width()) / 2);
                const QRect nameRect(nameLeft, pictureBottom + 2, child.rect.width(), H * 3 / 100);
                if (m_names[static_cast<size_t>(i)]->geometry() != nameRect)
                    m_names[static_cast<size_t>(i)]->setGeometry(nameRect);
            }
        }
    }
}
