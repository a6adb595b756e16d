#include "core/keypad/board.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

constexpr int kFirstKnobSlot = 16;
// The build variant changes which picture of two the window draws, never
// which buttons it has.
constexpr int kStandardBuild = 2;

const char* const kSides[3] = {"left", "press", "right"};

int sideOf(PictureRole role)
{
    switch (role) {
    case PictureRole::KnobLeft: return 0;
    case PictureRole::KnobPress: return 1;
    case PictureRole::KnobRight: return 2;
    default: return -1;
    }
}

// A name as written: key N, knob K side, or slot N.
struct Place {
    enum Kind { Invalid, Key, Knob, Slot } kind = Invalid;
    int number = 0;
    int side = 0;
};

Place parsePlace(const QString& text)
{
    static const QRegularExpression key(QStringLiteral("^(?:k|key)(\\d{1,2})$"));
    static const QRegularExpression knob(QStringLiteral("^(?:knob ?|k)([1-4])[ _](left|press|middle|right)$"));
    static const QRegularExpression slot(QStringLiteral("^slot (\\d{1,2})$"));
    const QString t = text.simplified().toLower();
    Place p;
    QRegularExpressionMatch m;
    if ((m = key.match(t)).hasMatch()) {
        p.kind = Place::Key;
        p.number = m.captured(1).toInt();
    } else if ((m = knob.match(t)).hasMatch()) {
        const QString side = m.captured(2);
        p.kind = Place::Knob;
        p.number = m.captured(1).toInt();
        p.side = side == QLatin1String("left") ? 0 : side == QLatin1String("right") ? 2 : 1;
    } else if ((m = slot.match(t)).hasMatch()) {
        p.kind = Place::Slot;
        p.number = m.captured(1).toInt();
    }
    return p;
}

QString count(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

}  // namespace

namespace SlotNames {

QString name(int slot)
{
    if (slot >= 1 && slot < kFirstKnobSlot)
        return QStringLiteral("K%1").arg(slot);
    if (isKnobSlot(slot))
        return QStringLiteral("knob %1 %2").arg(knobOf(slot)).arg(QLatin1String(kSides[(slot - kFirstKnobSlot) % 3]));
    return QStringLiteral("slot %1").arg(slot);
}

int slotOf(const QString& text)
{
    const Place p = parsePlace(text);
    switch (p.kind) {
    case Place::Key:
        return p.number >= 1 && p.number < kFirstKnobSlot ? p.number : -1;
    case Place::Knob:
        return kFirstKnobSlot - 3 + 3 * p.number + p.side;
    case Place::Slot:
        return p.number < kSlotsPerLayer ? p.number : -1;
    default:
        return -1;
    }
}

bool isKnobSlot(int slot) { return slot >= kFirstKnobSlot && slot <= kLastPictureSlot; }
int knobOf(int slot) { return isKnobSlot(slot) ? (slot - kFirstKnobSlot) / 3 + 1 : 0; }

}  // namespace SlotNames

Board::Board(const DeviceInfo& identity, uint16_t productId)
    : identity_(identity),
      layout_(chooseLayout(identity.keys, identity.knobs, identity.version, identity.variant, productId,
                           kStandardBuild)),
      picture_(layoutSlots(layout_))
{
    std::sort(picture_.begin(), picture_.end(),
              [](const PictureSlot& a, const PictureSlot& b) { return a.index < b.index; });
    for (const PictureSlot& s : picture_) {
        if (s.role == PictureRole::Key)
            ++keys_;
        else
            knobs_ = std::max(knobs_, s.knob);
    }
}

const PictureSlot* Board::find(int slot) const
{
    for (const PictureSlot& s : picture_)
        if (s.index == slot)
            return &s;
    return nullptr;
}

bool Board::has(int slot) const { return isLighting(slot) || find(slot) != nullptr; }

bool Board::isKey(int slot) const
{
    const PictureSlot* s = find(slot);
    return s && s->role == PictureRole::Key;
}

bool Board::isKnob(int slot) const
{
    const PictureSlot* s = find(slot);
    return s && s->role != PictureRole::Key;
}

int Board::knobNumber(int slot) const
{
    const PictureSlot* s = find(slot);
    return s ? s->knob : 0;
}

int Board::knobSide(int slot) const
{
    const PictureSlot* s = find(slot);
    return s ? sideOf(s->role) : -1;
}

bool Board::hasColour(int slot) const { return currentFormat() && isKey(slot) && slot <= kLedColourKeys; }

int Board::readSlotCount() const { return currentFormat() ? kCurrentReadSlots : kOldReadSlots; }
int Board::readKnobCount() const { return currentFormat() ? 0 : kOldReadKnobs; }

bool Board::readable(int slot) const
{
    if (!has(slot) || isLighting(slot))
        return false;
    const std::vector<int> order = keyReadSlotOrder(currentFormat(), readSlotCount(), readKnobCount());
    return std::find(order.begin(), order.end(), slot) != order.end();
}

std::vector<int> Board::allSlots() const
{
    std::vector<int> out;
    if (!currentFormat())
        out.push_back(0);
    for (const PictureSlot& s : picture_)
        out.push_back(s.index);
    return out;
}

QString Board::slotName(int slot) const
{
    if (isLighting(slot))
        return QStringLiteral("lighting");
    const PictureSlot* s = find(slot);
    if (!s)
        return SlotNames::name(slot);
    if (s->role == PictureRole::Key)
        return QStringLiteral("K%1").arg(slot);
    return QStringLiteral("knob %1 %2").arg(s->knob).arg(QLatin1String(kSides[sideOf(s->role)]));
}

QString Board::placeName(int layer, int slot) const
{
    return QStringLiteral("layer %1, %2").arg(layer + 1).arg(slotName(slot));
}

int Board::slotOf(const QString& name) const
{
    const Place p = parsePlace(name);
    switch (p.kind) {
    case Place::Key:
        if (isKey(p.number))
            return p.number;
        break;
    case Place::Knob:
        for (const PictureSlot& s : picture_)
            if (s.knob == p.number && sideOf(s.role) == p.side)
                return s.index;
        break;
    case Place::Slot:
        return p.number < kSlotsPerLayer ? p.number : -1;
    default:
        return -1;
    }
    const int generic = SlotNames::slotOf(name);
    return generic >= 0 && !has(generic) ? generic : -1;
}

QString Board::summary() const
{
    return count(keys_, "key", "keys") + QStringLiteral(" and ") + count(knobs_, "knob", "knobs");
}

QString Board::lacking(const QString& name) const
{
    const Place p = parsePlace(name);
    if (p.kind == Place::Knob)
        return p.number <= knobs_ ? QStringLiteral("knob %1 of this keypad has no %2").arg(p.number).arg(QLatin1String(kSides[p.side]))
                                  : QStringLiteral("this keypad has ") + count(knobs_, "knob", "knobs");
    if (p.kind == Place::Key)
        return QStringLiteral("this keypad has ") + count(keys_, "key", "keys");
    return QStringLiteral("this keypad has no %1").arg(name);
}

QString Board::cannotHold(const uint8_t* record) const
{
    if (!record || record[0] != kRecordCommand || record[RecordCodec::kModeByte] != ModeMouse)
        return QString();
    const int action = RecordCodec::mouseActionIn(record, currentFormat());
    if (currentFormat() && !gestures() && RecordCodec::isGesture(action))
        return QStringLiteral("touch gestures need firmware %1 or newer; this keypad has firmware %2")
            .arg(kFirstGestureFirmware)
            .arg(identity_.version);
    return QString();
}
