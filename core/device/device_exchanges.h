#pragma once

#include "core/device/hid_transport.h"
#include "core/device/protocol.h"

#include <QLoggingCategory>

#include <cstdint>

Q_DECLARE_LOGGING_CATEGORY(lcDevice)

constexpr int kInfoReplyTimeoutMs = 10;
constexpr int kCommitPauseMs = 200;    // after each commit and in the model switch
constexpr int kReadBackReplyTimeoutMs = 250;

// The keypad end of every exchange: the transport and the open handle.
struct DeviceLink {
    HidTransport& transport;
    HidHandle handle;
};

// Exchanges that deal in bytes and identities only; the ones that fill or
// empty a configuration live with it (core/keypad/keypad_sync.h).

// Writes one report; a failure is logged with the transport's error text.
bool sendReport(DeviceLink link, const Report& report);
void logDeviceError(DeviceLink link);

// --- Device information ----------------------------------------------------

enum class QueryOutcome { Answered, NoAnswer, Failed };
struct QueryResult {
    QueryOutcome outcome = QueryOutcome::Failed;
    DeviceInfo info;  // valid when Answered
};
QueryResult queryDeviceInfo(DeviceLink link);

// --- Firmware update -----------------------------------------------------------

bool requestUpgradeMode(DeviceLink link);
