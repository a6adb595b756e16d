// tessaplex-cli: the keypad from a terminal or a script, without a window.
// Parsing follows Qt's sub-command pattern: parse once for the command name,
// then again with that command's options added.
#include "build_config.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "core/keypad/key_table.h"
#include "core/profile/action_words.h"
#include "core/startup/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLoggingCategory>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char kProgram[] = "tessaplex-cli";

void addGlobalOptions(QCommandLineParser& parser)
{
    parser.addOption({QStringLiteral("device"),
                      QStringLiteral("Use the keypad at this hidraw node (as \"list\" shows it) instead of the one "
                                     "found first."),
                      QStringLiteral("PATH")});
    parser.addOption({QStringLiteral("simulate"),
                      QStringLiteral("Use a simulated keypad instead of the USB bus. "
                                     "--simulate=KEYS,KNOBS,VERSION,VARIANT chooses its board (default 15,3,10,0: "
                                     "15 keys, 3 knobs, firmware 10, variant 0; VERSION 9 or less selects the older "
                                     "record format; each value 0 to 255).")});
    parser.addOption({QStringLiteral("simulate-state"),
                      QStringLiteral("Keep the simulated keypad's memory in FILE between runs; created when missing, "
                                     "refused when damaged. Implies --simulate."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("json"), QStringLiteral("Machine-readable output of list, info and diff.")});
    parser.addOption({QStringLiteral("no-backup"),
                      QStringLiteral("Change the keypad without first backing up what it holds.")});
    parser.addOption({{QStringLiteral("q"), QStringLiteral("quiet")},
                      QStringLiteral("No progress messages; errors are still printed.")});
}

// Qt puts argv[0] as given into the usage line; the program's name reads better.
QString helpText(const QCommandLineParser& parser, const QString& argv0)
{
    QString text = parser.helpText();
    const QString usage = QStringLiteral("Usage: ") + argv0;
    if (text.startsWith(usage))
        text.replace(0, usage.size(), QStringLiteral("Usage: ") + QLatin1String(kProgram));
    return text;
}

QString commandTable(const CommandList& commands)
{
    QString text = QStringLiteral("Commands:\n");
    for (const auto& command : commands)
        text += QStringLiteral("  %1%2\n").arg(command->name().leftJustified(8), command->summary());
    text += QStringLiteral("\n\"%1 COMMAND --help\" describes one command.\n\n").arg(QLatin1String(kProgram));
    return text;
}

// False when the text did not all get out (a full disk, /dev/full, a closed stream).
bool print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size());
    return std::fflush(stream) == 0 && written && !std::ferror(stream);
}

// Help and version on standard output: exit 74 when they could not be printed.
int printOutput(const QString& text, bool stdoutClosed)
{
    if (stdoutClosed || !print(stdout, text)) {
        print(stderr, QStringLiteral("%1: standard output could not be written\n").arg(QLatin1String(kProgram)));
        return ExitCode::kDeviceIo;
    }
    return ExitCode::kDone;
}

// A descriptor 0, 1 or 2 that was closed when the program started would be
// handed to the next file opened (a state file, a lock), and printing would
// then write into it. /dev/null holds the place; true when fd was closed.
bool holdPlaceOf(int fd)
{
    if (::fcntl(fd, F_GETFD) != -1)
        return false;
    const int placeholder = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (placeholder >= 0 && placeholder != fd) {
        ::dup2(placeholder, fd);
        ::close(placeholder);
    }
    return true;
}

