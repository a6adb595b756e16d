// What the window tells the user, and that it can be found again: the status
// line's history, read-back and import outcomes, the report that fits the
// screen, what is offered without a keypad, and the old keypads' lighting.

#include "widget_harness.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QScreen>

#include <QLabel>

#include "app/window/message_history.h"
#include "app/window/profile_actions.h"
#include "app/window/report_dialog.h"
#include "app/window/settings_menu.h"
#include "app/window/status_line.h"
#include "app/window/unsaved_changes.h"
#include "app/pages/led_page.h"

using namespace harness;

namespace {

struct FakeDialogs : ProfileDialogs {
    QString path;
    QString openedIn;
    QStringList told;
    QString openFileName(QWidget*, const QString&, const QString& folder, const QString&) override
    {
        openedIn = folder;
        return path;
    }
    void tell(QWidget*, const QString&, const QString& text, bool) override { told << text; }
};

const MessageHistory::Entry& latest(Widget& w) { return w.statusLine().history().entries().back(); }

}  // namespace

class TestWidgetMessages : public QObject {
    Q_OBJECT

private slots:
    void historyKeepsWhatWentBy();
    void partialImportIsANoticeAndImportStartsInTheLastFolder();
    void longReportFitsTheScreen();
    void withoutKeypadSaveAndReadAreOff();
    void lightingIsShownAsChosen();
};

// A save, a read-back in both languages, a read-back cut short, then more
// notices than the history keeps: the newest 20 remain, with their times,
// and a click on the status line shows them.
void TestWidgetMessages::historyKeepsWhatWentBy()
{
    SimulatedKeypad keypad(DeviceInfo{3, 1, 10, 0});
    auto w = freshWindow(keypad);
    w->show();
    connectKeypad(*w);
    click(keyButton(*w, 1));
    click(*w, "key_A");
    click(*w, "download");
    QCOMPARE(latest(*w).text, QStringLiteral("Saved successfully"));
    QCOMPARE(latest(*w).kind, MessageHistory::Kind::Success);
    QVERIFY(latest(*w).time.secsTo(QDateTime::currentDateTime()) < 5);

    click(*w, "Read_Configuration");
    QCOMPARE(status(*w), QStringLiteral("Read 3 layers from the keypad"));
    w->on_change_clicked();
    click(*w, "Read_Configuration");
    QCOMPARE(status(*w), QStringLiteral("已从键盘读取 3 层"));
    w->on_change_clicked();

    keypad.faults.missingReplies = {keypad.repliesProduced + 3};
    click(*w, "Read_Configuration");
    QCOMPARE(latest(*w).kind, MessageHistory::Kind::Notice);
    QVERIFY2(status(*w).startsWith(QLatin1String("Read ")) && status(*w).contains(QLatin1String(" of ")),
             qPrintable(status(*w)));

    for (int i = 0; i < MessageHistory::kKept + 5; ++i)
        w->statusLine().showInfo(QStringLiteral("note %1").arg(i), false);
    const auto& entries = w->statusLine().history().entries();
    QCOMPARE(int(entries.size()), MessageHistory::kKept);
    QCOMPARE(entries.back().text, QStringLiteral("note %1").arg(MessageHistory::kKept + 4));

    click(*w, "Dev_Sta_Dsp");
    auto* view = w->findChild<MessageHistoryView*>();
    QVERIFY(view && view->isVisible());
    QVERIFY(view->findChild<QWidget*>(QStringLiteral("messageHistoryList")));
    view->close();
}

// The 15-key example on a 3-key board: what fits is imported, the rest is
// listed; the status is a notice, not the failure red, and keeps the list.
// The next Import opens where the file came from, not in the backups.
void TestWidgetMessages::partialImportIsANoticeAndImportStartsInTheLastFolder()
{
    SimulatedKeypad keypad(DeviceInfo{3, 1, 10, 0});
    auto w = freshWindow(keypad);
    auto* dialogs = new FakeDialogs;
    w->profiles().setDialogs(std::unique_ptr<ProfileDialogs>(dialogs));
    connectKeypad(*w);
    const QString examples = QStringLiteral(TESSAPLEX_SOURCE_DIR "/docs/examples");
    dialogs->path = examples + QLatin1String("/fifteen-keys-three-knobs.json");
    click(*w, "importProfile");

    QVERIFY(w->config().anyUnsaved());
    QCOMPARE(latest(*w).kind, MessageHistory::Kind::Notice);
    QVERIFY(latest(*w).details.contains(QLatin1String("K4")));
    QVERIFY(!button(*w, "Dev_Sta_Dsp")->styleSheet().contains(QLatin1String("220,0,0")));
    QCOMPARE(dialogs->told.size(), 1);
    const QString summary = dialogs->told[0].section(QLatin1String("\n\n"), 0, 0);
    QVERIFY2(!summary.contains(QLatin1Char('\n')) && summary.contains(QLatin1String("not imported")),
             qPrintable(summary));

    click(*w, "importProfile");
    QCOMPARE(QDir(dialogs->openedIn), QDir(examples));
}

