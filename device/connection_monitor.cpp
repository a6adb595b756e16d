#include "device/connection_monitor.h"

#include <QDebug>

ConnectionMonitor::ConnectionMonitor(HidTransport& transport, MonitorHost& host)
    : transport_(transport), host_(host)
{
}

ConnectionMonitor::State ConnectionMonitor::state() const
{
    if (!Dev_Found)
        return State::Searching;
    return Dev_Connected ? State::Connected : State::Opened;
}

void ConnectionMonitor::tick()
{
    if (Dev_Found)
        watch();
    else
        discover();
}

void ConnectionMonitor::discover()
{
    // One listing of the whole bus replaces the lookups pair by pair;
    // chooseKeypad applies their order.
    const DiscoveryChoice choice = chooseKeypad(transport_.enumerate(0, 0), PID_List, Cur_PID);
    Cur_VID = choice.vendorId;
    Cur_PID = choice.productId;
    if (!choice.keypadPresent) {
        lastProblem_.clear();
        host_.showDisconnected();
        Dev_Connected = 0;
        return;
    }
    if (!choice.interfaceZero) {
        reportProblem(OpenFailure::Other, std::string());
        host_.showDisconnected();
        Dev_Connected = 0;
        return;
    }

    const std::string& path = choice.interfaceZero->path;
    qDebug("interface_number:%s", path.c_str());
    const OpenResult opened = transport_.open(path);
    if (!opened.handle) {
        reportProblem(opened.failure, path);
        if (opened.failure == OpenFailure::PermissionDenied)
            host_.showPermissionProblem();
        else
            host_.showDisconnected();
        Dev_Connected = 0;
        return;
    }
    lastProblem_.clear();
    Dev_Handle = opened.handle;
    Dev_Found = true;
}

void ConnectionMonitor::reportProblem(OpenFailure kind, const std::string& path)
{
    std::string problem;
    if (path.empty())
        problem = "keypad listed without interface 0";
    else if (kind == OpenFailure::PermissionDenied)
        problem = "no permission to open " + path;
    else
        problem = "hid_open_path failed for " + path;
    if (problem == lastProblem_)
        return;
    lastProblem_ = problem;
    qWarning("%s", problem.c_str());
}

void ConnectionMonitor::watch()
{
    if (transport_.enumerate(Cur_VID, Cur_PID).empty()) {
        transport_.close(Dev_Handle);
        transport_.exit();
        Dev_Handle = nullptr;
        Dev_Connected = 0;
        Dev_Found = false;
        host_.deviceGone();
        host_.layoutCheck();
        return;
    }
    // Connected is said only once the keypad has answered: one that takes no
    // report would otherwise look ready while every save goes nowhere.
    if (!Dev_Connected && !host_.runFirstConnectionSteps()) {
        host_.showNotAnswering();
        return;
    }
    Dev_Connected = 1;
    host_.showConnected();
    host_.layoutCheck();
}
