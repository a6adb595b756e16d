#include "core/profile/action_words.h"

#include "core/keypad/key_table.h"
#include "core/keypad/quick_menu_entries.h"

#include <QHash>
#include <QRegularExpression>
#include <QVector>

namespace {

constexpr int kEnglish = 1;
constexpr int kChinese = 0;
constexpr int kEntries = kCurrentEntries;
constexpr int kPairs = kOldPairs;
using RecordCodec::kFirstGestureAction;

// One word (or caption of several words) of an action.
struct Item {
    enum Type {
        Modifier,   // mask: HID modifier bits
        Shifted,    // code: a symbol typed with Shift
        Key,        // code: keyboard usage (or 0 for "NULL", or a modifier entry code)
        Hex,        // code: a byte without a caption
        Media,      // usage
        Mouse,      // mouse: 0..15, the mouse page's order (code - 0x61)
        MouseNone,  // a mouse record that does nothing
        LedMode,    // code: 0..5
        Colour,     // code: 1..7
        Delay,      // value: ms
        Delays,     // delays: per entry, ms
        Patch,      // offset, bytes
        None,
    };
    Type type = None;
    uint8_t mask = 0;
    uint8_t code = 0;
    uint16_t usage = 0;
    int mouse = 0;
    int value = 0;
    int offset = 0;
    QVector<int> delays;
    QByteArray bytes;
    QString text;  // as written, for messages
};

QString normalised(const char* caption)
{
    return QString::fromUtf8(caption).replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified();
}

// Phrases are looked up whole; a caption with spaces is several words.
struct Vocabulary {
    QHash<QString, Item> phrases;
    int longest = 1;
    QHash<uint8_t, QString> keyWord;     // keyboard code -> a caption that parses back to it
    QHash<uint16_t, QString> mediaWord;  // consumer usage -> caption
    QString mouseWord[16];

    void add(const QString& phrase, Item item)
    {
        item.text = phrase;
        phrases.insert(phrase, item);
        longest = qMax(longest, int(phrase.count(QLatin1Char(' '))) + 1);
    }

