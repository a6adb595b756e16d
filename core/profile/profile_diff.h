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
    QString before;  // "(unassigned)" for a record never written
    QString after;
};

namespace ProfileDiff {

QVector<ProfileDifference> differences(const KeypadImage& before, const KeypadImage& after);

// "layer 1, K3: Ctrl+ C -> Ctrl+ V", one line each; "no differences" when none.
QString toText(const QVector<ProfileDifference>& differences);
// [{"layer": 1, "place": "K3", "before": "Ctrl+ C", "after": "Ctrl+ V"}, ...]
QJsonArray toJson(const QVector<ProfileDifference>& differences);

}  // namespace ProfileDiff
