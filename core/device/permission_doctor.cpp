#include "core/device/permission_doctor.h"

#include "shipped_udev_rule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

const QString kFlatpakInfo = QStringLiteral("/.flatpak-info");

QString pick(int languageFlag, const char* english, const char* chinese)
{
    return QString::fromUtf8(languageFlag == 1 ? english : chinese);
}

QString shellQuoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

struct EffectiveRule {
    QString path;  // empty: none
    bool masked = false;
};

// udev takes the first file of a name in directory priority order and ignores
// the rest, so an empty file or /dev/null link in /etc switches the rule off.
EffectiveRule effectiveRule(const DoctorFileSystem& fs)
{
    for (const QString& dir : udevRuleDirectories()) {
        const QString path = dir + QLatin1Char('/') + QLatin1String(kUdevRuleName);
        if (!fs.exists(path))
            continue;
        const std::optional<QByteArray> contents = fs.read(path);
        // Unreadable is not masked: rule files are world-readable, so assume it is ours.
        return {path, contents && contents->trimmed().isEmpty()};
    }
    return {};
}

QString flatpakAppId(const DoctorFileSystem& fs)
{
    const std::optional<QByteArray> info = fs.read(kFlatpakInfo);
    bool inApplication = false;
    for (const QByteArray& rawLine : info.value_or(QByteArray()).split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('['))
            inApplication = line == "[Application]";
        else if (inApplication && line.startsWith("name="))
            return QString::fromUtf8(line.mid(5).trimmed());
    }
    return QString::fromLatin1(kDefaultAppId);
}

QString firstUsableCopy(const QStringList& sources, const DoctorFileSystem& fs)
{
    const QByteArray builtIn = shippedRuleText().toUtf8();
    for (const QString& source : sources) {
        const std::optional<QByteArray> contents = fs.read(source);
        if (contents && *contents == builtIn && fs.onlyRootCanChange(source))
            return source;
    }
    return QString();
}

}  // namespace

bool LocalFileSystem::exists(const QString& path) const
{
    return QFileInfo::exists(path);
}

