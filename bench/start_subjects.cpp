#include "bench/start_subjects.h"

const StartProgram& bareWindowProgram()
{
    static const StartProgram program{"a bare window", TESSAPLEX_BENCH_BARE_WINDOW_PROGRAM, {}};
    return program;
}

const StartProgram& bareCoreProgram()
{
    static const StartProgram program{"a bare QCoreApplication", TESSAPLEX_BENCH_BARE_CORE_PROGRAM, {}};
    return program;
}

const std::vector<StartComparison>& startComparisons()
{
    // One line per program. The command-line tool, once it is built in the
    // same tree, adds itself like this:
    //   {{"tessaplex-cli", TESSAPLEX_BENCH_BUILD_DIR "/tessaplex-cli", {"--help"}}, bareCoreProgram(), 2.0, 0},
    static const std::vector<StartComparison> comparisons = {
        {{"tessaplex", TESSAPLEX_BENCH_START_PROGRAM, {}}, bareWindowProgram(), 3.0, 1.5},
    };
    return comparisons;
}
