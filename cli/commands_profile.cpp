// read, write and diff: the whole keypad as a profile file.
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/keypad_work.h"
#include "core/profile/profile.h"
#include "core/profile/profile_diff.h"
#include "core/profile/profile_import.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>

#include <optional>

namespace {

// The whole profile is checked before the keypad is even opened, so an
// invalid file never leaves a keypad half-written.
std::optional<LoadedProfile> readProfile(CliContext& context, const QString& file)
{
    QString error;
    std::optional<LoadedProfile> loaded;
    if (file == QLatin1String("-")) {
        QFile input;
        if (input.open(stdin, QIODevice::ReadOnly))
            loaded = Profile::parseProfile(input.readAll(), QStringLiteral("standard input"), &error);
        else
            error = QStringLiteral("standard input could not be read");
    } else {
        loaded = Profile::loadProfile(file, &error);
    }
    if (!loaded)
        context.fail(ExitCode::kInvalidData, error + QStringLiteral("\nNothing was sent to the keypad."));
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
    const std::optional<LoadedProfile> profile = readProfile(context, file);
    if (!profile)
        return ExitCode::kInvalidData;
    if (const int code = keypad.load(); code != ExitCode::kDone)
        return code;
    plan.current = keypad.config().image();
    plan.import = importProfile(*profile, plan.current);
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
    if (file == QLatin1String("-"))
        return QString();
    const QFileInfo info(file);
    if (!info.exists())
        return QStringLiteral("no profile file %1").arg(file);
    if (!info.isFile())
        return QStringLiteral("%1 is not a file").arg(file);
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
        return noMoreArguments(positional, 0);
    }
    int run(CliContext& context) override
    {
        KeypadWork keypad(context);
        if (const int code = keypad.load(); code != ExitCode::kDone)
            return code;
        const KeypadImage image = keypad.config().image();
        if (output_.isEmpty() || output_ == QLatin1String("-")) {
            context.print(QString::fromUtf8(Profile::toJson(image)));
            return ExitCode::kDone;
        }
        QString error;
        if (!Profile::saveProfile(output_, image, &error))
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
        return ExitCode::kDone;
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
