#include "app/widget.h"
#include "app/window/application_setup.h"
#include "app/window/keypad_backups.h"
#include "app/window/settings_menu.h"
#include "build_config.h"
#include "core/startup/command_line.h"
#include "core/startup/options.h"
#include "core/startup/simulated_setup.h"

#include <QApplication>

#include <cstdio>
#include <memory>

namespace {

// The window program's exit codes; tessaplex-cli has its own (cli/exit_codes.h).
constexpr int kExitBadOption = 2;
constexpr int kExitStateFile = 1;  // the simulated keypad's state file is damaged or cannot be read

int runProgram(int argc, char** argv)
{
    const ProgramOptions options = parseProgramOptions(argumentsAsStrings(argc, argv));
    const QString program = argc > 0 ? QString::fromLocal8Bit(argv[0]) : QStringLiteral("tessaplex");
    switch (options.action) {
    case ProgramOptions::Action::Error:
        std::fprintf(stderr, "tessaplex: %s\nTry '%s --help' for more information.\n",
                     qPrintable(options.error), qPrintable(program));
        return kExitBadOption;
    case ProgramOptions::Action::ShowHelp:
        std::fputs(qPrintable(programUsage(program)), stdout);
        return 0;
    case ProgramOptions::Action::ShowVersion:
        std::printf("tessaplex %s\n", TESSAPLEX_VERSION_STRING);
        return 0;
    case ProgramOptions::Action::Run:
        break;
    }

    // The state file is checked before any window exists, so a damaged one
    // is refused without a display and is never overwritten.
    SimulatedSetup simulated;
    if (options.simulate) {
        switch (simulated.setUp(options.simulated, options.boardGiven, options.simulateState)) {
        case SimulatedSetup::Outcome::Ready:
        case SimulatedSetup::Outcome::Created:
            break;
        case SimulatedSetup::Outcome::BoardMismatch:
            std::fprintf(stderr, "tessaplex: %s\n", qPrintable(simulated.message()));
            return kExitBadOption;
        case SimulatedSetup::Outcome::Damaged:
        case SimulatedSetup::Outcome::Unreadable:
        case SimulatedSetup::Outcome::Busy:
            std::fprintf(stderr, "tessaplex: %s\n", qPrintable(simulated.message()));
            return kExitStateFile;
        }
    }

    setApplicationAttributes();
    QApplication app(argc, argv);
    setUpApplication(app);

    std::unique_ptr<Widget> window;
    if (options.simulate) {
        window = std::make_unique<Widget>(simulated.transport());
        const QString folder = SimulatedSetup::backupFolder(options.simulateState);
        window->backups().setStore(folder.isEmpty() ? BackupStore::none() : BackupStore::at(folder));
    } else {
        window = std::make_unique<Widget>();
    }
    if (options.allControls)
        window->settings().showAllControls(true, false);
    window->setWindowTitle(Build_Variant == 2 ? QStringLiteral("TESSAPLEX") : QStringLiteral("MINI_KEYBOARD"));
    window->show();
    const int code = app.exec();
    window.reset();
    if (!simulated.flush()) {
        std::fprintf(stderr, "tessaplex: %s\n", qPrintable(simulated.message()));
        return code == 0 ? kExitStateFile : code;
    }
    return code;
}

}  // namespace

TESSAPLEX_ENTRY_POINT(runProgram)
