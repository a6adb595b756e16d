#include "core/device/discovery.h"
#include "core/device/protocol.h"
#include "core/keypad/model_catalogue.h"

#include <QtTest>

#include <numeric>

namespace {

bool zeroFrom(const Report& report, size_t first)
{
    return std::all_of(report.begin() + first, report.end(), [](uint8_t b) { return b == 0; });
}

HidDeviceEntry entry(const char* path, uint16_t vid, uint16_t pid, int interfaceNumber)
{
    return HidDeviceEntry{path, vid, pid, interfaceNumber};
}

}  // namespace

class TestDeviceProtocol : public QObject {
    Q_OBJECT
private slots:
    void fixedReports();
    void ledBlockLayout();
    void modelReports();
    void keyRecordReportsCopyOnlyTheirFormat();
    void readRequestsAndSlotOrder();
    void repliesTouchOnlyCarriedBytes();
    void discoveryPrefersFirstVendor();
    void discoveryFollowsProductOrder();
    void discoveryTakesInterfaceZero();
    void discoveryWithNothingListed();
};

void TestDeviceProtocol::fixedReports()
{
    const Report query = buildDeviceInfoQuery();
    QCOMPARE(query[0], uint8_t(0x03));
    QVERIFY(query[1] == 0xFB && query[2] == 0xFB && query[3] == 0xFB && zeroFrom(query, 4));

    const Report commit = buildCommitReport();
    QVERIFY(commit[0] == 0x03 && commit[1] == 0xFD && commit[2] == 0xFE && commit[3] == 0xFF);
    QVERIFY(zeroFrom(commit, 4));

    const Report upgrade = buildUpgradeModeReport();
    QVERIFY(upgrade[0] == 0x03 && upgrade[1] == 0xEF && upgrade[2] == 0xEF && zeroFrom(upgrade, 3));
}

void TestDeviceProtocol::ledBlockLayout()
{
    uint8_t colours[48];
    std::iota(std::begin(colours), std::end(colours), uint8_t(100));
    const Report block = buildLedBlockReport(2, 5, colours);
    QVERIFY(block[0] == 0x03 && block[1] == 0xFE && block[2] == 0xB0);
    QCOMPARE(block[3], uint8_t(2));
    QCOMPARE(block[4], uint8_t(5));
    QVERIFY(std::equal(std::begin(colours), std::end(colours), block.begin() + 5));
    QVERIFY(zeroFrom(block, 53));
}

void TestDeviceProtocol::modelReports()
{
    // The catalogue names the board, the report carries its bytes.
    QVERIFY(!ModelCatalogue::catalogueModel(0));
    QVERIFY(!ModelCatalogue::catalogueModel(17));
    auto modelReport = [](int id) {
        const CatalogueModel* m = ModelCatalogue::catalogueModel(id);
        return buildSetModelReport(m->keys, m->knobs, m->variant);
    };

    const Report model14 = modelReport(14);
    QVERIFY(model14[1] == 0xFC && model14[2] == 0xFC && model14[3] == 0x0F && model14[4] == 0x03);

    const Report model4 = modelReport(4);
    const Report model15 = modelReport(15);
    QCOMPARE(model4[5], uint8_t(0x00));
    QCOMPARE(model15[5], uint8_t(0x01));
    for (size_t i = 0; i < kReportBytes; ++i)
        if (i != 5)
            QCOMPARE(model4[i], model15[i]);
    QVERIFY(zeroFrom(model15, 6));
}

void TestDeviceProtocol::keyRecordReportsCopyOnlyTheirFormat()
{
    uint8_t record[65];
    std::iota(std::begin(record), std::end(record), uint8_t(1));

    const Report old = buildKeyRecordReport(record, false);
    QCOMPARE(old[0], uint8_t(0x03));
    QVERIFY(std::equal(record, record + 50, old.begin() + 1));
    QVERIFY(zeroFrom(old, 51));

    const Report current = buildKeyRecordReport(record, true);
    QVERIFY(std::equal(record, record + 64, current.begin() + 1));  // record byte 64 never travels
}

void TestDeviceProtocol::readRequestsAndSlotOrder()
{
    const Report current = buildKeyReadRequest(true, 25, 3, 2);
    QVERIFY(current[1] == 0xFA && current[2] == 25 && current[3] == 0 && current[4] == 2 && zeroFrom(current, 5));
    const Report old = buildKeyReadRequest(false, 15, 3, 3);
    QVERIFY(old[2] == 15 && old[3] == 3 && old[4] == 3);
    const Report led = buildLedReadRequest(1);
    QVERIFY(led[1] == 0xFA && led[2] == 0xB0 && led[3] == 1 && zeroFrom(led, 4));

    std::vector<int> expectedCurrent(25);
    std::iota(expectedCurrent.begin(), expectedCurrent.end(), 1);
    QCOMPARE(keyReadSlotOrder(true, 25, 0), expectedCurrent);

    const std::vector<int> oldOrder = keyReadSlotOrder(false, 15, 3);
    QCOMPARE(oldOrder.size(), size_t(24));
    QCOMPARE(oldOrder[14], 15);
    QCOMPARE(oldOrder[15], 16);
    QCOMPARE(oldOrder.back(), 24);

    // Whatever a caller asks, no reply may be counted into a slot past 59.
    for (int slot : keyReadSlotOrder(false, 1000, 1000))
        QVERIFY(slot >= 1 && slot <= 59);
    const Report huge = buildKeyReadRequest(false, 1000, 1000, 1);
    QVERIFY(huge[2] <= 59 && 15 + 3 * huge[3] <= 59);
}

