// read, write and diff: the whole keypad as a profile file.
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

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
    // TODO(second round): read every record and LED block, write the profile
    // with QSaveFile (or to standard output when output_ is empty or "-").
    int run(CliContext& context) override { return notYetAvailable(context, name()); }

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
    // TODO(second round): validate the whole profile first (65, nothing sent),
    // read the keypad, send the differing records and LED blocks, commit, read
    // back and compare; on a failed write say which records went (74).
    int run(CliContext& context) override { return notYetAvailable(context, name()); }

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
    // TODO(second round): validate FILE (65), read the keypad, print the
    // differences in words (--json: as a list).
    int run(CliContext& context) override { return notYetAvailable(context, name()); }

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
