#pragma once

#include "core/device/device_exchanges.h"
#include "core/device/hid_transport.h"
#include "core/startup/options.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class KeypadLock;
class SimulatedSetup;

// Options that apply to every command.
struct GlobalOptions {
    QString devicePath;      // --device: this keypad only
    bool simulate = false;   // --simulate, --simulate=K,N,V,B or --simulate-state
    bool boardGiven = false; // --simulate=K,N,V,B was given
    SimulateOptions board;   // the simulated board
    QString statePath;       // --simulate-state
    bool json = false;
    bool quiet = false;
    bool noBackup = false;   // --no-backup: write without keeping what the keypad held
    bool writes = false;         // the command changes the keypad: it takes the keypad's lock
    bool stdoutClosed = false;   // the program was started without a standard output
};

// Takes every "--simulate=K,N,V,B" out of args (up to a "--") into options,
// with the window's defaults and checks: the value goes through the window's
// own option parser rather than a copy of it. False with error set when a
// value is malformed.
bool takeSimulateValues(QStringList& args, GlobalOptions& options, QString& error);

// Test-only faults of the simulated keypad, from the environment variable
// TESSAPLEX_CLI_SIMULATE_FAULT (comma-separated): "unplugged" (not on the
// bus), "no-permission" (its node may not be opened), "silent" (does not say
// which board it is), "fail-write=N" (its Nth write fails), "unplug-at-write=N"
// (it leaves the bus at its Nth write). Ignored without --simulate.
constexpr char kSimulateFaultVariable[] = "TESSAPLEX_CLI_SIMULATE_FAULT";

// One supported keypad interface on the bus and whether it can be opened.
struct BusEntry {
    HidDeviceEntry entry;
    OpenFailure openFailure = OpenFailure::None;
    QString openError;  // the HID layer's text when the open failed for another reason
};

// What every command shares: the transport (the USB bus or a simulated
// keypad, with its state file), the keypad it opened, and the messages.
class CliContext {
public:
    CliContext();
    ~CliContext();
    CliContext(const CliContext&) = delete;
    CliContext& operator=(const CliContext&) = delete;

    // Builds the transport. Not ExitCode::kDone when the simulated keypad's
    // state file is damaged or unreadable (the message is printed).
    int setUp(const GlobalOptions& options);
    const GlobalOptions& options() const { return options_; }
    HidTransport& transport() { return *transport_; }

    // Every interface of a supported keypad on the bus, in the HID layer's order.
    std::vector<BusEntry> listKeypads(bool tryOpen);

    // Opens the keypad --device names or, without it, the one the window would
    // pick. A command that writes takes the keypad's lock first and waits a
    // little for another writer; ExitCode::kBusy names the holder. Not ExitCode::kDone when there is none or it cannot be opened (the
    // message, with the fix, is printed).
    int openKeypad();
    const HidDeviceEntry& openedEntry() const { return opened_; }
    DeviceLink link() { return DeviceLink{*transport_, handle_}; }

    // Closes the keypad and writes the simulated keypad's memory to its state
    // file. Returns code, or ExitCode::kDeviceIo when the state could not be
    // written and code was kDone.
    int finish(int code);

    // "tessaplex-cli: message" on standard error; returns code.
    int fail(int code, const QString& message) const;
    // Progress and notes on standard error; -q silences them.
    void note(const QString& message) const;
    // Standard output. A failed write is remembered: finish() then reports
    // it and turns success into ExitCode::kDeviceIo.
    void print(const QString& text);

private:
    GlobalOptions options_;
    std::unique_ptr<HidapiTransport> hidapi_;
    std::unique_ptr<SimulatedSetup> simulated_;
    HidTransport* transport_ = nullptr;
    HidHandle handle_ = nullptr;
    HidDeviceEntry opened_;
    std::unique_ptr<KeypadLock> lock_;
    QString outputError_;
};

// The fix for a node we may not open, for list, info and the other commands.
QString permissionFix(const QString& node);

// The keypad's identity through the information query. One small function
// so that the connection object can take its place later.
QueryResult askIdentity(CliContext& context);

// The catalogue name of a board, if it is one of the known models.
std::optional<QString> modelName(const DeviceInfo& info);

// A USB vendor or product id as four hex digits.
QString idText(uint16_t id);
