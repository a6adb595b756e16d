#include "cli/cli_context.h"

#include "cli/exit_codes.h"
#include "core/device/discovery.h"
#include "core/device/keypad_lock.h"
#include "core/device/permission_doctor.h"
#include "core/device/simulated_keypad.h"
#include "core/keypad/model_catalogue.h"
#include "core/profile/file_io.h"
#include "core/startup/simulated_setup.h"

#include <QByteArray>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr char kSimulatePrefix[] = "--simulate=";

bool supported(const HidDeviceEntry& entry)
{
    if (entry.vendorId != kPrimaryVendorId && entry.vendorId != kSecondaryVendorId)
        return false;
    return std::find(kDefaultProductIds.begin(), kDefaultProductIds.end(), entry.productId) !=
           kDefaultProductIds.end();
}

QString hidError(HidTransport& transport)
{
    const QString text = QString::fromStdWString(transport.error(nullptr));
    return text.isEmpty() ? QStringLiteral("the HID layer gave no reason") : text;
}

void writeTo(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

}  // namespace

bool takeSimulateValues(QStringList& args, GlobalOptions& options, QString& error)
{
    for (int i = 1; i < args.size();) {
        if (args[i] == QLatin1String("--"))
            break;
        if (!args[i].startsWith(QLatin1String(kSimulatePrefix))) {
            ++i;
            continue;
        }
        const ProgramOptions parsed = parseProgramOptions({QStringLiteral("tessaplex-cli"), args[i]});
        if (parsed.action == ProgramOptions::Action::Error) {
            error = parsed.error;
            return false;
        }
        options.simulate = true;
        options.boardGiven = true;
        options.board = parsed.simulated;
        args.removeAt(i);
    }
    return true;
}

// The window's doctor decides what is wrong and which commands fix it (a rule
// masked by a link to /dev/null, a rule installed but the keypad not plugged
// in again, a sandbox); "doctor" prints the whole report.
QString permissionFix(const QString& node)
{
    constexpr int kEnglish = 1;
    const Diagnosis diagnosis = diagnoseOpenFailure(node, OpenFailure::PermissionDenied, LocalFileSystem());
    QString text = QStringLiteral("permission denied on the keypad's node %1 (the udev rule %2 gives access).\n%3\n")
                       .arg(node, QLatin1String(kUdevRuleName), statusText(diagnosis, kEnglish));
    const QString fix = fixCommands(diagnosis);
    if (!fix.isEmpty())
        text += QStringLiteral("To fix it:\n") + fix;
    return text + QStringLiteral("\"tessaplex-cli doctor\" tells more.");
}

QueryResult askIdentity(CliContext& context) { return queryDeviceInfo(context.link()); }

std::optional<QString> modelName(const DeviceInfo& info)
{
    for (int id = 1; id <= ModelCatalogue::kCatalogueCount; ++id) {
        const CatalogueModel* model = ModelCatalogue::catalogueModel(id);
        if (model && model->keys == info.keys && model->knobs == info.knobs && model->variant == info.variant)
            return QString::fromLatin1(model->name);
    }
    return std::nullopt;
}

CliContext::CliContext() = default;

CliContext::~CliContext()
{
    if (handle_)
        transport_->close(handle_);
}

int CliContext::setUp(const GlobalOptions& options)
{
    options_ = options;
    if (!options_.simulate) {
        hidapi_ = std::make_unique<HidapiTransport>();
        transport_ = hidapi_.get();
        return ExitCode::kDone;
    }

    simulated_ = std::make_unique<SimulatedSetup>();
    switch (simulated_->setUp(options_.board, options_.boardGiven, options_.statePath)) {
    case SimulatedSetup::Outcome::Ready:
        break;
    case SimulatedSetup::Outcome::Created:
        note(QStringLiteral("created the simulated keypad's state file %1").arg(options_.statePath));
        break;
    case SimulatedSetup::Outcome::BoardMismatch:
        return fail(ExitCode::kUsage, simulated_->message());
    case SimulatedSetup::Outcome::Damaged:
        return fail(ExitCode::kInvalidData, simulated_->message());
    case SimulatedSetup::Outcome::Unreadable:
        return fail(ExitCode::kDeviceIo, simulated_->message());
    case SimulatedSetup::Outcome::Busy:
        return fail(ExitCode::kBusy, simulated_->message());
    }
    transport_ = &simulated_->transport();
    SimulatedKeypad& keypad = simulated_->keypad();

    const QStringList faults = qEnvironmentVariable(kSimulateFaultVariable).split(',', Qt::SkipEmptyParts);
    for (const QString& fault : faults) {
        if (fault == QLatin1String("unplugged"))
            keypad.unplug();
        else if (fault == QLatin1String("no-permission"))
            keypad.faults.openFailure = OpenFailure::PermissionDenied;
        else if (fault == QLatin1String("silent"))
            keypad.faults.silentInfoQuery = true;
        else if (fault.startsWith(QLatin1String("fail-write=")))
            keypad.faults.failingWrites.insert(fault.section(QLatin1Char('='), 1).toInt());
        else if (fault.startsWith(QLatin1String("unplug-at-write=")))
            keypad.faults.unplugAtWrite = fault.section(QLatin1Char('='), 1).toInt();
    }
    return ExitCode::kDone;
}