// Eighty lines of details on whatever screen the test runs on: the dialog
// stays within the screen and its OK button within the dialog.
void TestWidgetMessages::longReportFitsTheScreen()
{
    QStringList lines;
    for (int i = 1; i <= 80; ++i)
        lines << QStringLiteral("layer 1, K%1 (Ctrl+ Z): this keypad has 3 keys").arg(i);
    ReportDialog report(nullptr, QStringLiteral("Import profile"), QStringLiteral("1 change imported, 80 not imported"),
                        lines.join(QLatin1Char('\n')), false);
    report.show();
    QVERIFY(QTest::qWaitForWindowExposed(&report));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(report.frameGeometry().height() <= screen.height());
    QPushButton* ok = report.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QVERIFY(report.rect().contains(QRect(ok->mapTo(&report, QPoint(0, 0)), ok->size())));
    QVERIFY(report.findChild<QLabel*>(QStringLiteral("reportSummary"))->text().startsWith(QLatin1String("1 change")));
}

// Without a keypad nothing can be saved or read: the buttons say so; a
// keypad turns them on, an unplug off again, and the close question then
// offers only what can be done.
void TestWidgetMessages::withoutKeypadSaveAndReadAreOff()
{
    SimulatedKeypad keypad(DeviceInfo{3, 1, 10, 0});
    auto w = freshWindow(keypad);
    QPushButton* save = button(*w, "download");
    QPushButton* read = button(*w, "Read_Configuration");
    QVERIFY(!save->isEnabled() && !read->isEnabled());
    QVERIFY(save->toolTip().contains(QLatin1String("No keypad")));
    connectKeypad(*w);
    QVERIFY(save->isEnabled() && read->isEnabled());

    click(keyButton(*w, 1));
    click(*w, "key_A");
    keypad.unplug();
    tick(*w);
    QVERIFY(!save->isEnabled() && !read->isEnabled());
    QString asked;
    QMessageBox::StandardButtons offered;
    w->unsavedChanges().setQuestion([&](const QString&, const QString& text, QMessageBox::StandardButtons buttons) {
        asked = text;
        offered = buttons;
        return QMessageBox::Cancel;
    });
    QVERIFY(!w->close());
    QVERIFY(!offered.testFlag(QMessageBox::Save));
    QVERIFY2(!asked.contains(QLatin1String("Save it")) && asked.contains(QLatin1String("no keypad")),
             qPrintable(asked));
    w->unsavedChanges().setQuestion(
        [](const QString&, const QString&, QMessageBox::StandardButtons) { return QMessageBox::Discard; });
}

// Old keypads: "LED Mode3" then "Blue" shows both in the text box and both
// buttons as chosen. Current keypads: the key selected on the LED page keeps
// its yellow frame over its colour.
void TestWidgetMessages::lightingIsShownAsChosen()
{
    SimulatedKeypad old(DeviceInfo{15, 3, 9, 0});
    auto w = freshWindow(old);
    w->settings().showAllControls(true, false);
    connectKeypad(*w);
    showPage(*w, 3);
    click(*w, "LED_Mode_3");
    click(*w, "LED_color_6");
    QCOMPARE(textBox(*w)->toPlainText(), QStringLiteral("LED Mode3   Blue"));
    QCOMPARE(button(*w, "LED_Mode_3")->styleSheet(), LedPage::modeStyle(true));
    QCOMPARE(button(*w, "LED_color_6")->styleSheet(), LedPage::colourButtonStyle(Qt::blue, true));
    QCOMPARE(button(*w, "LED_color_5")->styleSheet(), LedPage::colourButtonStyle(Qt::cyan, false));
    w->unsavedChanges().setQuestion(
        [](const QString&, const QString&, QMessageBox::StandardButtons) { return QMessageBox::Discard; });
    w.reset();

    SimulatedKeypad current(DeviceInfo{15, 3, 10, 0});
    w = freshWindow(current);
    connectKeypad(*w);
    click(keyButton(*w, 3));
    showPage(*w, 3);
    QVERIFY(keyButton(*w, 3)->styleSheet().contains(QLatin1String("#e1e100")));
    click(keyButton(*w, 5));
    QVERIFY(keyButton(*w, 5)->styleSheet().contains(QLatin1String("#e1e100")));
    QVERIFY(!keyButton(*w, 3)->styleSheet().contains(QLatin1String("#e1e100")));
}

QTEST_MAIN(TestWidgetMessages)
#include "test_widget_messages.moc"
