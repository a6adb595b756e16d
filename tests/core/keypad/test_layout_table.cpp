#include "core/keypad/layout_table.h"
#include "core/keypad/model_catalogue.h"

#include <QtTest>

#include <cstdlib>
#include <set>

namespace {

QRect scaledUp(const QRect& r) { return QRect(2 * r.x(), 2 * r.y(), 2 * r.width(), 2 * r.height()); }

bool closeTo(const QRect& full, const QRect& half, int positionSlack, int sizeSlack)
{
    const QRect d = scaledUp(half);
    return std::abs(full.x() - d.x()) <= positionSlack && std::abs(full.y() - d.y()) <= positionSlack
           && std::abs(full.width() - d.width()) <= sizeSlack
           && std::abs(full.height() - d.height()) <= sizeSlack;
}

// A round knob button counts as its circle: that is what the user sees of it.
bool overlaps(const ButtonPlacement& a, const ButtonPlacement& b)
{
    if (!a.button.intersects(b.button))
        return false;
    const ButtonPlacement* round = a.shape == ButtonShape::RoundKnob ? &a
                                   : b.shape == ButtonShape::RoundKnob ? &b : nullptr;
    if (!round || (a.shape == ButtonShape::RoundKnob && b.shape == ButtonShape::RoundKnob))
        return true;
    const QRect& other = round == &a ? b.button : a.button;
    const double r = round->button.width() / 2.0;
    const double cx = round->button.x() + r, cy = round->button.y() + r;
    const double nx = qBound(double(other.x()), cx, double(other.x() + other.width()));
    const double ny = qBound(double(other.y()), cy, double(other.y() + other.height()));
    return (nx - cx) * (nx - cx) + (ny - cy) * (ny - cy) < r * r;
}

// The default picture's own knob positions put each knob's arrows over the
// corner of its knob; the clusters are {16,17,18}, {19,20,21}, {22,23,24}.
bool sameDefaultCluster(int layout, int a, int b)
{
    return layout == kDefaultLayout && a >= 16 && b >= 16 && (a - 16) / 3 == (b - 16) / 3;
}

}  // namespace

class TestLayoutTable : public QObject {
    Q_OBJECT
private slots:
    void dispatcher_data();
    void dispatcher();
    void catalogueAndPicker();
    void adoptionNeedsADifferentRealBoard();
    void defaultLayoutNumbers();
    void irregularLayouts();
    void everyLayoutIsACleanPicture();
    void usedButtonsMatchTheBoard_data();
    void usedButtonsMatchTheBoard();
    void halvingTheHeightHalvesThePicture();
    void widthMovesOnlyTheFixedControls();
    void fixedControlsAndPicker();
    void unknownLayoutIsEmpty();
    void everyBoardLeavesTheControlsFree();
};

