#pragma once

// Why a keypad that is on the bus cannot be opened, in words the user can act
// on, and the shell commands that fix it.
//
// In the window: when the connection's open fails, call
//     Diagnosis d = diagnoseOpenFailure(node, failure, LocalFileSystem());
// show statusText(d, Language_Flag) in the status area, and offer
// fixCommands(d) (empty: nothing to copy) behind a "Copy commands" action.
// `tessaplex-cli doctor`: print runDoctor(transport, LocalFileSystem(), flag).text
// and exit with its exitCode.

#include "core/device/discovery.h"
#include "core/device/hid_transport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>
#include <vector>

constexpr const char* kUdevRuleName = "70-tessaplex.rules";
// Where the fix installs the rule: it overrides any file of the same name udev reads.
constexpr const char* kUdevRuleTarget = "/etc/udev/rules.d/70-tessaplex.rules";
constexpr const char* kDefaultAppId = "io.github.tessaplex.Tessaplex";

// Every file the doctor looks at goes through here; the tests give it a
// made-up machine.
class DoctorFileSystem {
public:
    virtual ~DoctorFileSystem() = default;
    virtual bool exists(const QString& path) const = 0;
    // The contents; nullopt when the file is missing or may not be read.
    // A symlink to /dev/null reads as empty.
    virtual std::optional<QByteArray> read(const QString& path) const = 0;
    // Whether only root can change the file: it and its folder are owned by
    // root and writable by nobody else, and it is no symlink. A command that
    // installs it as root must not install something another user put there.
    virtual bool onlyRootCanChange(const QString& path) const = 0;
};

class LocalFileSystem : public DoctorFileSystem {
public:
    bool exists(const QString& path) const override;
    std::optional<QByteArray> read(const QString& path) const override;
    bool onlyRootCanChange(const QString& path) const override;
};

enum class AccessVerdict {
    Openable,     // the keypad's node opens: nothing to fix
    NoKeypad,     // no supported keypad on the bus
    RuleMissing,  // no 70-tessaplex.rules where udev reads rules
    RuleMasked,   // the file udev reads under that name is empty or /dev/null
    NoAccess,     // the rule is there, the node still refuses us (not replugged, or not at the seat)
    Sandboxed,    // inside Flatpak, which hides device nodes unless allowed
    OpenFailed,   // something else: node busy or gone, or no interface 0 listed
};

struct Diagnosis {
    AccessVerdict verdict = AccessVerdict::NoKeypad;
    QString node;        // the keypad's interface-0 hidraw node; empty when none was listed
    QString rulePath;    // RuleMasked: the masking file; NoAccess: the rule udev reads
    QString ruleSource;  // a copy of the rule on this machine to install from; empty: write it out inline
    QString appId;       // Sandboxed: the Flatpak application id to give device access
};

// udev's rule directories, highest priority first.
QStringList udevRuleDirectories();

// Where an installed copy of the rule may be, next to the program
// (share/tessaplex, or lib/udev/rules.d under a prefix udev does not read).
// A copy is offered for installing only when it is exactly the rule built into
// the program and only root can change it; otherwise the fix writes the
// built-in text out itself.
QStringList defaultRuleSources();

// The case for a node whose open failed (the connection's OpenResult).
Diagnosis diagnoseOpenFailure(const QString& node, OpenFailure failure, const DoctorFileSystem& fs,
                              const QStringList& ruleSources = defaultRuleSources());

// One sentence for the status area; languageFlag as the window's Language_Flag
// (1 = English, otherwise Chinese).
QString statusText(const Diagnosis& diagnosis, int languageFlag);

// The commands that fix it, one per line, for the clipboard or a terminal.
// Empty when there is nothing a command can do.
QString fixCommands(const Diagnosis& diagnosis);

// The rule as shipped, for writing it out when no copy is on disk.
QString shippedRuleText();

struct DoctorReport {
    Diagnosis diagnosis;
    QString text;      // several lines: keypad, rule, sandbox, verdict, fix
    int exitCode = 0;  // 0 the keypad opens, 77 it does not, 69 there is none
};

constexpr int kDoctorExitOpenable = 0;
constexpr int kDoctorExitNoKeypad = 69;     // EX_UNAVAILABLE
constexpr int kDoctorExitNotOpenable = 77;  // EX_NOPERM

// tryOpen opens and closes a node, saying how it went.
DoctorReport doctorReport(const std::vector<HidDeviceEntry>& bus,
                          const std::function<OpenFailure(const std::string& node)>& tryOpen,
                          const DoctorFileSystem& fs, int languageFlag,
                          const QStringList& ruleSources = defaultRuleSources());

// doctorReport over the transport's listing of the whole bus and its open().
DoctorReport runDoctor(HidTransport& transport, const DoctorFileSystem& fs, int languageFlag);