// For the shell's completion: every caption the action parser takes, one a
// line, the parser itself deciding (keys on current keypads, the lighting
// slot on old ones).
void printActionWords()
{
    QStringList words{QStringLiteral("none")};
    for (int i = 0; i < KeyTable::kSize; ++i) {
        const QString word = KeyTable::caption(i, 1).simplified();
        for (const ActionWords::Context context : {ActionWords::Context{true, 0, 1}, ActionWords::Context{false, 0, 0}})
            if (!word.isEmpty() && !words.contains(word) && ActionWords::parse(word, context, nullptr))
                words << word;
    }
    print(stdout, words.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

int usageError(const QString& message, const QString& command)
{
    const QString helpHint = command.isEmpty() ? QStringLiteral("%1 --help").arg(QLatin1String(kProgram))
                                               : QStringLiteral("%1 %2 --help").arg(QLatin1String(kProgram), command);
    print(stderr, QStringLiteral("%1: %2\nTry '%3' for more information.\n").arg(QLatin1String(kProgram), message,
                                                                                 helpHint));
    return ExitCode::kUsage;
}

int runCli(int argc, char** argv)
{
    holdPlaceOf(STDIN_FILENO);
    const bool stdoutClosed = holdPlaceOf(STDOUT_FILENO);
    holdPlaceOf(STDERR_FILENO);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QLatin1String(kProgram));
    QCoreApplication::setApplicationVersion(QLatin1String(TESSAPLEX_VERSION_STRING));
    // The device layer's debug lines are for the window's log, not for a
    // terminal or a script's standard error; QT_LOGGING_RULES still turns them on.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));

    CommandList commands;
    addDeviceCommands(commands);
    addProfileCommands(commands);
    addEditCommands(commands);
    addBackupCommands(commands);

    QStringList args = argumentsAsStrings(argc, argv);
    const QString argv0 = args.value(0, QLatin1String(kProgram));
    GlobalOptions globals;
    QString problem;
    if (!takeSimulateValues(args, globals, problem))
        return usageError(problem, QString());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configures TESSAPLEX USB macro keypads from a terminal or a script: reads and writes the\n"
                       "whole configuration as a profile, sets single keys and LEDs, and tells why a keypad\n"
                       "cannot be opened."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    addGlobalOptions(parser);
    QCommandLineOption actionWordsOption(QStringLiteral("action-words"));
    actionWordsOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(actionWordsOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("One of the commands below."),
                                 QStringLiteral("command [arguments]"));

    // The command's own options are not known yet, so this parse may complain.
    parser.parse(args);
    if (parser.isSet(actionWordsOption)) {
        printActionWords();
        return ExitCode::kDone;
    }
    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty() || positional.first() == QLatin1String("help")) {
        const QString topic = positional.value(1);
        if (topic.isEmpty() && parser.isSet(versionOption) && !parser.isSet(helpOption)) {
            return printOutput(
                QStringLiteral("%1 %2\n").arg(QLatin1String(kProgram), QLatin1String(TESSAPLEX_VERSION_STRING)),
                stdoutClosed);
        }
        if (topic.isEmpty() && (parser.isSet(helpOption) || !positional.isEmpty())) {
            return printOutput(helpText(parser, argv0) + QLatin1Char('\n') + commandTable(commands) + exitCodeHelp(),
                               stdoutClosed);
        }
        if (topic.isEmpty())
            return usageError(QStringLiteral("no command given"), QString());
        // "help COMMAND" is "COMMAND --help".
        args = QStringList{argv0, topic, QStringLiteral("--help")};
        parser.parse(args);
        positional = parser.positionalArguments();
    }

    const QString name = positional.first();
    Command* command = nullptr;
    QStringList names;
    for (const auto& candidate : commands) {
        names << candidate->name();
        if (candidate->name() == name)
            command = candidate.get();
    }
    if (!command)
        return usageError(QStringLiteral("unknown command \"%1\"; the commands are %2").arg(name, names.join(", ")),
                          QString());

    parser.clearPositionalArguments();
    parser.setApplicationDescription(command->summary().left(1).toUpper() + command->summary().mid(1) +
                                     QLatin1Char('.'));
    parser.addPositionalArgument(name, command->summary() + QLatin1Char('.'),
                                 (name + QLatin1Char(' ') + command->synopsis()).trimmed());
    command->addOptions(parser);
    if (!parser.parse(args))
        return usageError(parser.errorText(), name);
    if (parser.isSet(helpOption)) {
        return printOutput(helpText(parser, argv0) + QLatin1Char('\n') + exitCodeHelp(), stdoutClosed);
    }

    globals.devicePath = parser.value(QStringLiteral("device"));
    globals.statePath = parser.value(QStringLiteral("simulate-state"));
    globals.simulate = globals.simulate || parser.isSet(QStringLiteral("simulate")) || !globals.statePath.isEmpty();
    globals.json = parser.isSet(QStringLiteral("json"));
    globals.quiet = parser.isSet(QStringLiteral("quiet"));
    globals.noBackup = parser.isSet(QStringLiteral("no-backup"));
    globals.stdoutClosed = stdoutClosed;
    // These change the keypad, so they take its lock; "write --dry-run" only reads.
    globals.writes = QStringList{QStringLiteral("set"), QStringLiteral("clear"), QStringLiteral("led"),
                                 QStringLiteral("restore"),
                                 QStringLiteral("write")}
                         .contains(name)
                     && !(name == QLatin1String("write") && parser.isSet(QStringLiteral("dry-run")));
    if (parser.isSet(QStringLiteral("device")) && globals.devicePath.isEmpty())
        return usageError(QStringLiteral("--device needs a PATH"), name);
    if (parser.isSet(QStringLiteral("simulate-state")) && globals.statePath.isEmpty())
        return usageError(QStringLiteral("--simulate-state needs a FILE"), name);

    if (const QString error = command->take(parser, parser.positionalArguments().mid(1)); !error.isEmpty())
        return usageError(error, name);

    CliContext context;
    if (const int code = context.setUp(globals); code != ExitCode::kDone)
        return context.finish(code);
    return context.finish(command->run(context));
}

}  // namespace

void Command::addOptions(QCommandLineParser&) {}

QString noMoreArguments(const QStringList& positional, int expected)
{
    if (positional.size() <= expected)
        return QString();
    return QStringLiteral("unexpected argument \"%1\"").arg(positional.at(expected));
}

TESSAPLEX_ENTRY_POINT(runCli)
