#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "core/device/keypad_lock.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

// fault: the simulated keypad's test-only fault, empty for none.
Run cli(const QStringList& args, const QString& fault = QString())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_LOGGING_RULES");
    environment.remove("TESSAPLEX_CLI_SIMULATE_FAULT");
    if (!fault.isEmpty())
        environment.insert("TESSAPLEX_CLI_SIMULATE_FAULT", fault);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TESSAPLEX_CLI_PATH), args);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit)
        return Run{};
    return Run{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
               QString::fromUtf8(process.readAllStandardError())};
}

// The command line through a shell, for redirections QProcess cannot make.
Run shell(const QString& script, const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral("/bin/sh"), QStringList{"-c", script, QStringLiteral(TESSAPLEX_CLI_PATH)} + args);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit)
        return Run{};
    return Run{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
               QString::fromUtf8(process.readAllStandardError())};
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

mode_t fileType(const QString& path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

// A profile of one layer: keys is the JSON of its keys, board "keys, knobs, firmware".
QString profileFile(const QString& path, int keys, int knobs, int firmware, const char* keyJson)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(QStringLiteral(R"({"format": "tessaplex-profile", "version": 1, "keypad": {"keys": %1, "knobs": %2,
                                 "firmware": %3, "variant": 0}, "layers": [{"layer": 1, "keys": %4}]})")
                   .arg(keys).arg(knobs).arg(firmware).arg(QLatin1String(keyJson)).toUtf8());
    return path;
}

