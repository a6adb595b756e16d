#pragma once

#include <QObject>

#include "core/device/keypad_connection.h"

struct WindowState;

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

    void readConfiguration();  // "View settings": every key record
    // True when every record was read.
    bool readOnConnect();
    void readLedLayer();       // the selected layer's LEDs, then their display
    // "Discard changes": every unsaved record the keypad can tell again and
    // every unsaved LED layer is read back over the edit. What the keypad
    // did not answer, and records it is never asked for (slots past the
    // read-back, the old lighting slot), stay unsaved. True when all answered.
    bool discardUnsavedEdits();
    void save();
    void switchModel(int model);
    void requestUpgrade();
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

    Ui::Widget& ui;
    QWidget& Root;
    KeypadConnection& Connection;
    KeypadConfig& Config;
    KeyEditor& Editor;
    StatusLine& Status;
    Dialog1& Picker;
    const int& Language_Flag;
    const WindowState& State;
};
