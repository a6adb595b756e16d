#include "core/device/udev_bus_watch.h"

#include "core/device/device_exchanges.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>

#ifdef TESSAPLEX_HAVE_LIBUDEV
#include <libudev.h>

#include <cerrno>
#include <cstring>
#endif

namespace {

// A socket that reports readable but yields nothing but errors would keep the
// event loop spinning; after this many failed drains in a row we stop trusting it.
constexpr int kFailedDrainsBeforePolling = 8;

#ifdef TESSAPLEX_HAVE_LIBUDEV
class LibudevEventSource : public HidrawEventSource {
public:
    ~LibudevEventSource() override
    {
        if (monitor_)
            udev_monitor_unref(monitor_);
        if (udev_)
            udev_unref(udev_);
    }

    bool open() override
    {
        udev_ = udev_new();
        if (!udev_)
            return false;
        // "udev", not "kernel": the event comes after the rules ran, so the
        // node already carries the uaccess ACL when we hear of it.
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
        return monitor_ && udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) >= 0
               && udev_monitor_enable_receiving(monitor_) >= 0;
    }

    int fd() const override { return monitor_ ? udev_monitor_get_fd(monitor_) : -1; }

    Receive receiveNext(HidrawEvent& event) override
    {
        errno = 0;
        udev_device* device = udev_monitor_receive_device(monitor_);
        if (!device)
            return errno == 0 || errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? Receive::Empty
                                                                                              : Receive::Lost;
        const char* action = udev_device_get_action(device);
        const char* node = udev_device_get_devnode(device);
        event.devnode = node ? QString::fromLocal8Bit(node) : QString();
        // "change" follows `udevadm trigger`, which is how a freshly installed
        // rule reaches a node already plugged in: look again as for a new one.
        if (action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "change") == 0))
            event.action = HidrawEvent::Action::Add;
        else if (action && std::strcmp(action, "remove") == 0)
            event.action = HidrawEvent::Action::Remove;
        else
            event.action = HidrawEvent::Action::Other;
        udev_device_unref(device);
        return Receive::Event;
    }

private:
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
};
#endif

}  // namespace

std::unique_ptr<HidrawEventSource> makeLibudevEventSource()
{
#ifdef TESSAPLEX_HAVE_LIBUDEV
    return std::make_unique<LibudevEventSource>();
#else
    return nullptr;
#endif
}

UdevBusWatch::UdevBusWatch(std::unique_ptr<HidrawEventSource> source, int settleMs, QObject* parent)
    : BusWatch(parent),
      source_(std::move(source)),
      notifier_(new QSocketNotifier(source_->fd(), QSocketNotifier::Read, this)),
      settle_(new QTimer(this)),
      again_(new QTimer(this)),
      fallback_(new QTimer(this))
{
    notifier_->setEnabled(false);
    connect(notifier_, &QSocketNotifier::activated, this, &UdevBusWatch::drainEvents);
    settle_->setSingleShot(true);
    // A coarse timer may fire 5 % early: before the last interface is there.
    settle_->setTimerType(Qt::PreciseTimer);
    settle_->setInterval(settleMs);
    connect(settle_, &QTimer::timeout, this, &BusWatch::lookNow);
    again_->setSingleShot(true);
    connect(again_, &QTimer::timeout, this, &BusWatch::lookNow);
    fallback_->setInterval(PollingBusWatch::kDefaultIntervalMs);
    connect(fallback_, &QTimer::timeout, this, &BusWatch::lookNow);
}

UdevBusWatch::~UdevBusWatch() = default;

void UdevBusWatch::start()
{
    // Whatever happened before now is covered by the first look.
    HidrawEvent stale;
    if (!failed_) {
        while (source_->receiveNext(stale) == HidrawEventSource::Receive::Event) {
        }
    }
    if (failed_)
        fallback_->start();
    else
        notifier_->setEnabled(true);
    again_->start(0);
}

void UdevBusWatch::stop()
{
    notifier_->setEnabled(false);
    settle_->stop();
    again_->stop();
    fallback_->stop();
}

void UdevBusWatch::lookAgainSoon()
{
    if (!again_->isActive())
        again_->start(kLookAgainMs);
}

QString UdevBusWatch::mode() const
{
    return failed_ ? QStringLiteral("polling") : QStringLiteral("udev events");
}

void UdevBusWatch::drainEvents()
{
    bool added = false;
    bool lost = false;
    QStringList removed;
    for (;;) {
        HidrawEvent event;
        const HidrawEventSource::Receive result = source_->receiveNext(event);
        if (result == HidrawEventSource::Receive::Empty)
            break;
        if (result == HidrawEventSource::Receive::Lost) {
            lost = true;
            break;
        }
        if (event.action == HidrawEvent::Action::Add)
            added = true;
        else if (event.action == HidrawEvent::Action::Remove && !event.devnode.isEmpty())
            removed << event.devnode;
    }

    failedDrains_ = lost && !added && removed.isEmpty() ? failedDrains_ + 1 : 0;
    if (failedDrains_ >= kFailedDrainsBeforePolling) {
        failed_ = true;
        notifier_->setEnabled(false);
        settle_->stop();
        fallback_->start();
        qCWarning(lcDevice, "The udev monitor keeps failing; watching the bus by polling every %d ms from now on",
                  PollingBusWatch::kDefaultIntervalMs);
        emit lookNow();
        return;
    }

    // The keypad's interfaces go together: one look for the whole burst.
    for (const QString& node : removed)
        emit nodeRemoved(node);
    if (!removed.isEmpty())
        emit lookNow();
    // Dropped events may have been anything; a settled look finds out.
    if ((added || lost) && !settle_->isActive())
        settle_->start();
}

BusWatchEnvironment systemBusWatchEnvironment()
{
    BusWatchEnvironment environment;
    environment.udevRunning = [] { return QFileInfo::exists(QStringLiteral("/run/udev/control")); };
    environment.openEventSource = []() -> std::unique_ptr<HidrawEventSource> {
        std::unique_ptr<HidrawEventSource> source = makeLibudevEventSource();
        if (source && source->open())
            return source;
        return nullptr;
    };
    return environment;
}

std::unique_ptr<BusWatch> makeBusWatch(const BusWatchEnvironment& environment, QObject* parent)
{
    const char* reason = nullptr;
    if (!environment.udevRunning || !environment.udevRunning()) {
        reason = "udev is not running (no /run/udev/control)";
    } else if (std::unique_ptr<HidrawEventSource> source =
                   environment.openEventSource ? environment.openEventSource() : nullptr) {
        qCInfo(lcDevice, "Watching the bus through udev events (hidraw add/remove)");
        return std::make_unique<UdevBusWatch>(std::move(source), UdevBusWatch::kDefaultSettleMs, parent);
    } else {
        reason = "the udev monitor could not be opened";
    }
    qCInfo(lcDevice, "Watching the bus by polling every %d ms: %s", PollingBusWatch::kDefaultIntervalMs, reason);
    return std::make_unique<PollingBusWatch>(PollingBusWatch::kDefaultIntervalMs, parent);
}
