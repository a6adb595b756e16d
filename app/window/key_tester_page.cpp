#include "app/window/key_tester_page.h"

#include "app/picture/key_picture_buttons.h"
#include "app/window/key_editor.h"
#include "app/window/window_state.h"
#include "core/keypad/key_table.h"
#include "core/keypad/keypad_config.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

namespace {

constexpr const char* kPageName = "tab_tester";
constexpr const char* kRuleName = "70-tessaplex.rules";

QString pick(int language, const char* english, const char* chinese)
{
    return language == 1 ? QString::fromUtf8(english) : QString::fromUtf8(chinese);
}

// xcb and Wayland hand out the kernel's key code plus 8 (the X keycode);
// other platforms' scan codes mean something else.
bool scanCodesAreKernelCodes()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

QString sinceText(qint64 us)
{
    if (us < 0)
        return QStringLiteral("—");
    if (us < 1000000)
        return QStringLiteral("%1 ms").arg(double(us) / 1000.0, 0, 'f', us < 100000 ? 1 : 0);
    return QStringLiteral("%1 s").arg(double(us) / 1e6, 0, 'f', 2);
}

}  // namespace

uint8_t modifierBitsOf(Qt::KeyboardModifiers modifiers)
{
    uint8_t bits = 0;
    if (modifiers & Qt::ControlModifier)
        bits |= 0x01;
    if (modifiers & Qt::ShiftModifier)
        bits |= 0x02;
    if (modifiers & Qt::AltModifier)
        bits |= 0x04;
    if (modifiers & Qt::MetaModifier)
        bits |= 0x08;
    return bits;
}

std::optional<PressSample> sampleOfKeyEvent(const QKeyEvent& event, qint64 timeUs)
{
    PressSample s;
    s.timeUs = timeUs;
    s.action = event.type() == QEvent::KeyRelease ? PressSample::Action::Release
               : event.isAutoRepeat()             ? PressSample::Action::Repeat
                                                  : PressSample::Action::Press;
    s.modifiersSaid = modifierBitsOf(event.modifiers());
    const quint32 scan = event.nativeScanCode();
    if (scan > 8 && scanCodesAreKernelCodes()) {
        if ((s.usage = KeyMatch::keyboardUsageOfEvdev(int(scan - 8))) != 0)
            return s;
        if ((s.usage = KeyMatch::consumerUsageOfEvdev(int(scan - 8))) != 0) {
            s.kind = Stroke::Kind::Consumer;
            return s;
        }
    }
    if ((s.usage = KeyMatch::keyboardUsageOfQtKey(event.key())) != 0)
        return s;
    if ((s.usage = KeyMatch::consumerUsageOfQtKey(event.key())) != 0) {
        s.kind = Stroke::Kind::Consumer;
        return s;
    }
    return std::nullopt;
}

KeyTesterPage::KeyTesterPage(QTabWidget& tabs, KeyEditor& editor, KeypadConfig& config, const WindowState& state,
                             QWidget& window, QObject* parent)
    : QObject(parent), Tabs(tabs), Editor(editor), Config(config), Language_Flag(state.Language), Window(window)
{
    findNodes = [] { return findKeypadInputNodes(); };
    openNode = [](const QString& node) { return openInputNode(node); };
    Page = new QWidget;
    Page->setObjectName(QLatin1String(kPageName));
    Tabs.addTab(Page, QString());
    retranslate();
    connect(&Editor, &KeyEditor::pageAboutToShow, this, &KeyTesterPage::pageAboutToShow);
    Clock.start();
}

KeyTesterPage::~KeyTesterPage()
{
    qApp->removeEventFilter(this);
}

void KeyTesterPage::keepLast()
{
    const int index = Tabs.indexOf(Page);
    if (index >= 0 && index != Tabs.count() - 1)
        Tabs.tabBar()->moveTab(index, Tabs.count() - 1);
}

void KeyTesterPage::keypadConnected()
{
    keepLast();
    if (Active)
        listenToKeypad();
}

void KeyTesterPage::pageAboutToShow(int index)
{
    const bool tester = Tabs.widget(index) == Page;
    if (tester && !Active)
        enter();
    else if (!tester && Active)
        leave();
}

void KeyTesterPage::enter()
{
    if (!Intro)
        build();
    Active = true;
    Presses.reset();
    Matched.clear();
    LastStroke = Stroke();
    listenToKeypad();
    qApp->installEventFilter(this);
    Editor.resetHighlights();
    showFound();
}