void TestLayoutTable::dispatcher_data()
{
    QTest::addColumn<int>("keys");
    QTest::addColumn<int>("knobs");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("productId");
    QTest::addColumn<int>("buildVariant");
    QTest::addColumn<int>("layout");

    QTest::newRow("0+1 old firmware") << 0 << 1 << 9 << 1 << 0x8842 << 2 << 1;
    QTest::newRow("0+1 current, variant 0") << 0 << 1 << 10 << 0 << 0x8842 << 2 << 2;
    QTest::newRow("0+1 current, variant 1") << 0 << 1 << 10 << 1 << 0x8842 << 2 << 3;
    QTest::newRow("0+2 on 0x8850") << 0 << 2 << 0 << 0 << 0x8850 << 2 << 4;
    QTest::newRow("0+2 elsewhere") << 0 << 2 << 0 << 0 << 0x8851 << 2 << 1;
    QTest::newRow("0+3") << 0 << 3 << 0 << 0 << 0 << 2 << 5;
    QTest::newRow("0+0") << 0 << 0 << 0 << 0 << 0 << 2 << 31;
    QTest::newRow("1") << 1 << 0 << 0 << 0 << 0 << 2 << 6;
    QTest::newRow("2") << 2 << 0 << 0 << 0 << 0 << 2 << 7;
    QTest::newRow("3") << 3 << 0 << 0 << 0 << 0 << 2 << 8;
    QTest::newRow("3+1") << 3 << 1 << 0 << 0 << 0 << 2 << 9;
    QTest::newRow("3+2") << 3 << 2 << 0 << 0 << 0 << 2 << 31;
    QTest::newRow("4") << 4 << 0 << 0 << 0 << 0 << 2 << 10;
    QTest::newRow("4+1 V0 not 0x8851") << 4 << 1 << 0 << 0 << 0x8842 << 2 << 11;
    QTest::newRow("4+1 V0 on 0x8851") << 4 << 1 << 0 << 0 << 0x8851 << 2 << 12;
    QTest::newRow("4+1 V1") << 4 << 1 << 1 << 0 << 0x8842 << 2 << 12;
    QTest::newRow("4+1 V1 on 0x8851") << 4 << 1 << 1 << 0 << 0x8851 << 2 << 12;
    QTest::newRow("4+1 V2 is the default") << 4 << 1 << 2 << 0 << 0x8851 << 2 << 31;
    QTest::newRow("4+1 V12 is the default") << 4 << 1 << 12 << 0 << 0x8842 << 2 << 31;
    QTest::newRow("4+3") << 4 << 3 << 0 << 0 << 0 << 2 << 13;
    QTest::newRow("5") << 5 << 0 << 0 << 0 << 0 << 2 << 14;
    QTest::newRow("6") << 6 << 0 << 0 << 0 << 0 << 2 << 15;
    QTest::newRow("6+1") << 6 << 1 << 0 << 0 << 0 << 2 << 16;
    QTest::newRow("6+2 build 1") << 6 << 2 << 0 << 0 << 0 << 1 << 17;
    QTest::newRow("6+2 build 2") << 6 << 2 << 0 << 0 << 0 << 2 << 18;
    QTest::newRow("6+2 build 0") << 6 << 2 << 0 << 0 << 0 << 0 << 18;
    QTest::newRow("7") << 7 << 0 << 0 << 0 << 0 << 2 << 31;
    QTest::newRow("9") << 9 << 0 << 0 << 0 << 0 << 2 << 19;
    QTest::newRow("9+2") << 9 << 2 << 0 << 0 << 0 << 2 << 20;
    QTest::newRow("9+3") << 9 << 3 << 0 << 0 << 0 << 2 << 21;
    QTest::newRow("9+1") << 9 << 1 << 0 << 0 << 0 << 2 << 31;
    QTest::newRow("11+3") << 11 << 3 << 0 << 0 << 0 << 2 << 22;
    QTest::newRow("12") << 12 << 0 << 0 << 0 << 0 << 2 << 23;
    QTest::newRow("12+2") << 12 << 2 << 0 << 0 << 0 << 2 << 24;
    QTest::newRow("12+3") << 12 << 3 << 0 << 0 << 0 << 2 << 25;
    QTest::newRow("12+4 build 1") << 12 << 4 << 0 << 0 << 0 << 1 << 26;
    QTest::newRow("12+4 build 2") << 12 << 4 << 0 << 0 << 0 << 2 << 27;
    QTest::newRow("15+3") << 15 << 3 << 0 << 0 << 0 << 2 << 31;
    QTest::newRow("15+3 build 1") << 15 << 3 << 12 << 1 << 0x8850 << 1 << 31;
    QTest::newRow("16") << 16 << 0 << 0 << 0 << 0 << 2 << 28;
    QTest::newRow("16+3") << 16 << 3 << 0 << 0 << 0 << 2 << 29;
    QTest::newRow("21+1") << 21 << 1 << 0 << 0 << 0 << 2 << 30;
    QTest::newRow("21+0") << 21 << 0 << 0 << 0 << 0 << 2 << 31;
    QTest::newRow("255+255") << 255 << 255 << 255 << 255 << 0xFFFF << 2 << 31;
}

