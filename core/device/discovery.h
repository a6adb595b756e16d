#pragma once

#include "core/device/hid_transport.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

constexpr uint16_t kPrimaryVendorId = 0x1189;
constexpr uint16_t kSecondaryVendorId = 0x514C;
constexpr uint16_t kInitialProductId = 0x8840;
using ProductIdList = std::array<uint16_t, 8>;
constexpr ProductIdList kDefaultProductIds = {0x8842, 0x8840, 0x8830, 0x8831, 0x8832, 0x8833, 0x8850, 0x8851};

struct DiscoveryChoice {
    uint16_t vendorId = kPrimaryVendorId;  // the new Cur_VID
    uint16_t productId = kInitialProductId;  // the new Cur_PID
    bool keypadPresent = false;            // some interface of (vendorId, productId) is listed
    std::optional<HidDeviceEntry> interfaceZero;  // the entry to open, if listed
};

// Picks, from one full listing of the bus, the keypad that enumerating each
// (vendor, product) pair in discovery order would find: vendor 0x1189 before
// 0x514C, product ids in list order, then a last try with 0x1189 and the
// product id found before; of that pair the first interface-0 entry.
DiscoveryChoice chooseKeypad(const std::vector<HidDeviceEntry>& bus, const ProductIdList& productIds,
                             uint16_t lastProductId);

std::vector<HidDeviceEntry> entriesOf(const std::vector<HidDeviceEntry>& bus, uint16_t vendorId,
                                      uint16_t productId);
