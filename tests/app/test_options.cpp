#include <QtTest>

#include "app/options.h"

class TestOptions : public QObject {
    Q_OBJECT

private slots:
    void simulateDefaultsToFifteenKeysThreeKnobsVersionTen()
    {
        const ProgramOptions o = parseProgramOptions({"tessaplex", "--simulate"});
        QCOMPARE(o.action, ProgramOptions::Action::Run);
        QVERIFY(o.simulate);
        QCOMPARE(int(o.simulated.keys), 15);
        QCOMPARE(int(o.simulated.knobs), 3);
        QCOMPARE(int(o.simulated.version), 10);
        QCOMPARE(int(o.simulated.variant), 0);
    }

    void simulateTakesFourValues()
    {
        const ProgramOptions o = parseProgramOptions({"tessaplex", "--simulate=6,2,9,1"});
        QCOMPARE(o.action, ProgramOptions::Action::Run);
        QCOMPARE(int(o.simulated.keys), 6);
        QCOMPARE(int(o.simulated.knobs), 2);
        QCOMPARE(int(o.simulated.version), 9);
        QCOMPARE(int(o.simulated.variant), 1);
    }

    void badValuesAreErrors_data()
    {
        QTest::addColumn<QString>("arg");
        QTest::newRow("three values") << "--simulate=1,2,3";
        QTest::newRow("five values") << "--simulate=1,2,3,4,5";
        QTest::newRow("not a number") << "--simulate=a,2,3,4";
        QTest::newRow("too large") << "--simulate=256,2,3,4";
        QTest::newRow("negative") << "--simulate=-1,2,3,4";
        QTest::newRow("empty") << "--simulate=";
        QTest::newRow("unknown option") << "--simulated";
    }
    void badValuesAreErrors()
    {
        QFETCH(QString, arg);
        const ProgramOptions o = parseProgramOptions({"tessaplex", arg});
        QCOMPARE(o.action, ProgramOptions::Action::Error);
        QVERIFY(!o.error.isEmpty());
    }

    void helpWinsAndQtOptionsPassThrough()
    {
        QCOMPARE(parseProgramOptions({"tessaplex", "--simulate=x", "--help"}).action,
                 ProgramOptions::Action::Error);  // first bad value stops parsing
        QCOMPARE(parseProgramOptions({"tessaplex", "-h"}).action, ProgramOptions::Action::ShowHelp);
        const ProgramOptions o = parseProgramOptions({"tessaplex", "-platform", "offscreen", "--simulate"});
        QCOMPARE(o.action, ProgramOptions::Action::Run);
        QVERIFY(o.simulate);
        QVERIFY(programUsage("tessaplex").contains("--simulate"));
        const ProgramOptions silent = parseProgramOptions({"tessaplex", "--simulate-silent", "--simulate=3,1,9,0"});
        QVERIFY(silent.simulate && silent.simulated.silent);
        QCOMPARE(int(silent.simulated.keys), 3);
    }
};

QTEST_GUILESS_MAIN(TestOptions)
#include "test_options.moc"