void TestLayoutTable::dispatcher()
{
    QFETCH(int, keys);
    QFETCH(int, knobs);
    QFETCH(int, version);
    QFETCH(int, variant);
    QFETCH(int, productId);
    QFETCH(int, buildVariant);
    QFETCH(int, layout);
    QCOMPARE(chooseLayout(keys, knobs, version, variant, static_cast<uint16_t>(productId), buildVariant),
             layout);
}

void TestLayoutTable::catalogueAndPicker()
{
    const int expectedValues[] = {0x020C, 0x0005, 0x0103, 0x0206, 0x0006, 0x0309};
    for (int id = 1; id <= ModelCatalogue::kPickerCount; ++id) {
        QVERIFY(ModelCatalogue::pickerModel(id));
        QCOMPARE(ModelCatalogue::pickerModel(id)->groupId, id);
        QCOMPARE(int(ModelCatalogue::pickerModel(id)->value), expectedValues[id - 1]);
    }
    QVERIFY(!ModelCatalogue::pickerModel(0));
    QVERIFY(!ModelCatalogue::pickerModel(7));

    for (int id = 1; id <= ModelCatalogue::kCatalogueCount; ++id)
        QCOMPARE(ModelCatalogue::catalogueModel(id)->id, id);
    QVERIFY(!ModelCatalogue::catalogueModel(0));
    QVERIFY(!ModelCatalogue::catalogueModel(17));
    QCOMPARE(QString(ModelCatalogue::catalogueModel(11)->name), QString("11+3KEY"));
    QCOMPARE(int(ModelCatalogue::catalogueModel(11)->value()), 0x030B);
    QCOMPARE(int(ModelCatalogue::catalogueModel(14)->value()), 0x030F);

    const CatalogueModel* first = ModelCatalogue::catalogueModel(4);
    const CatalogueModel* second = ModelCatalogue::catalogueModel(15);
    QCOMPARE(first->value(), second->value());
    QCOMPARE(int(first->variant), 0);
    QCOMPARE(int(second->variant), 1);

    uint8_t identity[4] = {15, 3, 12, 1};
    storePickerValue(identity, ModelCatalogue::pickerModel(1)->value);
    QCOMPARE(int(identity[0]), 12);
    QCOMPARE(int(identity[1]), 2);
    QCOMPARE(int(identity[2]), 12);
    QCOMPARE(int(identity[3]), 1);
}

void TestLayoutTable::adoptionNeedsADifferentRealBoard()
{
    const uint8_t shown[4] = {15, 3, 0, 0};
    const uint8_t sixKeys[4] = {6, 0, 0, 0};
    const uint8_t sameCounts[4] = {15, 3, 12, 1};
    const uint8_t otherKnobs[4] = {15, 2, 0, 0};
    const uint8_t nothing[4] = {0, 0, 12, 0};
    const uint8_t knobOnly[4] = {0, 1, 0, 0};
    QVERIFY(shouldAdoptIdentity(sixKeys, shown));
    QVERIFY(shouldAdoptIdentity(otherKnobs, shown));
    QVERIFY(shouldAdoptIdentity(knobOnly, shown));
    QVERIFY(!shouldAdoptIdentity(sameCounts, shown));
    QVERIFY(!shouldAdoptIdentity(nothing, shown));
}

