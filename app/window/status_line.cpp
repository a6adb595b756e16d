#include "app/window/status_line.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QMenu>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTimer>

#include "core/keypad/keypad_sync.h"
#include "core/keypad/config_store.h"
#include "core/texts/run_time_texts.h"
#include "app/look/styles.h"
#include "app/window/window_state.h"

namespace {

// A partial success: amber, dark ink, neither the saved green nor the failed red.
const char* const kNoticeStyle = "background-color: rgb(255, 196, 60);border:0px;color:#202020;";

// The saved green with dark ink: white on it can hardly be read.
QString successStyle()
{
    return StatusStyles::savedNoticeStyle() + QStringLiteral("color:#102a14;");
}

// Some 70 ms a character, within bounds.
int readingTimeMs(const QString& text)
{
    return qBound(StatusLine::kNoticeMs, 70 * int(text.size()), 12000);
}

}  // namespace

StatusLine::StatusLine(QPushButton* button, const WindowState& state, QObject* parent)
    : QObject(parent), Dev_Sta_Dsp(button), State(state), Language_Flag(state.Language)
{
    CopyCommands = new QPushButton(Dev_Sta_Dsp);
    CopyCommands->setObjectName(QStringLiteral("copyFixCommands"));
    CopyCommands->hide();
    connect(CopyCommands, &QPushButton::clicked, this, [this] {
        if (OpenProblem)
            QApplication::clipboard()->setText(fixCommands(*OpenProblem));
    });
    Dev_Sta_Dsp->installEventFilter(this);
    NoticeTimer = new QTimer(this);
    NoticeTimer->setSingleShot(true);
    connect(NoticeTimer, &QTimer::timeout, this, &StatusLine::endNotice);
    connect(Dev_Sta_Dsp, &QPushButton::clicked, this, &StatusLine::showHistory);
    HistoryAction = new QAction(this);
    HistoryAction->setObjectName(QStringLiteral("showMessageHistory"));
    connect(HistoryAction, &QAction::triggered, this, &StatusLine::showHistory);
    LastPresenceNews = presenceNews();  // no keypad at start is no news
}

// News of the connection, not the same news again in another language.
QString StatusLine::presenceNews() const
{
    return QStringLiteral("%1 %2 %3")
        .arg(int(Presence))
        .arg(OpenProblem ? int(OpenProblem->verdict) : -1)
        .arg(BoardNote[1]);
}

void StatusLine::addHistoryActionTo(QMenu& menu)
{
    HistoryAction->setText(MessageHistoryView::title(Language_Flag) + QStringLiteral("..."));
    menu.addAction(HistoryAction);
}

void StatusLine::showHistory()
{
    if (!HistoryView) {
        HistoryView = new MessageHistoryView(Dev_Sta_Dsp->window(), History, State);
        HistoryView->setAttribute(Qt::WA_DeleteOnClose);
    }
    HistoryView->refill();
    HistoryView->show();
    HistoryView->raise();
    HistoryView->activateWindow();
}

void StatusLine::remember(const QString& text, MessageHistory::Kind kind, const QString& details)
{
    History.add(text, kind, details);
    if (HistoryView)
        HistoryView->refill();
}

void StatusLine::showOpenProblem(const QString& node, OpenFailure reason)
{
    OpenProblem = diagnoseOpenFailure(node, reason, LocalFileSystem());
    refresh();
}

void StatusLine::showPresence(KeypadConnection::Presence presence)
{
    Presence = presence;
    using P = KeypadConnection::Presence;
    // The connection reports a problem (and the diagnosis is made) before the
    // presence that goes with it; any other presence ends the problem.
    if (presence != P::PermissionDenied && presence != P::CannotOpen)
        OpenProblem.reset();
    refresh();
}

