#pragma once

#include "core/device/bus_watch.h"
#include "core/device/device_exchanges.h"
#include "core/device/discovery.h"
#include "core/device/exchange_worker.h"
#include "core/device/hid_transport.h"

#include <QObject>
#include <QString>

#include <memory>
#include <string>

// Who the opened keypad is: where it sits on the bus and what it answered to
// the information query (answered is false for a keypad that keeps quiet;
// the user then names the board).
struct KeypadIdentity {
    QString path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    QString serial;   // as enumeration reported it; empty when none
    QString usbPort;  // "1-2.3"; empty when unknown
    bool answered = false;
    DeviceInfo info;
};
Q_DECLARE_METATYPE(KeypadIdentity)

// Finds, opens, identifies and watches one keypad. When to look at the bus is
// the BusWatch's decision (every 100 ms by default); each look runs one step:
// the search and open when no keypad is held, the identity query when one was
// opened but not identified yet, the check that it is still there otherwise.
// Nothing here knows about configurations or windows: the owner listens to
// the signals and runs its own first-connection steps on connected().
class KeypadConnection : public QObject {
    Q_OBJECT

public:
    enum class State { Searching, Opened, Connected };
    // What the status line says about the bus.
    enum class Presence { Unknown, Absent, CannotOpen, PermissionDenied, NotAnswering, Connected };
    Q_ENUM(Presence)

    // Talks to hidapi.
    explicit KeypadConnection(QObject* parent = nullptr);
    // Talks to the given transport (a simulated keypad, say); not owned.
    explicit KeypadConnection(HidTransport& transport, QObject* parent = nullptr);
    ~KeypadConnection() override;

    // Replaces the watch (taking ownership); the polling one is the default.
    void setBusWatch(std::unique_ptr<BusWatch> watch);
    BusWatch& busWatch() const { return *Watch; }
    void start();  // begins watching the bus
    void stop();   // looks only when lookNow() is called
    // While held, the looks the watch asks for wait (one is kept for the
    // release); lookNow() itself still looks. For a window's first paint.
    void holdWatchLooks(bool held);

    // One step, whatever the watch says. It runs on the exchanges' worker
    // (after any exchange under way); the state and the signals change when
    // it has ended, on this object's thread.
    void lookNow();

    // For a program without an event loop: search, open and identify in one
    // call on the caller's thread. Returns the state reached; the signals are
    // emitted as usual.
    State connectNow();

    State state() const;
    Presence presence() const { return Present; }
    bool isConnected() const { return state() == State::Connected; }
    bool isOpen() const { return Handle != nullptr; }
    DeviceLink link() const { return DeviceLink{*Transport, Handle}; }
    uint16_t vendorId() const { return Cur_VID; }
    uint16_t productId() const { return Cur_PID; }
    const KeypadIdentity& identity() const { return Identity; }
    // Where every exchange with the keypad runs, the looks at the bus too. A
    // look asked for while an exchange is under way follows its end, and a
    // keypad that left mid-exchange is dropped after the exchange has said
    // what failed.
    ExchangeWorker& exchanges() { return Exchanges; }

signals:
    // Opened and asked who it is; the owner's first-connection steps follow.
    void connected(const KeypadIdentity& identity);
    void disconnected();
    // Listed but not opened; reported once per problem, not on every look.
    void openFailed(const QString& path, OpenFailure reason);
    // Opened, but the information query could not even be written or read:
    // asked again on the next look.
    void notAnswering(const QString& path);
    void presenceChanged(KeypadConnection::Presence presence);

private:
    // What a look starts from, taken on the connection's thread, and what it
    // saw on the bus, found on the worker.
    struct LookInput {
        HidHandle handle;
        bool identified;
        uint16_t vendorId;
        uint16_t productId;
        ProductIdList productIds;
    };
    struct LookResult {
        DiscoveryChoice choice;  // with no keypad held: the bus listing
        OpenResult opened;       // and the open of its interface 0
        bool gone = false;       // with one held: no longer listed
        QueryResult query;       // not identified yet: the identity query
    };
    LookInput lookInput() const;
    // Only the transport: runs on the worker.
    static LookResult look(HidTransport& transport, const LookInput& input);
    void takeLook(const LookInput& input, const LookResult& seen);
    void discovered(const LookResult& seen);
    void identified(const QueryResult& query);
    void holdWhileExchanging();
    void drop();
    void onNodeRemoved(const QString& path);
    void setPresence(Presence presence);
    void reportProblem(OpenFailure kind, const std::string& path);

    std::unique_ptr<HidTransport> OwnTransport;
    HidTransport* Transport = nullptr;
    std::unique_ptr<BusWatch> Watch;
    bool Watching = false;
    HidHandle Handle = nullptr;
    bool Identified = false;
    uint16_t Cur_VID = kPrimaryVendorId;
    uint16_t Cur_PID = kInitialProductId;
    ProductIdList PID_List = kDefaultProductIds;
    KeypadIdentity Identity;
    Presence Present = Presence::Unknown;
    // Keeps a lasting open failure from flooding the log ten times a second.
    std::string LastProblem;
    bool LookHeld = false;
    bool WatchLooksHeld = false;
    bool WatchLookWaiting = false;
    QString RemovalHeld;
    // Declared last: it stops before the transport and the handle go.
    ExchangeWorker Exchanges;
};
