#include "core/device/input_events.h"

#include "core/device/discovery.h"

#include <QSocketNotifier>
#include <QStringList>

#include <linux/input.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#ifdef TESSAPLEX_HAVE_LIBUDEV
#include <libudev.h>
#endif

namespace {

class FdInputSource : public InputEventSource {
public:
    FdInputSource(int fd, QString name) : Fd(fd), Name(std::move(name)) {}
    ~FdInputSource() override
    {
        if (Fd >= 0)
            ::close(Fd);
    }

    QString name() const override { return Name; }
    int fd() const override { return Fd; }

    Receive read(std::vector<RawInputEvent>& events) override
    {
        bool any = false;
        for (;;) {
            std::array<input_event, 32> buffer;
            const ssize_t n = ::read(Fd, buffer.data() + 0, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return any ? Receive::Events : Receive::Empty;
            // ENODEV after an unplug; end of file on a closed pipe.
            if (n <= 0)
                return Receive::Gone;
            // The kernel hands out whole events only; a pipe might not.
            Pending.append(reinterpret_cast<const char*>(buffer.data()), int(n));
            const int whole = Pending.size() / int(sizeof(input_event));
            for (int i = 0; i < whole; ++i) {
                input_event e;
                std::memcpy(&e, Pending.constData() + i * sizeof(input_event), sizeof e);
                events.push_back({qint64(e.input_event_sec) * 1000000 + e.input_event_usec, e.type, e.code, e.value});
            }
            Pending.remove(0, whole * int(sizeof(input_event)));
            any = any || whole > 0;
        }
    }

private:
    int Fd;
    QString Name;
    QByteArray Pending;
};

}  // namespace

std::unique_ptr<InputEventSource> makeFdInputSource(int fd, const QString& name)
{
    return std::make_unique<FdInputSource>(fd, name);
}

std::unique_ptr<InputEventSource> openInputNode(const QString& node, QString* error)
{
    const int fd = ::open(node.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    return makeFdInputSource(fd, node);
}

std::vector<KeypadInputNode> findKeypadInputNodes()
{
    std::vector<KeypadInputNode> nodes;
#ifdef TESSAPLEX_HAVE_LIBUDEV
    udev* context = udev_new();
    if (!context)
        return nodes;
    udev_enumerate* enumerate = udev_enumerate_new(context);
    udev_enumerate_add_match_subsystem(enumerate, "input");
    udev_enumerate_add_match_sysname(enumerate, "event*");
    udev_enumerate_scan_devices(enumerate);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
    {
        udev_device* device = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
        if (!device)
            continue;
        // The parent is owned by the child: no unref of its own.
        udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
        const char* vendor = usb ? udev_device_get_sysattr_value(usb, "idVendor") : nullptr;
        const char* product = usb ? udev_device_get_sysattr_value(usb, "idProduct") : nullptr;
        const char* devnode = udev_device_get_devnode(device);
        if (vendor && product && devnode) {
            bool okV = false, okP = false;
            const uint16_t v = uint16_t(QByteArray(vendor).toUInt(&okV, 16));
            const uint16_t p = uint16_t(QByteArray(product).toUInt(&okP, 16));
            const bool supportedVendor = v == kPrimaryVendorId || v == kSecondaryVendorId;
            const bool supportedProduct =
                std::find(kDefaultProductIds.begin(), kDefaultProductIds.end(), p) != kDefaultProductIds.end();
            if (okV && okP && supportedVendor && supportedProduct)
                nodes.push_back({QString::fromLocal8Bit(devnode), v, p, ::access(devnode, R_OK) == 0});
        }
        udev_device_unref(device);
    }
    udev_enumerate_unref(enumerate);
    udev_unref(context);
#endif
    return nodes;
}

QString inputRuleLine(uint16_t vendorId, uint16_t productId)
{
    return QStringLiteral("SUBSYSTEM==\"input\", KERNEL==\"event*\", ATTRS{idVendor}==\"%1\", "
                          "ATTRS{idProduct}==\"%2\", TAG+=\"uaccess\"")
        .arg(vendorId, 4, 16, QLatin1Char('0'))
        .arg(productId, 4, 16, QLatin1Char('0'));
}

std::optional<PressSample> sampleOf(const RawInputEvent& event)
{
    PressSample s;
    s.timeUs = event.timeUs;
    if (event.type == EV_REL) {
        if (event.code != REL_WHEEL || event.value == 0)
            return std::nullopt;
        s.kind = Stroke::Kind::Mouse;
        s.wheel = event.value > 0 ? 1 : -1;
        return s;
    }
    if (event.type != EV_KEY || event.value < 0 || event.value > 2)
        return std::nullopt;
    s.action = event.value == 1 ? PressSample::Action::Press
                                : event.value == 2 ? PressSample::Action::Repeat : PressSample::Action::Release;
    switch (event.code) {
    case BTN_LEFT: s.kind = Stroke::Kind::Mouse; s.button = 0x01; return s;
    case BTN_RIGHT: s.kind = Stroke::Kind::Mouse; s.button = 0x02; return s;
    case BTN_MIDDLE: s.kind = Stroke::Kind::Mouse; s.button = 0x04; return s;
    default: break;
    }
    if (const uint16_t usage = KeyMatch::keyboardUsageOfEvdev(event.code)) {
        s.kind = Stroke::Kind::Key;
        s.usage = usage;
        return s;
    }
    if (const uint16_t usage = KeyMatch::consumerUsageOfEvdev(event.code)) {
        s.kind = Stroke::Kind::Consumer;
        s.usage = usage;
        return s;
    }
    return std::nullopt;
}

KeypadInputReader::KeypadInputReader(std::vector<std::unique_ptr<InputEventSource>> sources, QObject* parent)
    : QObject(parent), Sources(std::move(sources))
{
    for (size_t i = 0; i < Sources.size(); ++i) {
        auto* notifier = new QSocketNotifier(Sources[i]->fd(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, i] { drain(i); });
        Notifiers.push_back(notifier);
    }
}

KeypadInputReader::~KeypadInputReader() = default;

QStringList KeypadInputReader::names() const
{
    QStringList list;
    for (size_t i = 0; i < Sources.size(); ++i) {
        if (Notifiers[i]->isEnabled())
            list << Sources[i]->name();
    }
    return list;
}

void KeypadInputReader::drain(size_t index)
{
    std::vector<RawInputEvent> events;
    const InputEventSource::Receive result = Sources[index]->read(events);
    for (const RawInputEvent& e : events) {
        if (const std::optional<PressSample> s = sampleOf(e))
            emit sample(*s);
    }
    if (result == InputEventSource::Receive::Gone) {
        // A readable node that only fails would keep the loop spinning.
        Notifiers[index]->setEnabled(false);
        emit sourceGone(Sources[index]->name());
    }
}