void StatusLine::refresh()
{
    if (Save_Notice_Active)
        return;
    if (!Progress.isEmpty()) {
        apply(Progress, StatusStyles::connectedStyle());
        showCopyButton(false);
        return;
    }
    using P = KeypadConnection::Presence;
    switch (Presence) {
    case P::Connected: {
        const QString& note = BoardNote[RunTimeTexts::isEnglish(Language_Flag) ? 1 : 0];
        apply(note.isEmpty() ? RunTimeTexts::connected(Language_Flag)
                             : RunTimeTexts::connected(Language_Flag) + QStringLiteral("  ·  ") + note,
              StatusStyles::connectedStyle());
        break;
    }
    case P::PermissionDenied:
        if (OpenProblem && OpenProblem->verdict != AccessVerdict::OpenFailed)
            apply(statusText(*OpenProblem, Language_Flag), StatusStyles::permissionProblemStyle());
        else
            apply(RunTimeTexts::permissionProblem(Language_Flag), StatusStyles::permissionProblemStyle());
        break;
    case P::NotAnswering:
        apply(RunTimeTexts::notAnswering(Language_Flag), StatusStyles::permissionProblemStyle());
        break;
    case P::CannotOpen:
        // Inside a sandbox the node is hidden rather than refused: that too has a fix.
        if (OpenProblem && OpenProblem->verdict == AccessVerdict::Sandboxed) {
            apply(statusText(*OpenProblem, Language_Flag), StatusStyles::permissionProblemStyle());
            break;
        }
        apply(RunTimeTexts::disconnected(Language_Flag), StatusStyles::disconnectedStyle());
        break;
    case P::Unknown:
    case P::Absent:
        apply(RunTimeTexts::disconnected(Language_Flag), StatusStyles::disconnectedStyle());
        break;
    }
    const QString news = presenceNews();
    if (news != LastPresenceNews) {
        LastPresenceNews = news;
        const bool trouble = Presence == P::PermissionDenied || Presence == P::NotAnswering
                             || (OpenProblem && Presence == P::CannotOpen);
        remember(Dev_Sta_Dsp->text(), trouble ? MessageHistory::Kind::Problem : MessageHistory::Kind::Info);
    }
    HistoryAction->setText(MessageHistoryView::title(Language_Flag) + QStringLiteral("..."));
    const bool problemShown = Presence == P::PermissionDenied || Presence == P::CannotOpen;
    showCopyButton(problemShown && OpenProblem && !fixCommands(*OpenProblem).isEmpty());
}

void StatusLine::showCopyButton(bool show)
{
    if (show) {
        CopyCommands->setText(RunTimeTexts::pick(Language_Flag, "Copy commands", "复制命令"));
        placeCopyButton();
    }
    CopyCommands->setVisible(show);
}

void StatusLine::placeCopyButton()
{
    const QSize hint = CopyCommands->sizeHint();
    const int height = qMax(0, Dev_Sta_Dsp->height() - 4);
    CopyCommands->setGeometry(Dev_Sta_Dsp->width() - hint.width() - 8, 2, hint.width(), height);
}

