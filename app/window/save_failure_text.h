#pragma once

#include <QString>

struct DownloadResult;

// The save-failed notice followed by what did reach the keypad: how many
// records it took and whether they were committed, which LED layers went out.
// A failure that left part of the keypad changed must not read as "nothing
// happened".
QString saveFailureText(const DownloadResult& result, int language);
