#include "core/keypad/value_routing.h"

#include "core/keypad/config_store.h"
#include "core/keypad/key_table.h"

ValueRoute routeValueClick(int tableIndex, uint8_t selectedKey, bool currentFormat)
{
    if (tableIndex < 0 || tableIndex >= KeyTable::kSize)
        return ValueRoute::NotFound;
    const KeyGroup group = KeyTable::groupOf(tableIndex);
    // Colour and mode captions live only on the lighting page; sending them to
    // the key writer would store a colour as a key code.
    if (group == KeyGroup::Lighting)
        return currentFormat ? ValueRoute::NotFound : ValueRoute::OldLighting;
    if (selectedKey == 0)
        return ValueRoute::NoKeySelected;
    switch (group) {
    case KeyGroup::Modifier: return ValueRoute::Modifier;
    case KeyGroup::Multimedia: return ValueRoute::Media;
    case KeyGroup::Mouse: return ValueRoute::Mouse;
    default: return ValueRoute::KeyCode;
    }
}

ValueFilterStage valueFilterStage(int currentPage, bool currentFormat, uint8_t mode)
{
    if (currentPage == 5)
        return ValueFilterStage::Swallow;
    if (currentFormat && mode == ModeLighting)
        return ValueFilterStage::LeaveToPage;
    return ValueFilterStage::Route;
}
