#pragma once

#include <QStringList>

// The process entry. On Windows the wide command line is turned into an
// argument vector in the local code page before the main routine runs (the
// narrow argv of a GUI program may be lossy there); elsewhere the ordinary
// argument vector is used as it is.
QStringList argumentsAsStrings(int argc, char** argv);

using MainRoutine = int (*)(int argc, char** argv);
int runWithPlatformArguments(MainRoutine routine, int argc, char** argv);

#define TESSAPLEX_ENTRY_POINT(routine) \
    int main(int argc, char** argv) { return runWithPlatformArguments(routine, argc, argv); }
