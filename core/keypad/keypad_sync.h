#pragma once

#include "core/device/device_exchanges.h"
#include "core/keypad/config_store.h"

#include <array>

class KeypadConfig;

// Save and read-back: exchanges between one open keypad and one
// configuration. Synchronous, widget-free, and they say what happened; the
// caller decides what the user sees.

constexpr int kModelSwitchLedIndexA = 94;  // old-format lighting set by the model switch
constexpr int kModelSwitchLedIndexB = 87;

// --- Identity ------------------------------------------------------------------

// The information query; an answer becomes the configuration's identity.
QueryOutcome identifyKeypad(DeviceLink link, KeypadConfig& config);

// --- Download ----------------------------------------------------------------

enum class DownloadOutcome {
    Saved,          // everything dirty was written (and committed)
    NothingToSend,  // no dirty record and, in the current format, no LED change
    Failed,         // some write failed, or the LED blocks could not be completed
};
struct DownloadResult {
    DownloadOutcome outcome = DownloadOutcome::NothingToSend;
    int recordsWritten = 0;
    int recordsFailed = 0;
    int firstFailedLayer = -1;  // where the first record write failed
    int firstFailedSlot = -1;
    int recordsNotSent = 0;  // dirty records not even tried (no open keypad)
    int ledLayersRead = 0;   // LED layers read from the keypad before the blocks
    int ledBlocksWritten = 0;
    int commitsWritten = 0;
    int recordsCommitted = 0;  // of recordsWritten, those a commit the keypad took followed
    bool ledPending = false;                   // LED blocks were due to go out
    std::array<bool, kLayers> ledLayerSent{};  // which layers' LED blocks the keypad took
};
// Every dirty record is tried; a failed one does not stop the others. A
// record's dirty flag is cleared only once the commit that follows it was
// written, the LED flags only when all three LED blocks were. Before the LED
// blocks go out, every layer neither edited nor known from this keypad is read
// from it, so an untouched layer goes back unchanged; if that read fails, no
// LED block is sent.
DownloadResult downloadConfig(DeviceLink link, KeypadConfig& config);
// The steps of downloadConfig() for what `store` marks unsaved, as a progress
// count: every record and LED block written and every LED layer read first.
int saveSteps(const ConfigStore& store);

// --- Model switch and firmware update -----------------------------------------

enum class SetModelOutcome { Sent, UnknownModel, NotConnected, WriteFailed };
// The device part of the model switch: logs "en key is = %d", writes the
// report, logs "1234567" and pauses 200 ms. On Sent the caller goes on with
// SetRgb_Led_Key(94), SetRgb_Led_Key(87), downloadConfig, sleepMs(200) and the
// device-information query.
SetModelOutcome sendSetModel(DeviceLink link, int model, bool connected);

// The whole model switch as the keypad needs it: the report, the old-format
// lighting of the current layer, a save, a pause and a new identity query.
struct ModelSwitchResult {
    SetModelOutcome outcome = SetModelOutcome::NotConnected;
    DownloadResult save;
    QueryOutcome identity = QueryOutcome::Failed;
};
ModelSwitchResult switchModel(DeviceLink link, KeypadConfig& config, int model, bool connected);
// Its steps for a progress count: its save, the lighting it sets included,
// and the identity reply.
int modelSwitchSteps(const ConfigStore& store);

// --- Read-back -----------------------------------------------------------------

struct KeyReadResult {
    int requestsWritten = 0;
    int requestsFailed = 0;
    int repliesStored = 0;
    int repliesRejected = 0;  // failed, timed out or too short: nothing copied
    int repliesKeptEdit = 0;  // slot dirty: the unsaved edit was kept
    int layersCut = 0;        // layers whose reply series stopped early
    bool deviceLost = false;  // a read failed outright; later layers not asked
    // Every request went and every reply came whole (a reply kept out by an
    // unsaved edit was still read).
    bool complete() const { return requestsFailed == 0 && repliesRejected == 0 && layersCut == 0 && !deviceLost; }
};
// What a reply does to a record or LED layer holding an unsaved edit. Keep:
// the edit stays (it is newer than the keypad's copy). Discard: the reply
// replaces it and the unsaved mark goes, for exactly what was read.
enum class UnsavedEdits { Keep, Discard };

// Layers 1..layers; every reply waits at most replyTimeoutMs. Slots not read
// keep their contents and marks; unsaved edits as `edits` says.
KeyReadResult readKeyRecords(DeviceLink link, KeypadConfig& config, int layers, int slotCount, int knobCount,
                             int replyTimeoutMs = kReadBackReplyTimeoutMs, UnsavedEdits edits = UnsavedEdits::Keep);

// KeptEdit: the reply was read but the layer has unsaved LED edits, which stay.
enum class LedReadOutcome { Stored, RequestFailed, NoReply, BadLayer, KeptEdit };
LedReadOutcome readLedBlock(DeviceLink link, KeypadConfig& config, int layerIndex,
                            int replyTimeoutMs = kReadBackReplyTimeoutMs, UnsavedEdits edits = UnsavedEdits::Keep);

// The read-back a "View settings" click or a first connection makes: every
// key record of the three layers the board reports (Board::readable).
KeyReadResult readAllKeyRecords(DeviceLink link, KeypadConfig& config, UnsavedEdits edits = UnsavedEdits::Keep);
// How many replies readAllKeyRecords() stores when every one comes.
int allKeyRecordReplies(bool currentFormat);

// The whole keypad: every key record it reports and, in the current format,
// the three LED blocks. Complete when every record and block came; the
// command line, the window's discard and backups take nothing less.
struct WholeRead {
    KeyReadResult keys;
    int ledLayersMissing = 0;  // LED blocks asked for that did not come (or an edit kept out)
    int firstMissingLedLayer = -1;
    bool complete() const { return keys.complete() && ledLayersMissing == 0; }
};
WholeRead readWholeKeypad(DeviceLink link, KeypadConfig& config, UnsavedEdits edits = UnsavedEdits::Keep);
