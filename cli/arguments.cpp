#include "cli/arguments.h"

#include "core/profile/action_words.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

constexpr int kLedKeys = kLedColourKeys;

// "K1 to K12, knob 1 and knob 2 left, press and right"
QString boardNames(const Board& board)
{
    QStringList parts;
    if (board.keyCount() > 0)
        parts << QStringLiteral("K1 to K%1").arg(board.keyCount());
    QStringList knobs;
    for (int slot : board.allSlots())
        if (board.isKnob(slot))
            knobs << QLatin1Char('"') + board.slotName(slot) + QLatin1Char('"');
    if (!knobs.isEmpty())
        parts << knobs.join(QStringLiteral(", "));
    return parts.join(QStringLiteral("; "));
}

// A whole number in [low, high], decimal only ("010" is 10, "0x1" is refused).
std::optional<int> number(const QString& text, int low, int high)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

}  // namespace

QString parseLayer(const QString& text, int& layer)
{
    const std::optional<int> value = number(text, 1, 3);
    if (!value)
        return QStringLiteral("--layer must be 1, 2 or 3, got \"%1\"").arg(text);
    layer = *value;
    return QString();
}

QString parseKeyName(const QString& text)
{
    // A board of every key and knob the pictures draw accepts every form.
    static const Board widest(DeviceInfo{21, 1, kFirstGestureFirmware, 0});
    if (widest.slotOf(text) < 1 && SlotNames::slotOf(text) < 1)
        return QStringLiteral("no key \"%1\": keys are K1, K2 and so on, knob actions \"knob N left\", "
                              "\"knob N press\" and \"knob N right\" (N 1 to 4)")
            .arg(text);
    return QString();
}

QString boardSlot(const Board& board, const QString& name, int& slot)
{
    const int found = board.slotOf(name);
    if (found < 1 || !board.has(found))
        return QStringLiteral("this keypad (%1) has no %2: it has %3")
            .arg(board.summary(), name, boardNames(board));
    slot = found;
    return QString();
}

QString checkKeyColour(const Board& board, const KeyColour& colour)
{
    if (board.hasColour(colour.key))
        return QString();
    return QStringLiteral("this keypad (%1) has no colour for K%2").arg(board.summary()).arg(colour.key);
}

QString parseLedMode(const QString& text, int& mode)
{
    const std::optional<int> value = number(text, 0, kLedModes - 1);
    if (!value)
        return QStringLiteral("--mode must be a LED mode from 0 to %1, got \"%2\"").arg(kLedModes - 1).arg(text);
    mode = *value;
    return QString();
}

QString parseKeyColour(const QString& text, KeyColour& colour)
{
    static const QRegularExpression form(QStringLiteral("^\\s*[Kk](\\d+)\\s*=\\s*#([0-9A-Fa-f]{6})\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    const std::optional<int> key = match.hasMatch() ? number(match.captured(1), 1, kLedKeys) : std::nullopt;
    if (!key)
        return QStringLiteral("--colour takes KEY=#rrggbb with KEY K1 to K%1 (for example K3=#ff8000), got \"%2\"")
            .arg(kLedKeys)
            .arg(text);
    const uint rgb = match.captured(2).toUInt(nullptr, 16);
    colour.key = *key;
    colour.rgb = {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)};
    return QString();
}