std::optional<QByteArray> LocalFileSystem::read(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool LocalFileSystem::onlyRootCanChange(const QString& path) const
{
    const auto rootOnly = [](const QString& p, bool folder) {
        struct stat info;
        if (::lstat(QFile::encodeName(p).constData(), &info) != 0)
            return false;
        if (folder ? !S_ISDIR(info.st_mode) : !S_ISREG(info.st_mode))
            return false;
        return info.st_uid == 0 && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
    };
    return rootOnly(path, false) && rootOnly(QFileInfo(path).absolutePath(), true);
}

QStringList udevRuleDirectories()
{
    return {QStringLiteral("/etc/udev/rules.d"), QStringLiteral("/run/udev/rules.d"),
            QStringLiteral("/usr/local/lib/udev/rules.d"), QStringLiteral("/usr/lib/udev/rules.d"),
            QStringLiteral("/lib/udev/rules.d")};
}

QStringList defaultRuleSources()
{
    QStringList sources;
    if (QCoreApplication::instance()) {
        const QString appDir = QCoreApplication::applicationDirPath();
        sources << QDir::cleanPath(appDir + QStringLiteral("/../share/tessaplex/") + QLatin1String(kUdevRuleName))
                << QDir::cleanPath(appDir + QStringLiteral("/../lib/udev/rules.d/") + QLatin1String(kUdevRuleName));
    }
    return sources;
}

QString shippedRuleText()
{
    return QString::fromUtf8(kShippedUdevRule);
}

Diagnosis diagnoseOpenFailure(const QString& node, OpenFailure failure, const DoctorFileSystem& fs,
                              const QStringList& ruleSources)
{
    Diagnosis d;
    d.node = node;
    if (failure == OpenFailure::None) {
        d.verdict = AccessVerdict::Openable;
        return d;
    }
    // Inside the sandbox the nodes are simply missing (an "other" failure),
    // and /etc is the runtime's, so nothing else we could check means anything.
    if (fs.exists(kFlatpakInfo)) {
        d.verdict = AccessVerdict::Sandboxed;
        d.appId = flatpakAppId(fs);
        return d;
    }
    if (failure != OpenFailure::PermissionDenied) {
        d.verdict = AccessVerdict::OpenFailed;
        return d;
    }
    const EffectiveRule rule = effectiveRule(fs);
    d.rulePath = rule.path;
    if (!rule.path.isEmpty() && !rule.masked) {
        d.verdict = AccessVerdict::NoAccess;
        return d;
    }
    d.verdict = rule.masked ? AccessVerdict::RuleMasked : AccessVerdict::RuleMissing;
    d.ruleSource = firstUsableCopy(ruleSources, fs);
    return d;
}

QString statusText(const Diagnosis& d, int languageFlag)
{
    switch (d.verdict) {
    case AccessVerdict::Openable:
        return pick(languageFlag, "Keypad found at %1: it can be opened", "已找到键盘（%1），可以打开").arg(d.node);
    case AccessVerdict::NoKeypad:
        return pick(languageFlag, "No keypad found: connect the device with a usb cable",
                    "未找到键盘：请用数据线连接设备");
    case AccessVerdict::RuleMissing:
        return pick(languageFlag,
                    "Keypad found but not accessible: the udev rule 70-tessaplex.rules is not installed; "
                    "run the commands to install it",
                    "已找到键盘但无法访问：未安装 udev 规则 70-tessaplex.rules，请运行命令安装");
    case AccessVerdict::RuleMasked:
        return pick(languageFlag,
                    "Keypad found but not accessible: the udev rule 70-tessaplex.rules is switched off by %1; "
                    "run the commands to install it",
                    "已找到键盘但无法访问：udev 规则 70-tessaplex.rules 被 %1 屏蔽，请运行命令安装")
            .arg(d.rulePath);
    case AccessVerdict::NoAccess:
        return pick(languageFlag,
                    "Keypad found but not accessible although the udev rule is installed: unplug the keypad and "
                    "plug it in again (only the user logged in at this computer gets access)",
                    "已找到键盘但无法访问（udev 规则已安装）：请拔下键盘再重新插入（只有在本机登录的用户才能访问）");
    case AccessVerdict::Sandboxed:
        return pick(languageFlag,
                    "Keypad found but the Flatpak sandbox hides it: allow device access "
                    "(flatpak override --device=all) and start the program again",
                    "已找到键盘，但 Flatpak 沙盒阻止了访问：请允许设备访问（flatpak override --device=all）后重新启动程序");
    case AccessVerdict::OpenFailed:
        if (d.node.isEmpty())
            return pick(languageFlag,
                        "Keypad found but its configuration interface is not listed: unplug it and plug it in again",
                        "已找到键盘但未列出其配置接口：请拔下后重新插入");
        return pick(languageFlag,
                    "Keypad found but %1 could not be opened: another program may be using it; "
                    "unplug it and plug it in again",
                    "已找到键盘但无法打开 %1：可能正被其他程序占用，请拔下后重新插入")
            .arg(d.node);
    }
    return QString();
}

QString fixCommands(const Diagnosis& d)
{
    const QString target = QLatin1String(kUdevRuleTarget);
    // A change event re-runs the rules on nodes that already exist, so the
    // keypad need not be replugged.
    const QString apply =
        QStringLiteral("sudo udevadm control --reload && sudo udevadm trigger --subsystem-match=hidraw");
    switch (d.verdict) {
    case AccessVerdict::RuleMissing:
    case AccessVerdict::RuleMasked:
        // rm first: writing through a /dev/null mask would write nowhere.
        if (!d.ruleSource.isEmpty())
            return QStringLiteral("sudo rm -f %1 && sudo install -D -m 644 %2 %1 && %3\n")
                .arg(target, shellQuoted(d.ruleSource), apply);
    {
        QString rule = shippedRuleText();
        if (!rule.endsWith(QLatin1Char('\n')))
            rule += QLatin1Char('\n');
        return QStringLiteral("sudo rm -f %1\nsudo tee %1 >/dev/null <<'EOF'\n%2EOF\n%3\n").arg(target, rule, apply);
    }
    case AccessVerdict::NoAccess:
        return apply + QLatin1Char('\n');
    case AccessVerdict::Sandboxed:
        return QStringLiteral("flatpak override --user --device=all %1\n").arg(shellQuoted(d.appId));
    case AccessVerdict::Openable:
    case AccessVerdict::NoKeypad:
    case AccessVerdict::OpenFailed:
        break;
    }
    return QString();
}

DoctorReport doctorReport(const std::vector<HidDeviceEntry>& bus,
                          const std::function<OpenFailure(const std::string& node)>& tryOpen,
                          const DoctorFileSystem& fs, int languageFlag, const QStringList& ruleSources)
{
    const DiscoveryChoice choice = chooseKeypad(bus, kDefaultProductIds, kInitialProductId);
    DoctorReport report;
    QString keypadLine;
    if (!choice.keypadPresent) {
        report.diagnosis.verdict = AccessVerdict::NoKeypad;
        report.exitCode = kDoctorExitNoKeypad;
        keypadLine = pick(languageFlag, "none found", "未找到");
    } else {
        const QString ids = QStringLiteral("%1:%2")
                                .arg(choice.vendorId, 4, 16, QLatin1Char('0'))
                                .arg(choice.productId, 4, 16, QLatin1Char('0'));
        if (choice.interfaceZero) {
            const std::string& node = choice.interfaceZero->path;
            report.diagnosis = diagnoseOpenFailure(QString::fromStdString(node), tryOpen(node), fs, ruleSources);
            keypadLine = pick(languageFlag, "%1, interface 0 at %2", "%1，接口 0：%2")
                             .arg(ids, QString::fromStdString(node));
        } else {
            report.diagnosis.verdict = AccessVerdict::OpenFailed;
            keypadLine = pick(languageFlag, "%1, interface 0 not listed", "%1，未列出接口 0").arg(ids);
        }
        report.exitCode =
            report.diagnosis.verdict == AccessVerdict::Openable ? kDoctorExitOpenable : kDoctorExitNotOpenable;
    }

    const bool sandboxed = fs.exists(kFlatpakInfo);
    const EffectiveRule rule = effectiveRule(fs);
    QString ruleLine = rule.path.isEmpty() ? pick(languageFlag, "not installed", "未安装") : rule.path;
    if (rule.masked)
        ruleLine += pick(languageFlag, " (empty: switched off)", "（空文件：已屏蔽）");
    // The sandbox's /etc is the runtime's, not the machine's.
    if (sandboxed)
        ruleLine = pick(languageFlag, "cannot be checked from inside the sandbox", "在沙盒内无法检查");

    QStringList lines;
    lines << pick(languageFlag, "Keypad: %1", "键盘：%1").arg(keypadLine)
          << pick(languageFlag, "udev rule 70-tessaplex.rules: %1", "udev 规则 70-tessaplex.rules：%1").arg(ruleLine)
          << pick(languageFlag, "Flatpak sandbox: %1", "Flatpak 沙盒：%1")
                 .arg(sandboxed ? pick(languageFlag, "yes", "是") : pick(languageFlag, "no", "否"))
          << statusText(report.diagnosis, languageFlag);
    const QString commands = fixCommands(report.diagnosis);
    if (!commands.isEmpty())
        lines << pick(languageFlag, "To fix it, run in a terminal:", "修复方法：在终端中运行：") << commands.trimmed();
    report.text = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return report;
}

DoctorReport runDoctor(HidTransport& transport, const DoctorFileSystem& fs, int languageFlag)
{
    const auto tryOpen = [&transport](const std::string& node) {
        const OpenResult opened = transport.open(node);
        if (opened.handle) {
            transport.close(opened.handle);
            return OpenFailure::None;
        }
        return opened.failure == OpenFailure::None ? OpenFailure::Other : opened.failure;
    };
    return doctorReport(transport.enumerate(0, 0), tryOpen, fs, languageFlag);
}
