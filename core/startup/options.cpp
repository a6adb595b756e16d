#include "core/startup/options.h"

#include <QCommandLineParser>

#include <algorithm>

namespace {

// Options QApplication understands itself, with the number of values they take.
int qtOptionValueCount(const QString& arg)
{
    static const QStringList withValue = {"-platform", "-platformpluginpath", "-platformtheme",
                                          "-plugin", "-qmljsdebugger", "-style", "-stylesheet",
                                          "-session", "-display", "-geometry", "-qwindowgeometry",
                                          "-qwindowtitle", "-qwindowicon", "-title", "-name"};
    static const QStringList flags = {"-reverse", "-nograb", "-dograb", "-sync", "-widgetcount"};
    if (withValue.contains(arg))
        return 1;
    if (flags.contains(arg))
        return 0;
    return -1;
}

bool parseSimulateValue(const QString& value, SimulateOptions& out, QString& error)
{
    const QStringList parts = value.split(',');
    if (parts.size() != 4) {
        error = QStringLiteral("--simulate takes four numbers KEYS,KNOBS,VERSION,VARIANT, got \"%1\"").arg(value);
        return false;
    }
    static const char* names[] = {"KEYS", "KNOBS", "VERSION", "VARIANT"};
    uint8_t* fields[] = {&out.keys, &out.knobs, &out.version, &out.variant};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint v = parts[i].trimmed().toUInt(&ok, 10);
        if (!ok || v > 255) {
            error = QStringLiteral("--simulate: %1 must be a whole number from 0 to 255, got \"%2\"")
                        .arg(QLatin1String(names[i]), parts[i]);
            return false;
        }
        *fields[i] = static_cast<uint8_t>(v);
    }
    return true;
}

}  // namespace

ProgramOptions parseProgramOptions(const QStringList& args)
{
    ProgramOptions options;
    // Qt's own options are QApplication's business; a bare --simulate means
    // the default board (the parser knows no optional values).
    QStringList ours;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const int qtValues = i > 0 ? qtOptionValueCount(arg) : -1;
        if (qtValues >= 0)
            i += qtValues;
        else
            ours << (i > 0 && arg == QLatin1String("--simulate") ? QStringLiteral("--simulate=15,3,10,0") : arg);
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{"h", "help", "?"});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption simulate(QStringLiteral("simulate"), QString(), QStringLiteral("KEYS,KNOBS,VERSION,VARIANT"));
    const QCommandLineOption silent(QStringLiteral("simulate-silent"));
    const QCommandLineOption state(QStringLiteral("simulate-state"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption allControls(QStringLiteral("all-controls"));
    parser.addOptions({help, version, simulate, silent, state, allControls});
    if (!parser.parse(ours)) {
        options.action = ProgramOptions::Action::Error;
        options.error = parser.errorText();
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        options.action = ProgramOptions::Action::Error;
        options.error = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
        return options;
    }
    if (parser.isSet(simulate)) {
        options.simulate = true;
        if (!parseSimulateValue(parser.value(simulate), options.simulated, options.error)) {
            options.action = ProgramOptions::Action::Error;
            return options;
        }
    }
    if (parser.isSet(silent)) {
        options.simulate = true;
        options.simulated.silent = true;
    }
    if (parser.isSet(state)) {
        options.simulateState = parser.value(state);
        if (options.simulateState.isEmpty()) {
            options.action = ProgramOptions::Action::Error;
            options.error = QStringLiteral("--simulate-state needs a FILE");
            return options;
        }
        options.simulate = true;
        options.boardGiven = std::any_of(args.begin() + 1, args.end(), [](const QString& arg) {
            return arg.startsWith(QLatin1String("--simulate="));
        });
    }
    options.allControls = parser.isSet(allControls);
    if (parser.isSet(help))
        options.action = ProgramOptions::Action::ShowHelp;
    else if (parser.isSet(version))
        options.action = ProgramOptions::Action::ShowVersion;
    return options;
}

QString programUsage(const QString& programName)
{
    return QStringLiteral(
               "Usage: %1 [--simulate[=KEYS,KNOBS,VERSION,VARIANT]] [--simulate-silent]\n"
               "          [--simulate-state FILE]\n"
               "\n"
               "Configures TESSAPLEX USB macro keypads: key assignments, media keys, mouse\n"
               "actions, delays and lighting, for three layers kept in the keypad.\n"
               "\n"
               "Options:\n"
               "  --simulate[=KEYS,KNOBS,VERSION,VARIANT]\n"
               "                 attach a simulated keypad instead of the USB bus, to try the\n"
               "                 program without hardware (default 15,3,10,0: 15 keys, 3 knobs,\n"
               "                 firmware version 10, variant 0). VERSION 9 or less selects the\n"
               "                 older record format. Each value is 0 to 255.\n"
               "  --simulate-silent\n"
               "                 the simulated keypad does not answer the question which board it\n"
               "                 is, so the program asks you to pick your board\n"
               "  --simulate-state FILE\n"
               "                 the simulated keypad keeps its memory in FILE between runs\n"
               "                 (shared with tessaplex-cli); created when missing, refused\n"
               "                 when damaged\n"
               "  --all-controls show the layer buttons, every colour button and the language\n"
               "                 button for this run (the setting \"Show all controls\" stays)\n"
               "  --version      print the version and exit\n"
               "  -h, --help     print this help and exit\n"
               "\n"
               "Qt's own options (-platform, -style, ...) are passed on to Qt.\n"
               "Exit status: 0 normally, 2 for a bad option, 1 when the --simulate-state\n"
               "file is damaged or cannot be read.\n")
        .arg(programName);
}
