#include "app/status_line.h"

#include <QPushButton>
#include <QTimer>

#include "pages/run_time_texts.h"

StatusLine::StatusLine(QPushButton* button, const int& languageFlag, QObject* parent)
    : QObject(parent), Dev_Sta_Dsp(button), Language_Flag(languageFlag)
{
}

void StatusLine::showPresence(KeypadConnection::Presence presence)
{
    Presence = presence;
    refresh();
}

void StatusLine::refresh()
{
    if (Save_Notice_Active)
        return;
    using P = KeypadConnection::Presence;
    switch (Presence) {
    case P::Connected: {
        const QString& note = BoardNote[Language_Flag == 1 ? 1 : 0];
        apply(note.isEmpty() ? RunTimeTexts::connected(Language_Flag)
                             : RunTimeTexts::connected(Language_Flag) + QStringLiteral("  ·  ") + note,
              RunTimeTexts::connectedStyle());
        break;
    }
    case P::PermissionDenied:
        apply(RunTimeTexts::permissionProblem(Language_Flag), RunTimeTexts::permissionProblemStyle());
        break;
    case P::NotAnswering:
        apply(RunTimeTexts::notAnswering(Language_Flag), RunTimeTexts::permissionProblemStyle());
        break;
    case P::Unknown:
    case P::Absent:
    case P::CannotOpen:
        apply(RunTimeTexts::disconnected(Language_Flag), RunTimeTexts::disconnectedStyle());
        break;
    }
}

void StatusLine::showSaveResult(bool saved)
{
    if (saved)
        showNotice(RunTimeTexts::saved(Language_Flag), RunTimeTexts::savedNoticeStyle());
    else
        showNotice(RunTimeTexts::saveFailed(Language_Flag), RunTimeTexts::saveFailedStyle());
}

void StatusLine::showRecordFull()
{
    showNotice(RunTimeTexts::recordFull(Language_Flag), RunTimeTexts::recordFullStyle());
}

void StatusLine::setBoardNote(const QString& english, const QString& chinese)
{
    BoardNote[0] = chinese;
    BoardNote[1] = english;
    refresh();
}

void StatusLine::showNotice(const QString& text, const QString& styleSheet)
{
    Save_Notice_Active = 1;
    Dev_Sta_Dsp->setStyleSheet(styleSheet);
    Dev_Sta_Dsp->setText(text);
    // One timer per notice; the first to run out ends the notice.
    auto* timer = new QTimer(parent() ? parent() : this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, &StatusLine::endNotice);
    connect(timer, &QTimer::timeout, timer, &QObject::deleteLater);
    timer->start(kNoticeMs);
}

void StatusLine::endNotice()
{
    Save_Notice_Active = 0;
    Dev_Sta_Dsp->setStyleSheet(RunTimeTexts::savedNoticeEndStyle());
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