void KeyTesterPage::leave()
{
    Active = false;
    qApp->removeEventFilter(this);
    Reader.reset();
    // The frames go before the next page puts up its own.
    Editor.resetHighlights();
    Editor.highlightSelectedKey();
}

void KeyTesterPage::build()
{
    auto* layout = new QVBoxLayout(Page);
    layout->setContentsMargins(12, 8, 12, 8);
    Intro = new QLabel(Page);
    Intro->setObjectName(QStringLiteral("testerIntro"));
    Intro->setWordWrap(true);
    Source = new QLabel(Page);
    Source->setObjectName(QStringLiteral("testerSource"));
    Source->setWordWrap(true);
    Source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(Intro);
    layout->addWidget(Source);

    auto* row = new QHBoxLayout;
    Found = new QLabel(Page);
    Found->setObjectName(QStringLiteral("testerFound"));
    Use = new QPushButton(Page);
    Use->setObjectName(QStringLiteral("testerUseKey"));
    ClearList = new QPushButton(Page);
    ClearList->setObjectName(QStringLiteral("testerClear"));
    for (QPushButton* b : {Use, ClearList}) {
        // Space or Enter from the keypad must be listed, not press these.
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumHeight(32);
    }
    row->addWidget(Found, 1);
    row->addWidget(Use);
    row->addWidget(ClearList);
    layout->addLayout(row);

    Log = new QTreeWidget(Page);
    Log->setObjectName(QStringLiteral("testerLog"));
    Log->setRootIsDecorated(false);
    Log->setFocusPolicy(Qt::NoFocus);
    Log->setColumnCount(4);
    Log->header()->setSectionResizeMode(QHeaderView::Interactive);
    Log->setColumnWidth(0, 260);
    Log->setColumnWidth(1, 160);
    Log->setColumnWidth(2, 140);
    layout->addWidget(Log, 1);

    connect(Use, &QPushButton::clicked, this, &KeyTesterPage::useMatchedKey);
    connect(ClearList, &QPushButton::clicked, this, [this] {
        Log->clear();
        Lines.clear();
        Presses.reset();
    });
    retranslate();
}

void KeyTesterPage::listenToKeypad()
{
    Reader.reset();
    Nodes = findNodes ? findNodes() : std::vector<KeypadInputNode>{};
    std::vector<std::unique_ptr<InputEventSource>> sources;
    for (KeypadInputNode& node : Nodes) {
        if (!node.readable)
            continue;
        if (std::unique_ptr<InputEventSource> source = openNode(node.node))
            sources.push_back(std::move(source));
        else
            node.readable = false;
    }
    if (!sources.empty()) {
        Reader = std::make_unique<KeypadInputReader>(std::move(sources));
        connect(Reader.get(), &KeypadInputReader::sample, this, &KeyTesterPage::add);
        connect(Reader.get(), &KeypadInputReader::sourceGone, this, [this] {
            // Unplugged: what reaches the window is all there is now.
            if (Reader && Reader->names().isEmpty())
                Reader.reset();
            showSource();
        });
    }
    showSource();
}

bool KeyTesterPage::inWindow(QObject* object) const
{
    if (auto* widget = qobject_cast<QWidget*>(object))
        return widget->window() == Window.window();
    return object == Window.window()->windowHandle();
}

qint64 KeyTesterPage::nowUs(const QInputEvent& event)
{
    // The platform's time of the event where it gives one: closer to the
    // keypad than the moment the event loop got to it.
    return event.timestamp() != 0 ? qint64(event.timestamp()) * 1000 : Clock.nsecsElapsed() / 1000;
}

