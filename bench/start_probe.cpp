// Standard C++ only, so that the bare QCoreApplication baseline links no Gui.
#include "bench/start_probe.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

long residentMemoryKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

void printResidentMemory()
{
    // For finding out where the memory sits: the whole mapping list as it
    // is at this moment, e.g. TESSAPLEX_BENCH_SMAPS=/tmp/start.smaps.
    if (const char* copyTo = std::getenv("TESSAPLEX_BENCH_SMAPS")) {
        std::ifstream smaps("/proc/self/smaps");
        std::ofstream(copyTo) << smaps.rdbuf();
    }
    std::printf("VmRSS_kB=%ld\n", residentMemoryKb());
    std::fflush(stdout);
}
