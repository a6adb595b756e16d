#pragma once

class QWidget;

// What the programs whose whole life is timed report before they quit.

// VmRSS of this process in kB, 0 when /proc cannot tell.
long residentMemoryKb();

// Prints "VmRSS_kB=<n>" on standard output, the line the start benchmarks read.
// With TESSAPLEX_BENCH_SMAPS set, also copies /proc/self/smaps to that file.
void printResidentMemory();

// Delivers events until the window system shows the window; false after 5 s.
bool waitUntilExposed(QWidget& window);
