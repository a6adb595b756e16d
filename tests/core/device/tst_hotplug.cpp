#include "core/device/permission_doctor.h"
#include "core/device/udev_bus_watch.h"

#include <QProcess>
#include <QtTest>

#include <deque>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Events pushed by the test; one byte in a pipe per event makes the
// descriptor readable the way the netlink socket would be.
class FakeEventSource : public HidrawEventSource {
public:
    FakeEventSource() { QVERIFY(::pipe2(fds_, O_NONBLOCK) == 0); }
    ~FakeEventSource() override
    {
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    bool open() override { return true; }
    int fd() const override { return fds_[0]; }
    void push(HidrawEvent::Action action, const QString& node = QString(), bool lost = false)
    {
        queue_.push_back({lost, {action, node}});
        QVERIFY(::write(fds_[1], "e", 1) == 1);
    }
    Receive receiveNext(HidrawEvent& event) override
    {
        if (queue_.empty())
            return Receive::Empty;
        char byte;
        if (::read(fds_[0], &byte, 1) != 1)
            qFatal("queue and pipe out of step");
        const auto [lost, next] = queue_.front();
        queue_.pop_front();
        event = next;
        return lost ? Receive::Lost : Receive::Event;
    }

private:
    int fds_[2] = {-1, -1};
    std::deque<std::pair<bool, HidrawEvent>> queue_;
};

constexpr int kShortSettleMs = 60;

struct WatchRig {
    WatchRig() : source(new FakeEventSource), watch(std::unique_ptr<HidrawEventSource>(source), kShortSettleMs)
    {
        QObject::connect(&watch, &BusWatch::lookNow, [this] { ++looks; });
        QObject::connect(&watch, &BusWatch::nodeRemoved, [this](const QString& node) { removed << node; });
    }
    // Lets the event loop run for ms without expecting anything.
    static void idle(int ms) { QTest::qWait(ms); }

    FakeEventSource* source;
    UdevBusWatch watch;
    int looks = 0;
    QStringList removed;
};

class FakeFileSystem : public DoctorFileSystem {
public:
    QMap<QString, QByteArray> files;  // a null QByteArray: present but unreadable
    bool exists(const QString& path) const override { return files.contains(path); }
    std::optional<QByteArray> read(const QString& path) const override
    {
        if (!files.contains(path) || files[path].isNull())
            return std::nullopt;
        return files[path];
    }
    bool onlyRootCanChange(const QString& path) const override { return !othersMayChange.contains(path); }
    QSet<QString> othersMayChange;
};

const QString kNode = QStringLiteral("/dev/hidraw3");
const QByteArray kRule = "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"1189\", TAG+=\"uaccess\"\n";

bool shellAccepts(const QString& script)
{
    QProcess sh;
    sh.start(QStringLiteral("sh"), {QStringLiteral("-n")});
    sh.write(script.toUtf8());
    sh.closeWriteChannel();
    return sh.waitForFinished() && sh.exitCode() == 0;
}

}  // namespace

class TestHotplug : public QObject {
    Q_OBJECT
private slots:
    void factoryFallsBackToPollingWithoutUdev();
    void looksOnlyAtStartAndOnEvents();
    void removeDropsNodesAndLooksAtOnce();
    void lostEventsLookAndPersistentFailurePolls();
    void libudevSourceIsQuietWithNothingPending();
    void doctorNamesEachCase();
    void doctorReportExitCodes();
};

void TestHotplug::factoryFallsBackToPollingWithoutUdev()
{
    int sourcesOpened = 0;
    BusWatchEnvironment environment;
    environment.openEventSource = [&]() -> std::unique_ptr<HidrawEventSource> {
        ++sourcesOpened;
        return std::make_unique<FakeEventSource>();
    };

    environment.udevRunning = [] { return false; };
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("polling every 100 ms: udev is not running"));
    QCOMPARE(makeBusWatch(environment)->mode(), QStringLiteral("polling"));
    QCOMPARE(sourcesOpened, 0);

    environment.udevRunning = [] { return true; };
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("udev events"));
    QCOMPARE(makeBusWatch(environment)->mode(), QStringLiteral("udev events"));

    environment.openEventSource = [] { return std::unique_ptr<HidrawEventSource>(); };
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("polling every 100 ms: the udev monitor could not be opened"));
    QCOMPARE(makeBusWatch(environment)->mode(), QStringLiteral("polling"));
}

