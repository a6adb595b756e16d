#include "core/keypad/model_catalogue.h"

namespace {

const PickerModel kPicker[ModelCatalogue::kPickerCount] = {
    {1, 0x020C},
    {2, 0x0005},
    {3, 0x0103},
    {4, 0x0206},
    {5, 0x0006},
    {6, 0x0309},
};

const CatalogueModel kCatalogue[ModelCatalogue::kCatalogueCount] = {
    {1, "2KEY", 2, 0, 0},      {2, "3+1KEY", 3, 1, 0},     {3, "4KEY", 4, 0, 0},
    {4, "4+1KEY", 4, 1, 0},    {5, "5KEY", 5, 0, 0},       {6, "6KEY", 6, 0, 0},
    {7, "6+1KEY", 6, 1, 0},    {8, "6+2KEY", 6, 2, 0},     {9, "9+2KEY", 9, 2, 0},
    {10, "9+3KEY", 9, 3, 0},   {11, "11+3KEY", 11, 3, 0},  {12, "12+2KEY", 12, 2, 0},
    {13, "12+3KEY", 12, 3, 0}, {14, "15+3KEY", 15, 3, 0},  {15, "4+1_2KEY", 4, 1, 1},
    {16, "3KEY", 3, 0, 0},
};

}  // namespace

namespace ModelCatalogue {

const PickerModel* pickerModels() { return kPicker; }

const PickerModel* pickerModel(int groupId)
{
    if (groupId < 1 || groupId > kPickerCount)
        return nullptr;
    return &kPicker[groupId - 1];
}


const CatalogueModel* catalogueModel(int id)
{
    if (id < 1 || id > kCatalogueCount)
        return nullptr;
    return &kCatalogue[id - 1];
}

}  // namespace ModelCatalogue

void storePickerValue(uint8_t identity[4], uint16_t value)
{
    identity[0] = static_cast<uint8_t>(value & 0xFF);
    identity[1] = static_cast<uint8_t>(value >> 8);
}

bool shouldAdoptIdentity(const uint8_t cur[4], const uint8_t layout[4])
{
    if (cur[0] == 0 && cur[1] == 0)
        return false;
    return cur[0] != layout[0] || cur[1] != layout[1];
}
