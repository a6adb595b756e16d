#include "widget_harness.h"

#include <QApplication>

#include "app/edit_history.h"

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
    void init()
    {
        keypad = std::make_unique<SimulatedKeypad>(DeviceInfo{15, 3, 10, 0});
        w = freshWindow(*keypad);
        w->show();
        QApplication::setActiveWindow(w.get());
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        connectKeypad(*w);
    }
    void cleanup()
    {
        w.reset();
        keypad.reset();
    }

    void tabReachesKeysAndValuesAndSpaceAssigns();

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

QTEST_MAIN(TestWidgetKeyboard)
#include "test_widget_keyboard.moc"
