#include "core/device/simulated_keypad.h"
#include "core/profile/action_words.h"
#include "core/profile/file_io.h"
#include "core/profile/profile.h"
#include "core/profile/profile_diff.h"
#include "core/profile/profile_import.h"
#include "core/profile/backup_store.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <sys/stat.h>

namespace {

KeypadImage::Record words(const QString& text, bool current, int layer, int slot)
{
    QString error;
    const auto r = ActionWords::parse(text, {current, layer, slot}, &error);
    if (!r)
        qFatal("%s: %s", qPrintable(text), qPrintable(error));
    return *r;
}

// Keypad A's memory filled the way saves leave it: actions of every kind,
// the delay page's leftovers, a record with bytes nobody names, LED blocks.
KeypadImage keypadA(bool current)
{
    SimulatedKeypad a(DeviceInfo{15, 3, uint8_t(current ? 11 : 9), 0});
    QRandomGenerator rng(current ? 7 : 9);
    const char* actions[] = {"Ctrl+ C", "Volume+", "Mouse Right", "Alt+Mouse Down", "A 100ms B",
                             "Procreate: Redo", "none", "!", "300ms Ctrl+ S", "Like", "ENTER"};
    for (int layer = 0; layer < 3; ++layer) {
        for (int slot = 1; slot <= 24; ++slot) {
            QString text = QLatin1String(actions[(slot + layer) % 11]);
            if (!current && (text == "A 100ms B" || text == "Like"))
                text = "Mouse LeftKey";
            if (current && text.startsWith("300ms"))
                text = "Ctrl+ S delays=0,50*17";
            const auto r = words(text, current, layer, slot);
            std::memcpy(a.storedRecords[layer][slot], r.data(), r.size());
        }
        a.storedRecords[layer][7][current ? 62 : 40] = uint8_t(rng.bounded(1, 256));
        if (!current) {
            const auto lighting = words("LED Mode2 Purple", false, layer, 0);
            std::memcpy(a.storedRecords[layer][0], lighting.data(), lighting.size());
        }
        a.ledBlocks[layer].mode = uint8_t(current ? layer + 1 : 0);
        for (auto& c : a.ledBlocks[layer].colours)
            c = current ? uint8_t(rng.bounded(256)) : 0;
    }
    KeypadImage image;
    image.identity = a.info;
    for (int layer = 0; layer < 3; ++layer) {
        for (int slot = 0; slot < 60; ++slot)
            std::memcpy(image.records[layer][slot].data(), a.storedRecords[layer][slot], 64);
        image.led[layer].mode = a.ledBlocks[layer].mode;
        std::memcpy(image.led[layer].colours.data(), a.ledBlocks[layer].colours, kLedColourBytes);
    }
    return image;
}

// The same keypad by the one rule: records that hold nothing are equal whatever their mode bytes.
bool sameKeypad(const KeypadImage& x, const KeypadImage& y)
{
    for (int layer = 0; layer < KeypadImage::kLayers; ++layer)
        for (int slot = 0; slot < KeypadImage::kSlots; ++slot) {
            const auto& a = x.records[size_t(layer)][size_t(slot)];
            const auto& b = y.records[size_t(layer)][size_t(slot)];
            if (a != b && !(ActionWords::holdsNothing(a) && ActionWords::holdsNothing(b)))
                return false;
        }
    return x.identity == y.identity && x.led == y.led;
}

LoadedProfile loaded(const KeypadImage& image)
{
    QString error;
    const auto p = Profile::parseProfile(Profile::toJson(image), "test.json", &error);
    if (!p)
        qFatal("%s", qPrintable(error));
    return *p;
}

QByteArray edited(const std::function<void(QJsonObject&)>& edit)
{
    QJsonObject root = QJsonDocument::fromJson(Profile::toJson(keypadA(true))).object();
    edit(root);
    return QJsonDocument(root).toJson();
}

void setLayerField(QJsonObject& root, int layer, const QString& path, const QJsonValue& value)
{
    QJsonArray layers = root["layers"].toArray();
    QJsonObject l = layers[layer].toObject();
    const QStringList parts = path.split('/');
    if (parts.size() == 1) {
        l[parts[0]] = value;
    } else {
        QJsonObject inner = l[parts[0]].toObject();
        inner[parts[1]] = value;
        l[parts[0]] = inner;
    }
    layers[layer] = l;
    root["layers"] = layers;
}

}  // namespace

