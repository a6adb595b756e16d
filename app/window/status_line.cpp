#include "app/window/status_line.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QPushButton>
#include <QTimer>

#include "core/texts/run_time_texts.h"
#include "app/look/styles.h"
#include "app/window/window_state.h"

StatusLine::StatusLine(QPushButton* button, const WindowState& state, QObject* parent)
    : QObject(parent), Dev_Sta_Dsp(button), Language_Flag(state.Language)
{
    CopyCommands = new QPushButton(Dev_Sta_Dsp);
    CopyCommands->setObjectName(QStringLiteral("copyFixCommands"));
    CopyCommands->hide();
    connect(CopyCommands, &QPushButton::clicked, this, [this] {
        if (OpenProblem)
            QApplication::clipboard()->setText(fixCommands(*OpenProblem));
    });
    Dev_Sta_Dsp->installEventFilter(this);
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
    return QObject::eventFilter(watched, event);
}

void StatusLine::showSaveResult(bool saved)
{
    if (saved)
        showNotice(RunTimeTexts::saved(Language_Flag), StatusStyles::savedNoticeStyle());
    else
        showNotice(RunTimeTexts::saveFailed(Language_Flag), StatusStyles::saveFailedStyle());
}

void StatusLine::showRecordFull()
{
    showNotice(RunTimeTexts::recordFull(Language_Flag), StatusStyles::recordFullStyle());
}

void StatusLine::showInfo(const QString& text, bool problem)
{
    showNotice(text, problem ? StatusStyles::saveFailedStyle() : StatusStyles::savedNoticeStyle(), kInfoMs);
}

void StatusLine::setBoardNote(const QString& english, const QString& chinese)
{
    BoardNote[0] = chinese;
    BoardNote[1] = english;
    refresh();
}

void StatusLine::showNotice(const QString& text, const QString& styleSheet, int ms)
{
    Save_Notice_Active = 1;
    Dev_Sta_Dsp->setStyleSheet(styleSheet);
    Dev_Sta_Dsp->setText(text);
    // One timer per notice; the first to run out ends the notice.
    auto* timer = new QTimer(parent() ? parent() : this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, &StatusLine::endNotice);
    connect(timer, &QTimer::timeout, timer, &QObject::deleteLater);
    timer->start(ms);
}

void StatusLine::endNotice()
{
    Save_Notice_Active = 0;
    Dev_Sta_Dsp->setStyleSheet(StatusStyles::savedNoticeEndStyle());
    refresh();
}

void StatusLine::apply(const QString& text, const QString& styleSheet)
{
    // Re-setting an unchanged style sheet would re-polish the button.
    if (Dev_Sta_Dsp->text() != text)
        Dev_Sta_Dsp->setText(text);
    if (Dev_Sta_Dsp->styleSheet() != styleSheet)
        Dev_Sta_Dsp->setStyleSheet(styleSheet);
}
