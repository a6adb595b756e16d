#include "cli/keypad_work.h"

#include "cli/cli_context.h"
#include "cli/commands.h"
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

QString listOrNothing(const QStringList& items)
{
    return items.isEmpty() ? QStringLiteral("nothing") : items.join(QStringLiteral(", "));
}

// Which layers' LED blocks the keypad took: they travel together, so any that
// did not go out are sent again, with the others, by the next save.
QString ledText(const DownloadResult& result)
{
    QStringList sent;
    QStringList notSent;
    for (int layer = 0; layer < kLayers; ++layer)
        (result.ledLayerSent[size_t(layer)] ? sent : notSent) << QString::number(layer + 1);
    if (notSent.isEmpty())
        return QStringLiteral("saved (layers 1, 2 and 3)");
    if (sent.isEmpty())
        return QStringLiteral("not saved (none of layers 1, 2 and 3 was sent)");
    return QStringLiteral("layer%1 %2 reached the keypad, layer%3 %4 did not; all three go again with the next save")
        .arg(sent.size() == 1 ? "" : "s", sent.join(QStringLiteral(", ")), notSent.size() == 1 ? "" : "s",
             notSent.join(QStringLiteral(", ")));
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
    const int code = readKeypad();
    held_ = config_.image();
    return code;
}

Board KeypadWork::board() const
{
    return Board(config_.identity(), context_.openedEntry().productId);
}

int KeypadWork::readKeypad(const QString& committed)
{
    const QString path = QString::fromStdString(context_.openedEntry().path);
    // After a save the keypad has it already: the user must not think it is lost.
    const QString then = committed.isEmpty()
                             ? QStringLiteral(", then try once more.")
                             : QStringLiteral(". The save itself went through: the keypad took %1; only reading it "
                                              "back to check failed. \"tessaplex-cli diff\" or \"read\" shows what "
                                              "the keypad holds once it answers again.")
                                   .arg(committed);
    const WholeRead read = readWholeKeypad(context_.link(), config_);
    const KeyReadResult& keys = read.keys;
    if (!keys.complete())
        return context_.fail(ExitCode::kDeviceIo,
                             QStringLiteral("the keypad at %1 stopped answering while its key records were read "
                                            "(%2 replies read, %3 missing or unusable). Unplug it and plug it in "
                                            "again%4")
                                 .arg(path)
                                 .arg(keys.repliesStored + keys.repliesKeptEdit)
                                 .arg(keys.repliesRejected + keys.requestsFailed)
                                 .arg(then));
    if (!read.complete())
        return context_.fail(ExitCode::kDeviceIo,
                             QStringLiteral("the keypad at %1 did not send the LED block of layer %2. Unplug it "
                                            "and plug it in again%3")
                                 .arg(path)
                                 .arg(read.firstMissingLedLayer + 1)
                                 .arg(then));
    return ExitCode::kDone;
}

int KeypadWork::save()
{
    const KeypadImage meant = config_.image();
    const Board keypad = board();
    auto place = [&](int layer, int slot) { return keypad.placeName(layer, slot); };
    const ConfigStore& store = config_.store();
    std::vector<std::pair<int, int>> pending;
    for (int layer = 0; layer < kLayers; ++layer)
        for (int slot = 0; slot < kSlotsPerLayer; ++slot)
            if (store.KeyDirty[layer][slot])
                pending.emplace_back(layer, slot);
    const bool ledPending = config_.currentFormat() && store.anyLedDirty();
    if (!pending.empty() || ledPending)
        if (const int code = backUpBeforeWriting(context_, held_); code != ExitCode::kDone)
            return code;

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
        QString message = QStringLiteral("the save failed part-way: %1.\n").arg(reason);
        if (!pending.empty())
            message += QStringLiteral("  saved and committed: %1\n"
                                      "  not saved: %2\n")
                           .arg(listOrNothing(went), listOrNothing(notSaved));
        if (ledPending)
            message += QStringLiteral("  LED blocks: %1\n").arg(ledText(result));
        message += QStringLiteral("The keypad keeps only what was committed. Check the cable, then run the command "
                                  "again to send the rest.");
        return context_.fail(ExitCode::kDeviceIo, message);
    }

    QStringList saved;
    if (result.recordsWritten > 0)
        saved << QStringLiteral("%1 record%2").arg(result.recordsWritten).arg(result.recordsWritten == 1 ? "" : "s");
    if (result.ledBlocksWritten > 0)
        saved << QStringLiteral("the LED blocks");
    const QString committedText = saved.join(QStringLiteral(" and "))
                                  + (result.commitsWritten > 0 ? QStringLiteral(", committed") : QString());
    const QString savedText = saved.join(QStringLiteral(" and "));

    // Everything was taken: what the keypad lets us read must now be what we meant.
    if (const int code = readKeypad(committedText); code != ExitCode::kDone)
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
    QStringList unseen;
    for (const auto& [layer, slot] : pending)
        if (keypad.has(slot) && !keypad.readable(slot))
            unseen << place(layer, slot);
    context_.note(QStringLiteral("saved %1; read back and compared").arg(savedText));
    if (!unseen.isEmpty())
        context_.note(QStringLiteral("write-only, sent but not compared (the keypad cannot report it): %1")
                          .arg(unseen.join(QStringLiteral(", "))));
    return ExitCode::kDone;
}
