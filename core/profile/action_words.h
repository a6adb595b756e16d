#pragma once

#include "core/keypad/board.h"
#include "core/keypad/keypad_image.h"

#include <QString>
#include <QStringList>

#include <optional>


// One record in words a person can read and edit, and back. The words for
// the bytes the program knows how to name are the captions of the window
// ("Ctrl+ C", "Volume+", "Mouse LeftKey", "LED Mode3 Red"); whatever they do
// not say is appended as "@offset=hex" patches, so words -> record gives the
// exact bytes back for any record.
namespace ActionWords {

using Record = KeypadImage::Record;

struct Context {
    bool currentFormat = true;
    int layer = 0;  // 0..2
    int slot = 1;   // 0..59
    bool gestures = true;  // the firmware plays touch gestures
};
// The context of a slot of a board: its format and what its firmware holds.
Context contextOn(const Board& board, int layer, int slot);

QString describe(const Record& record, const Context& context);
std::optional<Record> parse(const QString& words, const Context& context, QString* error);
// argv words of the command line: a caption with spaces may come as one
// argument ("Mouse LeftKey") or as several (Mouse LeftKey).
std::optional<Record> parseCommandLine(const QStringList& words, const Context& context, QString* error);

// A record that was never written: what an untouched keypad holds.
bool isBlank(const Record& record);
// Empty by the one rule (RecordCodec::isEmpty): described as "none".
bool holdsNothing(const Record& record);
// The record "none" gives: a key that is assigned nothing.
Record clearedRecord(const Context& context);

// The same action in the other record format. record is empty when it has no
// form there; note then says why, and also names what a conversion left out
// (per-entry delays). Same-format input is returned unchanged.
struct Conversion {
    std::optional<Record> record;
    QString note;
};
Conversion convert(const Record& record, const Context& from, const Context& to);

}  // namespace ActionWords
