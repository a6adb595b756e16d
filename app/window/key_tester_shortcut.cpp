#include "app/window/key_tester_shortcut.h"

#include "app/window/key_editor.h"
#include "app/window/key_tester_page.h"
#include "app/window/status_line.h"
#include "app/window/window_state.h"
#include "core/keypad/key_match.h"
#include "core/keypad/keypad_config.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QWindow>

namespace {

// The number pad is four keys of four grid columns each.
constexpr int kNumberPadColumns = 16;

QString pick(int language, const char* english, const char* chinese)
{
    return language == 1 ? QString::fromUtf8(english) : QString::fromUtf8(chinese);
}

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Control:
    case Qt::Key_Shift:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return true;
    default:
        return false;
    }
}

}  // namespace

ShortcutRecorder::ShortcutRecorder(QWidget& window, QGridLayout* grid, KeyEditor& editor, KeypadConfig& config,
                                   StatusLine& status, const WindowState& state, QObject* parent)
    : QObject(parent), Window(window), Editor(editor), Config(config), Status(status), Language_Flag(state.Language)
{
    Button = new QPushButton(grid ? grid->parentWidget() : &window);
    Button->setObjectName(QStringLiteral("recordShortcut"));
    Button->setCheckable(true);
    Button->setFocusPolicy(Qt::NoFocus);
    Button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    if (grid)
        grid->addWidget(Button, 0, grid->columnCount() - kNumberPadColumns, 1, kNumberPadColumns);
    connect(Button, &QPushButton::clicked, this, [this] { Recording ? cancel() : start(); });
    retranslate();
}

ShortcutRecorder::~ShortcutRecorder()
{
    qApp->removeEventFilter(this);
}

void ShortcutRecorder::start()
{
    if (Config.selectedKey() == 0) {
        Button->setChecked(false);
        Status.showInfo(pick(Language_Flag, "Click a key of the picture first, then record its shortcut.",
                             "请先在图中点击一个按键，再录制快捷键。"),
                        true);
        return;
    }
    Recording = true;
    Button->setChecked(true);
    qApp->installEventFilter(this);
    retranslate();
}

void ShortcutRecorder::cancel()
{
    stop();
}

void ShortcutRecorder::stop()
{
    Recording = false;
    qApp->removeEventFilter(this);
    Button->setChecked(false);
    retranslate();
}

bool ShortcutRecorder::inWindow(QObject* object) const
{
    if (auto* widget = qobject_cast<QWidget*>(object))
        return widget->window() == Window.window();
    return object && object == Window.window()->windowHandle();
}

bool ShortcutRecorder::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Ctrl+S is to be recorded, not to save.
        if (inWindow(watched)) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyRelease:
        return inWindow(watched);
    case QEvent::KeyPress: {
        if (!inWindow(watched))
            break;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat() || isModifierKey(key->key()))
            return true;
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            cancel();
            return true;
        }
        const std::optional<PressSample> sample = sampleOfKeyEvent(*key, 0);
        const Stroke stroke = sample && sample->kind == Stroke::Kind::Key
                                  ? Stroke::key(modifierBitsOf(key->modifiers()), sample->usage)
                                  : Stroke();
        const QVector<int> indices = KeyMatch::captionIndicesOf(stroke);
        stop();
        if (indices.isEmpty()) {
            QString what = key->text().trimmed();
            if (sample)
                what = KeyMatch::caption(sample->kind == Stroke::Kind::Key ? stroke : Stroke::consumer(sample->usage),
                                         Language_Flag);
            if (what.isEmpty())
                what = pick(Language_Flag, "this key", "此按键");
            Status.showInfo(pick(Language_Flag,
                                 "%1 cannot be recorded: the key tables have no such key combination "
                                 "(media keys are on the Multimedia page).",
                                 "无法录制 %1：按键表中没有这样的组合键（媒体键在多媒体页）。")
                                .arg(what),
                            true);
            return true;
        }
        Editor.storeShortcut(indices);
        return true;
    }
    case QEvent::MouseButtonPress:
        // A click anywhere else means the user went on to something else.
        if (inWindow(watched) && watched != Button && qobject_cast<QWidget*>(watched))
            cancel();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void ShortcutRecorder::retranslate()
{
    Button->setText(Recording ? pick(Language_Flag, "Type the shortcut… (Esc cancels)", "请按下快捷键…（Esc 取消）")
                              : pick(Language_Flag, "Record shortcut", "录制快捷键"));
}
