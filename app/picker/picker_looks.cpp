#include "app/picker/picker_looks.h"

namespace {
const PickerLook kLooks[ModelCatalogue::kPickerCount] = {
    {"BT_12key_2VT", "KB_12key_2VT", ":/image/KB_12ADD2"},
    {"BT_5key_Mute", "KB_5key_Mute", ":/image/KB_5KEY_MUTE"},
    {"BT_3key_1VT_Mute", "KB_3key_1VT_Mute", ":/image/KB_3ADD1"},
    {"BT_6key_2VT", "KB_6key_2VT", ":/image/KB_6ADD2"},
    {"BT_6key_0VT", "KB_6key_0VT", ":/image/KB_6KEY"},
    {"BT_9key_3VT", "KB_9key_3VT", ":/image/KB_9ADD3.png"},
};
}  // namespace

const PickerLook& pickerLook(int index) { return kLooks[index]; }
