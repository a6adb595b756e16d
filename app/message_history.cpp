#include "app/message_history.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "pages/run_time_texts.h"

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

MessageHistoryView::MessageHistoryView(QWidget* parent, const MessageHistory& history, const int& languageFlag)
    : QDialog(parent), History(history), Language_Flag(languageFlag)
{
    setObjectName(QStringLiteral("messageHistory"));
    // The window's dark sheet would reach the list; a dialog of its own reads plainly.
    setStyleSheet(QStringLiteral("QDialog, QTreeWidget { background-color: rgb(50, 50, 50); color: #FFFFFF; }"
                                 "QHeaderView::section { background-color: rgb(70, 70, 70); color: #FFFFFF; "
                                 "border: 0px; padding: 4px; }"
                                 "QPushButton { background-color: rgb(75, 75, 75); color: #FFFFFF; "
                                 "border: 1px solid rgb(110, 110, 110); border-radius: 6px; padding: 4px 18px; }"
                                 "QPushButton:focus { border: 2px solid #e1e100; }"));
    List = new QTreeWidget(this);
    List->setObjectName(QStringLiteral("messageHistoryList"));
    List->setColumnCount(2);
    List->setRootIsDecorated(false);
    List->setWordWrap(true);
    List->setUniformRowHeights(false);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->header()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    buttons->button(QDialogButtonBox::Close)->setText(RunTimeTexts::pick(languageFlag, "Close", "关闭"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List);
    layout->addWidget(buttons);
    const QRect screen = (parent ? parent->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    resize(qMin(760, screen.width() * 9 / 10), qMin(440, screen.height() * 8 / 10));
    refill();
}

void MessageHistoryView::refill()
{
    setWindowTitle(title(Language_Flag));
    List->setHeaderLabels({RunTimeTexts::pick(Language_Flag, "Time", "时间"),
                           RunTimeTexts::pick(Language_Flag, "Message", "消息")});
    List->clear();
    const auto& entries = History.entries();
    bool anyDetails = false;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        auto* item = new QTreeWidgetItem(List, {it->time.toString(QStringLiteral("HH:mm:ss")), it->text});
        item->setToolTip(1, it->text);
        // A report's lines under its message, folded away.
        for (const QString& line : it->details.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            auto* child = new QTreeWidgetItem(item, {QString(), line});
            child->setToolTip(1, line);
            anyDetails = true;
        }
        switch (it->kind) {
        case MessageHistory::Kind::Problem: item->setForeground(1, QColor(255, 120, 110)); break;
        case MessageHistory::Kind::Notice: item->setForeground(1, QColor(255, 200, 90)); break;
        case MessageHistory::Kind::Success: item->setForeground(1, QColor(120, 230, 130)); break;
        case MessageHistory::Kind::Info: break;
        }
    }
    List->setRootIsDecorated(anyDetails);
    if (entries.empty())
        new QTreeWidgetItem(List, {QString(), RunTimeTexts::pick(Language_Flag, "No messages yet", "暂无消息")});
    List->resizeColumnToContents(0);
    List->setCurrentItem(List->topLevelItem(0));
}
