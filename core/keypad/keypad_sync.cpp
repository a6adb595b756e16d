#include "core/keypad/keypad_sync.h"

#include "core/keypad/board.h"
#include "core/keypad/keypad_config.h"
#include "core/keypad/model_catalogue.h"

#include <QLoggingCategory>

#include <algorithm>
#include <utility>
#include <vector>

// The per-byte dumps of a read-back run to thousands of lines, and writing
// them costs a hundred times the read-back itself; they are off unless
// switched on with QT_LOGGING_RULES="tessaplex.device.bytes.debug=true".
Q_LOGGING_CATEGORY(lcRecordBytes, "tessaplex.device.bytes", QtInfoMsg)

namespace {

constexpr int kMaxStaleReplies = 64;

// Replies a cut series may still deliver would be taken for the next layer's.
void drainStaleReplies(DeviceLink link)
{
    Reply scratch{};
    for (int i = 0; i < kMaxStaleReplies; ++i)
        if (link.transport.readTimeout(link.handle, scratch.data(), scratch.size(), 0) <= 0)
            return;
}


void logRecordBytes(const uint8_t* record, bool currentFormat)
{
    if (!lcRecordBytes().isDebugEnabled())
        return;
    const int bytes = currentFormat ? kCurrentRecordBytes : kOldRecordBytes;
    for (int i = 0; i < bytes; ++i) {
        if (currentFormat)
            qCDebug(lcRecordBytes, "PHY2_KEY_Value====[%d]:%02x", i, record[i]);
        else
            qCDebug(lcRecordBytes, "PHY_KEY_Value[%d]:%02x", i, record[i]);
    }
}

}  // namespace

DownloadResult downloadConfig(DeviceLink link, KeypadConfig& config)
{
    ConfigStore& store = config.rawStore();
    DownloadResult result;
    const bool current = store.currentFormat();
    const bool ledPending = current && store.anyLedDirty();
    const int dirty = store.keyDirtyCount();
    if (dirty == 0 && !ledPending)
        return result;
    result.ledPending = ledPending;
    if (!link.handle) {
        result.outcome = DownloadOutcome::Failed;
        result.recordsNotSent = dirty;
        return result;
    }

    bool failed = false;
    // The three LED blocks always travel together: a layer the user did not
    // touch has to go back exactly as the keypad holds it, so it is read first.
    bool ledBlocksKnown = ledPending;
    for (int layer = 0; ledPending && layer < kLayers; ++layer) {
        if (store.LedDirty[layer] || store.LedFromKeypad[layer])
            continue;
        ++result.ledLayersRead;
        if (readLedBlock(link, config, layer) != LedReadOutcome::Stored)
            ledBlocksKnown = false;
    }

    std::vector<std::pair<int, int>> uncommitted;
    auto commit = [&] {
        if (!sendReport(link, buildCommitReport())) {
            failed = true;  // what it would have committed stays unsaved
            uncommitted.clear();
            return;
        }
        ++result.commitsWritten;
        result.recordsCommitted += int(uncommitted.size());
        link.transport.sleepMs(kCommitPauseMs);
        for (const auto& [layer, slot] : uncommitted)
            store.KeyDirty[layer][slot] = 0;
        uncommitted.clear();
    };

    // A record that fails does not hold back the others: they are sent and
    // committed, and the failed one stays unsaved for the next save.
    for (int layer = 0; layer < kLayers; ++layer) {
        for (int slot = 0; slot < kSlotsPerLayer; ++slot) {
            if (!store.KeyDirty[layer][slot])
                continue;
            const uint8_t* record = store.recordOf(current, layer, slot);
            if (sendReport(link, buildKeyRecordReport(record, current))) {
                qCDebug(lcDevice, "Witer OKOK Key Num = %d", slot);
                ++result.recordsWritten;
                uncommitted.emplace_back(layer, slot);
            } else {
                if (result.recordsFailed++ == 0) {
                    result.firstFailedLayer = layer;
                    result.firstFailedSlot = slot;
                }
                failed = true;
            }
        }
        if (!current && !uncommitted.empty())
            commit();
    }

    if (ledPending && !ledBlocksKnown) {
        qCWarning(lcDevice, "LED blocks not sent: a layer could not be read from the keypad first");
        failed = true;
    } else if (ledPending) {
        bool allSent = true;
        for (int layer = 0; layer < kLayers; ++layer) {
            if (sendReport(link, buildLedBlockReport(layer, store.LayerLedMode[layer], store.KeyBoard_KeyLed[layer]))) {
                ++result.ledBlocksWritten;
                result.ledLayerSent[size_t(layer)] = true;
            }
            else
                allSent = false;
        }
        if (allSent) {
            for (int layer = 0; layer < kLayers; ++layer) {
                store.LedDirty[layer] = 0;
                store.LedFromKeypad[layer] = 1;
            }
        }
        failed = failed || !allSent;
    }
    if (current && !uncommitted.empty())
        commit();

    result.outcome = failed ? DownloadOutcome::Failed : DownloadOutcome::Saved;
    if (!failed)
        qCDebug(lcDevice, "download ok....\n");
    return result;
}

