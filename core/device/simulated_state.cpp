#include "core/device/simulated_state.h"

#include "core/device/keypad_lock.h"
#include "core/profile/file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr char kFormat[] = "tessaplex-simulated-keypad";
constexpr int kVersion = 1;
constexpr int kLayers = 3;
constexpr int kSlots = 60;
constexpr int kRecordBytes = 64;

bool allZero(const uint8_t* bytes, size_t count)
{
    return std::all_of(bytes, bytes + count, [](uint8_t b) { return b == 0; });
}

QString hex(const uint8_t* bytes, int count)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes), count).toHex());
}

// Exactly `count` bytes of hex, or an error text.
QString unhex(const QJsonValue& value, uint8_t* out, int count, const QString& where)
{
    if (!value.isString())
        return QStringLiteral("%1 must be a string of hex digits").arg(where);
    const QString text = value.toString();
    const bool digitsOnly = std::all_of(text.begin(), text.end(), [](QChar c) { return isxdigit(c.toLatin1()); });
    if (!digitsOnly || text.size() != count * 2)
        return QStringLiteral("%1 must be %2 hex digits (%3 bytes), got \"%4\"")
            .arg(where)
            .arg(count * 2)
            .arg(count)
            .arg(text.size() > 24 ? text.left(24) + "..." : text);
    const QByteArray bytes = QByteArray::fromHex(text.toLatin1());
    std::memcpy(out, bytes.constData(), size_t(count));
    return QString();
}

// A whole number 0..max, or an error text.
QString byteField(const QJsonObject& object, const char* name, int max, uint8_t& out, const QString& where)
{
    const QJsonValue value = object.value(QLatin1String(name));
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < 0 || number > max || number != int(number))
        return QStringLiteral("%1: \"%2\" must be a whole number from 0 to %3").arg(where, QLatin1String(name)).arg(max);
    out = static_cast<uint8_t>(number);
    return QString();
}

}  // namespace

SimulatedStateFile::SimulatedStateFile(QString path) : path_(std::move(path)) {}

