#include "core/device/hid_transport.h"

#include <hidapi.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cwchar>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

hid_device* toHid(HidHandle handle) { return reinterpret_cast<hid_device*>(handle); }

#ifndef _WIN32
// hidapi returns a bare null on failure; tell a node we may not touch apart
// from every other reason, so the user can be pointed at the udev rule.
bool lackOfPermission(const std::string& path, int savedErrno)
{
    if (savedErrno == EACCES || savedErrno == EPERM)
        return true;
    if (path.empty() || ::access(path.c_str(), F_OK) != 0)
        return false;
    return ::access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES;
}

// The USB port a hidraw node hangs off: the last "bus-port.port..." folder
// on the way from the node's sysfs device up to the root ("1-2.3" for
// .../usb1/1-2/1-2.3/1-2.3:1.0/0003:1189:8840.0001). Stays the same across
// replugging into the same socket, unlike the node's number.
std::string usbPortOf(const std::string& nodePath)
{
    const std::string::size_type slash = nodePath.rfind('/');
    if (nodePath.compare(0, 5, "/dev/") != 0 || slash == std::string::npos)
        return std::string();
    const std::string link = "/sys/class/hidraw/" + nodePath.substr(slash + 1) + "/device";
    char resolved[PATH_MAX];
    if (!::realpath(link.c_str(), resolved))
        return std::string();
    std::string port;
    std::string rest(resolved);
    std::string::size_type start = 0;
    while (start < rest.size()) {
        std::string::size_type end = rest.find('/', start);
        if (end == std::string::npos)
            end = rest.size();
        const std::string part = rest.substr(start, end - start);
        const std::string::size_type dash = part.find('-');
        if (dash != std::string::npos && dash > 0 && part.find(':') == std::string::npos
            && part.find_first_not_of("0123456789") == dash
            && part.find_first_not_of("0123456789.", dash + 1) == std::string::npos && dash + 1 < part.size())
            port = part;
        start = end + 1;
    }
    return port;
}
#endif

std::string utf8Of(const wchar_t* text)
{
    std::string out;
    for (; text && *text; ++text) {
        const auto c = static_cast<uint32_t>(*text);
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x110000) {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

void HidTransport::sleepMs(int milliseconds) { platformSleepMs(milliseconds); }

void platformSleepMs(int milliseconds)
{
    if (milliseconds <= 0)
        return;
#ifdef _WIN32
    Sleep(static_cast<DWORD>(milliseconds));
#else
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
#endif
}

std::vector<HidDeviceEntry> HidapiTransport::enumerate(uint16_t vendorId, uint16_t productId)
{
    std::vector<HidDeviceEntry> entries;
    hid_device_info* list = hid_enumerate(vendorId, productId);
    for (hid_device_info* info = list; info; info = info->next) {
        HidDeviceEntry entry;
        entry.path = info->path ? info->path : "";
        entry.vendorId = info->vendor_id;
        entry.productId = info->product_id;
        entry.interfaceNumber = info->interface_number;
        entry.serial = utf8Of(info->serial_number);
#ifndef _WIN32
        entry.usbPort = usbPortOf(entry.path);
#endif
        entries.push_back(entry);
    }
    hid_free_enumeration(list);
    return entries;
}

OpenResult HidapiTransport::open(const std::string& path)
{
    errno = 0;
    hid_device* device = hid_open_path(path.c_str());
    const int savedErrno = errno;
    OpenResult result;
    if (device) {
        result.handle = reinterpret_cast<HidHandle>(device);
        return result;
    }
#ifdef _WIN32
    (void)savedErrno;
    result.failure = OpenFailure::Other;
#else
    result.failure = lackOfPermission(path, savedErrno) ? OpenFailure::PermissionDenied : OpenFailure::Other;
#endif
    return result;
}

int HidapiTransport::write(HidHandle handle, const uint8_t* data, size_t length)
{
    if (!handle)
        return -1;
    return hid_write(toHid(handle), data, length);
}

int HidapiTransport::readTimeout(HidHandle handle, uint8_t* data, size_t length, int milliseconds)
{
    if (!handle)
        return -1;
    return hid_read_timeout(toHid(handle), data, length, milliseconds);
}

int HidapiTransport::read(HidHandle handle, uint8_t* data, size_t length)
{
    if (!handle)
        return -1;
    return hid_read(toHid(handle), data, length);
}

int HidapiTransport::setNonblocking(HidHandle handle, int nonblock)
{
    if (!handle)
        return -1;
    return hid_set_nonblocking(toHid(handle), nonblock);
}

std::wstring HidapiTransport::error(HidHandle handle)
{
#ifndef HID_API_VERSION
    // Before 0.10 hid_error dereferences its argument.
    if (!handle)
        return std::wstring();
#endif
    const wchar_t* text = hid_error(toHid(handle));
    return text ? std::wstring(text) : std::wstring();
}

void HidapiTransport::close(HidHandle handle)
{
    if (handle)
        hid_close(toHid(handle));
}

void HidapiTransport::exit() { hid_exit(); }
