#include "bench/start_subjects.h"

#include <cstdlib>

namespace {

// TESSAPLEX_BENCH_START_PROGRAM times another build's start program in the
// same harness, e.g. the one of an older commit for a before-and-after.
std::string startProgramPath()
{
    const char* other = std::getenv("TESSAPLEX_BENCH_START_PROGRAM");
    return other && *other ? other : TESSAPLEX_BENCH_START_PROGRAM;
}

}  // namespace

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
        {{"tessaplex", startProgramPath(), {}}, bareWindowProgram(), 3.0, 1.5},
    };
    return comparisons;
}
