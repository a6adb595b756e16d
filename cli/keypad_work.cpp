#include "cli/keypad_work.h"

#include "cli/cli_context.h"
#include "cli/exit_codes.h"
#include "core/keypad/keypad_sync.h"
#include "core/profile/action_words.h"
#include "core/profile/profile_diff.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Slot 0 is only ever written on the older firmware, as the layer's lighting.
QString place(int layer, int slot)
{
    return QStringLiteral("layer %1 %2").arg(layer + 1).arg(slot == 0 ? QStringLiteral("lighting") : SlotNames::name(slot));
}

QString listOrNothing(const QStringList& items)
{
    return items.isEmpty() ? QStringLiteral("nothing") : items.join(QStringLiteral(", "));
}

}  // namespace

int identityFailure(CliContext& context, QueryOutcome outcome)
{
    const QString path = QString::fromStdString(context.openedEntry().path);
    if (outcome == QueryOutcome::NoAnswer)
        return context.fail(ExitCode::kDeviceIo,
                            QStringLiteral("the keypad at %1 did not say which board it is (no answer within "
                                           "%2 ms). Unplug it and plug it in again.")
                                .arg(path)
                                .arg(kInfoReplyTimeoutMs));
    return context.fail(ExitCode::kDeviceIo,
                        QStringLiteral("the keypad at %1 stopped answering: %2. Unplug it and plug it in again.")
                            .arg(path, QString::fromStdWString(context.transport().error(context.link().handle))));
}

KeypadWork::KeypadWork(CliContext& context) : context_(context) {}

int KeypadWork::load()
{
    if (const int code = context_.openKeypad(); code != ExitCode::kDone)
        return code;
    const QueryOutcome outcome = identifyKeypad(context_.link(), config_);
    if (outcome != QueryOutcome::Answered)
        return identityFailure(context_, outcome);
    return readKeypad();
}

bool KeypadWork::boardHas(int slot) const
{
    const DeviceInfo info = board();
    if (slot >= 1 && slot <= info.keys)
        return true;
    return SlotNames::isKnobSlot(slot) && SlotNames::knobOf(slot) <= info.knobs;
}

int KeypadWork::readKeypad()
{
    const QString path = QString::fromStdString(context_.openedEntry().path);
    const KeyReadResult keys = readAllKeyRecords(context_.link(), config_);
    if (keys.deviceLost || keys.requestsFailed > 0 || keys.repliesRejected > 0 || keys.layersCut > 0)
        return context_.fail(ExitCode::kDeviceIo,
                             QStringLiteral("the keypad at %1 stopped answering while its key records were read "
                                            "(%2 replies read, %3 missing or unusable). Unplug it and plug it in "
                                            "again, then try once more.")
                                 .arg(path)
                                 .arg(keys.repliesStored + keys.repliesKeptEdit)
                                 .arg(keys.repliesRejected + keys.requestsFailed));
    const bool current = config_.currentFormat();
    if (!current)
        return ExitCode::kDone;  // the older firmware cannot be asked for its lighting
    for (int layer = 0; layer < kLayers; ++layer) {
        const LedReadOutcome led = readLedBlock(context_.link(), config_, layer);
        if (led != LedReadOutcome::Stored && led != LedReadOutcome::KeptEdit)
            return context_.fail(ExitCode::kDeviceIo,
                                 QStringLiteral("the keypad at %1 did not send the LED block of layer %2. Unplug it "
                                                "and plug it in again, then try once more.")
                                     .arg(path)
                                     .arg(layer + 1));
    }
    return ExitCode::kDone;
}

int KeypadWork::save()
{
    const KeypadImage meant = config_.image();
    const ConfigStore& store = config_.store();
    std::vector<std::pair<int, int>> pending;
    for (int layer = 0; layer < kLayers; ++layer)
        for (int slot = 0; slot < kSlotsPerLayer; ++slot)
            if (store.KeyDirty[layer][slot])
                pending.emplace_back(layer, slot);
    const bool ledPending = config_.currentFormat() && store.anyLedDirty();

    const DownloadResult result = downloadConfig(context_.link(), config_);
    if (result.outcome == DownloadOutcome::NothingToSend) {
        context_.note(QStringLiteral("nothing to change: the keypad holds this already"));
        return ExitCode::kDone;
    }
    if (result.outcome == DownloadOutcome::Failed) {
        QStringList went;
        QStringList notSaved;
        for (const auto& [layer, slot] : pending)
            (store.KeyDirty[layer][slot] ? notSaved : went) << place(layer, slot);
        QString reason;
        if (result.firstFailedLayer >= 0)
            reason = QStringLiteral("writing %1 failed").arg(place(result.firstFailedLayer, result.firstFailedSlot));
        else if (result.recordsWritten > 0 && result.commitsWritten == 0)
            reason = QStringLiteral("the commit was not taken");
        else
            reason = QStringLiteral("the LED blocks could not be sent");
        const QString error = QString::fromStdWString(context_.transport().error(context_.link().handle));
        if (!error.isEmpty())
            reason += QStringLiteral(" (%1)").arg(error);
        QString message = QStringLiteral("the save failed part-way: %1.\n"
                                         "  saved and committed: %2\n"
                                         "  not saved: %3\n")
                              .arg(reason, listOrNothing(went), listOrNothing(notSaved));
        if (ledPending)
            message += store.anyLedDirty() ? QStringLiteral("  LED blocks: not saved\n")
                                           : QStringLiteral("  LED blocks: saved\n");
        message += QStringLiteral("The keypad keeps only what was committed. Check the cable, then run the command "
                                  "again to send the rest.");
        return context_.fail(ExitCode::kDeviceIo, message);
    }

    // Everything was taken: what the keypad lets us read must now be what we meant.
    if (const int code = readKeypad(); code != ExitCode::kDone)
        return code;
    const QVector<ProfileDifference> wrong = ProfileDiff::differences(meant, config_.image());
    if (!wrong.isEmpty()) {
        QStringList shown;
        for (const ProfileDifference& d : wrong)
            shown << QStringLiteral("  layer %1, %2: sent %3, the keypad holds %4")
                         .arg(d.layer)
                         .arg(d.place, d.before, d.after);
        return context_.fail(ExitCode::kDeviceIo,
                             QStringLiteral("the keypad took the save but holds something else when read back:\n%1")
                                 .arg(shown.join(QLatin1Char('\n'))));
    }
    QStringList saved;
    if (result.recordsWritten > 0)
        saved << QStringLiteral("%1 record%2").arg(result.recordsWritten).arg(result.recordsWritten == 1 ? "" : "s");
    if (result.ledBlocksWritten > 0)
        saved << QStringLiteral("the LED blocks");
    context_.note(QStringLiteral("saved %1; read back and compared").arg(saved.join(QStringLiteral(" and "))));
    return ExitCode::kDone;
}