void TestHotplug::looksOnlyAtStartAndOnEvents()
{
    WatchRig rig;
    rig.source->push(HidrawEvent::Action::Add, kNode);  // before start: covered by the first look
    rig.watch.start();
    QTRY_COMPARE(rig.looks, 1);
    rig.idle(3 * kShortSettleMs);
    QCOMPARE(rig.looks, 1);

    // Both interfaces and an unrelated change arrive: one look after the settle time, not before.
    rig.source->push(HidrawEvent::Action::Add, QStringLiteral("/dev/hidraw3"));
    rig.source->push(HidrawEvent::Action::Other, QStringLiteral("/dev/hidraw3"));
    rig.source->push(HidrawEvent::Action::Add, QStringLiteral("/dev/hidraw4"));
    QCoreApplication::processEvents();
    QCOMPARE(rig.looks, 1);
    QTRY_COMPARE(rig.looks, 2);
    rig.idle(3 * kShortSettleMs);
    QCOMPARE(rig.looks, 2);

    rig.watch.lookAgainSoon();
    rig.watch.lookAgainSoon();
    QTRY_COMPARE(rig.looks, 3);
    rig.idle(2 * UdevBusWatch::kLookAgainMs);
    QCOMPARE(rig.looks, 3);

    rig.watch.stop();
    rig.source->push(HidrawEvent::Action::Add, kNode);
    rig.idle(3 * kShortSettleMs);
    QCOMPARE(rig.looks, 3);
}

void TestHotplug::removeDropsNodesAndLooksAtOnce()
{
    WatchRig rig;
    rig.watch.start();
    QTRY_COMPARE(rig.looks, 1);
    rig.source->push(HidrawEvent::Action::Remove, QStringLiteral("/dev/hidraw3"));
    rig.source->push(HidrawEvent::Action::Remove, QStringLiteral("/dev/hidraw4"));
    rig.source->push(HidrawEvent::Action::Remove);  // no node: nothing to drop
    QTRY_COMPARE(rig.looks, 2);
    QCOMPARE(rig.removed, QStringList({"/dev/hidraw3", "/dev/hidraw4"}));
    rig.idle(3 * kShortSettleMs);
    QCOMPARE(rig.looks, 2);
}

void TestHotplug::lostEventsLookAndPersistentFailurePolls()
{
    WatchRig rig;
    rig.watch.start();
    QTRY_COMPARE(rig.looks, 1);
    rig.source->push(HidrawEvent::Action::Other, QString(), true);
    QTRY_COMPARE(rig.looks, 2);
    QCOMPARE(rig.watch.mode(), QStringLiteral("udev events"));

    // A socket that only ever fails must not leave the connection blind.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("keeps failing"));
    for (int i = 0; i < 8; ++i) {
        rig.source->push(HidrawEvent::Action::Other, QString(), true);
        QCoreApplication::processEvents();
    }
    QCOMPARE(rig.watch.mode(), QStringLiteral("polling"));
    const int looks = rig.looks;
    QTRY_VERIFY(rig.looks >= looks + 2);
}

// "Nothing pending" must not read as lost events, or an idle bus would be listed.
void TestHotplug::libudevSourceIsQuietWithNothingPending()
{
    std::unique_ptr<HidrawEventSource> source = makeLibudevEventSource();
    if (!source || !source->open())
        QSKIP("no netlink udev monitor here");
    QVERIFY(source->fd() >= 0);
    HidrawEvent event;
    QCOMPARE(source->receiveNext(event), HidrawEventSource::Receive::Empty);
}

