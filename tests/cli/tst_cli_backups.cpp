// Backups through tessaplex-cli, run as a user or a script would.
#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run cli(const QStringList& args, const QMap<QString, QString>& env = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_LOGGING_RULES");
    environment.remove("TESSAPLEX_CLI_SIMULATE_FAULT");
    for (auto it = env.begin(); it != env.end(); ++it)
        environment.insert(it.key(), it.value());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TESSAPLEX_CLI_PATH), args);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit)
        return Run{};
    return Run{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
               QString::fromUtf8(process.readAllStandardError())};
}

// What the simulated keypad holds: its records and LED blocks, as bytes.
QJsonValue memory(const QString& state)
{
    QFile file(state);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonValue();
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    return QJsonArray{object["records"], object["led"]};
}

QString newestBackup(const QStringList& keypad)
{
    return QJsonDocument::fromJson(cli(keypad + QStringList{"backups", "--json"}).out.toUtf8())
        .object()["backups"]
        .toArray()[0]
        .toObject()["file"]
        .toString();
}

}  // namespace

class TestCliBackups : public QObject {
    Q_OBJECT

    QTemporaryDir filled;

    // A keypad with every key and knob action of the three layers assigned
    // (and, current format, LED blocks set): a slot never written cannot be
    // made unwritten again, only cleared.
    QString filledKeypad(const QString& board)
    {
        const QString state = filled.filePath(board + ".json");
        if (QFileInfo::exists(state))
            return state;
        const QStringList keypad = {"-q", "--simulate-state", state};
        cli({"-q", "--simulate=" + board, "--simulate-state", state, "info"});
        const QStringList actions = {"A", "Ctrl+ C", "Mouse LeftKey", "Volume+", "Volume-", "B"};
        const QStringList places = {"K1", "K2", "K3", "knob 1 left", "knob 1 press", "knob 1 right"};
        for (int layer = 1; layer <= 3; ++layer)
            for (int i = 0; i < places.size(); ++i)
                cli(keypad + QStringList{"--no-backup", "set", "--layer", QString::number(layer), places[i],
                                         actions[(i + layer) % actions.size()]});
        if (board.endsWith(",10,0"))
            for (int layer = 1; layer <= 3; ++layer)
                cli(keypad + QStringList{"--no-backup", "led", "--layer", QString::number(layer), "--mode",
                                         QString::number(layer), "--colour", "K1=#0000ff"});
        return state;
    }

private slots:
    // Every command that writes keeps what the keypad held; restoring the
    // newest backup brings back every record of the three layers and the LED
    // blocks byte for byte.
    void everyWritingPathLeavesABackupThatRestoresTheKeypad_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QStringList>("path");
        for (const QString board : {"3,1,10,0", "4,1,9,1"}) {
            const bool current = board.endsWith(",10,0");
            const QString format = current ? "current " : "old ";
            QTest::newRow(qPrintable(format + "set")) << board << QStringList{"set", "--layer", "2", "K2", "Volume-"};
            QTest::newRow(qPrintable(format + "clear")) << board << QStringList{"clear", "--layer", "3", "--all"};
            QTest::newRow(qPrintable(format + "write")) << board << QStringList{"write", "PROFILE"};
            QTest::newRow(qPrintable(format + "restore")) << board << QStringList{"restore", "PROFILE"};
            if (current)
                QTest::newRow("current led") << board
                                             << QStringList{"led", "--layer", "1", "--mode", "5", "--colour",
                                                            "K2=#123456"};
        }
    }
    void everyWritingPathLeavesABackupThatRestoresTheKeypad()
    {
        QFETCH(QString, board);
        QFETCH(QStringList, path);
        QTemporaryDir dir;
        const QString state = dir.filePath("keypad.json");
        const QStringList keypad = {"-q", "--simulate-state", state};
        QVERIFY(QFile::copy(filledKeypad(board), state));
        const QJsonValue held = memory(state);
        const QString newest = newestBackup(keypad);

        const QString profile = dir.filePath("other.json");
        QCOMPARE(cli(keypad + QStringList{"clear", "--all"}).code, 0);
        QCOMPARE(cli(keypad + QStringList{"read", "-o", profile}).code, 0);
        QCOMPARE(cli(keypad + QStringList{"restore", "--latest"}).code, 0);
        QCOMPARE(memory(state), held);

        path.replaceInStrings("PROFILE", profile);
        const Run changed = cli(keypad + path);
        QVERIFY2(changed.code == 0, qPrintable(changed.err));
        QVERIFY(memory(state) != held);
        const QJsonObject listed = QJsonDocument::fromJson(cli(keypad + QStringList{"backups", "--json"}).out.toUtf8())
                                       .object()["backups"]
                                       .toArray()[0]
                                       .toObject();
        QVERIFY(listed["differences"].toInt() > 0);
        QCOMPARE(listed["assigned"][0]["keys"].toInt(), 3);
        QCOMPARE(listed["assigned"][2]["knobActions"].toInt(), 3);
        QVERIFY(newestBackup(keypad) != newest);

        const Run restored = cli(keypad + QStringList{"restore", "--latest"});
        QVERIFY2(restored.code == 0, qPrintable(restored.err));
        QCOMPARE(memory(state), held);
    }

    // A simulated keypad never writes into the user's backups: with a state
    // file its backups sit beside it, without one it keeps none.
    void simulatedRunsLeaveTheRealFolderUntouched()
    {
        QTemporaryDir dir;
        const QMap<QString, QString> env = {{"XDG_DATA_HOME", dir.filePath("data")}, {"HOME", dir.filePath("home")}};
        QCOMPARE(cli({"-q", "--simulate", "set", "K1", "A"}, env).code, 0);
        QCOMPARE(cli({"-q", "--simulate-state", dir.filePath("s.json"), "set", "K1", "A"}, env).code, 0);
        QVERIFY(!QFileInfo::exists(dir.filePath("data")) && !QFileInfo::exists(dir.filePath("home")));
        QCOMPARE(QDir(dir.filePath("s.json.backups/serial-SIM-0001")).entryList(QDir::Files).size(), 1);
    }

    // A backup that cannot be written stops the write with 73; --no-backup
    // goes ahead without one.
    void noBackupNoWrite()
    {
        QTemporaryDir dir;
        const QString state = dir.filePath("s.json");
        QCOMPARE(cli({"--simulate-state", state, "info"}).code, 0);
        QFile(state + ".backups").open(QIODevice::WriteOnly);
        const QJsonValue before = memory(state);
        const Run refused = cli({"--simulate-state", state, "set", "K1", "A"});
        QCOMPARE(refused.code, 73);
        QVERIFY2(refused.err.contains("not a folder") && refused.err.contains("--no-backup"), qPrintable(refused.err));
        QCOMPARE(memory(state), before);
        QCOMPARE(cli({"--simulate-state", state, "--no-backup", "set", "K1", "A"}).code, 0);
        QVERIFY(memory(state) != before);

        const Run help = cli({"--help"});
        QVERIFY(help.out.contains("  73  ") && help.out.contains("  backups ") && help.out.contains("  restore "));
        QCOMPARE(cli({"restore", "--first", "--latest"}).code, 64);
    }
};

QTEST_GUILESS_MAIN(TestCliBackups)
#include "tst_cli_backups.moc"