QJsonValue json(const QString& text) { return QJsonDocument::fromJson(text.toUtf8()).object(); }

}  // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void usageErrorsExit64BeforeTouchingTheKeypad_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("said");
        // Without --simulate: a usage error must not even look at the USB bus.
        QTest::newRow("no command") << QStringList{} << "no command";
        QTest::newRow("unknown command") << QStringList{"frob"} << "unknown command \"frob\"";
        QTest::newRow("unknown option") << QStringList{"info", "--frob"} << "frob";
        QTest::newRow("bad board") << QStringList{"--simulate=15,3", "info"} << "four numbers";
        QTest::newRow("board out of range") << QStringList{"--simulate=15,3,10,256", "info"} << "VARIANT";
        QTest::newRow("surplus argument") << QStringList{"list", "x"} << "unexpected argument \"x\"";
        QTest::newRow("layer 4") << QStringList{"set", "--layer", "4", "K3", "A"} << "--layer must be 1, 2 or 3";
        QTest::newRow("no such key") << QStringList{"set", "K26", "A"} << "no key \"K26\"";
        QTest::newRow("no such knob") << QStringList{"set", "knob 5 left", "A"} << "no key \"knob 5 left\"";
        QTest::newRow("set without action") << QStringList{"set", "K3"} << "needs an ACTION";
        QTest::newRow("clear key and all") << QStringList{"clear", "K1", "--all"} << "not both";
        QTest::newRow("led without layer") << QStringList{"led", "--mode", "1"} << "needs --layer";
        QTest::newRow("led mode 6") << QStringList{"led", "--layer", "1", "--mode", "6"} << "from 0 to 5";
        QTest::newRow("bad colour") << QStringList{"led", "--layer", "1", "--mode", "1", "--colour", "K17=#ffffff"}
                                    << "K1 to K16";
        QTest::newRow("write without file") << QStringList{"write"} << "needs a profile FILE";
    }

    void usageErrorsExit64BeforeTouchingTheKeypad()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, said);
        const Run run = cli(args);
        QCOMPARE(run.code, 64);
        QVERIFY2(run.err.contains(said) && run.err.contains("--help"), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }

    void everyCommandHasHelp()
    {
        const Run global = cli({"--help"});
        QCOMPARE(global.code, 0);
        for (const char* code : {"64", "65", "69", "74", "77"})
            QVERIFY(global.out.contains(QLatin1String("  ") + code + "  "));
        const QStringList commands = {"list", "info", "read", "write", "diff", "set", "clear", "led", "doctor"};
        for (const QString& command : commands) {
            QVERIFY2(global.out.contains("  " + command + " "), qPrintable(command));
            const Run help = cli({command, "--help"});
            QCOMPARE(help.code, 0);
            QVERIFY(help.out.startsWith("Usage: tessaplex-cli [options] " + command));
            QVERIFY(help.out.contains("Exit status"));
        }
    }

    void listAndInfoDescribeTheSimulatedKeypad()
    {
        const Run list = cli({"--simulate", "list"});
        QCOMPARE(list.code, 0);
        QVERIFY2(list.out.contains(QRegularExpression("/dev/hidraw0 +1189:8840 +0 +can be opened")),
                 qPrintable(list.out));
        const QJsonArray entries = QJsonDocument::fromJson(cli({"--simulate", "list", "--json"}).out.toUtf8()).array();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0]["productId"].toString(), QString("8840"));
        QCOMPARE(entries[0]["canOpen"].toBool(), true);

        const Run info = cli({"--simulate", "info"});
        QCOMPARE(info.code, 0);
        QVERIFY2(info.out.contains("model:          15+3KEY") && info.out.contains("record format:  current"),
                 qPrintable(info.out));
        QVERIFY2(info.err.isEmpty(), qPrintable(info.err));  // no debug lines of the device layer

        const QJsonValue old = json(cli({"--simulate=4,1,9,1", "info", "--json"}).out);
        QCOMPARE(old["keys"].toInt(), 4);
        QCOMPARE(old["firmware"].toInt(), 9);
        QCOMPARE(old["recordFormat"].toString(), QString("old"));
        QCOMPARE(old["model"].toString(), QString("4+1_2KEY"));  // told apart from 4+1KEY by the variant
        QVERIFY(json(cli({"--simulate=7,0,10,0", "info", "--json"}).out)["model"].isNull());
    }

    void missingKeypadAndDeniedNodeNameTheFix()
    {
        for (const QString& command : {"list", "info"}) {
            const Run absent = cli({"--simulate", command}, "unplugged");
            QCOMPARE(absent.code, 69);
            QVERIFY2(absent.err.contains("no keypad found"), qPrintable(absent.err));
        }
        QCOMPARE(cli({"--simulate", "--device", "/dev/hidraw9", "info"}).code, 69);

        const Run denied = cli({"--simulate", "info"}, "no-permission");
        QCOMPARE(denied.code, 77);
        QVERIFY2(denied.err.contains("/dev/hidraw0") && denied.err.contains("70-tessaplex.rules") &&
                     denied.err.contains("udevadm control --reload"),
                 qPrintable(denied.err));
        const Run listed = cli({"--simulate", "list", "--json"}, "no-permission");
        QCOMPARE(listed.code, 0);
        const QJsonObject entry = QJsonDocument::fromJson(listed.out.toUtf8()).array()[0].toObject();
        QCOMPARE(entry["problem"].toString(), QString("permission-denied"));
        QVERIFY(entry["fix"].toString().contains("70-tessaplex.rules"));

        const Run silent = cli({"--simulate", "info"}, "silent");
        QCOMPARE(silent.code, 74);
        QVERIFY2(silent.err.contains("did not say which board"), qPrintable(silent.err));
    }

    void simulatedStateOutlivesTheRunAndIsNeverReplacedWhenDamaged()
    {
        QTemporaryDir dir;
        const QString state = dir.filePath("keypad.json");
        QCOMPARE(cli({"--simulate=9,2,9,0", "--simulate-state", state, "info"}).code, 0);
        QVERIFY(QFile::exists(state));
        // The second run names no board: the keypad is the one the file holds.
        const QJsonValue again = json(cli({"--simulate-state", state, "info", "--json"}).out);
        QCOMPARE(again["keys"].toInt(), 9);
        QCOMPARE(again["recordFormat"].toString(), QString("old"));
        const Run other = cli({"--simulate=15,3,10,0", "--simulate-state", state, "info"});
        QCOMPARE(other.code, 64);
        QVERIFY2(other.err.contains(state), qPrintable(other.err));

        QFile file(state);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{ \"format\": \"tessaplex-simulated-keypad\", \"version\": 1 ");
        file.close();
        const Run damaged = cli({"--simulate-state", state, "info"});
        QCOMPARE(damaged.code, 65);
        QVERIFY2(damaged.err.contains(state) && damaged.err.contains("damaged"), qPrintable(damaged.err));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().endsWith("\"version\": 1 "));
    }

    // Edits through set, clear and led land in the keypad's memory: a later
    // run reads them back, and a profile of one keypad makes another the same.
    void profileRoundTripBetweenTwoKeypads_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QStringList>("led");
        QTest::newRow("current format") << "15,3,10,0"
                                        << QStringList{"led", "--layer", "2", "--mode", "3", "--colour", "K4=#ff8000"};
        QTest::newRow("old format") << "9,2,9,0" << QStringList();
    }
    void profileRoundTripBetweenTwoKeypads()
    {
        QFETCH(QString, board);
        QFETCH(QStringList, led);
        QTemporaryDir dir;
        const QStringList a = {"-q", "--simulate=" + board, "--simulate-state", dir.filePath("a.json")};
        const QStringList b = {"-q", "--simulate=" + board, "--simulate-state", dir.filePath("b.json")};
        const QList<QStringList> edits = {{"set", "K1", "Ctrl+", "Shift+", "Z"},
                                          {"set", "--layer", "2", "K3", "H", "E", "L", "L", "O"},
                                          {"set", "--layer", "3", "knob 1 right", "Volume+"},
                                          {"set", "knob 2 press", "Mouse", "LeftKey"},
                                          {"set", "K5", "A"},
                                          {"clear", "K5"}};
        for (const QStringList& edit : edits)
            QCOMPARE(cli(a + edit).code, 0);
        if (!led.isEmpty())
            QCOMPARE(cli(a + led).code, 0);

        const QString profile = dir.filePath("a-profile.json");
        QCOMPARE(cli(a + QStringList{"read", "-o", profile}).code, 0);
        const Run readA = cli(a + QStringList{"read"});
        for (const char* words : {"\"K1\": \"Ctrl+ Shift+ Z\"", "\"K3\": \"H E L L O\"",
                                  "\"knob 1 right\": \"Volume+\"", "\"knob 2 press\": \"Mouse LeftKey\""})
            QVERIFY2(readA.out.contains(QLatin1String(words)), qPrintable(readA.out));
        QVERIFY(!readA.out.contains("\"K5\""));  // cleared: empty, as if never written
        QCOMPARE(readA.out.contains("#ff8000"), !led.isEmpty());

        const Run before = cli(b + QStringList{"diff", profile});
        QCOMPARE(before.code, 1);  // as diff(1): they differ
        QVERIFY(before.out.contains("layer 1, K1: none -> Ctrl+ Shift+ Z"));
        QCOMPARE(cli(b + QStringList{"write", profile}).code, 0);
        QCOMPARE(cli(b + QStringList{"read"}).out, readA.out);
        const Run after = cli(b + QStringList{"diff", profile});
        QCOMPARE(after.out, QString("no differences\n"));
        QCOMPARE(after.code, 0);

        QCOMPARE(cli(b + QStringList{"clear", "--layer", "2", "--all"}).code, 0);
        const QJsonObject diff =
            QJsonDocument::fromJson(cli(b + QStringList{"--json", "diff", profile}).out.toUtf8()).object();
        QCOMPARE(diff["differences"].toArray().size(), 1);
        QCOMPARE(diff["differences"][0]["place"].toString(), QString("K3"));
    }

    // Nothing may reach the keypad from a dry run or from a profile that
    // fails its checks: the keypad's memory file stays byte for byte.
    void dryRunAndInvalidProfileSendNothing()
    {
        QTemporaryDir dir;
        const QStringList keypad = {"--simulate-state", dir.filePath("k.json")};
        const QString profile = dir.filePath("p.json");
        QCOMPARE(cli(keypad + QStringList{"set", "K2", "Ctrl+", "C"}).code, 0);
        QCOMPARE(cli(keypad + QStringList{"read", "-o", profile}).code, 0);
        QCOMPARE(cli(keypad + QStringList{"set", "K2", "Ctrl+", "V"}).code, 0);
        QFile state(dir.filePath("k.json"));
        QVERIFY(state.open(QIODevice::ReadOnly));
        const QByteArray before = state.readAll();
        state.close();

        const Run dry = cli(keypad + QStringList{"write", "--dry-run", profile});
        QCOMPARE(dry.code, 0);
        QCOMPARE(dry.out, QString("layer 1, K2: Ctrl+ V -> Ctrl+ C\n"));

        QFile bad(profile);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(R"({"format": "tessaplex-profile", "version": 1,
                     "keypad": {"keys": 15, "knobs": 3, "firmware": 10, "variant": 0},
                     "layers": [{"layer": 1, "keys": {"K1": "A", "K2": "Frobnicate"}}]})");
        bad.close();
        const Run invalid = cli(keypad + QStringList{"write", profile});
        QCOMPARE(invalid.code, 65);
        QVERIFY2(invalid.err.contains("K2") && invalid.err.contains("Nothing was sent"), qPrintable(invalid.err));
        QCOMPARE(cli(keypad + QStringList{"diff", profile}).code, 65);

        QVERIFY(state.open(QIODevice::ReadOnly));
        QCOMPARE(state.readAll(), before);
    }

    // Writes 1 to 7 read the keypad (identity, three key layers, three LED
    // blocks); the records follow in slot order.
    void failingWriteExits74AndSaysWhatWent()
    {
        QTemporaryDir dir;
        const QString profile = dir.filePath("p.json");
        const QStringList source = {"-q", "--simulate-state", dir.filePath("source.json")};
        QCOMPARE(cli(source + QStringList{"set", "K1", "A"}).code, 0);
        QCOMPARE(cli(source + QStringList{"set", "K2", "B"}).code, 0);
        QCOMPARE(cli(source + QStringList{"read", "-o", profile}).code, 0);

        const QStringList target = {"--simulate-state", dir.filePath("target.json"), "write", profile};
        const Run failed = cli(target, "fail-write=9");
        QCOMPARE(failed.code, 74);
        QVERIFY2(failed.err.contains("saved and committed: layer 1, K1\n") &&
                     failed.err.contains("not saved: layer 1, K2\n"),
                 qPrintable(failed.err));
        // What went was committed: the next write sends only the rest.
        const Run rest = cli(target);
        QCOMPARE(rest.code, 0);
        QVERIFY2(rest.err.contains("layer 1, K2: none -> B") && !rest.err.contains("K1:"),
                 qPrintable(rest.err));

        const Run unplugged = cli({"--simulate-state", dir.filePath("other.json"), "write", profile},
                                  "unplug-at-write=8");
        QCOMPARE(unplugged.code, 74);
        QVERIFY2(unplugged.err.contains("saved and committed: nothing") &&
                     unplugged.err.contains("not saved: layer 1, K1, layer 1, K2"),
                 qPrintable(unplugged.err));
    }

    // Every path answers "what can this keypad hold" the same way: read lists
    // what the board has, set refuses the rest, and an import names it.
    void theBoardDecidesWhatIsListedAndAccepted()
    {
        QTemporaryDir dir;
        auto keypad = [&](const char* board, const char* name) {
            return QStringList{"-q", QStringLiteral("--simulate=") + board, "--simulate-state", dir.filePath(name)};
        };
        const QStringList small = keypad("3,1,10,0", "small.json");
        QCOMPARE(cli(small + QStringList{"set", "knob 1 left", "Volume-"}).code, 0);
        const Run smallRead = cli(small + QStringList{"read"});
        QVERIFY2(smallRead.out.contains("\"knob 1 left\": \"Volume-\"") && !smallRead.out.contains("K4")
                     && !smallRead.out.contains("knob 2"),
                 qPrintable(smallRead.out));
        const Run noK5 = cli(small + QStringList{"set", "K5", "A"});
        QCOMPARE(noK5.code, 64);
        QVERIFY2(noK5.err.contains("has no K5") && noK5.err.contains("K1 to K3"), qPrintable(noK5.err));

        // 21 keys and a knob: K16..K21 are keys, the knob sits on slots 22..24.
        const QStringList wide = keypad("21,1,10,0", "wide.json");
        QCOMPARE(cli(wide + QStringList{"set", "K21", "B"}).code, 0);
        QCOMPARE(cli(wide + QStringList{"set", "knob 1 left", "Volume-"}).code, 0);
        const Run wideRead = cli(wide + QStringList{"read"});
        QVERIFY2(wideRead.out.contains("\"K21\": \"B\"") && wideRead.out.contains("\"knob 1 left\": \"Volume-\""),
                 qPrintable(wideRead.out));

        // Four knobs: the fourth sits on slots 13..15, which the keypad reports.
        const QStringList four = keypad("12,4,10,0", "four.json");
        QCOMPARE(cli(four + QStringList{"set", "knob 4 right", "Volume+"}).code, 0);
        const QString fourProfile = dir.filePath("four-profile.json");
        QCOMPARE(cli(four + QStringList{"read", "-o", fourProfile}).code, 0);
        const Run same = cli(four + QStringList{"diff", fourProfile});
        QCOMPARE(same.code, 0);
        QCOMPARE(same.out, QString("no differences\n"));
        const Run rewrite = cli({"--simulate=12,4,10,0", "--simulate-state", dir.filePath("four.json"), "write", fourProfile});
        QVERIFY2(rewrite.err.contains("nothing to change"), qPrintable(rewrite.err));
        QVERIFY(cli(four + QStringList{"read"}).out.contains("\"knob 4 right\": \"Volume+\""));
    }

    // What the firmware cannot hold is refused with the place named, and nothing is sent.
    void actionsTheFirmwareCannotHoldAreRefused()
    {
        QTemporaryDir dir;
        const QStringList old = {"--simulate=12,2,9,0", "--simulate-state", dir.filePath("old.json")};
        const QStringList ten = {"--simulate=15,3,10,0", "--simulate-state", dir.filePath("ten.json")};
        for (const QStringList& keypad : {old, ten})
            QCOMPARE(cli(keypad + QStringList{"info"}).code, 0);
        QFile oldState(dir.filePath("old.json"));
        QVERIFY(oldState.open(QIODevice::ReadOnly));
        const QByteArray oldBefore = oldState.readAll();
        oldState.close();

        const Run oldLike = cli(old + QStringList{"set", "K7", "Like"});
        QCOMPARE(oldLike.code, 64);
        QVERIFY2(oldLike.err.contains("layer 1, K7") && oldLike.err.contains("old format"), qPrintable(oldLike.err));
        const Run lateDelay = cli(old + QStringList{"set", "K2", "H", "100ms", "E"});
        QCOMPARE(lateDelay.code, 64);
        QVERIFY2(lateDelay.err.contains("before the first key"), qPrintable(lateDelay.err));
        QVERIFY(oldState.open(QIODevice::ReadOnly));
        QCOMPARE(oldState.readAll(), oldBefore);

        const Run tenLike = cli(ten + QStringList{"set", "K1", "Like"});
        QCOMPARE(tenLike.code, 64);
        QVERIFY2(tenLike.err.contains("firmware 11"), qPrintable(tenLike.err));
        QCOMPARE(cli({"-q", "--simulate=15,3,11,0", "set", "K1", "Like"}).code, 0);

        const QString profile = profileFile(dir.filePath("late.json"), 12, 2, 9, R"({"K2": "H 100ms E"})");
        const Run invalid = cli(old + QStringList{"write", profile});
        QCOMPARE(invalid.code, 65);
        QVERIFY2(invalid.err.contains("layer 1, \"K2\"") && invalid.err.contains("before the first key"),
                 qPrintable(invalid.err));
    }

    void clearedKeysAreEmptyAndOldDelaysAreNamed()
    {
        QTemporaryDir dir;
        const QStringList keypad = {"-q", "--simulate-state", dir.filePath("k.json")};
        QCOMPARE(cli(keypad + QStringList{"set", "K1", "Volume+"}).code, 0);
        QCOMPARE(cli(keypad + QStringList{"set", "K2", "Mouse", "LeftKey"}).code, 0);
        QCOMPARE(cli(keypad + QStringList{"set", "K4", "F9"}).code, 0);
        QCOMPARE(cli(keypad + QStringList{"clear", "--layer", "2", "--all"}).code, 0);  // nothing there
        QCOMPARE(cli(keypad + QStringList{"clear", "--all"}).code, 0);
        const Run cleared = cli(keypad + QStringList{"read"});
        QVERIFY2(!cleared.out.contains("\"K1\"") && !cleared.out.contains("media:")
                     && !cleared.out.contains("mouse:"),
                 qPrintable(cleared.out));
        const Run again = cli({"--simulate-state", dir.filePath("k.json"), "clear", "K1"});
        QVERIFY2(again.code == 0 && again.err.contains("holds nothing already"), qPrintable(again.err));

        // An old key with a delay keeps its keys on a current keypad; the delay is named.
        QCOMPARE(cli(keypad + QStringList{"set", "K4", "F9"}).code, 0);
        const QString oldProfile = profileFile(dir.filePath("old.json"), 15, 3, 9, R"({"K4": "500ms Ctrl+ S"})");
        const Run write = cli({"--simulate-state", dir.filePath("k.json"), "write", oldProfile});
        QCOMPARE(write.code, 0);
        QVERIFY2(write.err.contains("K4") && write.err.contains("500ms"), qPrintable(write.err));
        QVERIFY(cli(keypad + QStringList{"read"}).out.contains("\"K4\": \"Ctrl+ S\""));

        const Run missing = cli({"--simulate", "write", dir.filePath("absent.json")});
        QCOMPARE(missing.code, 74);
        QVERIFY2(missing.err.contains("cannot be read"), qPrintable(missing.err));
        QCOMPARE(cli({"--simulate", "diff", dir.path()}).code, 74);
    }

    // Slots the keypad cannot report are said to be write-only, never "different".
    void writeOnlySlotsAreSaidSo()
    {
        QTemporaryDir dir;
        const QStringList keypad = {"--simulate=16,3,9,0", "--simulate-state", dir.filePath("k.json")};
        const Run set = cli(keypad + QStringList{"set", "knob 3 right", "A"});
        QCOMPARE(set.code, 0);
        QVERIFY2(set.err.contains("write-only") && set.err.contains("knob 3 right"), qPrintable(set.err));
        const QString profile = dir.filePath("p.json");
        const Run read = cli(keypad + QStringList{"read", "-o", profile});
        QVERIFY2(read.err.contains("write-only") && read.err.contains("knob 3 right"), qPrintable(read.err));
        QFile file(profile);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray json = file.readAll();
        json.replace("\"keys\": {}", "\"keys\": {\"knob 3 right\": \"B\"}");
        file.resize(0);
        file.write(json);
        file.close();
        const Run diff = cli(keypad + QStringList{"diff", profile});
        QCOMPARE(diff.code, 0);
        QVERIFY2(diff.out.contains("knob 3 right: write-only"), qPrintable(diff.out));
    }

    void editsAreCheckedAgainstTheBoard()
    {
        QCOMPARE(cli({"--simulate=3,1,10,0", "set", "K4", "A"}).code, 64);
        QCOMPARE(cli({"--simulate", "set", "K3", "Frobnicate"}).code, 64);
        QCOMPARE(cli({"--simulate=9,2,9,0", "led", "--layer", "1", "--mode", "2", "--colour", "K1=#000000"}).code,
                 64);
        QCOMPARE(cli({"--simulate", "read"}, "unplugged").code, 69);
        QCOMPARE(cli({"--simulate", "set", "K1", "A"}, "no-permission").code, 77);
        QCOMPARE(cli({"--simulate", "clear", "--all"}, "silent").code, 74);
    }

    // A FIFO or a device named by -o is written to and stays what it was;
    // a folder is refused before the keypad is read; standard output that
    // cannot be written fails every command that prints.
    void outputsAreStreamsOrReplacedWholeAndWriteErrorsExit74()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QProcess reader;
        reader.start("cat", {fifo});
        QVERIFY(reader.waitForStarted());
        QCOMPARE(cli({"--simulate", "read", "-o", fifo}).code, 0);
        QVERIFY(reader.waitForFinished(5000));
        QVERIFY(reader.readAllStandardOutput().contains("\"tessaplex-profile\""));
        QCOMPARE(fileType(fifo), mode_t(S_IFIFO));

        const QString node = dir.filePath("null");
        if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
            QCOMPARE(cli({"--simulate", "read", "-o", node}).code, 0);
            QCOMPARE(fileType(node), mode_t(S_IFCHR));
        }
        const Run folder = cli({"--simulate", "read", "-o", dir.path()});
        QCOMPARE(folder.code, 64);
        QVERIFY2(folder.err.contains("not a regular file"), qPrintable(folder.err));

        const Run viaDevStdout = cli({"--simulate", "read", "-o", "/dev/stdout"});
        QCOMPARE(viaDevStdout.code, 0);
        QVERIFY(viaDevStdout.out.contains("\"tessaplex-profile\""));
        // Appending through /dev/stdout appends: the file is not replaced.
        const QString log = dir.filePath("log");
        QCOMPARE(shell("echo first > \"$1\"; \"$0\" --simulate read -o /dev/stdout >> \"$1\"", {log}).code, 0);
        QVERIFY(contents(log).startsWith("first\n{"));

        for (const char* command : {"info", "read", "list", "--help"}) {
            const Run full = shell("exec \"$0\" --simulate \"$1\" > /dev/full", {command});
            QVERIFY2(full.code == 74 && full.err.contains("standard output"), command);
            QCOMPARE(shell("exec \"$0\" --simulate \"$1\" >&-", {command}).code, 74);
        }
    }

    // A full disk (a 64 KiB tmpfs) fails the write, exit 74, and the file that
    // was there is still whole: the profile, and the simulated keypad's state.
    void fullDiskLeavesThePreviousFileWhole()
    {
        QTemporaryDir dir;
        const QString small = dir.filePath("small");
        QDir().mkpath(small);
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", small}) != 0)
            QSKIP("mounting a small tmpfs needs root");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {small}); });
        const QString profile = small + "/prev.json";
        const QStringList state = {"-q", "--simulate-state", small + "/keypad.json"};
        QCOMPARE(cli(state + QStringList{"set", "K3", "Ctrl+", "C"}).code, 0);
        QCOMPARE(cli(state + QStringList{"read", "-o", profile}).code, 0);
        const QByteArray before = contents(profile);
        const QByteArray stateBefore = contents(small + "/keypad.json");

        QFile filler(small + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'x')) > 0) {
        }
        // The backup of what the keypad held cannot be written: nothing is sent.
        QCOMPARE(cli(state + QStringList{"set", "K4", "Ctrl+", "V"}).code, 73);
        QCOMPARE(cli(state + QStringList{"--no-backup", "set", "K4", "Ctrl+", "V"}).code, 74);
        const Run read = cli(state + QStringList{"read", "-o", profile});
        QCOMPARE(read.code, 74);
        QVERIFY2(read.err.contains("unchanged"), qPrintable(read.err));
        QCOMPARE(contents(profile), before);
        QCOMPARE(contents(small + "/keypad.json"), stateBefore);
        QCOMPARE(QDir(small).entryList(QDir::Files).size(), 3);  // no temporary file left behind
    }

    // Standard input, a FIFO as a profile and /dev/zero are read up to the
    // profile limit; a FIFO as the state file is refused at once, never waited on.
    void inputsAreLimitedAndNeverWaitedOn()
    {
        QTemporaryDir dir;
        const Run zero = shell("exec \"$0\" --simulate write - < /dev/zero", {});
        QCOMPARE(zero.code, 65);
        QVERIFY2(zero.err.contains("too large"), qPrintable(zero.err));
        QCOMPARE(cli({"--simulate", "diff", "/dev/zero"}).code, 65);

        const QString profile = dir.filePath("p.json");
        QCOMPARE(cli({"--simulate", "read", "-o", profile}).code, 0);
        const Run piped = shell("\"$0\" --simulate diff /dev/stdin < \"$1\"", {profile});
        QCOMPARE(piped.code, 0);

        const QString fifo = dir.filePath("state");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QElapsedTimer timer;
        timer.start();
        const Run state = cli({"--simulate-state", fifo, "info"});
        QCOMPARE(state.code, 74);
        QVERIFY2(state.err.contains("not a regular file"), qPrintable(state.err));
        QVERIFY(timer.elapsed() < 5000);
    }

    // Two writers on one keypad take turns: no change is lost. One that
    // cannot get its turn exits 75 and names the holder.
    void twoWritersTakeTurnsOrTheSecondExits75()
    {
        QTemporaryDir dir;
        const QString state = dir.filePath("keypad.json");
        QCOMPARE(cli({"-q", "--simulate-state", state, "info"}).code, 0);
        const QStringList letters = {"A", "B", "C", "D", "E"};
        for (const QString& letter : letters) {
            QProcess first, second;
            first.start(TESSAPLEX_CLI_PATH, {"-q", "--simulate-state", state, "set", "K1", "Ctrl+", letter});
            second.start(TESSAPLEX_CLI_PATH, {"-q", "--simulate-state", state, "set", "K2", "Alt+", letter});
            QVERIFY(first.waitForFinished(20000) && second.waitForFinished(20000));
            QCOMPARE(first.exitCode() + second.exitCode(), 0);
            const QString profile = cli({"--simulate-state", state, "read"}).out;
            QVERIFY2(profile.contains("\"K1\": \"Ctrl+ " + letter) && profile.contains("\"K2\": \"Alt+ " + letter),
                     qPrintable(profile));
        }
        KeypadLock held(state);
        QVERIFY(held.acquire(0));
        const Run busy = cli({"--simulate-state", state, "set", "K1", "A"});
        QCOMPARE(busy.code, 75);
        QVERIFY2(busy.err.contains(QStringLiteral("process %1").arg(QCoreApplication::applicationPid())),
                 qPrintable(busy.err));
    }

    // Failure messages say what reached the keypad: which LED layers, and
    // that a save whose read-back failed was committed all the same.
    void saveFailuresSayWhatReachedTheKeypad()
    {
        // Writes 1-7 ask for the board and read it; then come the record (8) and
        // its commit (9), or the three LED blocks (8-10); then the read-back.
        const Run led = cli({"--simulate", "led", "--layer", "2", "--mode", "1"}, "fail-write=9");
        QCOMPARE(led.code, 74);
        QVERIFY2(led.err.contains("layers 1, 3 reached the keypad, layer 2 did not"), qPrintable(led.err));
        const Run check = cli({"--simulate", "set", "K1", "A"}, "fail-write=10");
        QCOMPARE(check.code, 74);
        QVERIFY2(check.err.contains("went through: the keypad took 1 record, committed"), qPrintable(check.err));
    }

    void doctorExitsWithItsVerdict()
    {
        const Run fine = cli({"--simulate", "doctor"});
        QCOMPARE(fine.code, 0);
        QVERIFY2(fine.out.contains("/dev/hidraw0"), qPrintable(fine.out));
        QCOMPARE(cli({"--simulate", "doctor"}, "unplugged").code, 69);
        const Run denied = cli({"--simulate", "doctor"}, "no-permission");
        QCOMPARE(denied.code, 77);
        QVERIFY2(denied.out.contains("70-tessaplex.rules"), qPrintable(denied.out));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