std::vector<BusEntry> CliContext::listKeypads(bool tryOpen)
{
    std::vector<BusEntry> found;
    for (const HidDeviceEntry& entry : transport_->enumerate(0, 0)) {
        if (!supported(entry))
            continue;
        BusEntry item{entry, OpenFailure::None, QString()};
        if (tryOpen) {
            const OpenResult result = transport_->open(entry.path);
            if (result.handle) {
                transport_->close(result.handle);
            } else {
                item.openFailure = result.failure == OpenFailure::None ? OpenFailure::Other : result.failure;
                item.openError = hidError(*transport_);
            }
        }
        found.push_back(item);
    }
    return found;
}

int CliContext::openKeypad()
{
    const std::vector<HidDeviceEntry> bus = transport_->enumerate(0, 0);
    std::optional<HidDeviceEntry> target;
    if (!options_.devicePath.isEmpty()) {
        const std::string wanted = options_.devicePath.toStdString();
        const auto listed = std::find_if(bus.begin(), bus.end(),
                                         [&](const HidDeviceEntry& entry) { return entry.path == wanted; });
        if (listed == bus.end())
            return fail(ExitCode::kNoKeypad,
                        QStringLiteral("no HID device at %1. \"tessaplex-cli list\" shows the keypads found.")
                            .arg(options_.devicePath));
        if (!supported(*listed))
            return fail(ExitCode::kNoKeypad,
                        QStringLiteral("%1 is not a supported keypad (USB id %2:%3). "
                                       "\"tessaplex-cli list\" shows the keypads found.")
                            .arg(options_.devicePath, idText(listed->vendorId), idText(listed->productId)));
        if (listed->interfaceNumber != 0)
            return fail(ExitCode::kUsage,
                        QStringLiteral("%1 is interface %2 of the keypad; its settings are reached through "
                                       "interface 0. Pick that entry from \"tessaplex-cli list\".")
                            .arg(options_.devicePath)
                            .arg(listed->interfaceNumber));
        target = *listed;
    } else {
        const DiscoveryChoice choice = chooseKeypad(bus, kDefaultProductIds, kInitialProductId);
        if (!choice.keypadPresent)
            return fail(ExitCode::kNoKeypad,
                        QStringLiteral("no keypad found. Plug it in with a USB data cable (a charge-only cable "
                                       "carries no data); \"tessaplex-cli list\" shows what was found."));
        if (!choice.interfaceZero)
            return fail(ExitCode::kNoKeypad,
                        QStringLiteral("a keypad (USB id %1:%2) is on the bus, but its configuration interface "
                                       "is not listed. Unplug it and plug it in again.")
                            .arg(idText(choice.vendorId), idText(choice.productId)));
        target = choice.interfaceZero;
    }

    const QString path = QString::fromStdString(target->path);
    // A simulated keypad is this run's own; with a state file, that file's
    // lock (taken when it was read) keeps writers apart.
    if (options_.writes && !options_.simulate) {
        lock_ = std::make_unique<KeypadLock>(path);
        if (!lock_->acquire(KeypadLock::kWaitMs))
            return fail(ExitCode::kBusy, QStringLiteral("the keypad at %1 is busy: %2 is writing to it. Try again "
                                                        "when it has finished (close the window's connection to "
                                                        "the keypad, or wait for the other command).")
                                             .arg(path, lock_->holder()));
    }
    const OpenResult result = transport_->open(target->path);
    if (result.failure == OpenFailure::PermissionDenied)
        return fail(ExitCode::kNoPermission, permissionFix(path));
    if (!result.handle)
        return fail(ExitCode::kDeviceIo,
                    QStringLiteral("cannot open the keypad at %1 (%2). Unplug it and plug it in again.")
                        .arg(path, hidError(*transport_)));
    handle_ = result.handle;
    opened_ = *target;
    return ExitCode::kDone;
}

int CliContext::finish(int code)
{
    if (handle_) {
        transport_->close(handle_);
        handle_ = nullptr;
    }
    if (simulated_ && !simulated_->flush()) {
        fail(ExitCode::kDeviceIo, simulated_->message());
        if (code == ExitCode::kDone)
            code = ExitCode::kDeviceIo;
    }
    if (hidapi_)
        hidapi_->exit();
    if (!outputError_.isEmpty()) {
        fail(ExitCode::kDeviceIo, outputError_);
        if (code == ExitCode::kDone)
            code = ExitCode::kDeviceIo;
    }
    return code;
}

int CliContext::fail(int code, const QString& message) const
{
    writeTo(stderr, QStringLiteral("tessaplex-cli: %1\n").arg(message));
    return code;
}

void CliContext::note(const QString& message) const
{
    if (options_.quiet)
        return;
    QString text = message;
    text.replace(QLatin1Char('\n'), QStringLiteral("\ntessaplex-cli: "));
    writeTo(stderr, QStringLiteral("tessaplex-cli: %1\n").arg(text));
}

void CliContext::print(const QString& text)
{
    if (!outputError_.isEmpty())
        return;
    if (options_.stdoutClosed)
        outputError_ = QStringLiteral("standard output is closed; nothing could be printed");
    else if (!FileIo::writeAll(STDOUT_FILENO, text.toUtf8()))
        outputError_ = QStringLiteral("standard output could not be written: %1")
                           .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

QString idText(uint16_t id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}
