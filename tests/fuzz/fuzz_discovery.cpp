// Discovery from an arbitrary bus listing, checked against the order the
// keypad is looked for in: vendor 0x1189 before 0x514C, product ids in list
// order, then the product id found last under 0x1189; of that pair the first
// interface-0 entry.
#include "fuzz_support.h"

#include "core/device/discovery.h"

#include <string>
#include <vector>

namespace {

bool listed(const std::vector<HidDeviceEntry>& bus, uint16_t vendor, uint16_t product)
{
    for (const HidDeviceEntry& e : bus)
        if (e.vendorId == vendor && e.productId == product)
            return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceQtLog();
    ByteCursor in(data, size);
    ProductIdList pids = kDefaultProductIds;
    const uint8_t setup = in.byte();
    if (setup & 0x01)
        for (uint16_t& pid : pids)
            pid = 0x8800 + (in.byte() & 0x7F);
    const uint16_t lastPid = (setup & 0x02) ? static_cast<uint16_t>(0x8800 + (in.byte() & 0x7F)) : kInitialProductId;

    std::vector<HidDeviceEntry> bus;
    while (!in.empty() && bus.size() < 64) {
        const uint8_t v = in.byte();
        HidDeviceEntry e;
        e.vendorId = (v & 0x03) == 0 ? kPrimaryVendorId : (v & 0x03) == 1 ? kSecondaryVendorId : in.word();
        e.productId = (v & 0x0C) == 0 ? pids[in.byte() % pids.size()] : static_cast<uint16_t>(0x8800 + (in.byte() & 0x7F));
        e.interfaceNumber = static_cast<int8_t>(in.byte()) % 4;
        e.path = "/dev/hidraw" + std::to_string(bus.size());
        bus.push_back(e);
    }

    const DiscoveryChoice choice = chooseKeypad(bus, pids, lastPid);

    uint16_t vendor = kPrimaryVendorId, product = lastPid;
    bool found = false;
    for (uint16_t v : {kPrimaryVendorId, kSecondaryVendorId}) {
        for (uint16_t p : pids)
            if (!found && listed(bus, v, p)) {
                vendor = v;
                product = p;
                found = true;
            }
    }
    if (!found)
        found = listed(bus, vendor, product);

    FUZZ_CHECK(choice.keypadPresent == found);
    FUZZ_CHECK(choice.vendorId == vendor && choice.productId == product);
    const HidDeviceEntry* zero = nullptr;
    for (const HidDeviceEntry& e : bus)
        if (!zero && found && e.vendorId == vendor && e.productId == product && e.interfaceNumber == 0)
            zero = &e;
    FUZZ_CHECK(choice.interfaceZero.has_value() == (zero != nullptr));
    if (zero)
        FUZZ_CHECK(choice.interfaceZero->path == zero->path);
    return 0;
}