QByteArray SimulatedStateFile::serialize(const SimulatedKeypad& keypad)
{
    QJsonObject identity{{"keys", keypad.info.keys},
                         {"knobs", keypad.info.knobs},
                         {"firmware", keypad.info.version},
                         {"variant", keypad.info.variant}};
    // Empty slots are left out: a keypad holds a few dozen records at most.
    QJsonArray records;
    for (int layer = 0; layer < kLayers; ++layer)
        for (int slot = 0; slot < kSlots; ++slot) {
            const uint8_t* record = keypad.storedRecords[layer][slot];
            if (allZero(record, kRecordBytes))
                continue;
            records.append(QJsonObject{{"layer", layer + 1}, {"slot", slot}, {"bytes", hex(record, kRecordBytes)}});
        }
    QJsonArray led;
    for (const SimulatedKeypad::LedBlock& block : keypad.ledBlocks)
        led.append(QJsonObject{{"mode", block.mode}, {"colours", hex(block.colours, kLedColourBytes)}});
    const QJsonObject root{{"format", kFormat}, {"version", kVersion}, {"identity", identity},
                           {"records", records}, {"led", led}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QString SimulatedStateFile::deserialize(const QByteArray& bytes, SimulatedKeypad& keypad)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return QStringLiteral("not valid JSON at byte %1 (%2)").arg(parseError.offset).arg(parseError.errorString());
    if (!document.isObject())
        return QStringLiteral("the top level is not a JSON object");
    const QJsonObject root = document.object();
    if (root.value("format").toString() != QLatin1String(kFormat))
        return QStringLiteral("\"format\" is not \"%1\"").arg(QLatin1String(kFormat));
    if (root.value("version").toInt(-1) != kVersion)
        return QStringLiteral("\"version\" %1 is not supported (this program reads version %2)")
            .arg(root.value("version").toVariant().toString())
            .arg(kVersion);

    // Everything is checked into copies first: a refused file changes nothing.
    DeviceInfo info;
    const QJsonObject identity = root.value("identity").toObject();
    for (auto [name, field] : {std::pair<const char*, uint8_t*>{"keys", &info.keys},
                               {"knobs", &info.knobs},
                               {"firmware", &info.version},
                               {"variant", &info.variant}}) {
        const QString problem = byteField(identity, name, 255, *field, QStringLiteral("identity"));
        if (!problem.isEmpty())
            return problem;
    }

    const QJsonValue recordsValue = root.value("records");
    if (!recordsValue.isArray())
        return QStringLiteral("\"records\" must be a list");
    auto stored = std::make_unique<uint8_t[]>(size_t(kLayers) * kSlots * kRecordBytes);
    std::vector<bool> seen(size_t(kLayers) * kSlots, false);
    const QJsonArray records = recordsValue.toArray();
    for (int i = 0; i < records.size(); ++i) {
        const QString where = QStringLiteral("record %1").arg(i + 1);
        if (!records[i].isObject())
            return QStringLiteral("%1 is not an object").arg(where);
        const QJsonObject record = records[i].toObject();
        uint8_t layer = 0;
        uint8_t slot = 0;
        QString problem = byteField(record, "layer", kLayers, layer, where);
        if (problem.isEmpty())
            problem = byteField(record, "slot", kSlots - 1, slot, where);
        if (problem.isEmpty() && layer < 1)
            problem = QStringLiteral("%1: \"layer\" must be from 1 to %2").arg(where).arg(kLayers);
        if (!problem.isEmpty())
            return problem;
        const size_t index = size_t(layer - 1) * kSlots + slot;
        if (seen[index])
            return QStringLiteral("%1: layer %2 slot %3 is listed twice").arg(where).arg(layer).arg(slot);
        seen[index] = true;
        problem = unhex(record.value("bytes"), stored.get() + index * kRecordBytes, kRecordBytes,
                        where + QStringLiteral(" \"bytes\""));
        if (!problem.isEmpty())
            return problem;
    }

    const QJsonValue ledValue = root.value("led");
    if (!ledValue.isArray() || ledValue.toArray().size() != kLayers)
        return QStringLiteral("\"led\" must list exactly %1 LED blocks").arg(kLayers);
    SimulatedKeypad::LedBlock led[kLayers];
    for (int layer = 0; layer < kLayers; ++layer) {
        const QString where = QStringLiteral("LED block %1").arg(layer + 1);
        const QJsonObject block = ledValue.toArray()[layer].toObject();
        QString problem = byteField(block, "mode", 255, led[layer].mode, where);
        if (problem.isEmpty())
            problem = unhex(block.value("colours"), led[layer].colours, kLedColourBytes,
                            where + QStringLiteral(" \"colours\""));
        if (!problem.isEmpty())
            return problem;
    }

    keypad.info = info;
    std::memcpy(keypad.storedRecords, stored.get(), sizeof keypad.storedRecords);
    std::copy(std::begin(led), std::end(led), std::begin(keypad.ledBlocks));
    return QString();
}

SimulatedStateFile::~SimulatedStateFile() = default;

SimulatedStateFile::LoadOutcome SimulatedStateFile::load(SimulatedKeypad& keypad)
{
    error_.clear();
    // Held until this object goes: what this run read is what it writes
    // back, so a second run must not read in between.
    if (!lock_)
        lock_ = std::make_unique<KeypadLock>(path_);
    if (!lock_->acquire(KeypadLock::kWaitMs)) {
        error_ = QStringLiteral("the simulated keypad's state file %1 is in use by %2; try again when it has "
                                "finished")
                     .arg(path_, lock_->holder());
        return LoadOutcome::Busy;
    }
    QByteArray contents;
    QString why;
    switch (FileIo::readInput(path_, path_, FileIo::kSizeLimit, false, &contents, &why)) {
    case FileIo::ReadOutcome::Read:
        break;
    case FileIo::ReadOutcome::Missing:
        return LoadOutcome::Missing;
    case FileIo::ReadOutcome::Refused:
    case FileIo::ReadOutcome::Failed:
        error_ = QStringLiteral("cannot use the simulated keypad's state file: %1").arg(why);
        return LoadOutcome::Unreadable;
    }
    const QString problem = deserialize(contents, keypad);
    if (!problem.isEmpty()) {
        error_ = QStringLiteral("the simulated keypad's state file %1 is damaged: %2. It was left as it is; "
                                "repair it, or move it away to start with an empty keypad")
                     .arg(path_, problem);
        return LoadOutcome::Damaged;
    }
    // What a later save would write, so that an unchanged keypad is not rewritten.
    lastContents_ = serialize(keypad);
    return LoadOutcome::Loaded;
}

bool SimulatedStateFile::save(const SimulatedKeypad& keypad)
{
    error_.clear();
    const QByteArray contents = serialize(keypad);
    if (contents == lastContents_ && QFileInfo::exists(path_))
        return true;
    QString why;
    if (!FileIo::writeFileAtomically(path_, contents, &why)) {
        error_ = QStringLiteral("cannot write the simulated keypad's state file: %1").arg(why);
        return false;
    }
    lastContents_ = contents;
    return true;
}

PersistentKeypad::PersistentKeypad(SimulatedKeypad& keypad, SimulatedStateFile& state)
    : keypad_(keypad), state_(state)
{
}

bool PersistentKeypad::flush()
{
    if (state_.save(keypad_)) {
        saveError_.clear();
        return true;
    }
    saveError_ = state_.error().toStdWString();
    return false;
}

std::vector<HidDeviceEntry> PersistentKeypad::enumerate(uint16_t vendorId, uint16_t productId)
{
    return keypad_.enumerate(vendorId, productId);
}

OpenResult PersistentKeypad::open(const std::string& path) { return keypad_.open(path); }

int PersistentKeypad::write(HidHandle handle, const uint8_t* data, size_t length)
{
    saveError_.clear();
    const int written = keypad_.write(handle, data, length);
    if (written < 0 || length < 2)
        return written;
    Report report{};
    std::memcpy(report.data(), data, std::min(length, report.size()));
    switch (classifyReport(report)) {
    case ReportKind::Commit:
    case ReportKind::LedBlockOrLightingRecord:
    case ReportKind::SetModel:
        return flush() ? written : -1;
    default:
        return written;
    }
}

int PersistentKeypad::readTimeout(HidHandle handle, uint8_t* data, size_t length, int milliseconds)
{
    return keypad_.readTimeout(handle, data, length, milliseconds);
}

int PersistentKeypad::read(HidHandle handle, uint8_t* data, size_t length)
{
    return keypad_.read(handle, data, length);
}

int PersistentKeypad::setNonblocking(HidHandle handle, int nonblock)
{
    return keypad_.setNonblocking(handle, nonblock);
}

std::wstring PersistentKeypad::error(HidHandle handle)
{
    return saveError_.empty() ? keypad_.error(handle) : saveError_;
}

void PersistentKeypad::close(HidHandle handle) { keypad_.close(handle); }

void PersistentKeypad::exit() { keypad_.exit(); }

void PersistentKeypad::sleepMs(int milliseconds) { keypad_.sleepMs(milliseconds); }
