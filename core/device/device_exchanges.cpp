#include "core/device/device_exchanges.h"

#include <QString>

Q_LOGGING_CATEGORY(lcDevice, "tessaplex.device", QtInfoMsg)

void logDeviceError(DeviceLink link)
{
    const QString text = QString::fromStdWString(link.transport.error(link.handle));
    qCDebug(lcDevice, "err_string = %ls\n", qUtf16Printable(text));
}

bool sendReport(DeviceLink link, const Report& report)
{
    if (link.transport.write(link.handle, report.data(), report.size()) >= 0)
        return true;
    logDeviceError(link);
    return false;
}

QueryResult queryDeviceInfo(DeviceLink link)
{
    QueryResult result;
    if (!link.handle || !sendReport(link, buildDeviceInfoQuery()))
        return result;
    Reply reply{};
    const int count = link.transport.readTimeout(link.handle, reply.data(), reply.size(), kInfoReplyTimeoutMs);
    if (count > 0) {
        qCDebug(lcDevice, "hid_read_timeout = %s\n", "read ok");
        qCDebug(lcDevice, "hid_read_timeout = %d %d\n", reply[2], reply[3]);
        result.outcome = QueryOutcome::Answered;
        result.info = parseDeviceInfoReply(reply);
    } else if (count == 0) {
        qCDebug(lcDevice, "hid_read_timeout = %s\n", "timeout");
        result.outcome = QueryOutcome::NoAnswer;
    } else {
        logDeviceError(link);
    }
    return result;
}

bool requestUpgradeMode(DeviceLink link)
{
    if (!link.handle || !sendReport(link, buildUpgradeModeReport()))
        return false;
    qCDebug(lcDevice, "Witer OKOK Key Num = ");
    return true;
}
