#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>

#include "app/application_setup.h"
#include "app/command_line.h"
#include "app/options.h"
#include "app/settings_menu.h"
#include "app/widget.h"
#include "build_config.h"
#include "device/simulated_keypad.h"
#include "keys/config_store.h"

namespace {

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

    setApplicationAttributes();
    QApplication app(argc, argv);
    setUpApplication(app);

    std::unique_ptr<SimulatedKeypad> simulated;
    std::unique_ptr<Widget> window;
    if (options.simulate) {
        const SimulateOptions& o = options.simulated;
        simulated = std::make_unique<SimulatedKeypad>(DeviceInfo{o.keys, o.knobs, o.version, o.variant});
        simulated->faults.silentInfoQuery = o.silent;
        // A keypad fresh from the factory lights its keys in the default palette.
        const ConfigStore factory;
        for (int layer = 0; layer < kLayers; ++layer)
            std::copy(std::begin(factory.KeyBoard_KeyLed[layer]), std::end(factory.KeyBoard_KeyLed[layer]),
                      std::begin(simulated->ledBlocks[layer].colours));
        window = std::make_unique<Widget>(*simulated);
    } else {
        window = std::make_unique<Widget>();
    }
    if (options.allControls)
        window->settings().showAllControls(true, false);
    window->setWindowTitle(Build_Variant == 2 ? QStringLiteral("TESSAPLEX") : QStringLiteral("MINI_KEYBOARD"));
    window->show();
    const int code = app.exec();
    window.reset();
    return code;
}

}  // namespace

TESSAPLEX_ENTRY_POINT(runProgram)