void TestLayoutTable::defaultLayoutNumbers()
{
    const LayoutPlacement p = computeLayout(31, 1920, 1006);
    QCOMPARE(p.layout, 31);
    QCOMPARE(p.kw, 80);
    QCOMPARE(p.gx, 10);
    QCOMPARE(p.gy, 10);
    QCOMPARE(p.kd[0], 100);
    QCOMPARE(p.kd[2], 136);
    QCOMPARE(p.plate, QRect(130, 100, 824, 352));
    QCOMPARE(p.textBox, QRect(1006, 100, 150, 352));
    QCOMPARE(p.find(1)->button, QRect(170, 150, 80, 80));
    QCOMPARE(p.find(7)->button, QRect(260, 240, 80, 80));
    QCOMPARE(p.find(15)->button, QRect(530, 330, 80, 80));
    QVERIFY(p.find(15)->art == ButtonArt::Key && !p.find(15)->alternativeArt);
    QCOMPARE(p.find(15)->radius, kKeyRadius);

    QCOMPARE(p.find(16)->button, QRect(628, 111, 60, 60));
    QVERIFY(p.find(16)->art == ButtonArt::LeftArrow && !p.find(16)->alternativeArt);
    QCOMPARE(p.find(17)->button, QRect(643, 160, 100, 100));
    QCOMPARE(p.find(17)->shape, ButtonShape::RoundKnob);
    QCOMPARE(p.find(17)->radius, 50);
    QVERIFY(p.find(17)->art == ButtonArt::Knob && !p.find(17)->alternativeArt);
    QCOMPARE(p.find(18)->button, QRect(699, 111, 60, 60));
    QVERIFY(p.find(18)->art == ButtonArt::RightArrow && !p.find(18)->alternativeArt);
    QCOMPARE(p.find(22)->button, QRect(625, 327, 81, 81));
    QCOMPARE(p.find(23)->button, QRect(709, 271, 136, 136));
    QCOMPARE(p.find(23)->radius, 68);
    QCOMPARE(p.find(24)->button, QRect(848, 327, 81, 81));
    QCOMPARE(p.find(24)->label, QRect(848, 322, 81, 81));

    for (const ButtonPlacement& b : p.buttons)
        if (b.index != 24)
            QCOMPARE(b.label, b.button);
    QVERIFY(!p.hasQrLabel);
}

void TestLayoutTable::irregularLayouts()
{
    const LayoutPlacement l30 = computeLayout(30, 1920, 1006);
    QCOMPARE(l30.find(9)->button, QRect(734, 196, 70, 70));
    QCOMPARE(l30.find(10)->button.x(), 422 - 78);
    QCOMPARE(l30.find(20)->button.x(), 422 + 4 * 78);
    QCOMPARE(l30.find(21)->button, QRect(422 + 3 * 78, 75 + 4 * 78, 70, 70));
    QVERIFY(l30.find(24)->art == ButtonArt::LeftArrow && !l30.find(24)->alternativeArt);
    QCOMPARE(l30.find(23)->shape, ButtonShape::RoundKnob);
    QCOMPARE(l30.find(23)->button.width(), 105);
    QVERIFY(l30.find(22)->art == ButtonArt::RightArrow && !l30.find(22)->alternativeArt);
    QCOMPARE(l30.find(22)->button.y(), 79);
    QCOMPARE(l30.find(22)->label.y(), 74);

    const LayoutPlacement l22 = computeLayout(22, 1920, 1006);
    QCOMPARE(l22.find(7)->button, QRect(251, 90 + 2 * 90, 170, 80));
    QVERIFY(l22.find(7)->art == ButtonArt::Key && l22.find(7)->alternativeArt);
    QCOMPARE(l22.find(8)->button.x(), 251 + 2 * 90);
    QCOMPARE(l22.find(10)->button, QRect(251 + 90, 360, 80, 60));
    QVERIFY(l22.find(10)->art == ButtonArt::Key && l22.find(10)->alternativeArt);

    const LayoutPlacement l12 = computeLayout(12, 1920, 1006);
    QCOMPARE(l12.find(1)->button.topLeft(), QPoint(291 + 2 * 105, 231));
    QCOMPARE(l12.find(2)->button.topLeft(), QPoint(291 + 105, 231 + 105));
    QVERIFY(l12.find(17)->button.bottom() < l12.find(1)->button.top());

    const LayoutPlacement l1 = computeLayout(1, 1920, 1006);
    QVERIFY(l1.find(19)->art == ButtonArt::LeftArrow && l1.find(19)->alternativeArt);
    QVERIFY(l1.find(21)->art == ButtonArt::RightArrow && l1.find(21)->alternativeArt);
    QCOMPARE(l1.find(19)->button.width(), int(0.6 * l1.kd[1]));

    const LayoutPlacement l3 = computeLayout(3, 1920, 1006);
    QCOMPARE(l3.find(7)->button, QRect(281, 160, 93, 93));
    QCOMPARE(l3.find(8)->button, QRect(681, 160, 93, 93));
    QVERIFY(l3.find(7)->art == ButtonArt::LeftArrow && !l3.find(7)->alternativeArt);

    const LayoutPlacement l9 = computeLayout(9, 1920, 1006);
    QCOMPARE(l9.find(16)->button.x(), 588);
    QCOMPARE(l9.find(17)->button.x(), 643);
    QCOMPARE(l9.find(18)->button.x(), 749);

    const LayoutPlacement l13 = computeLayout(13, 1920, 1006);
    QCOMPARE(l13.find(20)->button.width(), int(0.11 * 1006));

    const LayoutPlacement l17 = computeLayout(17, 1920, 1006);
    QVERIFY(l17.hasQrLabel);
    QCOMPARE(l17.qrLabel, QRect(1086, 241, 201, 201));
    QVERIFY(!computeLayout(18, 1920, 1006).hasQrLabel);
}

