#include "bench/bench_support.h"

#include "keys/config_store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

#include <fstream>

std::vector<HidDeviceEntry> CountingTransport::enumerate(uint16_t, uint16_t)
{
    ++enumerations;
    return {};
}

OpenResult CountingTransport::open(const std::string&)
{
    OpenResult result;
    result.failure = OpenFailure::Other;
    return result;
}

int CountingTransport::write(HidHandle, const uint8_t*, size_t) { return -1; }
int CountingTransport::readTimeout(HidHandle, uint8_t*, size_t, int) { return -1; }
int CountingTransport::read(HidHandle, uint8_t*, size_t) { return -1; }
int CountingTransport::setNonblocking(HidHandle, int) { return -1; }
std::wstring CountingTransport::error(HidHandle) { return L"no device"; }
void CountingTransport::close(HidHandle) {}
void CountingTransport::exit() {}
void CountingTransport::sleepMs(int) {}

bool waitUntilExposed(QWidget& window)
{
    QElapsedTimer clock;
    clock.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed())) {
        if (clock.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    // The first paint follows the expose.
    QCoreApplication::processEvents();
    return true;
}

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
