#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

struct MeasuredRun {
    double realSeconds = 0;  // per iteration
    double cpuSeconds = 0;   // per iteration
    std::map<std::string, double> counters;
    std::string error;  // empty when the run went as designed
};

// Prints the usual per-benchmark lines and keeps each run for the table.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    CollectingReporter() : benchmark::ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override;
    const std::map<std::string, MeasuredRun>& runs() const { return runs_; }

private:
    std::map<std::string, MeasuredRun> runs_;  // by the name it was registered under
};

// The one table: measure, value, target, met?
std::string resultsTable(const std::map<std::string, MeasuredRun>& runs);