SetModelOutcome sendSetModel(DeviceLink link, int model, bool connected)
{
    qCDebug(lcDevice, "en key is = %d", model);
    const CatalogueModel* entry = ModelCatalogue::catalogueModel(model);
    if (!entry) {
        qCWarning(lcDevice, "no model code for model %d", model);
        return SetModelOutcome::UnknownModel;
    }
    if (!connected || !link.handle)
        return SetModelOutcome::NotConnected;
    if (!sendReport(link, buildSetModelReport(entry->keys, entry->knobs, entry->variant)))
        return SetModelOutcome::WriteFailed;
    qCDebug(lcDevice, "1234567");
    link.transport.sleepMs(kCommitPauseMs);
    return SetModelOutcome::Sent;
}

ModelSwitchResult switchModel(DeviceLink link, KeypadConfig& config, int model, bool connected)
{
    ModelSwitchResult result;
    result.outcome = sendSetModel(link, model, connected);
    if (result.outcome != SetModelOutcome::Sent)
        return result;
    config.setOldFormatLighting(kModelSwitchLedIndexA);
    config.setOldFormatLighting(kModelSwitchLedIndexB);
    result.save = downloadConfig(link, config);
    link.transport.sleepMs(kCommitPauseMs);
    result.identity = identifyKeypad(link, config);
    return result;
}

QueryOutcome identifyKeypad(DeviceLink link, KeypadConfig& config)
{
    const QueryResult result = queryDeviceInfo(link);
    if (result.outcome == QueryOutcome::Answered)
        config.adoptDeviceInfo(result.info);
    return result.outcome;
}

KeyReadResult readAllKeyRecords(DeviceLink link, KeypadConfig& config, UnsavedEdits edits)
{
    const Board board(config.identity());
    return readKeyRecords(link, config, kLayers, board.readSlotCount(), board.readKnobCount(), kReadBackReplyTimeoutMs,
                          edits);
}

int allKeyRecordReplies(bool currentFormat)
{
    DeviceInfo format;
    format.version = uint8_t(currentFormat ? kFirstCurrentFirmware : kFirstCurrentFirmware - 1);
    const Board board(format);
    return kLayers * static_cast<int>(keyReadSlotOrder(currentFormat, board.readSlotCount(), board.readKnobCount()).size());
}

WholeRead readWholeKeypad(DeviceLink link, KeypadConfig& config, UnsavedEdits edits)
{
    WholeRead result;
    result.keys = readAllKeyRecords(link, config, edits);
    // The older firmware cannot be asked for its lighting.
    if (!config.currentFormat() || result.keys.deviceLost)
        return result;
    for (int layer = 0; layer < kLayers; ++layer) {
        const LedReadOutcome led = readLedBlock(link, config, layer, kReadBackReplyTimeoutMs, edits);
        if (led == LedReadOutcome::Stored || (led == LedReadOutcome::KeptEdit && edits == UnsavedEdits::Keep))
            continue;
        if (result.ledLayersMissing++ == 0)
            result.firstMissingLedLayer = layer;
    }
    return result;
}

