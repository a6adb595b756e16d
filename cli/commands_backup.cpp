// backups and restore, and the backup every writing command takes first.
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/keypad_work.h"
#include "core/profile/backup_store.h"
#include "core/profile/profile.h"
#include "core/profile/profile_diff.h"
#include "core/profile/profile_import.h"
#include "core/startup/simulated_setup.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// A simulated keypad's backups live beside its state file, or nowhere.
BackupStore storeFor(const CliContext& context)
{
    if (!context.options().simulate)
        return BackupStore::forUser();
    const QString folder = SimulatedSetup::backupFolder(context.options().statePath);
    return folder.isEmpty() ? BackupStore::none() : BackupStore::at(folder);
}

BackupKeypad whoIs(CliContext& context, KeypadWork& keypad)
{
    return BackupKeypad::of(keypad.config().identity(), context.openedEntry());
}

QString takenText(const BackupEntry& entry)
{
    return entry.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

class BackupsCommand : public Command {
public:
    QString name() const override { return QStringLiteral("backups"); }
    QString synopsis() const override { return QString(); }
    QString summary() const override
    {
        return QStringLiteral("the keypad's backups, newest first, with what each holds and how it differs");
    }
    QString take(const QCommandLineParser&, const QStringList& positional) override
    {
        return noMoreArguments(positional, 0);
    }
    int run(CliContext& context) override
    {
        KeypadWork keypad(context);
        if (const int code = keypad.load(); code != ExitCode::kDone)
            return code;
        const BackupStore store = storeFor(context);
        if (!store.keeps())
            context.note(QStringLiteral("a simulated keypad without --simulate-state keeps no backups"));
        else if (!store.available())
            return context.fail(ExitCode::kDeviceIo, store.problem());
        const BackupKeypad who = whoIs(context, keypad);
        const KeypadImage now = keypad.config().image();
        const QVector<BackupEntry> entries = store.backups(who);

        QJsonArray list;
        QString table = QStringLiteral("keypad: %1\nfolder: %2\n")
                            .arg(BackupKeypad::describeFolder(who.folderName()),
                                 store.keeps() ? store.folderFor(who) : QStringLiteral("(none)"));
        if (!entries.isEmpty())
            table += QStringLiteral("\n%1  %2  %3  %4\n")
                         .arg(QStringLiteral("TAKEN").leftJustified(19), QStringLiteral("KEYS+KNOB ACTIONS").leftJustified(22),
                              QStringLiteral("DIFFERS").leftJustified(9), QStringLiteral("FILE"));
        for (const BackupEntry& entry : entries) {
            QString error;
            const auto loaded = Profile::loadProfile(entry.path, &error);
            QJsonObject item{{"file", entry.path},
                             {"taken", entry.taken.toOffsetFromUtc(entry.taken.offsetFromUtc()).toString(Qt::ISODate)},
                             {"first", entry.first}};
            QString assigned;
            QString differs;
            if (loaded) {
                QJsonArray layers;
                const auto counts = assignedPerLayer(loaded->image);
                for (int layer = 0; layer < KeypadImage::kLayers; ++layer)
                    layers.append(QJsonObject{{"layer", layer + 1},
                                              {"keys", counts[layer].keys},
                                              {"knobActions", counts[layer].knobActions}});
                const int differences = ProfileDiff::differences(now, loaded->image).size();
                item.insert("assigned", layers);
                item.insert("differences", differences);
                assigned = assignedText(loaded->image);
                differs = differences == 0 ? QStringLiteral("same") : QString::number(differences);
            } else {
                item.insert("error", error);
                assigned = QStringLiteral("unreadable");
                differs = QStringLiteral("-");
            }
            list.append(item);
            table += QStringLiteral("%1  %2  %3  %4%5\n")
                         .arg(takenText(entry), assigned.leftJustified(22), differs.leftJustified(9),
                              QFileInfo(entry.path).fileName(),
                              entry.first ? QStringLiteral(" (first, kept for good)") : QString());
        }
        if (context.options().json) {
            const QJsonObject object{{"keypad", BackupKeypad::describeFolder(who.folderName())},
                                     {"folder", store.keeps() ? store.folderFor(who) : QString()},
                                     {"backups", list}};
            context.print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)));
        } else {
            if (entries.isEmpty())
                table += QStringLiteral("no backups yet\n");
            context.print(table);
        }
        return ExitCode::kDone;
    }
};

