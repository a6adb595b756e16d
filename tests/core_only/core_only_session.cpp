// A whole session without a window: find the keypad, read it, edit one key,
// save, and find the edit in the keypad's memory.
#include "core/keypad/keypad_config.h"
#include "core/keypad/keypad_sync.h"
#include "core/device/keypad_connection.h"
#include "core/device/simulated_keypad.h"
#include "core/keypad/key_table.h"

#include <algorithm>
#include <cstdio>

namespace {
int fail(const char* what)
{
    std::fprintf(stderr, "core_only_session: %s\n", what);
    return 1;
}
}  // namespace

int main()
{
    SimulatedKeypad keypad(DeviceInfo{15, 3, 10, 0});
    uint8_t* held = keypad.storedRecords[0][2];
    held[0] = 0xFD, held[1] = 2, held[2] = 1, held[3] = ModeKeys, held[5] = 1, held[8] = 0x05;

    KeypadConnection connection(keypad);
    if (connection.connectNow() != KeypadConnection::State::Connected || !connection.identity().answered)
        return fail("keypad not connected");
    KeypadConfig config;
    config.adoptDeviceInfo(connection.identity().info);
    if (readAllKeyRecords(connection.link(), config).repliesStored != 75)
        return fail("read-back incomplete");
    if (config.record(0, 2)[8] != 0x05 || config.anyUnsaved())
        return fail("read-back did not land");
    for (int layer = 0; layer < 3; ++layer)
        if (readLedBlock(connection.link(), config, layer) != LedReadOutcome::Stored)
            return fail("LED block not read");

    // What was read is the keypad's memory to the byte, never-written slots
    // included, and taking it back in changes nothing.
    const KeypadImage image = config.image();
    for (int layer = 0; layer < 3; ++layer) {
        for (int slot = 1; slot <= 25; ++slot)
            if (!std::equal(image.records[layer][slot].begin(), image.records[layer][slot].end(),
                            keypad.storedRecords[layer][slot]))
                return fail("image differs from the keypad's records");
        if (image.led[layer].mode != keypad.ledBlocks[layer].mode ||
            !std::equal(image.led[layer].colours.begin(), image.led[layer].colours.end(), keypad.ledBlocks[layer].colours))
            return fail("image differs from the keypad's LED blocks");
    }
    if (config.applyImage(image) != 0 || config.anyUnsaved())
        return fail("taking the image back in changed something");

    config.selectKey(3);
    if (config.addKeyCode(KeyTable::findCode(0x04, 112, 223)) != WriteResult::Written)
        return fail("edit refused");
    const DownloadResult saved = downloadConfig(connection.link(), config);
    if (saved.outcome != DownloadOutcome::Saved || saved.recordsWritten != 1 || saved.commitsWritten != 1)
        return fail("save failed");
    if (keypad.storedRecords[0][3][8] != 0x04 || config.anyUnsaved())
        return fail("edit not in the keypad");
    return 0;
}
