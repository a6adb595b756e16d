#include "widget_harness.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QTextBrowser>
#include <QToolTip>

#include "app/window/help_window.h"
#include "build_config.h"
#include "core/profile/backup_store.h"

#include "app/window/edit_history.h"

using namespace harness;

namespace {

QWidget* focused() { return QApplication::focusWidget(); }

void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = focused() ? focused() : currentWindow();
    QTest::keyClick(target, Qt::Key(k), modifiers);
}

// Tab until the focus is on target; false after a whole round without it.
bool tabTo(const QWidget* target, int* steps = nullptr)
{
    for (int n = 1; n <= 400; ++n) {
        key(Qt::Key_Tab);
        if (focused() == target) {
            if (steps)
                *steps = n;
            return true;
        }
    }
    return false;
}

}  // namespace

class TestWidgetKeyboard : public QObject {
    Q_OBJECT

private slots:
    void init() { openConnectedWindow(keypad, w, Focus::Active); }
    void cleanup()
    {
        w.reset();
        keypad.reset();
    }

    void tabReachesKeysAndValuesAndSpaceAssigns();
    void helpAndAboutTellWhatIsTrue();
    void knobCaptionBelongsToItsArrow();

private:
    std::unique_ptr<SimulatedKeypad> keypad;
    std::unique_ptr<Widget> w;
};

void TestWidgetKeyboard::tabReachesKeysAndValuesAndSpaceAssigns()
{
    // The action column first, then the picture.
    int steps = 0;
    QVERIFY(tabTo(keyButton(*w, 1), &steps));
    QVERIFY(steps > 1);
    QCOMPARE(focused()->objectName(), keyButton(*w, 1)->objectName());
    key(Qt::Key_Space);
    QCOMPARE(w->config().selectedKey(), 1);

    // Arrows move the focus across the picture, not the selection.
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    QCOMPARE(focused(), keyButton(*w, 7));
    QCOMPARE(w->config().selectedKey(), 1);
    key(Qt::Key_Return);
    QCOMPARE(w->config().selectedKey(), 7);

    // On to the pages: Space and Enter give a value as a click does, one step each.
    QVERIFY(tabTo(button(*w, "key_A")));
    key(Qt::Key_Space);
    QVERIFY(tabTo(button(*w, "key_B")));
    key(Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(keyButton(*w, 7)->text(), QStringLiteral("A B"));
    QCOMPARE(w->history()->count(), 2);

    // Shift+Tab walks back into the picture from the pages.
    QVERIFY(tabTo(keyButton(*w, 24)));
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focused(), keyButton(*w, 23));
}

// Headings, numbered steps and list items, in order: what a translation
// that fell behind its source would lack.
QStringList outline(const QString& markdown)
{
    QStringList marks;
    const QRegularExpression item(QStringLiteral("^(#+|\\d+\\.|-) "));
    for (const QString& line : markdown.split('\n')) {
        const QRegularExpressionMatch m = item.match(line);
        if (m.hasMatch())
            marks << m.captured(1);
    }
    return marks;
}

void TestWidgetKeyboard::helpAndAboutTellWhatIsTrue()
{
    key(Qt::Key_F1);
    QDialog* help = w->help().helpDialog();
    QVERIFY(help && help->isVisible());
    const QString shown = help->findChild<QTextBrowser*>("helpText")->toPlainText();
    QVERIFY(shown.startsWith(QStringLiteral("Using it")));

    // The README's own words, pictures left out; the translation keeps step with them.
    QFile readme(QStringLiteral(TESSAPLEX_SOURCE_DIR "/README.md"));
    QVERIFY(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const int start = text.indexOf(QStringLiteral("\n## Using it\n")) + 1;
    const QString section = text.mid(start, text.indexOf(QStringLiteral("\n## "), start) - start);
    const QString english = HelpWindows::helpText(1);
    for (const QString& line : section.split('\n')) {
        if (!line.contains(QStringLiteral("![")) && !line.startsWith('|'))
            QVERIFY2(english.contains(line), qPrintable(line));
    }
    QVERIFY(!english.contains(QStringLiteral("![")));
    QCOMPARE(outline(HelpWindows::helpText(0)), outline(english));

    w->settingsMenu()->findChild<QAction*>("about")->trigger();
    QDialog* about = w->help().aboutDialog();
    QVERIFY(about && about->isVisible());
    const QString said = about->findChild<QLabel*>("aboutText")->text();
    for (const QString& fact : {QString::fromLatin1(TESSAPLEX_VERSION_STRING), QStringLiteral("MIT"),
                                QSettings().fileName(), BackupStore::forUser().baseDir()})
        QVERIFY2(said.contains(fact.toHtmlEscaped()), qPrintable(fact));
}

void TestWidgetKeyboard::knobCaptionBelongsToItsArrow()
{
    QPushButton* arrow = keyButton(*w, 16);
    QPushButton* knob = keyButton(*w, 17);
    QVERIFY(knob->geometry().intersects(arrow->geometry()));
    click(arrow);
    for (const char* value : {"pushButton_Ctrl", "pushButton_Shift", "pushButton_Alt", "key_A", "key_B", "key_C"})
        click(*w, value);
    QVERIFY(!arrow->toolTip().isEmpty());  // too long for the arrow at any size

    // The caption under the arrow is the arrow's to the last pixel; the knob keeps its middle.
    const int bandTop = arrow->y() + arrow->height() * 7 / 10 + 1;
    for (int y = bandTop; y < arrow->geometry().bottom(); y += 2) {
        for (int x = arrow->x(); x <= arrow->geometry().right(); x += 2)
            QCOMPARE(w->childAt(x, y), arrow);
    }
    QCOMPARE(w->childAt(knob->geometry().center()), knob);

    const QPoint onCaption(arrow->width() / 2, arrow->height() - 3);
    QHelpEvent hover(QEvent::ToolTip, onCaption, arrow->mapToGlobal(onCaption));
    QApplication::sendEvent(w->childAt(arrow->mapTo(w.get(), onCaption)), &hover);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), arrow->text());
    w->history()->undo();  // the caption changes under the pointer: its old tooltip goes
    QTRY_VERIFY(!QToolTip::isVisible());
}

QTEST_MAIN(TestWidgetKeyboard)
#include "test_widget_keyboard.moc"
