#pragma once

#include "core/keypad/keypad_image.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// A profile as read from a file: the keypad it describes, and which parts
// the file actually lists. Parts a file leaves out read as an untouched
// keypad (zero records, zero LED blocks); an import uses the flags to tell
// "left out" from "written as empty".
struct LoadedProfile {
    KeypadImage image;
    std::array<bool, KeypadImage::kLayers> layerListed{};
    std::array<std::array<bool, KeypadImage::kSlots>, KeypadImage::kLayers> recordListed{};
    std::array<bool, KeypadImage::kLayers> ledListed{};
    QString source;  // the file, as messages name it
};

// The profile file: JSON, UTF-8. Keys and knob actions by name with their
// action in words, the LED block per layer (current format) or the layer's
// lighting (old format). Records that hold nothing (RecordCodec::isEmpty) are left out.
namespace Profile {

constexpr const char* kFormat = "tessaplex-profile";
constexpr int kVersion = 1;

QByteArray toJson(const KeypadImage& image);
// Replaces the file atomically: a crash or a full disk leaves the one that was there.
bool saveProfile(const QString& path, const KeypadImage& image, QString* error);

// Everything is checked before anything is returned; a refusal gives one
// message naming the file and the place in it (layer, key, field).
// A key written twice in one object is refused too, naming the place.
std::optional<LoadedProfile> parseProfile(const QByteArray& json, const QString& source, QString* error);
// Only a regular file of at most FileIo::kSizeLimit bytes is opened, so the
// window never waits on a FIFO; allowStreams (the command line) also reads a
// FIFO or character device, up to the same limit.
std::optional<LoadedProfile> loadProfile(const QString& path, QString* error, bool allowStreams = false);

// "#rrggbb" of LED colour t (0..15) of a block.
QString colourName(const KeypadImage::LedBlock& block, int t);

}  // namespace Profile