void TestHotplug::doctorNamesEachCase()
{
    const QString usrRule = QStringLiteral("/usr/lib/udev/rules.d/70-tessaplex.rules");
    const QString etcRule = QStringLiteral("/etc/udev/rules.d/70-tessaplex.rules");
    const QString copy = QStringLiteral("/opt/tess'aplex/share/tessaplex/70-tessaplex.rules");
    struct Case {
        const char* name;
        QMap<QString, QByteArray> files;
        OpenFailure failure;
        AccessVerdict verdict;
        QStringList inText;      // English text must name these
        QStringList inCommands;  // and the commands contain these
    };
    const QList<Case> cases = {
        {"missing, copy on disk", {{copy, shippedRuleText().toUtf8()}}, OpenFailure::PermissionDenied, AccessVerdict::RuleMissing,
         {"70-tessaplex.rules", "not installed"},
         {"sudo install -D -m 644 '/opt/tess'\\''aplex/share/tessaplex/70-tessaplex.rules' " + etcRule,
          "udevadm control --reload", "udevadm trigger"}},
        {"missing, no copy", {}, OpenFailure::PermissionDenied, AccessVerdict::RuleMissing, {"not installed"},
         {"sudo tee " + etcRule, "TAG+=\"uaccess\"", "udevadm trigger"}},
        {"masked in /etc", {{etcRule, ""}, {usrRule, kRule}}, OpenFailure::PermissionDenied,
         AccessVerdict::RuleMasked, {etcRule, "switched off"}, {"sudo rm -f " + etcRule, "sudo tee " + etcRule}},
        {"installed, no access", {{usrRule, kRule}}, OpenFailure::PermissionDenied, AccessVerdict::NoAccess,
         {"unplug", "logged in"}, {"udevadm trigger --subsystem-match=hidraw"}},
        {"unreadable rule counts as installed", {{etcRule, QByteArray()}}, OpenFailure::PermissionDenied,
         AccessVerdict::NoAccess, {"installed"}, {"udevadm trigger"}},
        {"flatpak", {{"/.flatpak-info", "[Application]\nname=org.example.Keys\n"}}, OpenFailure::Other,
         AccessVerdict::Sandboxed, {"Flatpak", "--device=all"},
         {"flatpak override --user --device=all 'org.example.Keys'"}},
        {"busy", {{usrRule, kRule}}, OpenFailure::Other, AccessVerdict::OpenFailed, {kNode, "another program"}, {}},
        {"opens", {}, OpenFailure::None, AccessVerdict::Openable, {kNode, "can be opened"}, {}},
    };
    QSet<QString> texts;
    for (const Case& c : cases) {
        FakeFileSystem fs;
        fs.files = c.files;
        const Diagnosis d = diagnoseOpenFailure(kNode, c.failure, fs, {QStringLiteral("/nowhere"), copy});
        QVERIFY2(d.verdict == c.verdict, c.name);
        const QString english = statusText(d, 1);
        const QString chinese = statusText(d, 0);
        for (const QString& part : c.inText)
            QVERIFY2(english.contains(part), qPrintable(QStringLiteral("%1: %2").arg(c.name, english)));
        QVERIFY2(!chinese.isEmpty() && chinese != english, c.name);
        texts << english << chinese;
        const QString commands = fixCommands(d);
        for (const QString& part : c.inCommands)
            QVERIFY2(commands.contains(part), qPrintable(QStringLiteral("%1:\n%2").arg(c.name, commands)));
        QCOMPARE(commands.isEmpty(), c.inCommands.isEmpty());
        QVERIFY2(commands.isEmpty() || shellAccepts(commands), c.name);
    }
    // Only the two RuleMissing and the two NoAccess cases share their texts.
    QCOMPARE(texts.size(), 2 * cases.size() - 4);

    // A copy is installed as root only if it is the built-in rule and only root
    // can change it; a planted file mentioning "uaccess" is never offered.
    FakeFileSystem planted;
    planted.files[copy] = kRule + "RUN+=\"/bin/sh -c 'touch /owned'\"\n";
    QVERIFY(diagnoseOpenFailure(kNode, OpenFailure::PermissionDenied, planted, {copy}).ruleSource.isEmpty());
    FakeFileSystem open;
    open.files[copy] = shippedRuleText().toUtf8();
    open.othersMayChange << copy;
    const Diagnosis d = diagnoseOpenFailure(kNode, OpenFailure::PermissionDenied, open, {copy});
    QVERIFY(d.ruleSource.isEmpty());
    QVERIFY(fixCommands(d).contains(QStringLiteral("sudo tee")));
    // The real checks: a file in a folder others may write is not root's alone.
    QTemporaryDir dir;
    QFile mine(dir.filePath(QStringLiteral("70-tessaplex.rules")));
    QVERIFY(mine.open(QIODevice::WriteOnly));
    mine.close();
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::WriteOther
                                          | QFile::ExeOther | QFile::ReadOther);
    QVERIFY(!LocalFileSystem().onlyRootCanChange(mine.fileName()));
    QVERIFY(!LocalFileSystem().onlyRootCanChange(QStringLiteral("/nonexistent/70-tessaplex.rules")));
    // Only copies beside the installed program are looked at, never the source tree's.
    const QString prefix = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    for (const QString& source : defaultRuleSources())
        QVERIFY2(source.startsWith(prefix + QLatin1Char('/')) && !source.contains(QStringLiteral("packaging")),
                 qPrintable(source));
}

void TestHotplug::doctorReportExitCodes()
{
    FakeFileSystem fs;
    fs.files[QStringLiteral("/usr/lib/udev/rules.d/70-tessaplex.rules")] = kRule;
    const std::vector<HidDeviceEntry> keypad = {{"/dev/hidraw4", 0x1189, 0x8840, 1},
                                                {kNode.toStdString(), 0x1189, 0x8840, 0}};
    const std::vector<HidDeviceEntry> mouse = {{"/dev/hidraw0", 0x046d, 0xc077, 0}};
    QStringList opened;
    const auto opens = [&](const std::string& node) {
        opened << QString::fromStdString(node);
        return OpenFailure::None;
    };
    const auto refuses = [](const std::string&) { return OpenFailure::PermissionDenied; };

    DoctorReport report = doctorReport(keypad, opens, fs, 1);
    QCOMPARE(report.exitCode, 0);
    QCOMPARE(opened, QStringList{kNode});
    QVERIFY2(report.text.contains("1189:8840, interface 0 at /dev/hidraw3") && report.text.contains("can be opened"),
             qPrintable(report.text));

    report = doctorReport(keypad, refuses, fs, 1);
    QCOMPARE(report.exitCode, 77);
    QVERIFY2(report.text.contains("To fix it") && report.text.contains("udevadm trigger"), qPrintable(report.text));

    report = doctorReport({keypad[0]}, opens, fs, 1);  // listed, but not its interface 0
    QCOMPARE(report.exitCode, 77);
    QCOMPARE(report.diagnosis.verdict, AccessVerdict::OpenFailed);

    report = doctorReport(mouse, opens, fs, 0);
    QCOMPARE(report.exitCode, 69);
    QVERIFY2(report.text.contains(QString::fromUtf8("未找到键盘")), qPrintable(report.text));
}

QTEST_GUILESS_MAIN(TestHotplug)
#include "tst_hotplug.moc"