bool KeyTesterPage::eventFilter(QObject* watched, QEvent* event)
{
    const bool atWindow = watched == Window.window()->windowHandle() && watched;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // No shortcut of the window fires while keys are tested.
        if (inWindow(watched)) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (!inWindow(watched))
            break;
        // X repeats a held key as release and press pairs: the press is the repeat.
        if (!Reader && !(event->type() == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->isAutoRepeat())) {
            if (auto s = sampleOfKeyEvent(*static_cast<QKeyEvent*>(event), nowUs(*static_cast<QInputEvent*>(event))))
                add(*s);
        }
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        if (atWindow && !Reader) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            PressSample s;
            s.kind = Stroke::Kind::Mouse;
            s.button = mouse->button() == Qt::LeftButton    ? 0x01
                       : mouse->button() == Qt::RightButton ? 0x02
                       : mouse->button() == Qt::MiddleButton ? 0x04 : 0x00;
            s.action = event->type() == QEvent::MouseButtonPress ? PressSample::Action::Press
                                                                 : PressSample::Action::Release;
            s.timeUs = nowUs(*mouse);
            s.modifiersSaid = modifierBitsOf(mouse->modifiers());
            if (s.button != 0)
                add(s);
        }
        break;
    case QEvent::Wheel:
        if (atWindow && !Reader) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            if (wheel->angleDelta().y() != 0) {
                PressSample s;
                s.kind = Stroke::Kind::Mouse;
                s.wheel = wheel->angleDelta().y() > 0 ? 1 : -1;
                s.timeUs = nowUs(*wheel);
                s.modifiersSaid = modifierBitsOf(wheel->modifiers());
                add(s);
            }
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void KeyTesterPage::add(const PressSample& sample)
{
    if (!Log)
        return;
    const PressLogEntry entry = Presses.add(sample);
    if (entry.newLine || Lines.empty()) {
        Lines.push_front(entry);
        auto* item = new QTreeWidgetItem;
        fill(item, entry);
        Log->insertTopLevelItem(0, item);
        if (Lines.size() > size_t(kMaxLines)) {
            Lines.pop_back();
            delete Log->takeTopLevelItem(Log->topLevelItemCount() - 1);
        }
    } else {
        // A repeat continues the line of its key.
        Lines.front().repeats = entry.repeats;
        Lines.front().action = PressSample::Action::Repeat;
        fill(Log->topLevelItem(0), Lines.front());
    }
    // A click reaching the window is mostly the user's own mouse, on this
    // page's buttons too: listed, but it does not lose the key found.
    const bool ownMouse = !Reader && sample.kind == Stroke::Kind::Mouse && sample.wheel == 0;
    if (sample.action == PressSample::Action::Press && !ownMouse)
        showMatch(entry.stroke);
}

void KeyTesterPage::fill(QTreeWidgetItem* item, const PressLogEntry& entry) const
{
    if (!item)
        return;
    const int lang = Language_Flag;
    item->setText(0, KeyMatch::caption(entry.stroke, lang));
    QString action;
    switch (entry.action) {
    case PressSample::Action::Press:
        action = entry.stroke.kind == Stroke::Kind::Mouse && entry.stroke.wheel != 0 ? pick(lang, "step", "滚动")
                                                                                    : pick(lang, "pressed", "按下");
        break;
    case PressSample::Action::Release: action = pick(lang, "released", "松开"); break;
    case PressSample::Action::Repeat:
        action = pick(lang, "held, repeats ×%1", "按住，重复 ×%1").arg(entry.repeats);
        break;
    }
    item->setText(1, action);
    item->setText(2, sinceText(entry.sinceUs));
    item->setText(3, entry.chatter ? pick(lang, "possible chatter: pressed again within 30 ms",
                                          "可能抖动：30 毫秒内再次按下")
                                   : QString());
    item->setForeground(3, entry.chatter ? QColor(0xFF, 0x80, 0x40) : QColor());
}

void KeyTesterPage::showMatch(const Stroke& stroke)
{
    LastStroke = stroke;
    QVector<int> candidates;
    // Knob actions 26 and 27 cannot be framed, but they are named.
    for (int id = 1; id <= KeyPictureButtons::kCount; ++id) {
        QPushButton* b = Editor.pictureButtons().button(id);
        if (b && !b->isHidden())
            candidates << id;
    }
    Matched = KeyMatch::slotsSending(Config.store(), Config.selectedLayer(), stroke, candidates);
    Editor.resetHighlights();
    for (int id : qAsConst(Matched))
        Editor.pictureButtons().highlight(id);
    showFound();
}

