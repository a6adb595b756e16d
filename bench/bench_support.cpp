#include "bench/bench_support.h"

#include "app/widget.h"
#include "core/device/keypad_connection.h"
#include "core/keypad/config_store.h"

#include <QCoreApplication>

void settle(Widget& window)
{
    while (window.connection().exchanges().busy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

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
