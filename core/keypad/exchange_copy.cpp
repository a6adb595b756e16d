#include "core/keypad/exchange_copy.h"

#include "core/keypad/keypad_config.h"

#include <cstring>

namespace {

template <typename T, size_t N>
bool same(const T (&a)[N], const T (&b)[N])
{
    return std::memcmp(a, b, sizeof a) == 0;
}

template <typename T, size_t N>
void copy(T (&to)[N], const T (&from)[N])
{
    std::memcpy(to, from, sizeof to);
}

}  // namespace

std::unique_ptr<KeypadConfig> workingCopy(const ConfigStore& store)
{
    auto config = std::make_unique<KeypadConfig>();
    config->rawStore() = store;
    return config;
}

void applyExchange(KeypadConfig& config, const ConfigStore& before, const ConfigStore& after)
{
    ConfigStore& now = config.rawStore();
    for (int layer = 0; layer < kLayers; ++layer) {
        for (int slot = 0; slot < kSlotsPerLayer; ++slot) {
            const bool bytesEdited = !same(now.PHY2_KEY_Value[layer][slot], before.PHY2_KEY_Value[layer][slot])
                                     || !same(now.PHY_KEY_Value[layer][slot], before.PHY_KEY_Value[layer][slot]);
            if (bytesEdited) {
                // Whatever the keypad now holds, it is not this edit.
                now.KeyDirty[layer][slot] = 1;
                continue;
            }
            if (now.KeyDirty[layer][slot] != before.KeyDirty[layer][slot])
                continue;
            const bool read = !same(after.PHY2_KEY_Value[layer][slot], before.PHY2_KEY_Value[layer][slot])
                              || !same(after.PHY_KEY_Value[layer][slot], before.PHY_KEY_Value[layer][slot]);
            now.KeyDirty[layer][slot] = after.KeyDirty[layer][slot];
            if (!read)
                continue;
            copy(now.PHY2_KEY_Value[layer][slot], after.PHY2_KEY_Value[layer][slot]);
            copy(now.PHY_KEY_Value[layer][slot], after.PHY_KEY_Value[layer][slot]);
            config.notifyChanged(layer, slot);
        }
    }
    for (int layer = 0; layer < kLayers; ++layer) {
        now.LedFromKeypad[layer] = after.LedFromKeypad[layer];
        const bool editedMeanwhile = !same(now.KeyBoard_KeyLed[layer], before.KeyBoard_KeyLed[layer])
                                     || now.LayerLedMode[layer] != before.LayerLedMode[layer]
                                     || now.LedDirty[layer] != before.LedDirty[layer];
        if (editedMeanwhile) {
            // Whatever the keypad now holds, it is not this edit.
            now.LedDirty[layer] = 1;
            continue;
        }
        now.LedDirty[layer] = after.LedDirty[layer];
        if (same(after.KeyBoard_KeyLed[layer], before.KeyBoard_KeyLed[layer])
            && after.LayerLedMode[layer] == before.LayerLedMode[layer])
            continue;
        copy(now.KeyBoard_KeyLed[layer], after.KeyBoard_KeyLed[layer]);
        now.LayerLedMode[layer] = after.LayerLedMode[layer];
        config.notifyLedChanged(layer);
    }
}