void KeyTesterPage::showFound()
{
    if (!Found)
        return;
    const int lang = Language_Flag;
    QStringList names;
    for (int id : qAsConst(Matched))
        names << KeyTable::physicalKeyName(id, lang);
    const QString what = KeyMatch::caption(LastStroke, lang);
    const int layer = Config.selectedLayer() + 1;
    if (LastStroke.kind == Stroke::Kind::None)
        Found->setText(pick(lang, "Press a key of the keypad to find it on the picture.",
                            "按下键盘上的按键，即可在图中找到它。"));
    else if (names.isEmpty())
        Found->setText(pick(lang, "No key of layer %1 sends %2.", "第 %1 层没有按键发送 %2。").arg(layer).arg(what));
    else if (names.size() == 1)
        Found->setText(pick(lang, "%1 sends %2 on layer %3.", "%1 在第 %3 层发送 %2。").arg(names[0], what).arg(layer));
    else
        Found->setText(pick(lang, names.size() == 2 ? "%1 both send %2 on layer %3." : "%1 all send %2 on layer %3.",
                            "%1 在第 %3 层都发送 %2。")
                           .arg(names.join(pick(lang, " and ", "和")), what)
                           .arg(layer));
    Use->setEnabled(selectableMatch() != 0);
}

void KeyTesterPage::showSource()
{
    if (!Source)
        return;
    const int lang = Language_Flag;
    if (Reader) {
        Intro->setText(pick(lang, "Press the keypad's keys: each event is listed here, newest first.",
                            "按下键盘上的按键：每个事件都列在这里，最新的在最上面。"));
        Source->setText(pick(lang,
                             "Reading the keypad's own input device (%1): only the keypad's events are listed, "
                             "timed by the kernel, even while another window has the focus.",
                             "正在读取键盘自身的输入设备（%1）：只列出此键盘的事件，由内核计时，"
                             "其他窗口获得焦点时也可以。")
                            .arg(Reader->names().join(QStringLiteral(", "))));
        return;
    }
    Intro->setText(pick(lang,
                        "Press the keypad's keys: every key and mouse event that reaches this window is listed, "
                        "newest first. The window must have the focus: click into it first. While this page is "
                        "shown, keys do nothing else in the window.",
                        "按下键盘上的按键：到达本窗口的每个按键和鼠标事件都会列出，最新的在最上面。"
                        "本窗口必须获得焦点：请先点击本窗口。显示此页时，按键在窗口中不起其他作用。"));
    QStringList unreadable;
    QString rule;
    for (const KeypadInputNode& node : Nodes) {
        if (node.readable)
            continue;
        unreadable << node.node;
        if (rule.isEmpty())
            rule = inputRuleLine(node.vendorId, node.productId);
    }
    if (unreadable.isEmpty()) {
        Source->setText(pick(lang,
                             "The keypad's own input device was not found, so the computer's keyboard and mouse "
                             "are listed too.",
                             "未找到键盘自身的输入设备，因此也会列出电脑的键盘和鼠标。"));
        return;
    }
    Source->setText(pick(lang,
                         "The keypad's input device %1 cannot be read, so whatever reaches the window is listed. "
                         "The udev rule %2 makes it readable for you with the line\n%3\n"
                         "Install the rule (see the README), then unplug the keypad and plug it in again.",
                         "无法读取键盘的输入设备 %1，因此列出到达窗口的所有事件。udev 规则 %2 中的这一行可让您读取它：\n%3\n"
                         "请安装该规则（见 README），然后重新插拔键盘。")
                        .arg(unreadable.join(QStringLiteral(", ")), QLatin1String(kRuleName), rule));
}

int KeyTesterPage::selectableMatch() const
{
    for (int id : Matched) {
        if (id <= KeyPictureButtons::kSelectable)
            return id;
    }
    return 0;
}

void KeyTesterPage::useMatchedKey()
{
    if (selectableMatch() == 0)
        return;
    const int id = selectableMatch();
    // Editing happens on the key pages; the first one shows the selection.
    Tabs.setCurrentIndex(0);
    if (QAbstractButton* b = Editor.keyGroup()->button(id))
        b->setChecked(true);
    Editor.selectKey(id);
}

void KeyTesterPage::retranslate()
{
    const int lang = Language_Flag;
    const int index = Tabs.indexOf(Page);
    if (index >= 0)
        Tabs.setTabText(index, pick(lang, "Key tester", "按键测试"));
    if (!Log)
        return;
    Log->setHeaderLabels({pick(lang, "Key", "按键"), pick(lang, "Event", "事件"),
                          pick(lang, "Since previous", "距上一个"), pick(lang, "Note", "备注")});
    Use->setText(pick(lang, "Use this key", "使用此按键"));
    ClearList->setText(pick(lang, "Clear list", "清空列表"));
    for (int i = 0; i < Log->topLevelItemCount() && size_t(i) < Lines.size(); ++i)
        fill(Log->topLevelItem(i), Lines[size_t(i)]);
    showSource();
    showFound();
}