class RestoreCommand : public Command {
public:
    QString name() const override { return QStringLiteral("restore"); }
    QString synopsis() const override { return QStringLiteral("[FILE | --latest | --first]"); }
    QString summary() const override
    {
        return QStringLiteral("write a backup back to the keypad (the newest when none is named), backing it up "
                              "first");
    }
    void addOptions(QCommandLineParser& parser) override
    {
        parser.addOption({QStringLiteral("latest"), QStringLiteral("The keypad's newest backup (the default).")});
        parser.addOption({QStringLiteral("first"),
                          QStringLiteral("The keypad's first backup: what it held when first seen.")});
    }
    QString take(const QCommandLineParser& parser, const QStringList& positional) override
    {
        first_ = parser.isSet(QStringLiteral("first"));
        const bool latest = parser.isSet(QStringLiteral("latest"));
        if (const QString surplus = noMoreArguments(positional, 1); !surplus.isEmpty())
            return surplus;
        file_ = positional.value(0);
        if (int(first_) + int(latest) + int(!file_.isEmpty()) > 1)
            return QStringLiteral("restore takes one of FILE, --latest and --first");
        if (!file_.isEmpty() && !QFileInfo(file_).isFile())
            return QStringLiteral("no backup file %1").arg(file_);
        return QString();
    }
    int run(CliContext& context) override
    {
        KeypadWork keypad(context);
        if (const int code = keypad.load(); code != ExitCode::kDone)
            return code;
        QString file = file_;
        if (file.isEmpty()) {
            // Chosen before the backup this restore takes becomes the newest.
            const BackupStore store = storeFor(context);
            if (store.keeps() && !store.available())
                return context.fail(ExitCode::kDeviceIo, store.problem());
            const BackupKeypad who = whoIs(context, keypad);
            const QVector<BackupEntry> entries = store.backups(who);
            if (entries.isEmpty())
                return context.fail(ExitCode::kDeviceIo,
                                    QStringLiteral("no backups of this keypad (%1)%2; nothing was sent")
                                        .arg(BackupKeypad::describeFolder(who.folderName()),
                                             store.keeps() ? QStringLiteral(" in ") + store.folderFor(who)
                                                           : QString()));
            file = first_ ? entries.last().path : entries.first().path;
        }
        QString error;
        const std::optional<LoadedProfile> backup = Profile::loadProfile(file, &error);
        if (!backup)
            return context.fail(ExitCode::kInvalidData, error + QStringLiteral("\nNothing was sent to the keypad."));
        const ProfileImport import = importProfile(*backup, keypad.config().image());
        for (const QString& left : import.notImported)
            context.note(QStringLiteral("not restored: %1").arg(left));
        const QVector<ProfileDifference> changes = ProfileDiff::differences(keypad.config().image(), import.image);
        context.note(QStringLiteral("restoring %1").arg(file));
        if (!changes.isEmpty())
            context.note(ProfileDiff::toText(changes));
        keypad.config().applyImage(import.image);
        return keypad.save();
    }

private:
    QString file_;
    bool first_ = false;
};

}  // namespace

int backUpBeforeWriting(CliContext& context, const KeypadImage& held)
{
    if (context.options().noBackup)
        return ExitCode::kDone;
    BackupStore store = storeFor(context);
    QString error;
    if (store.backUp(BackupKeypad::of(held.identity, context.openedEntry()), held, &error)
        != BackupStore::Outcome::Failed)
        return ExitCode::kDone;
    return context.fail(ExitCode::kCannotCreate,
                        QStringLiteral("what the keypad holds could not be backed up, so nothing was sent: %1\n"
                                       "Give --no-backup to change the keypad without a backup.")
                            .arg(error));
}

void addBackupCommands(CommandList& commands)
{
    commands.push_back(std::make_unique<BackupsCommand>());
    commands.push_back(std::make_unique<RestoreCommand>());
}
