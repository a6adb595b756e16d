// read, write and diff: the whole keypad as a profile file.
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/keypad_work.h"
#include "core/profile/file_io.h"
#include "core/profile/profile.h"
#include "core/profile/profile_diff.h"
#include "core/profile/profile_import.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>
#include <unistd.h>

namespace {

// The whole profile is checked before the keypad is even opened, so an
// invalid file never leaves a keypad half-written.
std::optional<LoadedProfile> readProfile(CliContext& context, const QString& file, int* failure)
{
    QString error;
    std::optional<LoadedProfile> loaded;
    if (file == QLatin1String("-")) {
        const QString source = QStringLiteral("standard input");
        QByteArray bytes;
        const FileIo::ReadOutcome got = FileIo::readStream(STDIN_FILENO, source, FileIo::kSizeLimit, &bytes, &error);
        if (got == FileIo::ReadOutcome::Read) {
            loaded = Profile::parseProfile(bytes, source, &error);
        } else if (got != FileIo::ReadOutcome::Refused) {
            *failure = context.fail(ExitCode::kDeviceIo, error + QStringLiteral("\nNothing was sent to the keypad."));
            return std::nullopt;
        }
    } else {
        // A FIFO or /dev/stdin is read as a stream, up to the same limit. A
        // file that cannot be read is not an invalid profile.
        QByteArray bytes;
        const FileIo::ReadOutcome got = QFileInfo(file).isDir()
                                            ? FileIo::ReadOutcome::Failed
                                            : FileIo::readInput(file, file, FileIo::kSizeLimit, true, &bytes, &error);
        if (QFileInfo(file).isDir())
            error = QStringLiteral("%1: cannot be read: it is a folder").arg(file);
        if (got == FileIo::ReadOutcome::Missing || got == FileIo::ReadOutcome::Failed) {
            *failure = context.fail(ExitCode::kDeviceIo, error + QStringLiteral("\nNothing was sent to the keypad."));
            return std::nullopt;
        }
        if (got == FileIo::ReadOutcome::Read)
            loaded = Profile::parseProfile(bytes, file, &error);
    }
    if (!loaded)
        *failure = context.fail(ExitCode::kInvalidData, error + QStringLiteral("\nNothing was sent to the keypad."));
    return loaded;
}

// What profile FILE would change on the keypad, the keypad read whole first:
// the import the window makes too. Nothing is sent.
struct PlannedImport {
    ProfileImport import;
    KeypadImage current;
    QVector<ProfileDifference> changes;
};
int planImport(CliContext& context, const QString& file, KeypadWork& keypad, PlannedImport& plan)
{
    int failure = ExitCode::kDone;
    const std::optional<LoadedProfile> profile = readProfile(context, file, &failure);
    if (!profile)
        return failure;
    if (const int code = keypad.load(); code != ExitCode::kDone)
        return code;
    plan.current = keypad.config().image();
    plan.import = importProfile(*profile, plan.current, context.openedEntry().productId);
    for (const QString& left : plan.import.notImported)
        context.note(QStringLiteral("not imported: %1").arg(left));
    plan.changes = ProfileDiff::differences(plan.current, plan.import.image);
    return ExitCode::kDone;
}

// "-" is standard input; anything else must be a file we can read.
QString takeProfileFile(const QStringList& positional, const QString& command, QString& file)
{
    if (positional.isEmpty())
        return QStringLiteral("%1 needs a profile FILE").arg(command);
    if (const QString surplus = noMoreArguments(positional, 1); !surplus.isEmpty())
        return surplus;
    file = positional.first();
    return QString();
}

class ReadCommand : public Command {
public:
    QString name() const override { return QStringLiteral("read"); }
    QString synopsis() const override { return QStringLiteral("[-o FILE]"); }
    QString summary() const override
    {
        return QStringLiteral("the keypad's whole configuration as a profile, to FILE or standard output");
    }
    void addOptions(QCommandLineParser& parser) override
    {
        parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
                          QStringLiteral("Write the profile to FILE instead of standard output (\"-\" is standard "
                                         "output)."),
                          QStringLiteral("FILE")});
    }
    QString take(const QCommandLineParser& parser, const QStringList& positional) override
    {
        output_ = parser.value(QStringLiteral("output"));
        if (parser.isSet(QStringLiteral("output")) && output_.isEmpty())
            return QStringLiteral("-o needs a FILE name");
        // Refused before the keypad is read; a FIFO or a device is written to, never replaced.
        if (FileIo::outputKind(output_) == FileIo::OutputKind::Refused)
            return QStringLiteral("-o %1: not a regular file, a FIFO or a character device; give a file name, or - "
                                  "for standard output")
                .arg(output_);
        return noMoreArguments(positional, 0);
    }
    int run(CliContext& context) override
    {
        KeypadWork keypad(context);
        if (const int code = keypad.load(); code != ExitCode::kDone)
            return code;
        const KeypadImage image = keypad.config().image();
        const Board board = keypad.board();
        QStringList writeOnly;
        for (int slot : board.allSlots())
            if (!board.readable(slot))
                writeOnly << board.slotName(slot);
        if (!writeOnly.isEmpty())
            context.note(QStringLiteral("not in the profile, on every layer: %1 (write-only: the keypad cannot "
                                        "report %2)")
                             .arg(writeOnly.join(QStringLiteral(", ")),
                                  writeOnly.size() == 1 ? QStringLiteral("it") : QStringLiteral("them")));
        switch (FileIo::outputKind(output_)) {
        case FileIo::OutputKind::StandardOutput:
            context.print(QString::fromUtf8(Profile::toJson(image)));
            return ExitCode::kDone;
        case FileIo::OutputKind::Refused:
            return context.fail(ExitCode::kUsage,
                                QStringLiteral("-o %1: not a regular file, a FIFO or a character device").arg(output_));
        case FileIo::OutputKind::Stream:
        case FileIo::OutputKind::RegularFile:
            break;
        }
        QString error;
        if (!FileIo::writeOutput(output_, Profile::toJson(image), &error))
            return context.fail(ExitCode::kDeviceIo, error);
        context.note(QStringLiteral("wrote the keypad's configuration to %1").arg(output_));
        return ExitCode::kDone;
    }

