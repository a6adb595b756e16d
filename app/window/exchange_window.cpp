#include "app/window/exchange_window.h"

#include "core/device/exchange_worker.h"
#include "core/device/keypad_connection.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWindow& window, KeypadConnection& connection) : QObject(&connection), Connection(connection)
    {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The expose is handled (and painted) after this filter; the looks
        // begin on the next turn of the event loop.
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QPointer<KeypadConnection> connection(&Connection);
            QTimer::singleShot(0, &Connection, [connection] {
                if (connection)
                    connection->holdWatchLooks(false);
            });
            deleteLater();
        }
        return false;
    }

private:
    KeypadConnection& Connection;
};

constexpr char kCloseWaitName[] = "closeAfterExchanges";

}  // namespace

void startLooksAfterFirstPaint(QWidget& window, KeypadConnection& connection)
{
    QWindow* handle = window.windowHandle();
    if (!handle || handle->isExposed())
        return;
    connection.holdWatchLooks(true);
    new FirstPaintWatch(*handle, connection);
}

bool closeAfterExchanges(QWidget& window, ExchangeWorker& worker, std::function<bool()> stillWanted)
{
    if (!worker.busy())
        return false;
    if (worker.findChild<QObject*>(QLatin1String(kCloseWaitName), Qt::FindDirectChildrenOnly))
        return true;
    auto* wait = new QObject(&worker);
    wait->setObjectName(QLatin1String(kCloseWaitName));
    QPointer<QWidget> target(&window);
    QObject::connect(&worker, &ExchangeWorker::exchangeFinished, wait, [wait, target, &worker, stillWanted] {
        if (worker.busy())
            return;
        wait->deleteLater();
        wait->setObjectName(QString());
        if (target && stillWanted())
            QTimer::singleShot(0, target, [target] { target->close(); });
    });
    return true;
}
