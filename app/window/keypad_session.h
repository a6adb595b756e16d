#pragma once

#include <QObject>

#include "core/keypad/keypad_sync.h"
#include <functional>
#include <vector>

#include "core/device/keypad_connection.h"

struct WindowState;

#include <optional>
#include <memory>

class KeypadLock;
struct DownloadResult;

class Dialog1;
class KeyEditor;
class KeypadConfig;
class StatusLine;
class QWidget;

namespace Ui {
class Widget;
}

// What the window does with the keypad: the first-connection steps when the
// connection has identified one, the read-back and the save the buttons ask
// for, and the model switch. The exchanges themselves are the widget-free
// operations of core/keypad/keypad_sync.h; this class shows their outcome.
class KeypadSession : public QObject {
    Q_OBJECT

public:
    KeypadSession(Ui::Widget& ui, QWidget& root, KeypadConnection& connection, KeypadConfig& config,
                  KeyEditor& editor, StatusLine& status, Dialog1& picker, const WindowState& state,
                  QObject* parent = nullptr);
    ~KeypadSession() override;

    // Every exchange runs on the connection's worker; what it read or saved
    // is applied here when it ends. A save or read-back asked for while
    // another exchange runs waits for its end.
    // "View settings": every key record; then(read) follows when the
    // read-back has ended. Nothing without a keypad.
    void readConfiguration(std::function<void(const KeyReadResult&)> then = {});
    // The first read-back; then(read) follows once it has ended, complete or not.
    void readOnConnect(std::function<void(const KeyReadResult& read)> then);
    void readLedLayer();       // the selected layer's LEDs, then their display
    // "Discard changes": every unsaved record the keypad can tell again and
    // every unsaved LED layer is read back over the edit. What the keypad
    // did not answer, and records it is never asked for (slots past the
    // read-back, the old lighting slot), stay unsaved. then(complete) follows
    // the read, complete when all answered; edits made meanwhile are kept.
    void discardUnsavedEdits(std::function<void(bool complete)> then);
    void save();
    // One writer per keypad: while connected the window holds the keypad's
    // lock, so a command-line write waits for it, and a save waits for one.
    // For keypads on the bus; a simulated keypad is the window's own.
    void lockKeypads() { LocksKeypads = true; }
    void switchModel(int model);
    void requestUpgrade();
    // Asked before a save or a model switch changes the keypad; the write
    // goes on when the check calls what it is given, which it may never do.
    using Proceed = std::function<void()>;
    void setBeforeWriting(std::function<void(Proceed)> check) { BeforeWriting = std::move(check); }
    // Told after a save or model switch whether the keypad's stored
    // configuration may have changed.
    void setAfterWriting(std::function<void(bool)> told) { AfterWriting = std::move(told); }
    // Old and current keypads offer different controls; done on connection
    // and again after a language switch.
    void adaptPages();

signals:
    // The picture has to be drawn for another board.
    void layoutChanged();
    // The first read-back of a keypad that said which board it is is done;
    // complete: every record came back.
    void firstReadBack(bool complete);

private:
    void onConnected(const KeypadIdentity& identity);
    void onDisconnected();
    void takeIdentityAnswer(bool answered);
    void adoptPickedModel();
    // False (and the status says who has it) when another program holds the keypad.
    bool holdLock(int waitMs);
    void showSaveFailure(const DownloadResult& result);
    // The status line's progress for a save or read-back of `total` steps.
    void followProgress(bool saving, int total);
    bool waitForExchange(void (KeypadSession::*action)());
    void readConfigurationLater();
    void discardLater();
    void sendUnsaved();         // the save itself, once its backup is written
    void sendModel(int model);  // the model switch itself, likewise

    Ui::Widget& ui;
    QWidget& Root;
    KeypadConnection& Connection;
    KeypadConfig& Config;
    KeyEditor& Editor;
    StatusLine& Status;
    Dialog1& Picker;
    const int& Language_Flag;
    std::function<void(Proceed)> BeforeWriting;
    bool LocksKeypads = false;
    std::unique_ptr<KeypadLock> Lock;
    std::function<void(bool)> AfterWriting;
    // A save or read-back asked for while another exchange ran, in order.
    std::vector<void (KeypadSession::*)()> Waiting;
    QMetaObject::Connection ProgressLink;
    std::function<void(const KeyReadResult&)> ReadDone;  // the read-back asked for last
    std::function<void(bool)> DiscardDone;               // a discard waiting for its turn
    const WindowState& State;
};
