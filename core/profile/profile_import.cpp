#include "core/profile/profile_import.h"

#include "core/keypad/board.h"
#include "core/profile/action_words.h"

QString ProfileImport::message() const
{
    QString text = changes == 1 ? QStringLiteral("1 change imported") : QStringLiteral("%1 changes imported").arg(changes);
    if (!notImported.isEmpty())
        text += QStringLiteral("; not imported: ") + notImported.join(QLatin1String("; "));
    return text;
}

ProfileImport importProfile(const LoadedProfile& profile, const KeypadImage& current, uint16_t productId)
{
    ProfileImport result;
    result.image = current;
    const Board board(current.identity, productId);
    const Board made(profile.image.identity);
    const bool fromCurrent = made.currentFormat();
    const bool toCurrent = board.currentFormat();

    for (int layer = 0; layer < KeypadImage::kLayers; ++layer) {
        if (!profile.layerListed[size_t(layer)])
            continue;
        for (int slot = 0; slot < KeypadImage::kSlots; ++slot) {
            const auto& source = profile.image.records[size_t(layer)][size_t(slot)];
            const bool listed = profile.recordListed[size_t(layer)][size_t(slot)];
            // Keys and knob actions travel by name: the file's "knob 1 left" is
            // this keypad's "knob 1 left", wherever each board keeps it.
            const QString name = made.slotName(slot);
            const int to = slot == 0 ? (board.isLighting(0) ? 0 : -1) : board.slotOf(name);
            const bool onBoard = to >= 0 && board.has(to);
            const ActionWords::Context fromContext = ActionWords::contextOn(made, layer, slot);
            if (!listed) {
                // The file's board had this key and the file says nothing on it: cleared.
                if (slot != 0 && made.has(slot) && onBoard) {
                    auto& target = result.image.records[size_t(layer)][size_t(to)];
                    if (!ActionWords::holdsNothing(target))
                        target = ActionWords::clearedRecord(ActionWords::contextOn(board, layer, to));
                }
                continue;
            }
            const QString place = made.placeName(layer, slot);
            if (!onBoard) {
                if (!ActionWords::holdsNothing(source)) {
                    const QString why = slot == 0 ? QStringLiteral("the old format's layer lighting has no form in "
                                                                   "the current format")
                                                  : board.lacking(name);
                    result.notImported << QStringLiteral("%1 (%2): %3")
                                              .arg(place, ActionWords::describe(source, fromContext), why);
                }
                continue;
            }
            KeypadImage::Record moved = source;
            if (slot != to && moved[0] == kRecordCommand)
                moved[RecordCodec::kSlotByte] = uint8_t(to);
            const ActionWords::Context toContext = ActionWords::contextOn(board, layer, to);
            ActionWords::Conversion c = ActionWords::convert(moved, ActionWords::contextOn(made, layer, to), toContext);
            if (c.record) {
                const QString refused = board.cannotHold(c.record->data());
                if (!refused.isEmpty()) {
                    c.record.reset();
                    c.note = refused;
                }
            }
            if (!c.note.isEmpty())
                result.notImported << QStringLiteral("%1 (%2): %3")
                                          .arg(place, ActionWords::describe(source, fromContext), c.note);
            auto& target = result.image.records[size_t(layer)][size_t(to)];
            // "none" onto a key that holds nothing already sends nothing.
            if (c.record && !(ActionWords::holdsNothing(*c.record) && ActionWords::holdsNothing(target)))
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
