#include "app/window/message_history.h"

#include "app/window/window_state.h"
#include "core/texts/run_time_texts.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

void MessageHistory::add(const QString& text, Kind kind, const QString& details, const QDateTime& time)
{
    if (text.isEmpty())
        return;
    Entries.push_back(Entry{time, text, kind, details});
    while (Entries.size() > size_t(kKept))
        Entries.pop_front();
}

QString MessageHistoryView::title(int languageFlag)
{
    return RunTimeTexts::pick(languageFlag, "Message history", "消息记录");
}

MessageHistoryView::MessageHistoryView(QWidget* parent, const MessageHistory& history, const WindowState& state)
    : QDialog(parent), History(history), Language_Flag(state.Language)
{
    setObjectName(QStringLiteral("messageHistory"));
    // Colours of its own: the window's dark sheet does not reach a dialog.
    setStyleSheet(QStringLiteral("QDialog, QTextBrowser { background-color: rgb(50, 50, 50); color: #FFFFFF; }"
                                 "QPushButton { background-color: rgb(75, 75, 75); color: #FFFFFF; "
                                 "border: 1px solid rgb(110, 110, 110); border-radius: 6px; padding: 4px 18px; }"
                                 "QPushButton:focus { border: 2px solid #e1e100; }"));
    List = new QTextBrowser(this);
    List->setObjectName(QStringLiteral("messageHistoryList"));
    List->setOpenLinks(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    buttons->button(QDialogButtonBox::Close)->setText(RunTimeTexts::pick(Language_Flag, "Close", "关闭"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List);
    layout->addWidget(buttons);
    const QRect screen = (parent ? parent->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    resize(qMin(820, screen.width() * 9 / 10), qMin(480, screen.height() * 8 / 10));
    refill();
}

void MessageHistoryView::refill()
{
    setWindowTitle(title(Language_Flag));
    const auto colour = [](MessageHistory::Kind kind) {
        switch (kind) {
        case MessageHistory::Kind::Problem: return QStringLiteral("#ff8a80");
        case MessageHistory::Kind::Notice: return QStringLiteral("#ffc83c");
        case MessageHistory::Kind::Success: return QStringLiteral("#78e682");
        case MessageHistory::Kind::Info: break;
        }
        return QStringLiteral("#ffffff");
    };
    QString html = QStringLiteral("<table cellspacing='0' cellpadding='3'>");
    const auto& entries = History.entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        html += QStringLiteral("<tr><td valign='top' style='color:#a0a0a0'>%1</td><td style='color:%2'>%3")
                    .arg(it->time.toString(QStringLiteral("HH:mm:ss")), colour(it->kind), it->text.toHtmlEscaped());
        if (!it->details.isEmpty())
            html += QStringLiteral("<div style='color:#c8c8c8; margin-left:16px'>%1</div>")
                        .arg(it->details.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>")));
        html += QStringLiteral("</td></tr>");
    }
    html += QStringLiteral("</table>");
    if (entries.empty())
        html = RunTimeTexts::pick(Language_Flag, "No messages yet", "暂无消息").toHtmlEscaped();
    List->setHtml(html);
}
