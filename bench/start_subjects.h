#pragma once

#include <string>
#include <vector>

// A program whose start is timed from spawn to exit, each run a fresh
// process. It prints "VmRSS_kB=<n>" before it quits when its resident memory
// is to be compared; one that prints nothing gets no memory row.
struct StartProgram {
    std::string name;  // as the table names it
    std::string path;
    std::vector<std::string> arguments;
};

// A program held against the bare baseline of its kind, the two started in
// turn within the same benchmark run.
struct StartComparison {
    StartProgram subject;
    StartProgram baseline;
    double startRatioTarget;   // at most this many times the baseline's start
    double memoryRatioTarget;  // 0: no memory target
    std::string benchmarkName() const { return "StartVsBare/" + subject.name; }
};

// The two floors: the program's application set-up with a plain window, and
// a QCoreApplication for a command-line tool.
const StartProgram& bareWindowProgram();
const StartProgram& bareCoreProgram();

// Every comparison the benchmarks run and the table shows, in table order.
const std::vector<StartComparison>& startComparisons();