    Vocabulary()
    {
        for (int i = 0; i <= 19; ++i) {
            Item it;
            it.type = Item::Modifier;
            it.mask = KeyTable::code(i);
            add(normalised(KeyTable::entry(i).english), it);
        }
        for (int i = 20; i <= 40; ++i) {
            Item it;
            it.type = Item::Shifted;
            it.code = KeyTable::code(i);
            add(normalised(KeyTable::entry(i).english), it);
        }
        // Later captions overwrite earlier ones, as in the window: "Enter" is
        // the keypad Enter, the main one is "ENTER".
        for (int i = 112; i < KeyTable::kSize; ++i) {
            Item it;
            it.type = Item::Key;
            it.code = KeyTable::code(i);
            add(normalised(KeyTable::entry(i).english), it);
        }
        for (int i = 112; i < KeyTable::kSize; ++i) {
            const QString w = normalised(KeyTable::entry(i).english);
            if (phrases.value(w).code == KeyTable::code(i) && !keyWord.contains(KeyTable::code(i)))
                keyWord.insert(KeyTable::code(i), w);
        }
        for (int i = 41; i <= 81; i += 2) {
            Item it;
            it.type = Item::Media;
            it.usage = uint16_t(KeyTable::code(i) | (KeyTable::code(i + 1) << 8));
            add(normalised(KeyTable::entry(i).chinese), it);
            add(normalised(KeyTable::entry(i).english), it);
            mediaWord.insert(it.usage, normalised(KeyTable::entry(i).english));
        }
        for (int i = 96; i <= 111; ++i) {
            Item it;
            it.type = Item::Mouse;
            it.mouse = KeyTable::code(i) - RecordCodec::kFirstMouseCode;
            add(normalised(KeyTable::entry(i).chinese), it);
            add(normalised(KeyTable::entry(i).english), it);
            mouseWord[it.mouse] = normalised(KeyTable::entry(i).english);
        }
        for (int c = 1; c <= 7; ++c) {
            Item it;
            it.type = Item::Colour;
            it.code = uint8_t(c);
            add(KeyTable::colourName(c, kChinese), it);
            add(KeyTable::colourName(c, kEnglish), it);
        }
        for (int m = 0; m <= 5; ++m) {
            Item it;
            it.type = Item::LedMode;
            it.code = uint8_t(m);
            add(KeyTable::ledModeName(m, kChinese), it);
            add(KeyTable::ledModeName(m, kEnglish), it);
        }
        Item none;
        none.type = Item::None;
        add(QStringLiteral("none"), none);
        Item mouseNone;
        mouseNone.type = Item::MouseNone;
        add(QStringLiteral("mouse:none"), mouseNone);
    }
};

const Vocabulary& vocabulary()
{
    static const Vocabulary v;
    return v;
}

// The quick-menu shortcuts expand to the key words they store.
bool quickMenuItems(const QString& phrase, QVector<Item>* out)
{
    static const QString prefix = QStringLiteral("Procreate: ");
    if (!phrase.startsWith(prefix))
        return false;
    const QString name = phrase.mid(prefix.size());
    for (const QuickMenuEntry& e : QuickMenu::entries()) {
        if (normalised(e.english) != name && normalised(e.chinese) != name)
            continue;
        for (int i = 0; i < e.codeCount; ++i) {
            Item it;
            it.text = phrase;
            const int code = e.codes[size_t(i)];
            if (code >= 0xF1 && code <= 0xF8) {
                it.type = Item::Modifier;
                it.mask = uint8_t(1u << (code - 0xF1));
            } else {
                it.type = Item::Key;
                it.code = uint8_t(code);
            }
            out->append(it);
        }
        return true;
    }
    return false;
}

bool parseDelayList(const QString& list, QVector<int>* out)
{
    for (const QString& part : list.split(QLatin1Char(','))) {
        const QStringList valueAndRepeat = part.split(QLatin1Char('*'));
        bool ok = false;
        const int value = valueAndRepeat.value(0).toInt(&ok);
        if (!ok || value < 0 || value > kMaxDelayMs || valueAndRepeat.size() > 2)
            return false;
        int repeat = 1;
        if (valueAndRepeat.size() == 2) {
            repeat = valueAndRepeat[1].toInt(&ok);
            if (!ok || repeat < 1 || repeat > kEntries)
                return false;
        }
        for (int i = 0; i < repeat; ++i)
            out->append(value);
    }
    return out->size() <= kEntries;
}

// A single-word token that is not a caption.
bool patternItem(const QString& word, Item* item, QString* error)
{
    static const QRegularExpression delay(QStringLiteral("^(\\d+)ms$"));
    static const QRegularExpression hex(QStringLiteral("^0x([0-9A-Fa-f]{1,2})$"));
    static const QRegularExpression media(QStringLiteral("^media:0x([0-9A-Fa-f]{1,4})$"));
    static const QRegularExpression patch(QStringLiteral("^@(\\d+)=((?:[0-9A-Fa-f]{2})+)$"));
    item->text = word;
    QRegularExpressionMatch m;
    if ((m = delay.match(word)).hasMatch()) {
        bool ok = false;
        item->value = m.captured(1).toInt(&ok);
        if (!ok || item->value > kMaxDelayMs) {
            *error = QStringLiteral("delay \"%1\" is out of range (0 to %2 ms)").arg(word).arg(kMaxDelayMs);
            return false;
        }
        item->type = Item::Delay;
        return true;
    }
    if ((m = hex.match(word)).hasMatch()) {
        item->type = Item::Hex;
        item->code = uint8_t(m.captured(1).toUInt(nullptr, 16));
        return true;
    }
    if ((m = media.match(word)).hasMatch()) {
        item->type = Item::Media;
        item->usage = uint16_t(m.captured(1).toUInt(nullptr, 16));
        return true;
    }
    if (word.startsWith(QLatin1String("delays="))) {
        item->type = Item::Delays;
        if (!parseDelayList(word.mid(7), &item->delays)) {
            *error = QStringLiteral("\"%1\": delays are up to %2 numbers of 0 to %3 ms, separated by commas "
                                    "(\"50*17\" repeats 50 seventeen times)")
                         .arg(word).arg(kEntries).arg(kMaxDelayMs);
            return false;
        }
        return true;
    }
    if ((m = patch.match(word)).hasMatch()) {
        item->type = Item::Patch;
        bool ok = false;
        item->offset = m.captured(1).toInt(&ok);
        item->bytes = QByteArray::fromHex(m.captured(2).toLatin1());
        if (!ok || item->offset + item->bytes.size() > KeypadImage::kRecordBytes) {
            *error = QStringLiteral("\"%1\" reaches past the %2 bytes of a record")
                         .arg(word).arg(KeypadImage::kRecordBytes);
            return false;
        }
        return true;
    }
    return false;
}

// Captions are matched exactly ("Enter" and "ENTER" are different keys), so
// a word that differs only in case is most likely a typing slip.
QString suggestion(const QString& word)
{
    QStringList near;
    const Vocabulary& vocab = vocabulary();
    for (auto it = vocab.phrases.constBegin(); it != vocab.phrases.constEnd(); ++it) {
        if (it.key().compare(word, Qt::CaseInsensitive) == 0 || it.key().startsWith(word + QLatin1Char(' ')))
            near << QLatin1Char('"') + it.key() + QLatin1Char('"');
    }
    near.sort();
    return near.isEmpty() ? QString() : QStringLiteral(" (did you mean %1?)").arg(near.join(QLatin1String(" or ")));
}

bool tokenize(const QString& words, QVector<Item>* items, QString* error)
{
    const QStringList w = words.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    const Vocabulary& vocab = vocabulary();
    for (int i = 0; i < w.size();) {
        bool taken = false;
        // Longest caption first: "Right Ctrl+" before a lone "Right".
        const int quickMenuLongest = 8;
        for (int n = qMin(qMax(vocab.longest, quickMenuLongest), int(w.size() - i)); n >= 1 && !taken; --n) {
            const QString phrase = w.mid(i, n).join(QLatin1Char(' '));
            auto it = vocab.phrases.constFind(phrase);
            if (it != vocab.phrases.constEnd()) {
                items->append(*it);
            } else if (!quickMenuItems(phrase, items)) {
                continue;
            }
            i += n;
            taken = true;
        }
        if (taken)
            continue;
        Item item;
        if (!patternItem(w[i], &item, error)) {
            if (error->isEmpty())
                *error = QStringLiteral("unknown word \"%1\"").arg(w[i]) + suggestion(w[i]);
            return false;
        }
        items->append(item);
        ++i;
    }
    return true;
}

enum class Kind { Keys, Media, Mouse, Lighting, None, Empty };

bool isKeyItem(const Item& it)
{
    return it.type == Item::Modifier || it.type == Item::Shifted || it.type == Item::Key || it.type == Item::Hex;
}

bool kindOf(const QVector<Item>& items, Kind* kind, QString* error)
{
    *kind = Kind::Empty;
    QString first;
    for (const Item& it : items) {
        Kind k;
        if (isKeyItem(it))
            k = Kind::Keys;
        else if (it.type == Item::Media)
            k = Kind::Media;
        else if (it.type == Item::Mouse || it.type == Item::MouseNone)
            k = Kind::Mouse;
        else if (it.type == Item::LedMode || it.type == Item::Colour)
            k = Kind::Lighting;
        else if (it.type == Item::None)
            k = Kind::None;
        else
            continue;
        if (*kind == Kind::Empty) {
            *kind = k;
            first = it.text;
            continue;
        }
        if (k == Kind::Keys && *kind == Kind::Keys)
            continue;
        if (k == Kind::Lighting && *kind == Kind::Lighting)
            continue;
        *error = QStringLiteral("\"%1\" and \"%2\" cannot be on one key").arg(first, it.text);
        return false;
    }
    return true;
}

void setDelay(ActionWords::Record& r, int entry, int ms)
{
    r[size_t(6 + 3 * entry)] = uint8_t(ms >> 8);
    r[size_t(7 + 3 * entry)] = uint8_t(ms & 0xFF);
}

std::optional<ActionWords::Record> build(const QVector<Item>& items, const ActionWords::Context& ctx,
                                         QString* error)
{
    ActionWords::Record r{};
    r[0] = kRecordCommand;
    r[1] = uint8_t(ctx.slot);
    r[2] = uint8_t(ctx.layer + 1);
    Kind kind;
    if (!kindOf(items, &kind, error))
        return std::nullopt;

    int delayTokens = 0;
    bool hasDelays = false;
    for (const Item& it : items) {
        delayTokens += it.type == Item::Delay;
        hasDelays |= it.type == Item::Delays;
    }
    if (kind == Kind::Empty && delayTokens == 0) {
        *error = QStringLiteral("no action (write \"none\" for a key that does nothing)");
        return std::nullopt;
    }
    for (const Item& it : items) {
        if (it.type != Item::Mouse || !RecordCodec::isGesture(it.mouse))
            continue;
        if (!ctx.currentFormat) {
            *error = QStringLiteral("\"%1\": touch gestures have no form in the old format (firmware 9 or older)")
                         .arg(it.text);
            return std::nullopt;
        }
        if (!ctx.gestures) {
            *error = QStringLiteral("\"%1\": touch gestures need firmware %2 or newer").arg(it.text).arg(kFirstGestureFirmware);
            return std::nullopt;
        }
    }
    if (ctx.currentFormat && kind == Kind::Lighting) {
        *error = QStringLiteral("a layer's lighting mode and colour belong to the old format (firmware 9 or lower)");
        return std::nullopt;
    }
    if (!ctx.currentFormat && hasDelays) {
        *error = QStringLiteral("per-entry delays (delays=) belong to the current format; "
                                "the old format has one delay per key (e.g. \"500ms\")");
        return std::nullopt;
    }
    if (kind == Kind::Lighting && ctx.slot != 0) {
        *error = QStringLiteral("lighting belongs to the layer, not to a key");
        return std::nullopt;
    }
    if (ctx.currentFormat && delayTokens > 0 && kind != Kind::Keys) {
        *error = QStringLiteral("a delay in ms stands before a key of a sequence; for other actions use delays=");
        return std::nullopt;
    }
    if (!ctx.currentFormat && delayTokens > 0 && kind != Kind::Keys && kind != Kind::Empty) {
        *error = QStringLiteral("the old format's delay goes with keys only");
        return std::nullopt;
    }
    if (!ctx.currentFormat && delayTokens > 1) {
        *error = QStringLiteral("the old format holds one delay per key");
        return std::nullopt;
    }

    if (ctx.currentFormat) {
        if (kind == Kind::Keys) {
            QVector<std::pair<int, uint8_t>> entries;  // delay, code
            int pending = -1;
            auto push = [&](uint8_t code) {
                entries.append({pending < 0 ? 0 : pending, code});
                pending = -1;
            };
            for (const Item& it : items) {
                switch (it.type) {
                case Item::Delay:
                    if (pending >= 0) {
                        *error = QStringLiteral("two delays in a row (\"%1\"): a delay stands before one key")
                                     .arg(it.text);
                        return std::nullopt;
                    }
                    pending = it.value;
                    break;
                case Item::Modifier:
                {
                    const RecordCodec::ModifierEntries expansion = RecordCodec::modifierEntries(it.mask);
                    for (int e = 0; e < expansion.count; ++e)
                        push(expansion.entries[size_t(e)]);
                }
                    break;
                case Item::Shifted:
                    push(RecordCodec::kShiftEntry);
                    push(it.code);
                    break;
                case Item::Key:
                case Item::Hex:
                    push(it.code);
                    break;
                default:
                    break;
                }
            }
            if (pending >= 0) {
                *error = QStringLiteral("a delay must stand before the key it delays");
                return std::nullopt;
            }
            if (entries.size() > kEntries) {
                *error = QStringLiteral("too many entries: a key holds %1, this action needs %2")
                             .arg(kEntries).arg(entries.size());
                return std::nullopt;
            }
            r[RecordCodec::kModeByte] = ModeKeys;
            r[RecordCodec::kEntryCountByte] = uint8_t(entries.size());
            for (int n = 0; n < entries.size(); ++n) {
                setDelay(r, n, entries[n].first);
                r[size_t(entryCodeByte(n))] = entries[n].second;
            }
        } else if (kind == Kind::Media) {
            for (const Item& it : items) {
                if (it.type == Item::Media)
                    RecordCodec::encodeMedia(r.data(), true, it.usage);
            }
        } else if (kind == Kind::Mouse) {
            r[RecordCodec::kModeByte] = ModeMouse;
            r[RecordCodec::kMouseKindByte] = RecordCodec::kMousePointer;
            r[RecordCodec::kEntryCountByte] = RecordCodec::kMouseEntries;
            for (const Item& it : items) {
                if (it.type == Item::Mouse)
                    RecordCodec::encodeMouse(r.data(), true, it.mouse);
            }
        } else {
            r[RecordCodec::kModeByte] = ModeKeys;  // none
        }
    } else {
        if (kind == Kind::Keys || kind == Kind::Empty) {
            int count = 0;
            uint8_t pendingMask = 0;
            int delay = -1;
            for (const Item& it : items) {
                if (it.type == Item::Delay) {
                    // The keypad waits once, before it sends the first key.
                    if (count > 0 || pendingMask) {
                        *error = QStringLiteral("\"%1\": the old format (firmware 9 or older) holds one delay, "
                                                "before the first key").arg(it.text);
                        return std::nullopt;
                    }
                    delay = it.value;
                    continue;
                }
                if (it.type == Item::Modifier) {
                    pendingMask |= it.mask;
                    continue;
                }
                if (!isKeyItem(it))
                    continue;
                if (count == kPairs) {
                    ++count;
                    continue;
                }
                r[size_t(10 + 2 * count)] = uint8_t(pendingMask | (it.type == Item::Shifted ? 0x02 : 0));
                r[size_t(11 + 2 * count)] = it.code;
                pendingMask = 0;
                ++count;
            }
            if (count > kPairs) {
                *error = QStringLiteral("too many keys: a key of the old format holds %1, this action needs %2")
                             .arg(kPairs).arg(count);
                return std::nullopt;
            }
            // Modifiers with no key after them wait in the next pair, uncounted,
            // as the window leaves them.
            if (pendingMask && count < kPairs)
                r[size_t(10 + 2 * count)] = pendingMask;
            r[RecordCodec::kModeByte] = delay >= 0 ? ModeDelay : ModeKeys;
            if (delay >= 0) {
                r[RecordCodec::kOldDelayLowByte] = uint8_t(delay & 0xFF);
                r[RecordCodec::kOldDelayHighByte] = uint8_t(delay >> 8);
            }
            r[RecordCodec::kPairCountByte] = uint8_t(count);
        } else if (kind == Kind::Media) {
            for (const Item& it : items) {
                if (it.type == Item::Media)
                    RecordCodec::encodeMedia(r.data(), false, it.usage);
            }
        } else if (kind == Kind::Mouse) {
            r[RecordCodec::kModeByte] = ModeMouse;
            r[RecordCodec::kPairCountByte] = 1;
            for (const Item& it : items) {
                if (it.type == Item::Mouse)
                    RecordCodec::encodeMouse(r.data(), false, it.mouse);
            }
        } else if (kind == Kind::Lighting) {
            int mode = -1;
            int colour = -1;
            for (const Item& it : items) {
                int* target = it.type == Item::LedMode ? &mode : it.type == Item::Colour ? &colour : nullptr;
                if (!target)
                    continue;
                if (*target >= 0) {
                    *error = QStringLiteral("lighting has one mode and one colour (\"%1\" is a second)").arg(it.text);
                    return std::nullopt;
                }
                *target = it.code;
            }
            r[0] = kLightingCommand;
            r[1] = kLedBlockId;
            r[RecordCodec::kModeByte] = ModeLighting;
            r[RecordCodec::kPairCountByte] = 1;
            r[RecordCodec::kLightingByte] = RecordCodec::lightingByte(
                colour > 0 ? uint8_t(colour << 4) : 0, uint8_t(mode > 0 ? mode : 0));
        } else {
            r[RecordCodec::kModeByte] = ModeKeys;  // none
        }
    }

    for (const Item& it : items) {
        if (it.type == Item::Delays) {
            for (int n = 0; n < it.delays.size(); ++n)
                setDelay(r, n, it.delays[n]);
        }
    }
    for (const Item& it : items) {
        if (it.type == Item::Patch) {
            for (int i = 0; i < it.bytes.size(); ++i)
                r[size_t(it.offset + i)] = uint8_t(it.bytes[i]);
        }
    }
    return r;
}

QString hexDigits(unsigned value, int width)
{
    return QString::number(value, 16).toUpper().rightJustified(width, QLatin1Char('0'));
}

QString hexByte(uint8_t b)
{
    return QStringLiteral("0x") + hexDigits(b, 2);
}

// In the current format 0xF1..0xF8 are modifier entries; an old-format pair
// carries modifiers in its own byte, so there they are plain (unnamed) codes.
QString keyCodeWord(uint8_t code, bool currentFormat)
{
    if (code == 0)
        return QStringLiteral("NULL");
    const QString prefix = KeyTable::modifierPrefix(code);
    if (!prefix.isEmpty())
        return currentFormat ? prefix : hexByte(code);
    const QString w = vocabulary().keyWord.value(code);
    return w.isEmpty() ? hexByte(code) : w;
}

QString mediaWordOf(uint16_t usage)
{
    const QString w = vocabulary().mediaWord.value(usage);
    return w.isEmpty() ? QStringLiteral("media:0x") + hexDigits(usage, 4) : w;
}

QString modifierWords(uint8_t mask)
{
    QStringList out;
    for (int bit = 0; bit < 8; ++bit) {
        if (mask & (1u << bit))
            out << KeyTable::modifierPrefix(uint8_t(0xF1 + bit));
    }
    return out.join(QLatin1Char(' '));
}

int delayOf(const ActionWords::Record& r, int n)
{
    return (r[size_t(6 + 3 * n)] << 8) | r[size_t(7 + 3 * n)];
}

QString delayList(const ActionWords::Record& r)
{
    int last = -1;
    for (int n = 0; n < kEntries; ++n) {
        if (delayOf(r, n))
            last = n;
    }
    if (last < 0)
        return QString();
    QStringList parts;
    for (int n = 0; n <= last;) {
        int run = 1;
        while (n + run <= last && delayOf(r, n + run) == delayOf(r, n))
            ++run;
        parts << (run >= 3 ? QStringLiteral("%1*%2").arg(delayOf(r, n)).arg(run) : QString::number(delayOf(r, n)));
        if (run == 2)
            parts << QString::number(delayOf(r, n));
        n += run;
    }
    return QStringLiteral("delays=") + parts.join(QLatin1Char(','));
}

QString currentWords(const ActionWords::Record& r)
{
    QStringList w;
    const int count = qMin<int>(r[5], kEntries);
    bool inlineDelays = true;
    switch (r[3]) {
    case 1:
        for (int n = count; n < kEntries; ++n)
            inlineDelays &= delayOf(r, n) == 0;
        for (int n = 0; n < count; ++n) {
            if (inlineDelays && delayOf(r, n))
                w << QStringLiteral("%1ms").arg(delayOf(r, n));
            w << keyCodeWord(r[size_t(8 + 3 * n)], true);
        }
        if (count == 0)
            w << QStringLiteral("none");
        break;
    case 2:
        inlineDelays = false;
        w << mediaWordOf(RecordCodec::mediaUsageIn(r.data(), true));
        break;
    case 3: {
        inlineDelays = false;
        const uint8_t kindByte = r[RecordCodec::kMouseKindByte];
        const int g = kindByte == RecordCodec::kMousePointer || kindByte == RecordCodec::kMouseGesture
                          ? RecordCodec::mouseActionIn(r.data(), true)
                          : -1;
        w << (g >= 0 ? vocabulary().mouseWord[g] : QStringLiteral("mouse:none"));
        break;
    }
    default:
        inlineDelays = false;
        w << QStringLiteral("none");
        break;
    }
    if (!inlineDelays) {
        const QString d = delayList(r);
        if (!d.isEmpty())
            w << d;
    }
    return w.join(QLatin1Char(' '));
}

QString oldWords(const ActionWords::Record& r, int slot)
{
    QStringList w;
    if (slot == 0 && r[0] == kLightingCommand && r[1] == kLedBlockId) {
        const int mode = r[11] & 0x0F;
        const int colour = r[11] >> 4;
        if (mode <= 5)
            w << KeyTable::ledModeName(mode, kEnglish);
        if (colour >= 1 && colour <= 7)
            w << KeyTable::colourName(colour, kEnglish);
        if (w.isEmpty())
            w << KeyTable::ledModeName(0, kEnglish);
        return w.join(QLatin1Char(' '));
    }
    const int count = qMin<int>(r[9], kPairs);
    switch (r[3]) {
    case 1:
    case 5:
        if (r[3] == 5)
            w << QStringLiteral("%1ms").arg(r[4] | (r[5] << 8));
        for (int n = 0; n < count; ++n) {
            const uint8_t mask = r[size_t(10 + 2 * n)];
            const uint8_t code = r[size_t(11 + 2 * n)];
            if (mask)
                w << modifierWords(mask);
            w << keyCodeWord(code, false);
        }
        if (count < kPairs && r[size_t(10 + 2 * count)] && !r[size_t(11 + 2 * count)])
            w << modifierWords(r[size_t(10 + 2 * count)]);
        if (w.isEmpty())
            w << QStringLiteral("none");
        break;
    case 2:
        w << mediaWordOf(RecordCodec::mediaUsageIn(r.data(), false));
        break;
    case 3: {
        const int g = RecordCodec::mouseActionIn(r.data(), false);
        w << (g >= 0 ? vocabulary().mouseWord[g] : QStringLiteral("mouse:none"));
        break;
    }
    default:
        w << QStringLiteral("none");
        break;
    }
    return w.join(QLatin1Char(' '));
}

// Byte runs where want and got differ; runs a few equal bytes apart are
// joined, which keeps the words short.
QStringList patches(const ActionWords::Record& want, const ActionWords::Record& got)
{
    QStringList out;
    const int size = KeypadImage::kRecordBytes;
    for (int i = 0; i < size;) {
        if (want[size_t(i)] == got[size_t(i)]) {
            ++i;
            continue;
        }
        int end = i + 1;
        for (int j = end; j < size && j < end + 3; ++j) {
            if (want[size_t(j)] != got[size_t(j)])
                end = j + 1;
        }
        QByteArray bytes;
        for (int j = i; j < end; ++j)
            bytes.append(char(want[size_t(j)]));
        out << QStringLiteral("@%1=%2").arg(i).arg(QString::fromLatin1(bytes.toHex()));
        i = end;
    }
    return out;
}

}  // namespace


