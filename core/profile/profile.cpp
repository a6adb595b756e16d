#include "core/profile/profile.h"

#include "core/profile/action_words.h"
#include "core/profile/file_io.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

#include <cmath>
#include <vector>

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
            *out = place.isEmpty() ? QStringLiteral("%1: %2").arg(source, oneLine(message))
                                   : QStringLiteral("%1: %2: %3").arg(source, oneLine(place), oneLine(message));
        return false;
    }
    // Names and words quoted from the file may hold line breaks or other
    // control characters; the message stays one line, as JSON would write them.
    static QString oneLine(QString text)
    {
        for (int i = 0; i < text.size(); ++i) {
            if (text[i].unicode() >= 0x20)
                continue;
            const QString escape = QStringLiteral("\\u%1").arg(text[i].unicode(), 4, 16, QLatin1Char('0'));
            text.replace(i, 1, escape);
            i += escape.size() - 1;
        }
        return text;
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
    const Board board(image.identity);
    const bool current = board.currentFormat();
    const QJsonValue keys = object.value(QStringLiteral("keys"));
    if (!keys.isUndefined() && !keys.isObject())
        return refuse.fail(place + QLatin1String(", keys"),
                           QStringLiteral("must be an object of key names and actions"));
    const QJsonObject keyObject = keys.toObject();
    for (auto it = keyObject.begin(); it != keyObject.end(); ++it) {
        const QString where = QStringLiteral("%1, \"%2\"").arg(place, it.key());
        const int slot = board.slotOf(it.key());
        if (slot < 0)
            return refuse.fail(where, QStringLiteral("unknown key name for this profile's keypad (%1: keys K1 "
                                                     "to K%2, knob actions \"knob 1 left\", \"knob 1 press\", "
                                                     "\"knob 1 right\" and so on)")
                                          .arg(board.summary())
                                          .arg(qMax(1, board.keyCount())));
        if (slot == 0 && !current)
            return refuse.fail(where, QStringLiteral("on old firmware the layer's lighting is written as "
                                                     "\"lighting\" beside \"keys\""));
        if (profile->recordListed[size_t(layer)][size_t(slot)])
            return refuse.fail(where, QStringLiteral("listed twice (as another name for %1)")
                                          .arg(board.slotName(slot)));
        if (!it.value().isString())
            return refuse.fail(where, QStringLiteral("the action must be text, e.g. \"Ctrl+ C\""));
        QString error;
        const auto record = ActionWords::parse(it.value().toString(), ActionWords::contextOn(board, layer, slot), &error);
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
                                ? ActionWords::parse(lighting.toString(), ActionWords::contextOn(board, layer, 0), &error)
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

// Qt keeps one value of a key written twice, and which one depends on the
// object's size; a profile that says two things about one place is refused
// instead. A lenient scan of the raw text: syntax errors are left for
// QJsonDocument to name.
struct ScanFrame {
    bool object = false;
    bool expectKey = true;
    int index = 0;
    QString key;  // the key whose value is being read
    QString place;
    bool quoteKeys = false;  // the key names of "keys" are shown as written
    QSet<QString> seen;
};

// A key as JSON writes it, so that a message stays one line whatever the key holds.
QString quotedKey(const QString& key)
{
    const QByteArray a = QJsonDocument(QJsonArray{key}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(a.mid(1, a.size() - 2));
}

QString framePlace(const ScanFrame& parent)
{
    QString part;
    if (parent.object)
        part = parent.key == QLatin1String("keys") || parent.key == QLatin1String("layers") ? QString()
               : parent.quoteKeys || !QRegularExpression(QStringLiteral("^[a-z]+$")).match(parent.key).hasMatch()
                   ? quotedKey(parent.key)
                   : parent.key;
    else
        part = (parent.key == QLatin1String("layers") ? QStringLiteral("layer %1") : QStringLiteral("item %1"))
                   .arg(parent.index + 1);
    if (part.isEmpty())
        return parent.place;
    return parent.place.isEmpty() ? part : parent.place + QLatin1String(", ") + part;
}

// Decodes the string starting at json[i] (the opening quote); i ends after
// the closing quote. False where the text is not a JSON string (the end of
// the text, a raw control character, an unknown escape): the scan stops there
// and QJsonDocument names the fault.
bool scanString(const QByteArray& json, int& i, QString* out)
{
    QByteArray raw;
    QString text;
    for (++i; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '"') {
            ++i;
            *out = text + QString::fromUtf8(raw);
            return true;
        }
        if (uchar(c) < 0x20)
            return false;
        if (c != '\\') {
            raw += c;
            continue;
        }
        if (++i >= json.size())
            return false;
        text += QString::fromUtf8(raw);
        raw.clear();
        switch (json[i]) {
        case '"': text += QLatin1Char('"'); break;
        case '\\': text += QLatin1Char('\\'); break;
        case '/': text += QLatin1Char('/'); break;
        case 'b': text += QLatin1Char('\b'); break;
        case 'f': text += QLatin1Char('\f'); break;
        case 'n': text += QLatin1Char('\n'); break;
        case 'r': text += QLatin1Char('\r'); break;
        case 't': text += QLatin1Char('\t'); break;
        case 'u': {
            bool ok = false;
            const ushort unit = json.mid(i + 1, 4).toUShort(&ok, 16);
            if (!ok || i + 4 >= json.size())
                return false;
            text += QChar(unit);
            i += 4;
            break;
        }
        default: return false;
        }
    }
    return false;
}

// The place of the first key written twice in one object, or empty.
QString duplicateKeyPlace(const QByteArray& json)
{
    std::vector<ScanFrame> stack;
    for (int i = 0; i < json.size();) {
        const char c = json[i];
        if (c == '"') {
            QString text;
            if (!scanString(json, i, &text))
                return QString();
            if (!stack.empty() && stack.back().object && stack.back().expectKey) {
                ScanFrame& top = stack.back();
                if (top.seen.contains(text)) {
                    const QString name = quotedKey(text);
                    return top.place.isEmpty() ? name : top.place + QLatin1String(", ") + name;
                }
                top.seen.insert(text);
                top.key = text;
                top.expectKey = false;
            }
            continue;
        }
        if (c == '{' || c == '[') {
            if (stack.size() > 512)
                return QString();  // deeper than any profile; QJsonDocument refuses it
            ScanFrame frame;
            frame.object = c == '{';
            if (!stack.empty()) {
                frame.place = framePlace(stack.back());
                frame.quoteKeys = stack.back().object && stack.back().key == QLatin1String("keys");
                if (!frame.object)
                    frame.key = stack.back().object ? stack.back().key : QString();
            }
            stack.push_back(frame);
        } else if (c == '}' || c == ']') {
            if (stack.empty())
                return QString();
            stack.pop_back();
        } else if (c == ',' && !stack.empty()) {
            if (stack.back().object)
                stack.back().expectKey = true;
            else
                ++stack.back().index;
        }
        ++i;
    }
    return QString();
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
    const Board board(image.identity);
    const bool current = board.currentFormat();
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
            // Empty by the one rule, never written or cleared alike: left out,
            // which an import reads as "holds nothing".
            if (ActionWords::isBlank(record) || (ActionWords::holdsNothing(record) && !(slot == 0 && !current)))
                continue;
            const QString words = ActionWords::describe(record, ActionWords::contextOn(board, layer, slot));
            if (slot == 0 && !current)
                fields << "            \"lighting\": " + str(words);
            else
                keys << "                " + str(board.slotName(slot)) + ": " + str(words);
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
    return FileIo::writeFileAtomically(path, toJson(image), error);
}

std::optional<LoadedProfile> parseProfile(const QByteArray& json, const QString& source, QString* error)
{
    const Refusal refuse{source, error};
    if (const QString twice = duplicateKeyPlace(json); !twice.isEmpty()) {
        refuse.fail(twice, QStringLiteral("written twice; each field and key may be given once"));
        return std::nullopt;
    }
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

std::optional<LoadedProfile> loadProfile(const QString& path, QString* error, bool allowStreams)
{
    QByteArray bytes;
    if (FileIo::readInput(path, path, FileIo::kSizeLimit, allowStreams, &bytes, error) != FileIo::ReadOutcome::Read)
        return std::nullopt;
    return parseProfile(bytes, path, error);
}

}  // namespace Profile
