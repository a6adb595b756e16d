#include <QtTest>

#include "core/keypad/quick_menu_entries.h"

class PagesTextsTest : public QObject {
    Q_OBJECT

private slots:
    void dataValuesConvertToCodes_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<std::vector<int>>("codes");
        QTest::newRow("single") << QVariant(44) << std::vector<int>{44};
        QTest::newRow("pair") << QVariant(QVariantList{244, 42}) << std::vector<int>{0xF4, 42};
        QTest::newRow("triple") << QVariant(QVariantList{242, 244, 29}) << std::vector<int>{0xF2, 0xF4, 0x1D};
        QTest::newRow("none") << QVariant() << std::vector<int>{};
        QTest::newRow("text") << QVariant("44") << std::vector<int>{};
        QTest::newRow("list of one") << QVariant(QVariantList{44}) << std::vector<int>{};
        QTest::newRow("list of four") << QVariant(QVariantList{1, 2, 3, 4}) << std::vector<int>{};
        QTest::newRow("text in list") << QVariant(QVariantList{244, "C"}) << std::vector<int>{};
        QTest::newRow("not a byte") << QVariant(300) << std::vector<int>{};
        QTest::newRow("negative in list") << QVariant(QVariantList{244, -1}) << std::vector<int>{};
    }

    void dataValuesConvertToCodes()
    {
        QFETCH(QVariant, value);
        QFETCH(std::vector<int>, codes);
        QCOMPARE(dataValueCodes(value), codes);
    }

    void tableEntriesRoundTripThroughTheirDataValue()
    {
        const auto& entries = QuickMenu::entries();
        for (int i = 0; i < QuickMenu::kEntryCount; ++i) {
            const QuickMenuEntry& e = entries[size_t(i)];
            QCOMPARE(e.id, i + 1);
            const std::vector<int> codes = dataValueCodes(QuickMenu::dataValue(e));
            QCOMPARE(int(codes.size()), e.codeCount);
            for (int n = 0; n < e.codeCount; ++n)
                QCOMPARE(codes[size_t(n)], e.codes[size_t(n)]);
        }
        QCOMPARE(QuickMenu::caption(entries[8], 1), QString("Switch \nBetween Previous\n and Current Color"));
        QCOMPARE(QuickMenu::caption(entries[9], 0), QString::fromUtf8("吸色Alt"));
    }
};

QTEST_MAIN(PagesTextsTest)
#include "test_pages_texts.moc"