namespace ActionWords {

QString describe(const Record& record, const Context& ctx)
{
    // Whatever its header and mode byte say, a record without an action is
    // "none"; only bytes past the mode byte that it still holds are named.
    const bool empty = !(ctx.slot == 0 && !ctx.currentFormat) && RecordCodec::isEmpty(record.data(), ctx.currentFormat);
    QString words = empty ? QStringLiteral("none") : ctx.currentFormat ? currentWords(record) : oldWords(record, ctx.slot);
    QString ignored;
    std::optional<Record> back = parse(words, ctx, &ignored);
    if (!back) {
        words = QStringLiteral("none");
        back = parse(words, ctx, &ignored);
    }
    if (empty)
        std::copy(record.begin(), record.begin() + RecordCodec::kFirstActionByte, back->begin());
    const QStringList fix = patches(record, *back);
    if (!fix.isEmpty())
        words += QLatin1Char(' ') + fix.join(QLatin1Char(' '));
    return words;
}

std::optional<Record> parse(const QString& words, const Context& ctx, QString* error)
{
    QString message;
    QVector<Item> items;
    std::optional<Record> r;
    if (tokenize(words, &items, &message))
        r = build(items, ctx, &message);
    if (!r && error)
        *error = message;
    return r;
}

std::optional<Record> parseCommandLine(const QStringList& words, const Context& ctx, QString* error)
{
    return parse(words.join(QLatin1Char(' ')), ctx, error);
}

bool isBlank(const Record& record)
{
    for (uint8_t b : record) {
        if (b)
            return false;
    }
    return true;
}

bool holdsNothing(const Record& record)
{
    // Holds nothing in either format: a record's format is not always known here.
    return RecordCodec::isEmpty(record.data(), true) && RecordCodec::isEmpty(record.data(), false);
}

Context contextOn(const Board& board, int layer, int slot)
{
    return Context{board.currentFormat(), layer, slot, board.gestures()};
}

Record clearedRecord(const Context& ctx)
{
    Record r{};
    r[0] = kRecordCommand;
    r[1] = uint8_t(ctx.slot);
    r[2] = uint8_t(ctx.layer + 1);
    r[RecordCodec::kModeByte] = ModeKeys;
    return r;
}

Conversion convert(const Record& record, const Context& from, const Context& to)
{
    Conversion out;
    if (from.currentFormat == to.currentFormat) {
        out.record = record;
        return out;
    }
    QVector<Item> items;
    QString error;
    tokenize(describe(record, from), &items, &error);
    QVector<Item> kept;
    bool delaysLost = false;
    QString oldDelay;
    for (const Item& it : items) {
        switch (it.type) {
        case Item::Patch:
            out.note = QStringLiteral("holds bytes without a name (%1)").arg(it.text);
            return out;
        case Item::LedMode:
        case Item::Colour:
            out.note = QStringLiteral("the old format's layer lighting has no form in the current format");
            return out;
        case Item::MouseNone:
            out.note = QStringLiteral("a mouse record without an action");
            return out;
        case Item::Mouse:
            if (RecordCodec::isGesture(it.mouse)) {
                out.note = QStringLiteral("%1: touch gestures exist only in the current format").arg(it.text);
                return out;
            }
            break;
        case Item::Hex:
            if (it.code >= 0xE0) {
                out.note = QStringLiteral("%1 is no keyboard key").arg(it.text);
                return out;
            }
            break;
        case Item::Delay:
            if (!from.currentFormat) {
                // The key's actions travel; only its wait is left behind, and said so.
                if (it.value != 0)
                    oldDelay = it.text;
                continue;
            }
            delaysLost |= it.value != 0;
            continue;
        case Item::Delays:
            for (int n = 0; n < qMin<int>(it.delays.size(), record[RecordCodec::kEntryCountByte]); ++n)
                delaysLost |= it.delays[n] != 0;
            continue;
        default:
            break;
        }
        kept.append(it);
    }
    // Old records keep modifiers clicked without a key in an uncounted pair;
    // the keypad ignores them, so they do not travel.
    if (!from.currentFormat) {
        while (!kept.isEmpty() && kept.last().type == Item::Modifier)
            kept.removeLast();
        if (kept.isEmpty()) {
            Item none;
            none.type = Item::None;
            kept.append(none);
        }
    } else if (!kept.isEmpty() && kept.last().type == Item::Modifier) {
        out.note = QStringLiteral("ends with a modifier pressed alone, which the old format cannot send");
        return out;
    }
    out.record = build(kept, to, &error);
    if (!out.record) {
        out.note = error;
        return out;
    }
    if (delaysLost)
        out.note = QStringLiteral("its delays between keys were left out (the old format has none)");
    if (!oldDelay.isEmpty())
        out.note = QStringLiteral("imported without its delay (%1): the old format's one delay per key has no "
                                  "form in the current format")
                       .arg(oldDelay);
    return out;
}

}  // namespace ActionWords
