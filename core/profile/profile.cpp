#include "core/profile/profile.h"

#include "core/profile/action_words.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <cmath>

namespace {

constexpr int kLedColours = kLedColourBytes / 3;

bool ledBlockIsZero(const KeypadImage::LedBlock& block)
{
    return block == KeypadImage::LedBlock{};
}

// A refusal: the first problem found, with where it is.
struct Refusal {
    QString source;
    QString* out;
    bool fail(const QString& place, const QString& message) const
    {
        if (out)
            *out = place.isEmpty() ? QStringLiteral("%1: %2").arg(source, message)
                                   : QStringLiteral("%1: %2: %3").arg(source, place, message);
        return false;
    }
};

bool checkFields(const QJsonObject& object, const QStringList& allowed, const Refusal& refuse, const QString& place)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!allowed.contains(it.key()))
            return refuse.fail(place, QStringLiteral("unknown field \"%1\" (expected %2)")
                                          .arg(it.key(), allowed.join(QLatin1String(", "))));
    }
    return true;
}

bool readInt(const QJsonObject& object, const QString& field, int low, int high, int* out, const Refusal& refuse,
             const QString& place)
{
    const QString where = place.isEmpty() ? field : place + QLatin1String(", ") + field;
    const QJsonValue v = object.value(field);
    if (v.isUndefined())
        return refuse.fail(where, QStringLiteral("missing"));
    const double d = v.toDouble(std::nan(""));
    if (!v.isDouble() || std::floor(d) != d)
        return refuse.fail(where, QStringLiteral("must be a whole number"));
    if (d < low || d > high)
        return refuse.fail(where, QStringLiteral("%1 is out of range (%2 to %3)").arg(d).arg(low).arg(high));
    *out = int(d);
    return true;
}

bool readLed(const QJsonValue& value, KeypadImage::LedBlock* block, const Refusal& refuse, const QString& place)
{
    if (!value.isObject())
        return refuse.fail(place, QStringLiteral("must be an object with \"mode\" and \"colours\""));
    const QJsonObject led = value.toObject();
    if (!checkFields(led, {QStringLiteral("mode"), QStringLiteral("colours")}, refuse, place))
        return false;
    const QJsonValue mode = led.value(QStringLiteral("mode"));
    static const QRegularExpression rawMode(QStringLiteral("^0x[0-9a-fA-F]{2}$"));
    const QString modePlace = place + QLatin1String(", mode");
    if (mode.isString() && rawMode.match(mode.toString()).hasMatch()) {
        block->mode = uint8_t(mode.toString().mid(2).toUInt(nullptr, 16));
    } else {
        int m = 0;
        if (!readInt(led, QStringLiteral("mode"), 0, 5, &m, refuse, place))
            return false;
        block->mode = uint8_t(m);
    }
    const QJsonValue colours = led.value(QStringLiteral("colours"));
    if (!colours.isArray() || colours.toArray().size() != kLedColours)
        return refuse.fail(place + QLatin1String(", colours"),
                           QStringLiteral("must be a list of %1 colours \"#rrggbb\", keys 1 to %1").arg(kLedColours));
    static const QRegularExpression hex(QStringLiteral("^#[0-9a-fA-F]{6}$"));
    const QJsonArray list = colours.toArray();
    for (int t = 0; t < kLedColours; ++t) {
        const QString c = list[t].toString();
        if (!hex.match(c).hasMatch())
            return refuse.fail(place + QStringLiteral(", colours, key %1").arg(t + 1),
                               QStringLiteral("\"%1\" is not a colour \"#rrggbb\"")
                                   .arg(list[t].isString() ? c : QStringLiteral("non-text value")));
        const QByteArray bytes = QByteArray::fromHex(c.mid(1).toLatin1());
        for (int i = 0; i < 3; ++i)
            block->colours[size_t(3 * t + i)] = uint8_t(bytes[i]);
    }
    return true;
}

