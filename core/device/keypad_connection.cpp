#include "core/device/keypad_connection.h"

#include "core/device/udev_bus_watch.h"

#include <memory>
#include <utility>

KeypadConnection::KeypadConnection(QObject* parent)
    : QObject(parent), OwnTransport(std::make_unique<HidapiTransport>()), Transport(OwnTransport.get())
{
    // A real bus: hear of hidraw nodes from udev where it runs, poll elsewhere.
    setBusWatch(makeBusWatch());
    holdWhileExchanging();
}

KeypadConnection::KeypadConnection(HidTransport& transport, QObject* parent) : QObject(parent), Transport(&transport)
{
    setBusWatch(std::make_unique<PollingBusWatch>());
    holdWhileExchanging();
}

KeypadConnection::~KeypadConnection()
{
    Exchanges.finish();
    if (Watch)
        Watch->stop();
    // The keypad is closed only when it leaves the bus; at exit the process
    // ending closes the node.
}

void KeypadConnection::holdWhileExchanging()
{
    connect(&Exchanges, &ExchangeWorker::exchangeFinished, this, [this] {
        if (Exchanges.busy())
            return;
        const QString removed = std::exchange(RemovalHeld, QString());
        if (!removed.isEmpty())
            onNodeRemoved(removed);
        if (std::exchange(LookHeld, false))
            lookNow();
    });
}

void KeypadConnection::setBusWatch(std::unique_ptr<BusWatch> watch)
{
    if (!watch)
        return;
    if (Watch)
        Watch->stop();
    Watch = std::move(watch);
    connect(Watch.get(), &BusWatch::lookNow, this, [this] {
        if (Watching && WatchLooksHeld)
            WatchLookWaiting = true;
        else if (Watching)
            lookNow();
    });
    connect(Watch.get(), &BusWatch::nodeRemoved, this, &KeypadConnection::onNodeRemoved);
    if (Watching)
        Watch->start();
}

void KeypadConnection::start()
{
    Watching = true;
    Watch->start();
}

void KeypadConnection::holdWatchLooks(bool held)
{
    WatchLooksHeld = held;
    if (!held && std::exchange(WatchLookWaiting, false) && Watching)
        lookNow();
}

void KeypadConnection::stop()
{
    Watching = false;
    Watch->stop();
}

KeypadConnection::State KeypadConnection::state() const
{
    if (!Handle)
        return State::Searching;
    return Identified ? State::Connected : State::Opened;
}

void KeypadConnection::lookNow()
{
    if (Exchanges.busy()) {
        LookHeld = true;
        return;
    }
    const LookInput input = lookInput();
    auto seen = std::make_shared<LookResult>();
    // The listing, the open and the identity query wait on the bus and the
    // keypad: they run on the worker, and what they found is taken in here.
    Exchanges.run(
        link(), [input, seen](DeviceLink link) { *seen = look(link.transport, input); },
        [this, input, seen] { takeLook(input, *seen); }, ExchangeWorker::Kind::Look);
}

KeypadConnection::State KeypadConnection::connectNow()
{
    // The search and open, then the identity query: the two steps of looks.
    const auto step = [this] {
        const LookInput input = lookInput();
        takeLook(input, look(*Transport, input));
    };
    if (!Handle)
        step();
    if (Handle && !Identified)
        step();
    return state();
}

void KeypadConnection::setPresence(Presence presence)
{
    if (presence == Present)
        return;
    Present = presence;
    emit presenceChanged(presence);
}

KeypadConnection::LookInput KeypadConnection::lookInput() const
{
    return LookInput{Handle, Identified, Cur_VID, Cur_PID, PID_List};
}

KeypadConnection::LookResult KeypadConnection::look(HidTransport& transport, const LookInput& input)
{
    LookResult seen;
    if (!input.handle) {
        // One listing of the whole bus replaces the lookups pair by pair;
        // chooseKeypad applies their order.
        seen.choice = chooseKeypad(transport.enumerate(0, 0), input.productIds, input.productId);
        if (seen.choice.keypadPresent && seen.choice.interfaceZero)
            seen.opened = transport.open(seen.choice.interfaceZero->path);
        return seen;
    }
    seen.gone = transport.enumerate(input.vendorId, input.productId).empty();
    if (!seen.gone && !input.identified)
        seen.query = queryDeviceInfo(DeviceLink{transport, input.handle});
    return seen;
}

