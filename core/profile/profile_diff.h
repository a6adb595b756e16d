#pragma once

#include "core/keypad/keypad_image.h"

#include <QJsonArray>
#include <QString>
#include <QVector>

// What differs between two keypads' contents, in words, one entry per key,
// knob action, LED mode, LED colour or layer lighting.
struct ProfileDifference {
    int layer = 0;   // 1..3; 0 for the keypad's identity
    QString place;   // "K3", "knob 1 left", "lighting", "LED mode", "LED K4", "firmware", ...
    QString before;  // "none" for a record holding nothing (or never written)
    QString after;
    // A slot the keypad cannot report on a read-back: before is not known.
    bool writeOnly = false;
};

namespace ProfileDiff {

// Names and write-only slots are those of before's board. Two records that
// hold nothing are equal whatever their mode bytes.
QVector<ProfileDifference> differences(const KeypadImage& before, const KeypadImage& after);
// Differences that are known to be differences (not write-only).
int realDifferences(const QVector<ProfileDifference>& differences);

// "layer 1, K3: Ctrl+ C -> Ctrl+ V", one line each; "no differences" when none.
// A write-only slot reads "layer 1, lighting: write-only (the keypad cannot
// report it), set to LED Mode3 Red".
QString toText(const QVector<ProfileDifference>& differences);
// [{"layer": 1, "place": "K3", "before": "Ctrl+ C", "after": "Ctrl+ V"}, ...]
QJsonArray toJson(const QVector<ProfileDifference>& differences);

}  // namespace ProfileDiff