bool StatusLine::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Dev_Sta_Dsp && event->type() == QEvent::Resize)
        placeCopyButton();
    if (watched == Dev_Sta_Dsp && event->type() == QEvent::Paint) {
        paint();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// The sheet's panel, then the text: shortened at its end with "…" when the
// line is too narrow, rather than cut at both ends around its middle.
void StatusLine::paint()
{
    QStylePainter painter(Dev_Sta_Dsp);
    QStyleOptionButton option;
    option.initFrom(Dev_Sta_Dsp);
    option.features = QStyleOptionButton::None;
    option.state |= Dev_Sta_Dsp->isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    painter.drawControl(QStyle::CE_PushButton, option);
    QRect area = Dev_Sta_Dsp->style()->subElementRect(QStyle::SE_PushButtonContents, &option, Dev_Sta_Dsp);
    area.adjust(8, 0, -8, 0);
    if (CopyCommands->isVisible())
        area.setRight(qMin(area.right(), CopyCommands->x() - 8));
    const QString shown = painter.fontMetrics().elidedText(Dev_Sta_Dsp->text(), Qt::ElideRight, area.width());
    painter.drawItemText(area, Qt::AlignCenter, option.palette, true, shown, QPalette::ButtonText);
}

void StatusLine::showSaveResult(bool saved)
{
    if (saved)
        startNotice(RunTimeTexts::saved(Language_Flag), successStyle(),
                    MessageHistory::Kind::Success);
    else
        startNotice(RunTimeTexts::saveFailed(Language_Flag), StatusStyles::saveFailedStyle(),
                    MessageHistory::Kind::Problem);
}

void StatusLine::showProgress(const QString& text)
{
    Progress = text;
    refresh();
}

void StatusLine::showRecordFull()
{
    startNotice(RunTimeTexts::recordFull(Language_Flag), StatusStyles::recordFullStyle(),
                MessageHistory::Kind::Problem);
}

void StatusLine::showInfo(const QString& text, bool problem)
{
    startNotice(text, problem ? StatusStyles::saveFailedStyle() : successStyle(),
                problem ? MessageHistory::Kind::Problem : MessageHistory::Kind::Success);
}

void StatusLine::showNotice(const QString& text, const QString& details)
{
    startNotice(text, QLatin1String(kNoticeStyle), MessageHistory::Kind::Notice, details);
}

void StatusLine::showReadBack(const KeyReadResult& read, int expected)
{
    const int got = read.repliesStored + read.repliesKeptEdit;
    if (got >= expected && !read.deviceLost) {
        QString text = RunTimeTexts::pick(Language_Flag, "Read %1 layers from the keypad", "已从键盘读取 %1 层")
                           .arg(kLayers);
        if (read.repliesKeptEdit > 0)
            text += RunTimeTexts::pick(Language_Flag, "; %1 unsaved edits kept", "；保留了 %1 项未保存的修改")
                        .arg(read.repliesKeptEdit);
        showInfo(text, false);
    } else if (read.deviceLost || got == 0) {
        showInfo(RunTimeTexts::pick(Language_Flag, "The keypad stopped answering: read %1 of %2 records",
                                    "键盘停止应答：只读取了 %1/%2 条记录")
                     .arg(got)
                     .arg(expected),
                 true);
    } else {
        showNotice(RunTimeTexts::pick(Language_Flag,
                                      "Read %1 of %2 records from the keypad; the others show what they showed before",
                                      "已从键盘读取 %1/%2 条记录；其余保持原样")
                       .arg(got)
                       .arg(expected));
    }
}

void StatusLine::setBoardNote(const QString& english, const QString& chinese)
{
    BoardNote[0] = chinese;
    BoardNote[1] = english;
    refresh();
}

void StatusLine::startNotice(const QString& text, const QString& styleSheet, MessageHistory::Kind kind,
                             const QString& details)
{
    Save_Notice_Active = 1;
    Dev_Sta_Dsp->setStyleSheet(styleSheet);
    setText(text);
    remember(text, kind, details);
    // A newer notice gets its whole time: one timer, started again.
    NoticeTimer->start(readingTimeMs(text));
}

void StatusLine::setText(const QString& text)
{
    Dev_Sta_Dsp->setText(text);
    Dev_Sta_Dsp->setToolTip(text + QLatin1Char('\n')
                            + RunTimeTexts::pick(Language_Flag, "Click to see the last messages",
                                                 "单击查看最近的消息"));
}

void StatusLine::endNotice()
{
    NoticeTimer->stop();
    Save_Notice_Active = 0;
    Dev_Sta_Dsp->setStyleSheet(StatusStyles::savedNoticeEndStyle());
    refresh();
}

void StatusLine::apply(const QString& text, const QString& styleSheet)
{
    // Re-setting an unchanged style sheet would re-polish the button.
    if (Dev_Sta_Dsp->text() != text)
        setText(text);
    if (Dev_Sta_Dsp->styleSheet() != styleSheet)
        Dev_Sta_Dsp->setStyleSheet(styleSheet);
}