void TestLayoutTable::everyLayoutIsACleanPicture()
{
    for (int H : {503, 777, 1006, 1440}) {
        for (int id = 1; id <= kLayoutCount; ++id) {
            const LayoutPlacement p = computeLayout(id, 1920, H);
            const QString where = QStringLiteral("layout %1 at height %2").arg(id).arg(H);
            QVERIFY2(p.layout == id, qPrintable(where));
            QVERIFY2(!p.used[26] && !p.used[27], qPrintable(where));
            QVERIFY2(p.textBox.left() > p.plate.left() + p.plate.width() / 2, qPrintable(where));
            for (const ButtonPlacement& b : p.buttons) {
                const QString which = where + QStringLiteral(", button %1").arg(b.index);
                QVERIFY2(b.index >= 1 && b.index <= kPictureButtons, qPrintable(which));
                QVERIFY2(!b.button.isEmpty(), qPrintable(which));
                // The two arrows added to the knob-only board stand outside its plate.
                const bool extraArrow = id == 3 && (b.index == 7 || b.index == 8);
                QVERIFY2(extraArrow || p.plate.contains(b.button), qPrintable(which));
                QVERIFY2(b.button.right() < p.textBox.left(), qPrintable(which));
            }
            std::set<int> seen;
            for (size_t i = 0; i < p.buttons.size(); ++i) {
                QVERIFY2(seen.insert(p.buttons[i].index).second, qPrintable(where));
                for (size_t j = i + 1; j < p.buttons.size(); ++j) {
                    const ButtonPlacement& a = p.buttons[i];
                    const ButtonPlacement& b = p.buttons[j];
                    if (sameDefaultCluster(id, a.index, b.index))
                        continue;
                    QVERIFY2(!overlaps(a, b),
                             qPrintable(where + QStringLiteral(": %1 meets %2").arg(a.index).arg(b.index)));
                }
            }
        }
    }
}