class TestProfile : public QObject {
    Q_OBJECT

private slots:
    void codecRoundTrip_data();
    void codecRoundTrip();
    void refusals_data();
    void refusals();
    void importOntoASmallerBoard();
    void importOntoTheOtherFormat();
    void differencesInWords();
    void examplesLoad();
    void filesAreRegularAndLimited();
};

void TestProfile::codecRoundTrip_data()
{
    QTest::addColumn<bool>("current");
    QTest::newRow("current format") << true;
    QTest::newRow("old format") << false;
}

void TestProfile::codecRoundTrip()
{
    QFETCH(bool, current);
    const KeypadImage a = keypadA(current);
    QTemporaryDir dir;
    const QString path = dir.filePath("a.json");
    QString error;
    QVERIFY2(Profile::saveProfile(path, a, &error), qPrintable(error));
    const auto back = Profile::loadProfile(path, &error);
    QVERIFY2(back, qPrintable(error));
    QVERIFY(sameKeypad(back->image, a));
    // Records that hold nothing ("none" twice in layer 1) are left out; everything else is named.
    const QJsonObject layer = QJsonDocument::fromJson(Profile::toJson(a)).object()["layers"].toArray()[0].toObject();
    QCOMPARE(layer["keys"].toObject().size(), 22);
    QCOMPARE(layer["keys"].toObject()["K2"].toString(), QString("Mouse Right"));
    QCOMPARE(layer.contains("lighting"), !current);
    QCOMPARE(layer.contains("led"), current);
    QVERIFY(!Profile::saveProfile(dir.filePath("missing/dir/a.json"), a, &error));
}

void TestProfile::refusals_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("message");
    QTest::newRow("damaged") << Profile::toJson(keypadA(true)).left(300) << "test.json: damaged or not JSON";
    QTest::newRow("not a profile") << QByteArray("[1, 2]") << "not a TESSAPLEX profile";
    QTest::newRow("unknown format") << edited([](QJsonObject& r) { r["format"] = "other-tool"; })
                                    << "test.json: format: unknown format \"other-tool\"";
    QTest::newRow("newer version") << edited([](QJsonObject& r) { r["version"] = 2; })
                                   << "version: 2 was written by a newer TESSAPLEX";
    QTest::newRow("unknown key") << edited([](QJsonObject& r) { setLayerField(r, 1, "keys/K16", "A"); })
                                 << "layer 2, \"K16\": unknown key name";
    QTest::newRow("unknown word") << edited([](QJsonObject& r) { setLayerField(r, 0, "keys/knob 2 press", "Ctrl+ Banana"); })
                                  << "layer 1, \"knob 2 press\": unknown word \"Banana\"";
    QTest::newRow("too many entries")
        << edited([](QJsonObject& r) { setLayerField(r, 2, "keys/K4", QString("B ").repeated(19)); })
        << "layer 3, \"K4\": too many entries";
    QTest::newRow("led mode") << edited([](QJsonObject& r) {
        setLayerField(r, 0, "led", QJsonObject{{"mode", 9}, {"colours", QJsonArray()}});
    }) << "layer 1, led, mode: 9 is out of range (0 to 5)";
    QTest::newRow("colour") << edited([](QJsonObject& r) {
        QJsonArray c;
        for (int i = 0; i < 16; ++i)
            c.append(i == 4 ? "#12345" : "#000000");
        setLayerField(r, 0, "led", QJsonObject{{"mode", 1}, {"colours", c}});
    }) << "layer 1, led, colours, key 5: \"#12345\" is not a colour";
    QTest::newRow("firmware") << edited([](QJsonObject& r) {
        QJsonObject k = r["keypad"].toObject();
        k["firmware"] = 300;
        r["keypad"] = k;
    }) << "keypad, firmware: 300 is out of range";
    QTest::newRow("lighting on current") << edited([](QJsonObject& r) { setLayerField(r, 0, "lighting", "LED Mode1"); })
                                         << "layer 1, lighting: a layer's lighting belongs to old firmware";
    QTest::newRow("listed twice") << edited([](QJsonObject& r) { setLayerField(r, 0, "keys/KEY1", "A"); })
                                  << "listed twice";
    // A key written twice is refused wherever it is, escapes decoded, with its place.
    const QByteArray base = Profile::toJson(keypadA(true));
    const auto twice = [&](const char* row, const QByteArray& from, const QByteArray& to, int occurrence,
                           const QString& place) {
        QByteArray json = base;
        int at = -1;
        for (int i = 0; i <= occurrence; ++i)
            at = json.indexOf(from, at + 1);
        QTest::newRow(row) << json.replace(at, from.size(), to) << place + ": written twice";
    };
    twice("twice at the top", "\"version\": 1,", "\"version\": 1, \"version\": 1,", 0, "test.json: \"version\"");
    twice("twice in keypad", "{ \"keys\":", "{ \"knobs\": 1, \"keys\":", 0, "keypad, \"knobs\"");
    twice("twice in keys", "\"keys\": {", "\"keys\": { \"K3\": \"A\", \"K\\u0033\": \"B\",", 1,
          "layer 2, \"K3\"");
    twice("twice in led", "\"mode\": ", "\"mode\": 1, \"mode\": ", 0, "layer 1, led, \"mode\"");
    QTest::newRow("four layers") << edited([](QJsonObject& r) {
        QJsonArray l = r["layers"].toArray();
        l.append(l[0]);
        r["layers"] = l;
    }) << "layers: must be a list of 1 to 3 layers";
}