void TestDeviceProtocol::repliesTouchOnlyCarriedBytes()
{
    Reply reply;
    reply.fill(0xAA);
    uint8_t record[65];
    std::fill(std::begin(record), std::end(record), uint8_t(0x11));
    storeKeyReadReply(reply, record, true);
    QCOMPARE(record[0], uint8_t(0x11));
    QVERIFY(std::all_of(record + 1, record + 60, [](uint8_t b) { return b == 0xAA; }));
    QVERIFY(std::all_of(record + 60, record + 65, [](uint8_t b) { return b == 0x11; }));

    std::fill(std::begin(record), std::end(record), uint8_t(0x11));
    storeKeyReadReply(reply, record, false);
    QVERIFY(std::all_of(record + 1, record + 50, [](uint8_t b) { return b == 0xAA; }));
    QVERIFY(std::all_of(record + 50, record + 65, [](uint8_t b) { return b == 0x11; }));

    std::iota(reply.begin(), reply.end(), uint8_t(0));
    uint8_t mode = 0;
    uint8_t colours[48] = {};
    storeLedReadReply(reply, mode, colours);
    QCOMPARE(mode, uint8_t(2));
    QCOMPARE(colours[0], uint8_t(3));
    QCOMPARE(colours[47], uint8_t(50));

    const DeviceInfo info = parseDeviceInfoReply(reply);
    QVERIFY(info.keys == 2 && info.knobs == 3 && info.version == 4 && info.variant == 5);
}

void TestDeviceProtocol::discoveryPrefersFirstVendor()
{
    const std::vector<HidDeviceEntry> bus = {
        entry("second", kSecondaryVendorId, 0x8842, 0),
        entry("first", kPrimaryVendorId, 0x8851, 0),
    };
    const DiscoveryChoice choice = chooseKeypad(bus, kDefaultProductIds, kInitialProductId);
    QCOMPARE(choice.vendorId, kPrimaryVendorId);
    QCOMPARE(choice.productId, uint16_t(0x8851));
    QCOMPARE(QString::fromStdString(choice.interfaceZero->path), QString("first"));

    const DiscoveryChoice onlySecond = chooseKeypad({bus[0]}, kDefaultProductIds, kInitialProductId);
    QCOMPARE(onlySecond.vendorId, kSecondaryVendorId);
    QCOMPARE(QString::fromStdString(onlySecond.interfaceZero->path), QString("second"));
}

void TestDeviceProtocol::discoveryFollowsProductOrder()
{
    const std::vector<HidDeviceEntry> bus = {
        entry("late", kPrimaryVendorId, 0x8851, 0),
        entry("other-vendor", 0x046D, 0x8842, 0),
        entry("early", kPrimaryVendorId, 0x8830, 0),
    };
    const DiscoveryChoice choice = chooseKeypad(bus, kDefaultProductIds, kInitialProductId);
    QCOMPARE(choice.productId, uint16_t(0x8830));
    QCOMPARE(QString::fromStdString(choice.interfaceZero->path), QString("early"));
}

void TestDeviceProtocol::discoveryTakesInterfaceZero()
{
    const std::vector<HidDeviceEntry> bus = {
        entry("if1", kPrimaryVendorId, 0x8840, 1),
        entry("if0", kPrimaryVendorId, 0x8840, 0),
        entry("if0-again", kPrimaryVendorId, 0x8840, 0),
    };
    const DiscoveryChoice choice = chooseKeypad(bus, kDefaultProductIds, kInitialProductId);
    QCOMPARE(QString::fromStdString(choice.interfaceZero->path), QString("if0"));

    const DiscoveryChoice noZero = chooseKeypad({bus[0]}, kDefaultProductIds, kInitialProductId);
    QVERIFY(noZero.keypadPresent);
    QVERIFY(!noZero.interfaceZero);
}

void TestDeviceProtocol::discoveryWithNothingListed()
{
    const DiscoveryChoice choice = chooseKeypad({entry("mouse", 0x046D, 0xC077, 0)}, kDefaultProductIds, 0x8850);
    QVERIFY(!choice.keypadPresent);
    QCOMPARE(choice.vendorId, kPrimaryVendorId);
    QCOMPARE(choice.productId, uint16_t(0x8850));  // the last one found is kept
}

QTEST_APPLESS_MAIN(TestDeviceProtocol)
#include "tst_device_protocol.moc"
