#pragma once

#include "core/keypad/key_press_log.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

// One struct input_event as the kernel hands it out of /dev/input/event*.
struct RawInputEvent {
    qint64 timeUs = 0;
    uint16_t type = 0;
    uint16_t code = 0;
    int32_t value = 0;
};

// Where a node's events come from: the node itself in the program, a pipe fed
// with a recorded stream in the tests (there is no input device to press).
class InputEventSource {
public:
    enum class Receive { Events, Empty, Gone };

    virtual ~InputEventSource() = default;
    virtual QString name() const = 0;
    // Readable when events are pending; non-blocking.
    virtual int fd() const = 0;
    // Appends every whole event pending. Gone: the device went (unplugged) or failed.
    virtual Receive read(std::vector<RawInputEvent>& events) = 0;
};

// Reads struct input_event records from fd, which it owns and closes.
std::unique_ptr<InputEventSource> makeFdInputSource(int fd, const QString& name);
// Opens a node read-only and non-blocking; null with errno's text in error.
std::unique_ptr<InputEventSource> openInputNode(const QString& node, QString* error = nullptr);

// The event nodes of a supported keypad, found through udev by the USB
// vendor and product ids of the device they belong to.
struct KeypadInputNode {
    QString node;  // "/dev/input/event7"
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    bool readable = false;
};
std::vector<KeypadInputNode> findKeypadInputNodes();

// The udev rule line that gives the seated user a keypad's event nodes, as
// the shipped rule file words it.
QString inputRuleLine(uint16_t vendorId, uint16_t productId);

// A kernel event as a tester sample; nothing for synchronisation, scan codes,
// LEDs and keys no table knows.
std::optional<PressSample> sampleOf(const RawInputEvent& event);

// Listens to the keypad's nodes and says what was pressed, with the kernel's
// own time stamps. A source that goes is dropped and named in sourceGone().
class KeypadInputReader : public QObject {
    Q_OBJECT

public:
    explicit KeypadInputReader(std::vector<std::unique_ptr<InputEventSource>> sources, QObject* parent = nullptr);
    ~KeypadInputReader() override;

    int sourceCount() const { return int(Sources.size()); }
    QStringList names() const;

signals:
    void sample(const PressSample& sample);
    void sourceGone(const QString& name);

private:
    void drain(size_t index);

    std::vector<std::unique_ptr<InputEventSource>> Sources;
    std::vector<QSocketNotifier*> Notifiers;
};
