#pragma once

#include "core/keypad/key_table.h"
#include "core/keypad/keypad_config.h"

#include <QList>
#include <QObject>
#include <QVector>

#include <functional>
#include <memory>

struct WindowState;

class DelayPage;
class EditHistory;
struct EditView;
class KeyLabels;
class KeyPictureButtons;
class KeypadConfig;
class LedPage;
class QButtonGroup;
class QPushButton;
class StatusLine;

namespace Ui {
class Widget;
}

// Turns the user's pointing into edits of the configuration: the layer, the
// physical key and the page in front choose what is edited; a click on a
// value button of the pages is routed by the table index the button carries
// (set once when the form is wired, so captions may change freely).
class KeyEditor : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kTableIndexProperty = "tableIndex";

    KeyEditor(Ui::Widget& ui, QWidget& root, KeypadConfig& config, StatusLine& status, const WindowState& state,
              QObject* parent = nullptr);
    ~KeyEditor() override;

    QButtonGroup* keyGroup() const { return Key_Group; }
    LedPage& ledPage() const { return *Led; }
    DelayPage& delayPage() const { return *Delay; }
    const CaptionLookup& captions() const { return Captions; }
    KeyPictureButtons& pictureButtons() const { return *KeyButtons; }

    // Every edit below becomes one undo step of history (none when null).
    void setHistory(EditHistory* history);

    // Value buttons: every push button of the pages, with its table index.
    void registerValueButtons();
    bool eventFilter(QObject* watched, QEvent* event) override;

    void selectLayer(int layer);
    void selectKey(int id);
    void showPage(int index);
    void onQuickMenuClicked(QPushButton* button);
    // A shortcut typed on the computer's keyboard, as the table indices of
    // the captions whose clicks store it: replaces what the selected key did,
    // as one step. False when no key is selected or the key took none of it.
    bool storeShortcut(const QVector<int>& tableIndices);
    void clearSelectedKey();
    void clearLayer();
    void setOldFormatLighting(int index);
    // The user changed a delay box; showing a key's delays sends no signal.
    void entryDelayChanged(QObject* spinBox, int value);
    void oldFormatDelayChanged();

    // The view an undo step keeps, and showing one again after an undo or
    // redo: captions and text box as they were, pages that show the changed
    // records refreshed from them.
    EditView captureView() const;
    void showView(const EditView& view, const KeypadConfig::Difference& changed);

    void showSelectedKeyText();
    // Another configuration's captions on the picture, for a preview; the
    // window's own come back with showLayerLabels().
    void showLabelsOf(const ConfigStore& store, int layer);
    void showLayerLabels(int layer);
    void appendToSelectedKey(const QString& caption);
    void resetHighlights();
    void highlightSelectedKey();
    // Texts set from code, again in the language now in force.
    void retranslate();

signals:
    // Before the page at index is set up: the key tester gives the picture
    // back before another page frames its keys.
    void pageAboutToShow(int index);
    // The LED page wants the selected layer's LEDs from the keypad.
    void ledLayerWanted();

private:
    void handleValueClick(QPushButton* button);
    // The selected key's delays on the delay page, shown without storing.
    void showDelays();
    bool asEdit(const QString& what, const std::function<void()>& edit, int mergeKey = 0);

    Ui::Widget& ui;
    QWidget& Root;
    KeypadConfig& Config;
    StatusLine& Status;
    const int& Language_Flag;
    QButtonGroup* Key_Group = nullptr;
    std::unique_ptr<KeyPictureButtons> KeyButtons;
    std::unique_ptr<KeyLabels> Labels;
    LedPage* Led = nullptr;
    DelayPage* Delay = nullptr;
    CaptionLookup Captions;
    QList<QPushButton*> ValueButtons;
    EditHistory* History = nullptr;
    bool StoringDelay = false;
};
