#include "core/device/discovery.h"

#include <algorithm>

std::vector<HidDeviceEntry> entriesOf(const std::vector<HidDeviceEntry>& bus, uint16_t vendorId,
                                      uint16_t productId)
{
    std::vector<HidDeviceEntry> entries;
    std::copy_if(bus.begin(), bus.end(), std::back_inserter(entries), [&](const HidDeviceEntry& entry) {
        return entry.vendorId == vendorId && entry.productId == productId;
    });
    return entries;
}

namespace {

bool listed(const std::vector<HidDeviceEntry>& bus, uint16_t vendorId, uint16_t productId)
{
    return std::any_of(bus.begin(), bus.end(), [&](const HidDeviceEntry& entry) {
        return entry.vendorId == vendorId && entry.productId == productId;
    });
}

}  // namespace

DiscoveryChoice chooseKeypad(const std::vector<HidDeviceEntry>& bus, const ProductIdList& productIds,
                             uint16_t lastProductId)
{
    DiscoveryChoice choice;
    choice.productId = lastProductId;
    bool found = false;
    for (uint16_t vendorId : {kPrimaryVendorId, kSecondaryVendorId}) {
        for (uint16_t productId : productIds) {
            if (listed(bus, vendorId, productId)) {
                choice.vendorId = vendorId;
                choice.productId = productId;
                found = true;
                break;
            }
        }
        if (found)
            break;
    }
    if (!found)
        found = listed(bus, choice.vendorId, choice.productId);
    if (!found)
        return choice;

    choice.keypadPresent = true;
    for (const HidDeviceEntry& entry : entriesOf(bus, choice.vendorId, choice.productId)) {
        if (entry.interfaceNumber == 0) {
            choice.interfaceZero = entry;
            break;
        }
    }
    return choice;
}