bool readLayer(const QJsonValue& value, int layer, LoadedProfile* profile, const Refusal& refuse)
{
    const QString place = QStringLiteral("layer %1").arg(layer + 1);
    if (!value.isObject())
        return refuse.fail(place, QStringLiteral("must be an object"));
    const QJsonObject object = value.toObject();
    if (!checkFields(object, {QStringLiteral("layer"), QStringLiteral("keys"), QStringLiteral("led"),
                              QStringLiteral("lighting")},
                     refuse, place))
        return false;
    if (object.contains(QStringLiteral("layer"))) {
        int number = 0;
        if (!readInt(object, QStringLiteral("layer"), 1, 3, &number, refuse, place))
            return false;
        if (number != layer + 1)
            return refuse.fail(place, QStringLiteral("says \"layer\": %1; layers are listed in order 1, 2, 3")
                                          .arg(number));
    }
    KeypadImage& image = profile->image;
    const bool current = image.currentFormat();
    const QJsonValue keys = object.value(QStringLiteral("keys"));
    if (!keys.isUndefined() && !keys.isObject())
        return refuse.fail(place + QLatin1String(", keys"),
                           QStringLiteral("must be an object of key names and actions"));
    const QJsonObject keyObject = keys.toObject();
    for (auto it = keyObject.begin(); it != keyObject.end(); ++it) {
        const QString where = QStringLiteral("%1, \"%2\"").arg(place, it.key());
        const int slot = SlotNames::slotOf(it.key());
        if (slot < 0)
            return refuse.fail(where, QStringLiteral("unknown key name (keys are K1 to K15, knob actions "
                                                     "\"knob 1 left\", \"knob 1 press\", \"knob 1 right\" "
                                                     "to \"knob 4 right\")"));
        if (slot == 0 && !current)
            return refuse.fail(where, QStringLiteral("on old firmware the layer's lighting is written as "
                                                     "\"lighting\" beside \"keys\""));
        if (profile->recordListed[size_t(layer)][size_t(slot)])
            return refuse.fail(where, QStringLiteral("listed twice (as another name for %1)")
                                          .arg(SlotNames::name(slot)));
        if (!it.value().isString())
            return refuse.fail(where, QStringLiteral("the action must be text, e.g. \"Ctrl+ C\""));
        QString error;
        const auto record = ActionWords::parse(it.value().toString(), {current, layer, slot}, &error);
        if (!record)
            return refuse.fail(where, error);
        image.records[size_t(layer)][size_t(slot)] = *record;
        profile->recordListed[size_t(layer)][size_t(slot)] = true;
    }
    if (object.contains(QStringLiteral("lighting"))) {
        const QString where = place + QLatin1String(", lighting");
        if (current)
            return refuse.fail(where, QStringLiteral("a layer's lighting belongs to old firmware (9 or lower); "
                                                     "this profile's firmware uses \"led\""));
        QString error;
        const QJsonValue lighting = object.value(QStringLiteral("lighting"));
        const auto record = lighting.isString()
                                ? ActionWords::parse(lighting.toString(), {false, layer, 0}, &error)
                                : std::nullopt;
        if (!record)
            return refuse.fail(where, lighting.isString() ? error
                                                          : QStringLiteral("must be text, e.g. \"LED Mode3 Red\""));
        image.records[size_t(layer)][0] = *record;
        profile->recordListed[size_t(layer)][0] = true;
    }
    if (object.contains(QStringLiteral("led"))) {
        if (!readLed(object.value(QStringLiteral("led")), &image.led[size_t(layer)], refuse,
                     place + QLatin1String(", led")))
            return false;
        profile->ledListed[size_t(layer)] = true;
    }
    profile->layerListed[size_t(layer)] = true;
    return true;
}

}  // namespace

