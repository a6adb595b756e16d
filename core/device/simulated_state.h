#pragma once

#include "core/device/hid_transport.h"
#include "core/device/simulated_keypad.h"

#include <QByteArray>
#include <QString>

#include <memory>

class KeypadLock;

// The simulated keypad's memory on disk, so that a keypad without hardware
// keeps what was saved to it from one run to the next (the command line sets
// a key, a later run reads it, the window shows it). Holds what a real keypad
// keeps over a power cycle: its identity, the committed key records and the
// LED blocks. Staged records and faults are not kept.
//
// The file is JSON with the bytes as hex strings. It is replaced atomically,
// so a crash or a full disk leaves the previous contents, never half a file;
// load() takes the file's lock and keeps it, so two runs on one file take
// turns instead of losing each other's changes.
class SimulatedStateFile {
public:
    enum class LoadOutcome {
        Loaded,   // the keypad now holds what the file holds
        Missing,  // no file yet: the keypad is left as it is
        Damaged,  // the file is not a state file; the keypad is left as it is
        Unreadable,
        Busy,  // another run holds the file's lock (error() names it)
    };

    explicit SimulatedStateFile(QString path);
    ~SimulatedStateFile();

    const QString& path() const { return path_; }

    // Never replaces a damaged file: the caller refuses to run, naming the
    // file and what is wrong (error()).
    LoadOutcome load(SimulatedKeypad& keypad);
    // Writes the keypad's memory when it differs from what this object last
    // read or wrote, so it can be called after every exchange at little cost.
    bool save(const SimulatedKeypad& keypad);
    // The last failure, naming the file and what is wrong; empty after success.
    const QString& error() const { return error_; }

    static QByteArray serialize(const SimulatedKeypad& keypad);
    // Empty string on success, else what is wrong (without the file name).
    static QString deserialize(const QByteArray& bytes, SimulatedKeypad& keypad);

private:
    QString path_;
    QString error_;
    QByteArray lastContents_;
    std::unique_ptr<KeypadLock> lock_;
};

// A simulated keypad whose memory goes to its state file whenever the keypad
// would keep it over a power cycle: after a commit, an LED block or a model
// switch. A failed save fails the write that caused it, so the program sees a
// save that did not stick as the failure it is; the keypad's error text then
// names the state file.
class PersistentKeypad : public HidTransport {
public:
    PersistentKeypad(SimulatedKeypad& keypad, SimulatedStateFile& state);

    SimulatedKeypad& keypad() { return keypad_; }
    // Also for the end of a run, in case something changed in between.
    bool flush();

    std::vector<HidDeviceEntry> enumerate(uint16_t vendorId, uint16_t productId) override;
    OpenResult open(const std::string& path) override;
    int write(HidHandle handle, const uint8_t* data, size_t length) override;
    int readTimeout(HidHandle handle, uint8_t* data, size_t length, int milliseconds) override;
    int read(HidHandle handle, uint8_t* data, size_t length) override;
    int setNonblocking(HidHandle handle, int nonblock) override;
    std::wstring error(HidHandle handle) override;
    void close(HidHandle handle) override;
    void exit() override;
    void sleepMs(int milliseconds) override;

private:
    SimulatedKeypad& keypad_;
    SimulatedStateFile& state_;
    std::wstring saveError_;
};