void TestLayoutTable::usedButtonsMatchTheBoard_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QList<int>>("used");
    auto range = [](int from, int to) {
        QList<int> l;
        for (int i = from; i <= to; ++i)
            l << i;
        return l;
    };
    QTest::newRow("L1 one knob, old") << 1 << QList<int>{16, 17, 18, 19, 21};
    QTest::newRow("L2 one knob, current") << 2 << range(2, 6);
    QTest::newRow("L3 with side arrows") << 3 << range(2, 8);
    QTest::newRow("L5 three knobs") << 5 << range(16, 24);
    QTest::newRow("L6 one key") << 6 << QList<int>{1};
    QTest::newRow("L12") << 12 << range(1, 4) + range(16, 18);
    QTest::newRow("L17") << 17 << range(1, 6) + range(16, 21);
    QTest::newRow("L22") << 22 << range(1, 11) + range(16, 24);
    QTest::newRow("L26") << 26 << range(1, 24);
    QTest::newRow("L29") << 29 << range(1, 25);
    QTest::newRow("L30") << 30 << range(1, 24);
    QTest::newRow("L31") << 31 << range(1, 24);
}

void TestLayoutTable::usedButtonsMatchTheBoard()
{
    QFETCH(int, layout);
    QFETCH(QList<int>, used);
    const LayoutPlacement p = computeLayout(layout, 1920, 1006);
    QList<int> actual;
    for (int n = 1; n <= kAllButtons; ++n)
        if (p.used[static_cast<size_t>(n)])
            actual << n;
    std::sort(used.begin(), used.end());
    QCOMPARE(actual, used);
    QCOMPARE(int(p.buttons.size()), used.size());
}

void TestLayoutTable::halvingTheHeightHalvesThePicture()
{
    for (int id = 1; id <= kLayoutCount; ++id) {
        const LayoutPlacement full = computeLayout(id, 1920, 1006);
        const LayoutPlacement half = computeLayout(id, 1920, 503);
        const QString where = QStringLiteral("layout %1").arg(id);
        QVERIFY2(std::abs(full.kw - 2 * half.kw) <= 1, qPrintable(where));
        QVERIFY2(std::abs(full.gx - 2 * half.gx) <= 1, qPrintable(where));
        QVERIFY2(std::abs(full.gy - 2 * half.gy) <= 1, qPrintable(where));
        for (size_t i = 0; i < full.kd.size(); ++i)
            QVERIFY2(std::abs(full.kd[i] - 2 * half.kd[i]) <= 3, qPrintable(where));
        QVERIFY2(closeTo(full.plate, half.plate, 1, 1), qPrintable(where));
        QVERIFY2(closeTo(full.textBox, half.textBox, 1, 1), qPrintable(where));
        QCOMPARE(full.buttons.size(), half.buttons.size());
        for (size_t i = 0; i < full.buttons.size(); ++i) {
            const QString which = where + QStringLiteral(", button %1").arg(full.buttons[i].index);
            // A grid step loses at most a pixel per key and gap crossed.
            QVERIFY2(closeTo(full.buttons[i].button, half.buttons[i].button, 12, 4), qPrintable(which));
            QVERIFY2(closeTo(full.buttons[i].label, half.buttons[i].label, 12, 4), qPrintable(which));
        }
    }
}

void TestLayoutTable::widthMovesOnlyTheFixedControls()
{
    for (int id = 1; id <= kLayoutCount; ++id) {
        const LayoutPlacement wide = computeLayout(id, 1920, 1006);
        const LayoutPlacement narrow = computeLayout(id, 1100, 1006);
        QCOMPARE(wide.plate, narrow.plate);
        QCOMPARE(wide.textBox, narrow.textBox);
        for (size_t i = 0; i < wide.buttons.size(); ++i) {
            QCOMPARE(wide.buttons[i].button, narrow.buttons[i].button);
            QCOMPARE(wide.buttons[i].label, narrow.buttons[i].label);
        }
    }
    const auto wide = computeFixedControls(1920, 1006);
    const auto narrow = computeFixedControls(960, 1006);
    QCOMPARE(wide.size(), narrow.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        QCOMPARE(wide[i].rect.y(), narrow[i].rect.y());
        QCOMPARE(wide[i].rect.height(), narrow[i].rect.height());
        if (wide[i].rect.x() > 1)
            QVERIFY(wide[i].rect.x() > narrow[i].rect.x());
    }
}

