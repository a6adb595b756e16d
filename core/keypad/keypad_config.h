#pragma once

#include "core/device/protocol.h"
#include "core/keypad/config_store.h"
#include "core/keypad/keypad_image.h"

#include <QObject>

#include <bitset>
#include <cstdint>
#include <vector>

// Everything the program will tell one keypad: the key records of both
// formats, their unsaved flags, the LED blocks with per-layer unsaved flags,
// the selection being edited and the identity the keypad reported. Owned by
// whoever edits a keypad (the window, the command-line program, a test); there
// is no shared instance.
//
// Signals:
//   changed(layer, slot)  a record's bytes changed: an edit, a clear, a
//                         read-back or an import. slot is -1 when several
//                         slots of the layer changed at once (clear all).
//   ledChanged(layer)     the LED mode or colours of that layer changed.
//   identityChanged()     the reported or picked board changed.
// Selection changes emit nothing: they are the editor's own state.
class KeypadConfig : public QObject {
    Q_OBJECT

public:
    explicit KeypadConfig(QObject* parent = nullptr);

    // Read access to the whole store (member names as the keypad's record
    // layout documents them: PHY2_KEY_Value, KeyDirty, KeyBoard_KeyLed, ...).
    const ConfigStore& store() const { return Store; }
    // Direct access without signals, for test set-ups and for the save and
    // read-back operations (which announce what they changed themselves).
    ConfigStore& rawStore() { return Store; }

    bool currentFormat() const { return Store.currentFormat(); }
    const uint8_t* record(int layer, int slot) const { return Store.record(layer, slot); }
    int selectedKey() const { return Store.Select_PHY_Key; }
    int selectedLayer() const { return Store.Select_PHY_Key_Layer; }
    int editingMode() const { return Store.Select_PHY_Key_Mode; }
    bool anyUnsaved() const { return Store.anyKeyDirty() || (currentFormat() && Store.anyLedDirty()); }
    // Records and (current format) LED layers the next save will send.
    int unsavedCount() const;
    DeviceInfo identity() const;

    // Selection.
    void selectLayer(int layer);  // also drops the key selection
    void selectKey(int id);       // 0 = none; stamps the record header otherwise
    void setEditingMode(uint8_t mode);
    // True when the selected key holds an action of another mode than the
    // page in front: a value of the page then replaces the whole assignment.
    bool selectedKeyHoldsOtherMode() const;

    // Edits of the selected key (KeyTable indices); each emits changed().
    WriteResult addKeyCode(int index);
    WriteResult addModifier(int index);
    WriteResult setMediaKey(int index);
    WriteResult setMouseKey(int index);
    WriteResult setOldFormatLighting(int index);  // slot 0 of the layer, needs no key
    WriteResult setOldFormatDelay(int valueMs);
    WriteResult setQuickMenuCodes(const std::vector<int>& codes);
    WriteResult setEntryDelay(int entry, int valueMs);
    void clearSelectedKey();
    void clearLayer(int layer);

    // LED edits; each marks only its own layer unsaved.
    bool setKeyColour(int layer, int key, uint8_t red, uint8_t green, uint8_t blue);  // keys 1..16
    bool setLayerLedMode(int layer, int mode);

    // Identity: what the keypad reported, or what the user picked for a
    // keypad that does not say (keys and knobs only).
    void adoptDeviceInfo(const DeviceInfo& info);
    void setPickedBoard(uint16_t pickerValue);
    // Copies the reported identity to the shown one when keys or knobs differ;
    // true when the picture has to be rebuilt.
    bool adoptIdentityForLayout();

    // A newly connected keypad: no LED layer is known from it yet.
    void forgetKeypadLeds() { Store.ForgetKeypadLeds(); }

    // What the window shows, unsaved edits included: the records of the
    // format in force (bytes 0..63, zeros past 49 in the old format), the LED
    // blocks and the reported identity.
    KeypadImage image() const;
    // Imports records and LED blocks as if they had been clicked: every slot
    // whose content differs (bytes 3..63; key slots 1..27, and the lighting
    // slot 0 in the old format) is replaced and marked unsaved, every LED
    // layer that differs likewise. The identity is not taken over: the
    // connected keypad says what it is. Returns the number of records changed.
    int applyImage(const KeypadImage& image, bool withLeds = true);
    bool setRecord(int layer, int slot, const uint8_t* bytes64);

    // Everything an edit can change: the records of both formats, their
    // unsaved marks, the LED layers and theirs. Selection and identity stay
    // out: taking an edit back must not move the user or rename the keypad.
    struct Snapshot {
        uint8_t current[kLayers][kSlotsPerLayer][kSlotBytes];
        uint8_t old[kLayers][kSlotsPerLayer][kSlotBytes];
        uint8_t keyDirty[kLayers][kSlotsPerLayer];
        uint8_t led[kLayers][kLedBytesPerLayer];
        uint8_t ledMode[kLayers];
        uint8_t ledDirty[kLayers];
    };
    // Which records (by layer and slot) and LED layers differ, bytes or mark.
    struct Difference {
        std::bitset<kLayers * kSlotsPerLayer> records;
        std::bitset<kLayers> leds;
        bool empty() const { return records.none() && leds.none(); }
        bool slot(int layer, int slot) const;
        bool touchesLayer(int layer) const;  // any record of the layer
        Difference& operator|=(const Difference& other);
    };
    // How a restore sets the unsaved marks. AsSnapshot is right while the
    // keypad still holds what it held when the snapshot was taken; once a
    // save or an LED read-back came between, a record whose bytes the restore
    // changes may differ from the keypad's copy and is marked unsaved.
    enum class Marks { AsSnapshot, ChangedAreUnsaved };

    Snapshot snapshot() const;
    static Difference difference(const Snapshot& a, const Snapshot& b);
    // Puts back the records and LED layers named in `only` as the snapshot
    // holds them; emits changed() for each record and ledChanged() for each
    // LED layer put back, so every view can follow.
    void restore(const Snapshot& snapshot, const Difference& only, Marks recordMarks = Marks::AsSnapshot,
                 Marks ledMarks = Marks::AsSnapshot);

    // For the save and read-back operations.
    void notifyChanged(int layer, int slot) { emit changed(layer, slot); }
    void notifyLedChanged(int layer) { emit ledChanged(layer); }

signals:
    void changed(int layer, int slot);
    void ledChanged(int layer);
    void identityChanged();

private:
    WriteResult announce(WriteResult result, int layer, int slot);

    ConfigStore Store;
};
