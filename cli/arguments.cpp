#include "cli/arguments.h"

#include "core/profile/action_words.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

constexpr int kLastKeySlot = 27;  // knob 4 right
constexpr int kLedKeys = 16;
constexpr int kLedModes = 6;

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

QString parseKeyName(const QString& text, int& slot)
{
    const int found = SlotNames::slotOf(text);
    if (found < 1 || found > kLastKeySlot)
        return QStringLiteral("no key \"%1\": keys are K1 to K15, knob actions \"knob N left\", \"knob N press\" "
                              "and \"knob N right\" (N 1 to 4)")
            .arg(text);
    slot = found;
    return QString();
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