namespace Profile {

QString colourName(const KeypadImage::LedBlock& block, int t)
{
    return QStringLiteral("#%1%2%3")
        .arg(block.colours[size_t(3 * t)], 2, 16, QLatin1Char('0'))
        .arg(block.colours[size_t(3 * t + 1)], 2, 16, QLatin1Char('0'))
        .arg(block.colours[size_t(3 * t + 2)], 2, 16, QLatin1Char('0'));
}

// Written by hand in a fixed order (keys in slot order, identity on one
// line, four colours a line) so that files read well and diff well; every
// string goes through QJsonDocument for its escaping.
QByteArray toJson(const KeypadImage& image)
{
    const bool current = image.currentFormat();
    auto str = [](const QString& text) {
        const QByteArray a = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
        return a.mid(1, a.size() - 2);
    };
    QByteArray out;
    out += "{\n    \"format\": " + str(QLatin1String(kFormat)) + ",\n";
    out += "    \"version\": " + QByteArray::number(kVersion) + ",\n";
    out += QStringLiteral("    \"keypad\": { \"keys\": %1, \"knobs\": %2, \"firmware\": %3, \"variant\": %4 },\n")
               .arg(image.identity.keys)
               .arg(image.identity.knobs)
               .arg(image.identity.version)
               .arg(image.identity.variant)
               .toUtf8();
    out += "    \"layers\": [\n";
    for (int layer = 0; layer < KeypadImage::kLayers; ++layer) {
        QByteArrayList fields;
        fields << "            \"layer\": " + QByteArray::number(layer + 1);
        QByteArrayList keys;
        for (int slot = 0; slot < KeypadImage::kSlots; ++slot) {
            const KeypadImage::Record& record = image.records[size_t(layer)][size_t(slot)];
            if (ActionWords::isBlank(record))
                continue;
            const QString words = ActionWords::describe(record, {current, layer, slot});
            if (slot == 0 && !current)
                fields << "            \"lighting\": " + str(words);
            else
                keys << "                " + str(SlotNames::name(slot)) + ": " + str(words);
        }
        fields << (keys.isEmpty() ? QByteArray("            \"keys\": {}")
                                  : "            \"keys\": {\n" + keys.join(",\n") + "\n            }");
        // Old firmware has no LED block; one is kept only if it holds something.
        const KeypadImage::LedBlock& block = image.led[size_t(layer)];
        if (current || !ledBlockIsZero(block)) {
            const QByteArray mode = block.mode <= 5 ? QByteArray::number(block.mode)
                                                    : str(QStringLiteral("0x%1").arg(block.mode, 2, 16, QLatin1Char('0')));
            QByteArrayList rows;
            for (int t = 0; t < kLedColours; t += 4) {
                QByteArrayList row;
                for (int i = t; i < t + 4; ++i)
                    row << str(colourName(block, i));
                rows << "                    " + row.join(", ");
            }
            fields << "            \"led\": {\n                \"mode\": " + mode
                          + ",\n                \"colours\": [\n" + rows.join(",\n") + "\n                ]\n            }";
        }
        out += "        {\n" + fields.join(",\n") + "\n        }" + (layer + 1 < KeypadImage::kLayers ? ",\n" : "\n");
    }
    out += "    ]\n}\n";
    return out;
}

bool saveProfile(const QString& path, const KeypadImage& image, QString* error)
{
    QSaveFile file(path);
    const QByteArray json = toJson(image);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("%1: cannot be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

std::optional<LoadedProfile> parseProfile(const QByteArray& json, const QString& source, QString* error)
{
    const Refusal refuse{source, error};
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        const QByteArray before = json.left(parseError.offset);
        refuse.fail(QString(), QStringLiteral("damaged or not JSON: %1 at line %2")
                                   .arg(parseError.errorString())
                                   .arg(before.count('\n') + 1));
        return std::nullopt;
    }
    if (!document.isObject()) {
        refuse.fail(QString(), QStringLiteral("not a TESSAPLEX profile (no JSON object)"));
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    const QJsonValue format = root.value(QStringLiteral("format"));
    if (format.toString() != QLatin1String(kFormat)) {
        refuse.fail(QStringLiteral("format"),
                    format.isUndefined() ? QStringLiteral("missing: not a TESSAPLEX profile")
                                         : QStringLiteral("unknown format \"%1\" (expected \"%2\")")
                                               .arg(format.toVariant().toString(), QLatin1String(kFormat)));
        return std::nullopt;
    }
    int version = 0;
    if (!readInt(root, QStringLiteral("version"), 1, INT_MAX, &version, refuse, QString()))
        return std::nullopt;
    if (version > kVersion) {
        refuse.fail(QStringLiteral("version"),
                    QStringLiteral("%1 was written by a newer TESSAPLEX; this one reads version %2")
                        .arg(version).arg(kVersion));
        return std::nullopt;
    }
    if (!checkFields(root, {QStringLiteral("format"), QStringLiteral("version"), QStringLiteral("keypad"),
                            QStringLiteral("layers"), QStringLiteral("comment")},
                     refuse, QString()))
        return std::nullopt;

    LoadedProfile profile;
    profile.source = source;
    const QJsonValue keypad = root.value(QStringLiteral("keypad"));
    if (!keypad.isObject()) {
        refuse.fail(QStringLiteral("keypad"), QStringLiteral("missing: keys, knobs, firmware and variant"));
        return std::nullopt;
    }
    const QJsonObject id = keypad.toObject();
    const QString keypadPlace = QStringLiteral("keypad");
    int keys = 0, knobs = 0, firmware = 0, variant = 0;
    if (!checkFields(id, {QStringLiteral("keys"), QStringLiteral("knobs"), QStringLiteral("firmware"),
                          QStringLiteral("variant")},
                     refuse, keypadPlace)
        || !readInt(id, QStringLiteral("keys"), 0, 255, &keys, refuse, keypadPlace)
        || !readInt(id, QStringLiteral("knobs"), 0, 255, &knobs, refuse, keypadPlace)
        || !readInt(id, QStringLiteral("firmware"), 0, 255, &firmware, refuse, keypadPlace)
        || !readInt(id, QStringLiteral("variant"), 0, 255, &variant, refuse, keypadPlace))
        return std::nullopt;
    profile.image.identity = DeviceInfo{uint8_t(keys), uint8_t(knobs), uint8_t(firmware), uint8_t(variant)};

    const QJsonValue layers = root.value(QStringLiteral("layers"));
    if (!layers.isArray() || layers.toArray().isEmpty() || layers.toArray().size() > KeypadImage::kLayers) {
        refuse.fail(QStringLiteral("layers"), QStringLiteral("must be a list of 1 to 3 layers"));
        return std::nullopt;
    }
    const QJsonArray list = layers.toArray();
    for (int layer = 0; layer < list.size(); ++layer) {
        if (!readLayer(list[layer], layer, &profile, refuse))
            return std::nullopt;
    }
    return profile;
}

std::optional<LoadedProfile> loadProfile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: cannot be read: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // A profile is a few kilobytes; anything huge is not one.
    constexpr qint64 kLimit = 4 * 1024 * 1024;
    if (file.size() > kLimit) {
        if (error)
            *error = QStringLiteral("%1: too large to be a profile").arg(path);
        return std::nullopt;
    }
    return parseProfile(file.readAll(), path, error);
}

}  // namespace Profile
