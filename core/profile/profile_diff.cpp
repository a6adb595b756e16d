#include "core/profile/profile_diff.h"

#include "core/profile/action_words.h"
#include "core/profile/profile.h"

#include <QJsonObject>

namespace {

constexpr int kLedColours = kLedColourBytes / 3;

QString words(const KeypadImage& image, int layer, int slot)
{
    const auto& record = image.records[size_t(layer)][size_t(slot)];
    if (ActionWords::isBlank(record))
        return QStringLiteral("(unassigned)");
    return ActionWords::describe(record, {image.currentFormat(), layer, slot});
}

}  // namespace

namespace ProfileDiff {

QVector<ProfileDifference> differences(const KeypadImage& before, const KeypadImage& after)
{
    QVector<ProfileDifference> out;
    auto identity = [&](const char* place, int a, int b) {
        if (a != b)
            out.append({0, QLatin1String(place), QString::number(a), QString::number(b)});
    };
    identity("keys", before.identity.keys, after.identity.keys);
    identity("knobs", before.identity.knobs, after.identity.knobs);
    identity("firmware", before.identity.version, after.identity.version);
    identity("variant", before.identity.variant, after.identity.variant);

    for (int layer = 0; layer < KeypadImage::kLayers; ++layer) {
        for (int slot = 0; slot < KeypadImage::kSlots; ++slot) {
            if (before.records[size_t(layer)][size_t(slot)] == after.records[size_t(layer)][size_t(slot)]
                && before.currentFormat() == after.currentFormat())
                continue;
            const QString a = words(before, layer, slot);
            const QString b = words(after, layer, slot);
            if (a == b)
                continue;
            const bool lighting = slot == 0 && !after.currentFormat();
            out.append({layer + 1, lighting ? QStringLiteral("lighting") : SlotNames::name(slot), a, b});
        }
        const auto& ledA = before.led[size_t(layer)];
        const auto& ledB = after.led[size_t(layer)];
        if (ledA.mode != ledB.mode)
            out.append({layer + 1, QStringLiteral("LED mode"), QString::number(ledA.mode), QString::number(ledB.mode)});
        for (int t = 0; t < kLedColours; ++t) {
            const QString a = Profile::colourName(ledA, t);
            const QString b = Profile::colourName(ledB, t);
            if (a != b)
                out.append({layer + 1, QStringLiteral("LED K%1").arg(t + 1), a, b});
        }
    }
    return out;
}

QString toText(const QVector<ProfileDifference>& differences)
{
    if (differences.isEmpty())
        return QStringLiteral("no differences");
    QStringList lines;
    for (const ProfileDifference& d : differences) {
        const QString place =
            d.layer ? QStringLiteral("layer %1, %2").arg(d.layer).arg(d.place) : QStringLiteral("keypad, %1").arg(d.place);
        lines << QStringLiteral("%1: %2 -> %3").arg(place, d.before, d.after);
    }
    return lines.join(QLatin1Char('\n'));
}

QJsonArray toJson(const QVector<ProfileDifference>& differences)
{
    QJsonArray out;
    for (const ProfileDifference& d : differences)
        out.append(QJsonObject{{QStringLiteral("layer"), d.layer},
                               {QStringLiteral("place"), d.place},
                               {QStringLiteral("before"), d.before},
                               {QStringLiteral("after"), d.after}});
    return out;
}

}  // namespace ProfileDiff
