#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// One writer at a time per keypad: the window while it is connected, each
// command-line run that changes the keypad, and the run that keeps a
// simulated keypad's state file. A QLockFile in the user's runtime folder,
// named after what it guards (a hidraw node, a state file); a holder that
// died leaves a lock the next writer takes over.
class KeypadLock {
public:
    // key: the device node, or the state file's path.
    explicit KeypadLock(const QString& key);
    ~KeypadLock();
    KeypadLock(const KeypadLock&) = delete;
    KeypadLock& operator=(const KeypadLock&) = delete;

    // Waits up to waitMs for the holder to let go. False: holder() says who has it.
    bool acquire(int waitMs);
    bool isHeld() const;
    void release();
    // "tessaplex-cli (process 1234)", or a plainer text when the lock file
    // does not say; for messages after a failed acquire().
    QString holder() const;
    QString lockPath() const { return path_; }

    // $XDG_RUNTIME_DIR when it is an absolute folder, else the system's
    // temporary folder.
    static QString lockFolder();
    // How long a second writer waits before it gives up.
    static constexpr int kWaitMs = 3000;

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};
