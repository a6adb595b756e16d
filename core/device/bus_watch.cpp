#include "core/device/bus_watch.h"

#include <QTimer>

PollingBusWatch::PollingBusWatch(int intervalMs, QObject* parent) : BusWatch(parent), timer_(new QTimer(this))
{
    timer_->setInterval(intervalMs);
    connect(timer_, &QTimer::timeout, this, &BusWatch::lookNow);
}

void PollingBusWatch::start()
{
    timer_->start();
    QTimer::singleShot(0, this, &BusWatch::lookNow);
}

void PollingBusWatch::stop()
{
    timer_->stop();
}