KeyReadResult readKeyRecords(DeviceLink link, KeypadConfig& config, int layers, int slotCount, int knobCount,
                             int replyTimeoutMs, UnsavedEdits edits)
{
    ConfigStore& store = config.rawStore();
    KeyReadResult result;
    if (!link.handle) {
        result.deviceLost = true;
        return result;
    }
    const bool current = store.currentFormat();
    const std::vector<int> order = keyReadSlotOrder(current, slotCount, knobCount);
    const size_t needed = keyReplyBytesNeeded(current);
    Reply reply{};
    bool streamCut = false;

    for (int layerNumber = 1; layerNumber <= std::min(layers, kLayers); ++layerNumber) {
        if (streamCut)
            drainStaleReplies(link);
        streamCut = false;
        if (!sendReport(link, buildKeyReadRequest(current, slotCount, knobCount, layerNumber))) {
            ++result.requestsFailed;
            continue;
        }
        ++result.requestsWritten;
        for (int slot : order) {
            const int count = link.transport.readTimeout(link.handle, reply.data(), reply.size(), replyTimeoutMs);
            link.transport.setNonblocking(link.handle, 0);
            if (count < 0) {
                logDeviceError(link);
                ++result.repliesRejected;
                result.deviceLost = true;
                break;
            }
            if (count == 0) {
                // A keypad that stopped answering would cost the limit per slot.
                qCWarning(lcDevice, "no reply for slot %d of layer %d; rest of the layer skipped", slot, layerNumber);
                ++result.repliesRejected;
                ++result.layersCut;
                streamCut = true;
                break;
            }
            if (static_cast<size_t>(count) < needed) {
                qCWarning(lcDevice, "short reply (%d bytes) for slot %d of layer %d ignored", count, slot, layerNumber);
                ++result.repliesRejected;
                continue;
            }
            if (store.KeyDirty[layerNumber - 1][slot]) {
                // An edit not yet saved is newer than what the keypad holds;
                // overwriting it would send the keypad its own old bytes.
                if (edits == UnsavedEdits::Keep) {
                    ++result.repliesKeptEdit;
                    continue;
                }
                store.KeyDirty[layerNumber - 1][slot] = 0;
            }
            uint8_t* record = store.recordOf(current, layerNumber - 1, slot);
            storeKeyReadReply(reply, record, current);
            ++result.repliesStored;
            config.notifyChanged(layerNumber - 1, slot);
            logRecordBytes(record, current);
        }
        if (result.deviceLost)
            break;
    }
    return result;
}

LedReadOutcome readLedBlock(DeviceLink link, KeypadConfig& config, int layerIndex, int replyTimeoutMs,
                            UnsavedEdits edits)
{
    ConfigStore& store = config.rawStore();
    if (layerIndex < 0 || layerIndex >= kLayers)
        return LedReadOutcome::BadLayer;
    if (!link.handle || !sendReport(link, buildLedReadRequest(layerIndex)))
        return LedReadOutcome::RequestFailed;
    Reply reply{};
    const int count = link.transport.readTimeout(link.handle, reply.data(), reply.size(), replyTimeoutMs);
    link.transport.setNonblocking(link.handle, 0);
    if (count < 0) {
        logDeviceError(link);
        return LedReadOutcome::NoReply;
    }
    if (static_cast<size_t>(count) < kLedReplyBytes) {
        qCWarning(lcDevice, "LED reply of %d bytes for layer %d ignored", count, layerIndex);
        return LedReadOutcome::NoReply;
    }
    // Unsaved LED edits of this layer win over the keypad's copy.
    if (store.LedDirty[layerIndex] && edits == UnsavedEdits::Keep)
        return LedReadOutcome::KeptEdit;
    store.LedDirty[layerIndex] = 0;
    storeLedReadReply(reply, store.LayerLedMode[layerIndex], store.KeyBoard_KeyLed[layerIndex]);
    store.LedFromKeypad[layerIndex] = 1;
    config.notifyLedChanged(layerIndex);
    return LedReadOutcome::Stored;
}
