#include <QtTest>

#include "core/startup/options.h"
#include "core/startup/simulated_setup.h"

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
    // The window and tessaplex-cli share the state file: the window takes the
    // keypad the file holds and refuses a damaged file or another board.
    void simulateStateKeepsTheKeypadTheFileHolds()
    {
        const ProgramOptions bare = parseProgramOptions({"tessaplex", "--simulate-state", "k.json"});
        QVERIFY(bare.simulate && !bare.boardGiven);
        QCOMPARE(bare.simulateState, QString("k.json"));
        const ProgramOptions named = parseProgramOptions({"tessaplex", "--simulate=6,2,9,1", "--simulate-state", "k.json"});
        QVERIFY(named.boardGiven);
        QCOMPARE(parseProgramOptions({"tessaplex", "--simulate-state="}).action, ProgramOptions::Action::Error);

        QTemporaryDir dir;
        const QString path = dir.filePath("k.json");
        // Each setup holds the file's lock while it lives, as a run does.
        {
            SimulatedSetup first;
            QCOMPARE(first.setUp(named.simulated, true, path), SimulatedSetup::Outcome::Created);
            first.keypad().storedRecords[0][3][3] = 1;
            QVERIFY(first.flush());
            // A new simulated keypad lights its keys in the factory palette (key 1 red).
            QCOMPARE(int(first.keypad().ledBlocks[0].colours[0]), 0xFF);
        }
        {
            SimulatedSetup again;
            QCOMPARE(again.setUp(bare.simulated, false, path), SimulatedSetup::Outcome::Ready);
            QCOMPARE(int(again.keypad().info.keys), 6);
            QCOMPARE(int(again.keypad().storedRecords[0][3][3]), 1);
        }
        {
            SimulatedSetup other;
            QCOMPARE(other.setUp(bare.simulated, true, path), SimulatedSetup::Outcome::BoardMismatch);
            QVERIFY(other.message().contains(path));
        }

        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("not json");
        file.close();
        SimulatedSetup damaged;
        QCOMPARE(damaged.setUp(bare.simulated, false, path), SimulatedSetup::Outcome::Damaged);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("not json"));
    }
};

QTEST_GUILESS_MAIN(TestOptions)
#include "test_options.moc"