void TestLayoutTable::fixedControlsAndPicker()
{
    auto rectOf = [](const std::vector<ControlRect>& list, FixedControl id) {
        for (const ControlRect& n : list)
            if (n.id == id)
                return n.rect;
        return QRect();
    };
    const auto fixed = computeFixedControls(1920, 1006);
    QCOMPARE(fixed.size(), size_t(17));
    QCOMPARE(rectOf(fixed, FixedControl::Settings), QRect(1836, 40, 50, 50));  // right edge with download's
    QCOMPARE(rectOf(fixed, FixedControl::Status), QRect(0, 0, 1920, 35));
    QCOMPARE(rectOf(fixed, FixedControl::Layer1), QRect(1382, 40, 35, 35));
    QCOMPARE(rectOf(fixed, FixedControl::Layer3), QRect(1497, 40, 35, 35));
    QCOMPARE(rectOf(fixed, FixedControl::Save), QRect(1675, 352, 211, 70));
    // Export and import share the row below the save button, inside its frame.
    QCOMPARE(rectOf(fixed, FixedControl::Export), QRect(1675, 432, 101, 50));
    QCOMPARE(rectOf(fixed, FixedControl::Import), QRect(1784, 432, 101, 50));
    QCOMPARE(rectOf(fixed, FixedControl::Pages), QRect(11, 503, 1896, 503));
    QCOMPARE(rectOf(fixed, FixedControl::TextBox), QRect(149, 460, 1756, 40));

    const PickerPlacement picker = computePickerPlacement(1920, 1006);
    QCOMPARE(picker.dialog, QRect(192, 251, 1516, 603));
    QCOMPARE(picker.title, QRect(422, 20, 576, 40));
    QCOMPARE(picker.boards[3], QRect(90, 301, 480, 251));  // the 6+2 board
    for (const QRect& board : picker.boards)
        QVERIFY(!board.isEmpty());
}

void TestLayoutTable::unknownLayoutIsEmpty()
{
    for (int id : {0, 32, -1}) {
        const LayoutPlacement p = computeLayout(id, 1920, 1006);
        QCOMPARE(p.layout, 0);
        QVERIFY(p.buttons.empty());
    }
}


// With every control shown, no board's plate or text box runs into a control
// and no two controls meet, on the common screens (less a title bar and panel).
void TestLayoutTable::everyBoardLeavesTheControlsFree()
{
    for (QSize size : {QSize(1366, 768), QSize(1366, 705), QSize(1920, 1080), QSize(1920, 1017)}) {
        std::vector<ControlRect> controls;
        for (const ControlRect& c : computeFixedControls(size.width(), size.height())) {
            // The frame holds the action buttons; the text box gets its place from the board.
            if (c.id != FixedControl::ActionFrame && c.id != FixedControl::TextBox && c.id != FixedControl::SelectedKey)
                controls.push_back(c);
        }
        for (size_t i = 0; i < controls.size(); ++i)
            for (size_t j = i + 1; j < controls.size(); ++j)
                QVERIFY2(!controls[i].rect.intersects(controls[j].rect),
                         qPrintable(QStringLiteral("%1 meets %2").arg(int(controls[i].id)).arg(int(controls[j].id))));
        for (int id = 1; id <= kLayoutCount; ++id) {
            const LayoutPlacement p = computeLayout(id, size.width(), size.height());
            for (const QRect& block : {p.plate, p.textBox})
                for (const ControlRect& c : controls)
                    QVERIFY2(!block.intersects(c.rect),
                             qPrintable(QStringLiteral("layout %1 meets %2 at %3x%4")
                                            .arg(id).arg(int(c.id)).arg(size.width()).arg(size.height())));
        }
    }
}

QTEST_APPLESS_MAIN(TestLayoutTable)
#include "test_layout_table.moc"
