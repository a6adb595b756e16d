#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// Command-line options of the program. Parsed before any window exists so
// that --help and bad values work without a display.
struct SimulateOptions {
    uint8_t keys = 15;
    uint8_t knobs = 3;
    uint8_t version = 10;
    uint8_t variant = 0;
    bool silent = false;  // never answers the information query
};

struct ProgramOptions {
    enum class Action { Run, ShowHelp, ShowVersion, Error };
    Action action = Action::Run;
    bool simulate = false;
    SimulateOptions simulated;
    bool boardGiven = false;  // --simulate=K,N,V,B named the board
    QString simulateState;    // --simulate-state: the simulated keypad's memory file
    bool allControls = false;  // every control shown for this run, the setting untouched
    QString error;  // set when action is Error
};

// args[0] is the program name. Qt's own options (-platform, -style ...) are
// left for QApplication.
ProgramOptions parseProgramOptions(const QStringList& args);
QString programUsage(const QString& programName);
