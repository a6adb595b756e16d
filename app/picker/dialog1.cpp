#include "app/picker/dialog1.h"

#include "app/picker/picker_looks.h"
#include "app/picture/picture_cache.h"
#include "core/keypad/layout_table.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDebug>
#include <QFont>
#include <QHideEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {
const QString kTitleStyle = QStringLiteral(
    "QPushButton{background-color: rgb(125, 125, 125);border-radius:10px;color:#ffffff;}");
const QString kModelButtonStyle = QStringLiteral(
    "QPushButton{background-color: rgba(125, 125, 125, 5);border-radius:10px;color:#FFFFFF;}");
}  // namespace

Dialog1::Dialog1(PictureCache& pictures, QWidget* parent) : QDialog(parent), m_pictureCache(pictures)
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
        m_pictures[static_cast<size_t>(i)]->setObjectName(QString::fromLatin1(pickerLook(i).label));
        auto* name = new QLabel(this);
        name->setObjectName(QString::fromLatin1(pickerLook(i).label) + QStringLiteral("_name"));
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
        button->setObjectName(QString::fromLatin1(pickerLook(i).button));
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
    m_W = W;
    m_H = H;
    const PickerPlacement placement = computePickerPlacement(W, H);
    // A top-level window: its position is on the screen, so anchor it to the
    // main window's client area.
    QPoint origin;
    if (QWidget* owner = parentWidget())
        origin = owner->window()->mapToGlobal(QPoint(0, 0));
    const QRect dialogRect = placement.dialog.translated(origin);
    if (geometry() != dialogRect)
        setGeometry(dialogRect);
    auto put = [this](const char* name, const QRect& rect) {
        QWidget* w = findChild<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
        if (w && w->geometry() != rect)
            w->setGeometry(rect);
    };
    put("pushButton", placement.title);
    for (int i = 0; i < ModelCatalogue::kPickerCount; ++i) {
        put(pickerLook(i).button, placement.boards[static_cast<size_t>(i)]);
        put(pickerLook(i).label, placement.boards[static_cast<size_t>(i)]);
    }
    // Most keypads say which board they are, so the picker is seldom seen:
    // its six board pictures (12 MB decoded) are not worth holding, nor
    // decoding on every resize, until it is.
    if (isVisible())
        applyLooks();
}

void Dialog1::showEvent(QShowEvent* event)
{
    // Before the first paint, so that the picker never shows without its pictures.
    if (m_W > 0 && m_H > 0)
        applyLooks();
    QDialog::showEvent(event);
}

void Dialog1::hideEvent(QHideEvent* event)
{
    // Hidden because a model was chosen or the keypad answered: the pictures
    // go until the picker is needed again. A hide by the window system (the
    // main window minimized) keeps them for the restore.
    if (!event->spontaneous()) {
        for (int i = 0; i < ModelCatalogue::kPickerCount; ++i) {
            m_pictures[static_cast<size_t>(i)]->clear();
            m_pictureCache.forget(QString::fromLatin1(pickerLook(i).picture));
        }
    }
    QDialog::hideEvent(event);
}

void Dialog1::applyLooks()
{
    if (m_title->styleSheet() != kTitleStyle)
        m_title->setStyleSheet(kTitleStyle);
    for (int i = 0; i < ModelCatalogue::kPickerCount; ++i) {
        QPushButton* button = m_buttons[static_cast<size_t>(i)];
        if (button->styleSheet() != kModelButtonStyle)
            button->setStyleSheet(kModelButtonStyle);
        // The label has the placed size by now; the picture fits into it.
        QLabel* picture = m_pictures[static_cast<size_t>(i)];
        m_pictureCache.show(picture, QString::fromLatin1(pickerLook(i).picture), picture->size());
        // The name goes under the picture itself, which keeps its aspect and
        // so may be smaller than its label.
        const QRect label = picture->geometry();
        QSize shown = label.size();
        if (const QPixmap pixmap = picture->pixmap(Qt::ReturnByValue); !pixmap.isNull())
            shown = shown.boundedTo(pixmap.size() / pixmap.devicePixelRatio());
        const int pictureBottom = label.top() + (label.height() + shown.height()) / 2;
        const int nameLeft = qMax(0, label.left() + (shown.width() - label.width()) / 2);
        const QRect nameRect(nameLeft, pictureBottom + 2, label.width(), m_H * 3 / 100);
        if (m_names[static_cast<size_t>(i)]->geometry() != nameRect)
            m_names[static_cast<size_t>(i)]->setGeometry(nameRect);
    }
}
