#include "core/profile/profile_import.h"

#include "core/profile/action_words.h"

namespace {

// Slots a board has: its keys, its knobs' three actions, and in the old
// format slot 0, the layer's lighting.
bool boardHas(const DeviceInfo& board, int slot)
{
    if (slot == 0)
        return board.version <= 9;
    if (slot <= 15)
        return slot <= board.keys;
    if (SlotNames::isKnobSlot(slot))
        return SlotNames::knobOf(slot) <= board.knobs;
    return false;
}

QString lacking(const DeviceInfo& board, int slot, bool fromCurrent)
{
    if (slot == 0 && !fromCurrent)
        return QStringLiteral("the old format's layer lighting has no form in the current format");
    if (SlotNames::isKnobSlot(slot))
        return board.knobs == 1 ? QStringLiteral("this keypad has 1 knob")
                                : QStringLiteral("this keypad has %1 knobs").arg(board.knobs);
    if (slot <= 15)
        return board.keys == 1 ? QStringLiteral("this keypad has 1 key")
                               : QStringLiteral("this keypad has %1 keys").arg(board.keys);
    return QStringLiteral("no keypad uses this slot");
}

QString placeName(int layer, int slot, bool oldFormat)
{
    return QStringLiteral("layer %1, %2")
        .arg(layer + 1)
        .arg(slot == 0 && oldFormat ? QStringLiteral("lighting") : SlotNames::name(slot));
}

}  // namespace

QString ProfileImport::message() const
{
    QString text = changes == 1 ? QStringLiteral("1 change imported") : QStringLiteral("%1 changes imported").arg(changes);
    if (!notImported.isEmpty())
        text += QStringLiteral("; not imported: ") + notImported.join(QLatin1String("; "));
    return text;
}

ProfileImport importProfile(const LoadedProfile& profile, const KeypadImage& current)
{
    ProfileImport result;
    result.image = current;
    const DeviceInfo& board = current.identity;
    const DeviceInfo& made = profile.image.identity;
    const bool fromCurrent = profile.image.currentFormat();
    const bool toCurrent = current.currentFormat();

    for (int layer = 0; layer < KeypadImage::kLayers; ++layer) {
        if (!profile.layerListed[size_t(layer)])
            continue;
        for (int slot = 0; slot < KeypadImage::kSlots; ++slot) {
            const auto& source = profile.image.records[size_t(layer)][size_t(slot)];
            auto& target = result.image.records[size_t(layer)][size_t(slot)];
            const bool listed = profile.recordListed[size_t(layer)][size_t(slot)];
            const ActionWords::Context from{fromCurrent, layer, slot};
            const ActionWords::Context to{toCurrent, layer, slot};
            if (!listed) {
                // The file's board had this key and the file says nothing on it: cleared.
                if (slot != 0 && boardHas(made, slot) && boardHas(board, slot) && !ActionWords::holdsNothing(target))
                    target = ActionWords::clearedRecord(to);
                continue;
            }
            if (!boardHas(board, slot)) {
                if (!ActionWords::holdsNothing(source))
                    result.notImported << QStringLiteral("%1 (%2): %3")
                                              .arg(placeName(layer, slot, !fromCurrent),
                                                   ActionWords::describe(source, from), lacking(board, slot, fromCurrent));
                continue;
            }
            const ActionWords::Conversion c = ActionWords::convert(source, from, to);
            if (!c.note.isEmpty())
                result.notImported << QStringLiteral("%1 (%2): %3")
                                          .arg(placeName(layer, slot, !fromCurrent),
                                               ActionWords::describe(source, from), c.note);
            if (c.record)
                target = *c.record;
        }
        if (profile.ledListed[size_t(layer)]) {
            if (fromCurrent && !toCurrent)
                result.notImported << QStringLiteral("layer %1, LED colours: this keypad's firmware has none; "
                                                     "its lighting is one mode and colour per layer")
                                          .arg(layer + 1);
            else if (fromCurrent == toCurrent)
                result.image.led[size_t(layer)] = profile.image.led[size_t(layer)];
        }
    }

    for (int layer = 0; layer < KeypadImage::kLayers; ++layer) {
        for (int slot = 0; slot < KeypadImage::kSlots; ++slot) {
            const bool changed = result.image.records[size_t(layer)][size_t(slot)]
                                 != current.records[size_t(layer)][size_t(slot)];
            result.recordChanged[size_t(layer)][size_t(slot)] = changed;
            result.changes += changed;
        }
        result.ledChanged[size_t(layer)] = result.image.led[size_t(layer)] != current.led[size_t(layer)];
        result.changes += result.ledChanged[size_t(layer)];
    }
    return result;
}