void TestProfile::refusals()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, message);
    QString error;
    QVERIFY(!Profile::parseProfile(json, "test.json", &error));
    QVERIFY2(error.startsWith("test.json: ") && error.contains(message), qPrintable(error));
    QVERIFY2(!error.contains("layers, "), qPrintable(error));  // places read "layer 2, ...", not the JSON path
    QVERIFY(!error.contains('\n'));
}

void TestProfile::importOntoASmallerBoard()
{
    // The file: 15 keys, 3 knobs; K2 left out (so cleared), K14 and knob 3 set.
    KeypadImage file;
    file.identity = {15, 3, 10, 0};
    file.records[0][1] = words("Ctrl+ C", true, 0, 1);
    file.records[0][14] = words("Ctrl+ V", true, 0, 14);
    file.records[0][22] = words("Volume-", true, 0, 22);
    file.records[0][16] = words("Volume+", true, 0, 16);
    file.led[0].mode = 4;
    // The keypad: 12 keys, 2 knobs, with K2 and K5 of layer 2 in use.
    KeypadImage board;
    board.identity = {12, 2, 10, 0};
    board.records[0][2] = words("A", true, 0, 2);
    board.records[1][5] = words("B", true, 1, 5);
    board.records[0][12] = words("C", true, 0, 12);

    LoadedProfile p = loaded(file);
    const ProfileImport result = importProfile(p, board);
    QCOMPARE(result.image.identity, board.identity);
    QCOMPARE(result.image.records[0][1], file.records[0][1]);
    QCOMPARE(result.image.records[0][16], file.records[0][16]);
    QCOMPARE(result.image.records[0][2], ActionWords::clearedRecord({true, 0, 2}));
    QCOMPARE(result.image.records[1][5], ActionWords::clearedRecord({true, 1, 5}));
    QVERIFY(ActionWords::isBlank(result.image.records[0][14]));
    QVERIFY(ActionWords::isBlank(result.image.records[0][22]));
    QCOMPARE(result.image.led[0].mode, uint8_t(4));
    QCOMPARE(result.notImported, QStringList({"layer 1, K14 (Ctrl+ V): this keypad has 12 keys",
                                              "layer 1, knob 3 left (Volume-): this keypad has 2 knobs"}));
    QCOMPARE(result.changes, 6);  // K1, knob 1 left, K2, K12, layer-2 K5, the LED block of layer 1
    QVERIFY(result.recordChanged[0][1] && !result.recordChanged[0][3]);

    // A file from a 12-key board leaves this board's K13..K15 alone.
    file.identity = {12, 2, 10, 0};
    file.records[0][14] = {};
    file.records[0][22] = {};
    KeypadImage bigger = board;
    bigger.identity = {15, 3, 10, 0};
    bigger.records[0][13] = words("D", true, 0, 13);
    const ProfileImport onto15 = importProfile(loaded(file), bigger);
    QCOMPARE(onto15.image.records[0][13], bigger.records[0][13]);
    QVERIFY(onto15.notImported.isEmpty());

    // Importing what a keypad holds onto itself changes nothing.
    QCOMPARE(importProfile(loaded(board), board).changes, 0);
}

