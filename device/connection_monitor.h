#pragma once

#include "device/discovery.h"
#include "device/hid_transport.h"

#include <cstdint>
#include <string>


// What the monitor asks of the main window.
class MonitorHost {
public:
    virtual ~MonitorHost() = default;
    virtual void showConnected() = 0;
    virtual void showDisconnected() = 0;
    virtual void showPermissionProblem() = 0;  // listed on the bus, but we may not open it
    virtual void showNotAnswering() = 0;       // opened, but the first-connection steps cannot run
    virtual void deviceGone() = 0;             // unplug noticed (hide the QR label, ...)
    // Query, highlights, page set-up, read-back. False when the keypad could
    // not be asked at all: the steps run again on the next tick.
    virtual bool runFirstConnectionSteps() = 0;
    virtual void layoutCheck() = 0;
};

// Finds, opens and watches the keypad, one step per timer tick.
class ConnectionMonitor {
public:
    enum class State { Searching, Opened, Connected };

    ConnectionMonitor(HidTransport& transport, MonitorHost& host);

    void tick();
    State state() const;

    // Read by the window; written only by tick().
    bool Dev_Found = false;
    uint8_t Dev_Connected = 0;
    HidHandle Dev_Handle = nullptr;
    uint16_t Cur_VID = kPrimaryVendorId;
    uint16_t Cur_PID = kInitialProductId;
    ProductIdList PID_List = kDefaultProductIds;

private:
    void discover();
    void watch();
    void reportProblem(OpenFailure kind, const std::string& path);

    HidTransport& transport_;
    MonitorHost& host_;
    // Keeps a lasting open failure from flooding the log ten times a second.
    std::string lastProblem_;
};