void KeypadConnection::takeLook(const LookInput& input, const LookResult& seen)
{
    if (input.handle != Handle || input.identified != Identified) {
        // The keypad was dropped while it looked: a stale answer.
        if (seen.opened.handle)
            Exchanges.run(
                DeviceLink{*Transport, seen.opened.handle},
                [](DeviceLink link) { link.transport.close(link.handle); }, {}, ExchangeWorker::Kind::Look);
        return;
    }
    if (!Handle)
        discovered(seen);
    else if (seen.gone)
        drop();
    else if (!Identified)
        identified(seen.query);
}

void KeypadConnection::discovered(const LookResult& seen)
{
    const DiscoveryChoice& choice = seen.choice;
    Cur_VID = choice.vendorId;
    Cur_PID = choice.productId;
    if (!choice.keypadPresent) {
        LastProblem.clear();
        setPresence(Presence::Absent);
        return;
    }
    if (!choice.interfaceZero) {
        reportProblem(OpenFailure::Other, std::string());
        setPresence(Presence::Absent);
        return;
    }

    const std::string& path = choice.interfaceZero->path;
    qCDebug(lcDevice, "interface_number:%s", path.c_str());
    if (!seen.opened.handle) {
        reportProblem(seen.opened.failure, path);
        setPresence(seen.opened.failure == OpenFailure::PermissionDenied ? Presence::PermissionDenied
                                                                         : Presence::CannotOpen);
        return;
    }
    LastProblem.clear();
    Handle = seen.opened.handle;
    Identified = false;
    Identity = KeypadIdentity();
    Identity.path = QString::fromStdString(path);
    Identity.vendorId = Cur_VID;
    Identity.productId = Cur_PID;
    Identity.serial = QString::fromStdString(choice.interfaceZero->serial);
    Identity.usbPort = QString::fromStdString(choice.interfaceZero->usbPort);
}

void KeypadConnection::identified(const QueryResult& query)
{
    if (query.outcome == QueryOutcome::Failed) {
        // Nothing is known about the record format yet: ask again rather than
        // treat the keypad as an old one until it is replugged. Until it
        // answers it is not connected, whatever the bus says.
        setPresence(Presence::NotAnswering);
        emit notAnswering(Identity.path);
        Watch->lookAgainSoon();
        return;
    }
    Identified = true;
    Identity.answered = query.outcome == QueryOutcome::Answered;
    Identity.info = query.info;
    setPresence(Presence::Connected);
    emit connected(Identity);
}

void KeypadConnection::onNodeRemoved(const QString& path)
{
    if (!Handle || path != Identity.path)
        return;
    if (Exchanges.busy())
        RemovalHeld = path;
    else
        drop();
}

void KeypadConnection::drop()
{
    // Closed on the worker, after every exchange asked for while the handle
    // was still given out; from here on nobody is given it.
    const HidHandle handle = std::exchange(Handle, nullptr);
    Identified = false;
    Exchanges.run(
        DeviceLink{*Transport, handle},
        [](DeviceLink link) {
            link.transport.close(link.handle);
            link.transport.exit();
        },
        {}, ExchangeWorker::Kind::Look);
    setPresence(Presence::Absent);
    emit disconnected();
}

void KeypadConnection::reportProblem(OpenFailure kind, const std::string& path)
{
    std::string problem;
    if (path.empty())
        problem = "keypad listed without interface 0";
    else if (kind == OpenFailure::PermissionDenied)
        problem = "no permission to open " + path;
    else
        problem = "hid_open_path failed for " + path;
    if (problem == LastProblem)
        return;
    LastProblem = problem;
    qCWarning(lcDevice, "%s", problem.c_str());
    emit openFailed(QString::fromStdString(path), kind);
}
