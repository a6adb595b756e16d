// Standard C++ only, so that the bare QCoreApplication baseline links no Gui.
#include "bench/start_probe.h"

#include <cstdio>
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
    std::printf("VmRSS_kB=%ld\n", residentMemoryKb());
    std::fflush(stdout);
}
