#pragma once

#include <QString>

struct WindowState;

class KeyPictureButtons;
class QTextEdit;
struct ConfigStore;

// The two views of an assignment: the captions on the keypad picture's
// buttons and the text box of the selected key. Views only; nothing here is
// ever read back into a record.
class KeyLabels {
public:
    KeyLabels(KeyPictureButtons& buttons, QTextEdit* textBox, const WindowState& state);

    void showSelectedKeyText(const ConfigStore& store);
    void showLayer(const ConfigStore& store, int layer);  // keys 1..25, "NULL" for empty records
    // The live label: the clicked captions one after the other.
    void appendToSelectedKey(const ConfigStore& store, const QString& caption);
    void setSelectedKeyText(int key, const QString& text);  // button and text box alike
    void clearKey(int key);
    void clearAll();

private:
    KeyPictureButtons& buttons_;
    QTextEdit* textBox_;
    const int& language_;
};
