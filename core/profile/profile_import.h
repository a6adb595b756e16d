#pragma once

#include "core/keypad/keypad_image.h"
#include "core/profile/profile.h"

#include <QString>
#include <QStringList>

#include <array>

// A profile put onto the connected keypad: "the keypad as the file says".
//
// image is the connected keypad's content with the profile applied, so
// applying it is one KeypadConfig::applyImage(result.image): records and LED
// blocks that do not change are equal to the current ones. Rules:
// - a key or knob action the file lists gets the file's action;
// - one the file leaves out, on a board the file was made for that has it,
//   is cleared (a record holding nothing is left as it is);
// - keys and knob actions travel by name ("K3", "knob 1 left"), which each
//   board places on its own slots; those the connected board lacks are listed
//   in notImported, and so are actions its firmware cannot hold;
// - "none" onto a key that holds nothing changes nothing;
//   keys the file's board lacked, layers it leaves out, LED blocks and the old
//   format's layer lighting it does not list are left untouched;
// - a profile of the other record format has its actions converted where both
//   formats have them (keys and combinations that fit, media, mouse buttons and
//   wheel); the rest is listed in notImported and left untouched.
struct ProfileImport {
    KeypadImage image;
    std::array<std::array<bool, KeypadImage::kSlots>, KeypadImage::kLayers> recordChanged{};
    std::array<bool, KeypadImage::kLayers> ledChanged{};
    QStringList notImported;  // "layer 2, K14: this keypad has 12 keys", ...
    int changes = 0;          // records and LED blocks that differ from before

    // One text for a status bar or a terminal.
    QString message() const;
};

// productId picks between the two boards of some identities (see Board).
ProfileImport importProfile(const LoadedProfile& profile, const KeypadImage& current, uint16_t productId = 0);