private:
    QString output_;
};

class WriteCommand : public Command {
public:
    QString name() const override { return QStringLiteral("write"); }
    QString synopsis() const override { return QStringLiteral("[--dry-run] FILE"); }
    QString summary() const override
    {
        return QStringLiteral("send what differs between profile FILE and the keypad, commit, read back and compare");
    }
    void addOptions(QCommandLineParser& parser) override
    {
        parser.addOption({QStringLiteral("dry-run"), QStringLiteral("Print what would change; send nothing.")});
    }
    QString take(const QCommandLineParser& parser, const QStringList& positional) override
    {
        dryRun_ = parser.isSet(QStringLiteral("dry-run"));
        return takeProfileFile(positional, name(), file_);
    }
    int run(CliContext& context) override
    {
        KeypadWork keypad(context);
        PlannedImport plan;
        if (const int code = planImport(context, file_, keypad, plan); code != ExitCode::kDone)
            return code;
        const QVector<ProfileDifference>& changes = plan.changes;
        if (dryRun_) {
            context.print(changes.isEmpty() ? QStringLiteral("nothing would change\n")
                                            : ProfileDiff::toText(changes) + QLatin1Char('\n'));
            return ExitCode::kDone;
        }
        if (!changes.isEmpty())
            context.note(ProfileDiff::toText(changes));
        keypad.config().applyImage(plan.import.image);
        return keypad.save();
    }

private:
    QString file_;
    bool dryRun_ = false;
};

class DiffCommand : public Command {
public:
    QString name() const override { return QStringLiteral("diff"); }
    QString synopsis() const override { return QStringLiteral("FILE"); }
    QString summary() const override
    {
        return QStringLiteral("what differs between profile FILE and the keypad, per layer and key");
    }
    QString take(const QCommandLineParser&, const QStringList& positional) override
    {
        return takeProfileFile(positional, name(), file_);
    }
    int run(CliContext& context) override
    {
        KeypadWork keypad(context);
        PlannedImport plan;
        if (const int code = planImport(context, file_, keypad, plan); code != ExitCode::kDone)
            return code;
        const QVector<ProfileDifference>& changes = plan.changes;
        if (context.options().json) {
            const QJsonObject object{{"differences", ProfileDiff::toJson(changes)},
                                     {"notImported", QJsonArray::fromStringList(plan.import.notImported)}};
            context.print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)));
        } else {
            context.print(ProfileDiff::toText(changes) + QLatin1Char('\n'));
        }
        // As diff(1): 1 when the keypad differs from the profile, 0 when it matches.
        return ProfileDiff::realDifferences(changes) > 0 ? ExitCode::kDiffers : ExitCode::kDone;
    }

private:
    QString file_;
};

}  // namespace

void addProfileCommands(CommandList& commands)
{
    commands.push_back(std::make_unique<ReadCommand>());
    commands.push_back(std::make_unique<WriteCommand>());
    commands.push_back(std::make_unique<DiffCommand>());
}
