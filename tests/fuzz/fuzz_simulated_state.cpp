// The simulated keypad's state file from arbitrary bytes: either it is
// refused and the keypad keeps every byte it had, or it loads and writing it
// out again gives a file that loads to the same memory.
#include "fuzz_support.h"

#include "core/device/simulated_state.h"

#include <QByteArray>
#include <QString>

#include <cstring>

namespace {

bool sameMemory(const SimulatedKeypad& a, const SimulatedKeypad& b)
{
    if (!(a.info == b.info) || std::memcmp(a.storedRecords, b.storedRecords, sizeof a.storedRecords) != 0)
        return false;
    for (int layer = 0; layer < 3; ++layer)
        if (a.ledBlocks[layer].mode != b.ledBlocks[layer].mode ||
            std::memcmp(a.ledBlocks[layer].colours, b.ledBlocks[layer].colours, kLedColourBytes) != 0)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceQtLog();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));
    SimulatedKeypad keypad;
    keypad.storedRecords[1][7][9] = 0x5A;
    keypad.ledBlocks[2].mode = 3;
    SimulatedKeypad before;
    std::memcpy(before.storedRecords, keypad.storedRecords, sizeof keypad.storedRecords);
    before.ledBlocks[2].mode = 3;

    if (!SimulatedStateFile::deserialize(bytes, keypad).isEmpty()) {
        if (!sameMemory(keypad, before))
            abort();
        return 0;
    }
    SimulatedKeypad again;
    if (!SimulatedStateFile::deserialize(SimulatedStateFile::serialize(keypad), again).isEmpty() ||
        !sameMemory(keypad, again))
        abort();
    return 0;
}
