#pragma once

#include "core/device/bus_watch.h"

#include <QString>

#include <functional>
#include <memory>

class QSocketNotifier;
class QTimer;

// One hidraw node that appeared or went, as udev announced it.
struct HidrawEvent {
    enum class Action { Add, Remove, Other };
    Action action = Action::Other;
    QString devnode;  // "/dev/hidrawN"; may be empty for actions we ignore
};

// Where hidraw events come from: libudev's monitor in the program, a fake in
// the tests (no udev events can be made without real hardware).
class HidrawEventSource {
public:
    enum class Receive { Event, Empty, Lost };

    virtual ~HidrawEventSource() = default;
    // Subscribes to the "udev" netlink group, hidraw subsystem only. False
    // when that is impossible; the source is then unusable.
    virtual bool open() = 0;
    // Becomes readable when events are pending; must be non-blocking.
    virtual int fd() const = 0;
    // Takes the next pending event. Empty: nothing is left. Lost: the socket
    // overflowed or failed, so events were dropped and the bus must be looked at.
    virtual Receive receiveNext(HidrawEvent& event) = 0;
};

// libudev's monitor; null when the program was built without libudev.
std::unique_ptr<HidrawEventSource> makeLibudevEventSource();

// Looks at the bus only when udev says a hidraw node came or went, once at
// start, and once on lookAgainSoon(). Nothing runs while the bus is quiet.
//
// A node's "add" waits kDefaultSettleMs before the look: a keypad registers its
// HID interfaces one after another, and a look between them finds it without
// interface 0 (a spurious "cannot open" state and a second listing); the
// firmware also needs a moment after enumeration before it answers the
// information query, or the model picker pops up for nothing. 200 ms covers
// the interface probes of a full-speed device with margin (they take tens of
// ms) and keeps plugging in as quick as the 100 ms polling was (which opened
// on one tick and asked the keypad on the next). Further adds during the wait
// join the same look; the wait is not restarted, so a stream of events cannot
// put the look off. The event arrives after udev has run the rules, so the
// uaccess ACL is already on the node when we open it.
//
// A "remove" emits nodeRemoved(devnode) and lookNow() at once.
//
// Should the monitor socket keep failing (readable, but nothing but errors),
// the watch stops listening to it and looks every 100 ms instead, so the
// connection never goes blind; mode() then says "polling".
class UdevBusWatch : public BusWatch {
    Q_OBJECT

public:
    static constexpr int kDefaultSettleMs = 200;
    static constexpr int kLookAgainMs = 100;

    // The source must already be open.
    explicit UdevBusWatch(std::unique_ptr<HidrawEventSource> source, int settleMs = kDefaultSettleMs,
                          QObject* parent = nullptr);
    ~UdevBusWatch() override;

    void start() override;
    void stop() override;
    void lookAgainSoon() override;
    QString mode() const override;

private:
    void drainEvents();

    std::unique_ptr<HidrawEventSource> source_;
    QSocketNotifier* notifier_;
    QTimer* settle_;
    QTimer* again_;     // the look at start and lookAgainSoon()
    QTimer* fallback_;  // polling once the monitor has failed for good
    int failedDrains_ = 0;
    bool failed_ = false;
};

// What makeBusWatch checks before it trusts udev; the tests replace both.
struct BusWatchEnvironment {
    // udev's control socket /run/udev/control exists: udevd runs and will
    // broadcast events (a container may receive no events at all without it).
    std::function<bool()> udevRunning;
    // An opened event source, or null when none can be had.
    std::function<std::unique_ptr<HidrawEventSource>()> openEventSource;
};

BusWatchEnvironment systemBusWatchEnvironment();

// The watch the connection should own: udev events when udev runs and its
// monitor opens, otherwise PollingBusWatch every 100 ms. Logs the choice once
// (category tessaplex.device, info level).
std::unique_ptr<BusWatch> makeBusWatch(const BusWatchEnvironment& environment = systemBusWatchEnvironment(),
                                       QObject* parent = nullptr);