void TestProfile::importOntoTheOtherFormat()
{
    const KeypadImage current = keypadA(true);
    KeypadImage old;
    old.identity = {15, 3, 9, 0};
    const ProfileImport down = importProfile(loaded(current), old);
    // Layer 1: K2 Mouse Right, K3 Alt+Mouse Down, K4 "A 100ms B", K5 Redo, K9 Like.
    auto oldWords = [&](int layer, int slot) {
        return ActionWords::describe(down.image.records[layer][slot], {false, layer, slot});
    };
    QCOMPARE(oldWords(0, 2), QString("Mouse Right"));
    QCOMPARE(oldWords(0, 3), QString("Alt+Mouse Down"));
    QCOMPARE(oldWords(0, 4), QString("A B"));
    QCOMPARE(oldWords(0, 5), QString("Shift+ Win+ Z"));
    QVERIFY(ActionWords::isBlank(down.image.records[0][9]));
    QVERIFY(down.notImported.contains("layer 1, K9 (Like): Like: touch gestures exist only in the current format"));
    QVERIFY(down.notImported.contains(
        "layer 1, K4 (A 100ms B): its delays between keys were left out (the old format has none)"));
    QVERIFY(down.notImported.filter("@62=").size() == 3);  // the unnamed byte of K7, once per layer
    QVERIFY(down.notImported.filter("LED colours").size() == 3);
    QVERIFY(down.image.led == old.led);

    // Old to current: the lighting and the old delay stay behind, the rest converts.
    const KeypadImage fromOld = keypadA(false);
    KeypadImage fresh;
    fresh.identity = {15, 3, 10, 0};
    const ProfileImport up = importProfile(loaded(fromOld), fresh);
    QCOMPARE(ActionWords::describe(up.image.records[1][6], {true, 1, 6}), QString("Shift+ 1!"));
    QVERIFY(up.notImported.filter("lighting").size() == 3);
    QVERIFY(!up.notImported.filter("300ms Ctrl+ S").isEmpty());
}

void TestProfile::differencesInWords()
{
    KeypadImage a;
    a.identity = {15, 3, 10, 0};
    a.records[0][3] = words("Ctrl+ C", true, 0, 3);
    KeypadImage b = a;
    b.records[0][3] = words("Ctrl+ V", true, 0, 3);
    b.records[2][16] = words("Volume+", true, 2, 16);
    b.led[1].colours[3] = 0xFF;
    const auto d = ProfileDiff::differences(a, b);
    QCOMPARE(ProfileDiff::toText(d), QString("layer 1, K3: Ctrl+ C -> Ctrl+ V\n"
                                             "layer 2, LED K2: #000000 -> #ff0000\n"
                                             "layer 3, knob 1 left: none -> Volume+"));
    QCOMPARE(ProfileDiff::toJson(d)[0].toObject()["after"].toString(), QString("Ctrl+ V"));
    QCOMPARE(ProfileDiff::toText(ProfileDiff::differences(a, a)), QString("no differences"));
}

void TestProfile::examplesLoad()
{
    const QDir examples(QStringLiteral(TESSAPLEX_SOURCE_DIR "/docs/examples"));
    const QStringList files = examples.entryList({"*.json"});
    QCOMPARE(files.size(), 2);
    for (const QString& name : files) {
        QString error;
        const auto p = Profile::loadProfile(examples.filePath(name), &error);
        QVERIFY2(p, qPrintable(error));
        // Written back and read again, an example means the same keypad.
        QVERIFY(loaded(p->image).image == p->image);
        KeypadImage board;
        board.identity = p->image.identity;
        QVERIFY(importProfile(*p, board).notImported.isEmpty());
    }
}

// The window imports through loadProfile: a FIFO or a device is refused at
// once (never waited on or read to its end), an oversized file unread; an
// export never replaces what is not a regular file.
void TestProfile::filesAreRegularAndLimited()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.json");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = dir.filePath("zero.json");
    QVERIFY(QFile::link("/dev/zero", zero));
    const QString huge = dir.filePath("huge.json");
    QFile big(huge);
    QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(FileIo::kSizeLimit + 1));
    big.close();
    QElapsedTimer timer;
    timer.start();
    for (const QString& path : {fifo, zero, huge}) {
        QString error;
        QVERIFY(!Profile::loadProfile(path, &error));
        QVERIFY2(error.startsWith(path) && (error.contains("not a regular file") || error.contains("too large")),
                 qPrintable(error));
    }
    QVERIFY(timer.elapsed() < 1000);
    QString error;
    QVERIFY(!Profile::loadProfile(zero, &error, true));  // as a stream: read up to the limit, then refused
    QVERIFY2(error.contains("too large"), qPrintable(error));

    QVERIFY(!Profile::saveProfile(fifo, keypadA(true), &error));
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());

    qputenv("XDG_CONFIG_HOME", "relative/folder");
    qputenv("HOME", "/home/someone");
    QCOMPARE(FileIo::xdgHome("XDG_CONFIG_HOME", ".config"), QString("/home/someone/.config"));
    qunsetenv("HOME");
    QVERIFY(FileIo::xdgHome("XDG_CONFIG_HOME", ".config").isEmpty());
}

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_profile.moc"
