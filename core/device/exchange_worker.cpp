#include "core/device/exchange_worker.h"

#include "core/device/protocol.h"

#include <algorithm>
#include <memory>

namespace {

// Passes every call on, counting what the status line shows as progress;
// once `cancelled` says so, the keypad seems to have stopped answering.
class CountingLink : public HidTransport {
public:
    CountingLink(HidTransport& inner, std::function<void(int)> step, std::function<bool()> cancelled)
        : Inner(inner), Step(std::move(step)), Cancelled(std::move(cancelled))
    {
    }

    std::vector<HidDeviceEntry> enumerate(uint16_t vendorId, uint16_t productId) override
    {
        return Inner.enumerate(vendorId, productId);
    }
    OpenResult open(const std::string& path) override { return Inner.open(path); }
    int write(HidHandle handle, const uint8_t* data, size_t length) override
    {
        if (Cancelled())
            return -1;
        const int written = Inner.write(handle, data, length);
        if (written > 0 && data) {
            Report report{};
            std::copy(data, data + std::min(length, report.size()), report.begin());
            const ReportKind kind = classifyReport(report);
            if (kind == ReportKind::KeyRecord || kind == ReportKind::LedBlockOrLightingRecord)
                Step(++Steps);
        }
        return written;
    }
    int readTimeout(HidHandle handle, uint8_t* data, size_t length, int milliseconds) override
    {
        if (Cancelled())
            return -1;
        return counted(Inner.readTimeout(handle, data, length, milliseconds));
    }
    int read(HidHandle handle, uint8_t* data, size_t length) override
    {
        if (Cancelled())
            return -1;
        return counted(Inner.read(handle, data, length));
    }
    int setNonblocking(HidHandle handle, int nonblock) override { return Inner.setNonblocking(handle, nonblock); }
    std::wstring error(HidHandle handle) override { return Inner.error(handle); }
    void close(HidHandle handle) override { Inner.close(handle); }
    void exit() override { Inner.exit(); }
    void sleepMs(int milliseconds) override
    {
        if (!Cancelled())
            Inner.sleepMs(milliseconds);
    }

private:
    int counted(int count)
    {
        if (count > 0)
            Step(++Steps);
        return count;
    }

    HidTransport& Inner;
    std::function<void(int)> Step;
    std::function<bool()> Cancelled;
    int Steps = 0;
};

}  // namespace

ExchangeWorker::ExchangeWorker(QObject* parent) : QObject(parent)
{
    Thread.setObjectName(QStringLiteral("keypad exchanges"));
}

ExchangeWorker::~ExchangeWorker() { finish(); }

void ExchangeWorker::ensureRunning()
{
    if (Context)
        return;
    Context = new QObject;
    Context->moveToThread(&Thread);
    Thread.start();
}

void ExchangeWorker::run(DeviceLink link, Job job, Done done, Kind kind)
{
    if (Finishing)
        return;
    ensureRunning();
    ++Pending;
    const quint64 number = ++Queued;
    emit exchangeStarted();
    QMetaObject::invokeMethod(
        Context,
        [this, link, kind, number, job = std::move(job), done = std::move(done)] {
            if (Finishing)
                return;
            if (kind == Kind::Look) {
                job(link);
            } else {
                CountingLink counting(
                    link.transport,
                    [this](int count) {
                        // One step waits in the window's queue at a time, carrying
                        // the newest count when it is taken: a fast keypad does not
                        // flood the window with status updates.
                        LatestSteps = count;
                        if (!ProgressQueued.exchange(true))
                            QMetaObject::invokeMethod(
                                this,
                                [this] {
                                    ProgressQueued = false;
                                    emit progress(LatestSteps);
                                },
                                Qt::QueuedConnection);
                    },
                    [this, kind, number] { return kind == Kind::Reads && number <= CancelledUpTo; });
                job(DeviceLink{counting, link.handle});
            }
            // Queued after every progress step of the job, so the window
            // sees the steps before the end.
            QMetaObject::invokeMethod(
                this,
                [this, done] {
                    if (done)
                        done();
                    --Pending;
                    emit exchangeFinished();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void ExchangeWorker::finish()
{
    Finishing = true;
    if (!Context)
        return;
    Thread.quit();
    Thread.wait();
    delete Context;
    Context = nullptr;
}
