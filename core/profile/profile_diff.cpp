#include "core/profile/profile_diff.h"

#include "core/profile/action_words.h"
#include "core/profile/profile.h"

#include <QJsonObject>

#include <algorithm>

namespace {

constexpr int kLedColours = kLedColourBytes / 3;

QString words(const KeypadImage& image, int layer, int slot)
{
    const auto& record = image.records[size_t(layer)][size_t(slot)];
    if (ActionWords::isBlank(record))
        return QStringLiteral("none");
    return ActionWords::describe(record, ActionWords::contextOn(Board(image.identity), layer, slot));
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

    const Board board(before.identity);
    for (int layer = 0; layer < KeypadImage::kLayers; ++layer) {
        for (int slot = 0; slot < KeypadImage::kSlots; ++slot) {
            if (before.records[size_t(layer)][size_t(slot)] == after.records[size_t(layer)][size_t(slot)]
                && before.currentFormat() == after.currentFormat())
                continue;
            const QString a = words(before, layer, slot);
            const QString b = words(after, layer, slot);
            const bool lighting = slot == 0 && !after.currentFormat();
            const QString place = lighting ? QStringLiteral("lighting") : board.slotName(slot);
            if (board.has(slot) && !board.readable(slot)) {
                if (!ActionWords::holdsNothing(after.records[size_t(layer)][size_t(slot)]))
                    out.append({layer + 1, place, QString(), b, true});
                continue;
            }
            if (a == b)
                continue;
            out.append({layer + 1, place, a, b});
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
        if (d.writeOnly)
            lines << QStringLiteral("%1: write-only (the keypad cannot report it), set to %2").arg(place, d.after);
        else
            lines << QStringLiteral("%1: %2 -> %3").arg(place, d.before, d.after);
    }
    return lines.join(QLatin1Char('\n'));
}

QJsonArray toJson(const QVector<ProfileDifference>& differences)
{
    QJsonArray out;
    for (const ProfileDifference& d : differences)
    {
        QJsonObject o{{QStringLiteral("layer"), d.layer},
                      {QStringLiteral("place"), d.place},
                      {QStringLiteral("before"), d.before},
                      {QStringLiteral("after"), d.after}};
        if (d.writeOnly) {
            o.remove(QStringLiteral("before"));
            o.insert(QStringLiteral("writeOnly"), true);
        }
        out.append(o);
    }
    return out;
}

int realDifferences(const QVector<ProfileDifference>& differences)
{
    return int(std::count_if(differences.begin(), differences.end(),
                             [](const ProfileDifference& d) { return !d.writeOnly; }));
}

}  // namespace ProfileDiff
