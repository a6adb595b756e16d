#include "bench/results_table.h"

#include "bench/start_subjects.h"

#include <cstdio>
#include <functional>
#include <sstream>
#include <vector>

void CollectingReporter::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration)
            continue;
        MeasuredRun measured;
        const double iterations = run.iterations > 0 ? static_cast<double>(run.iterations) : 1.0;
        measured.realSeconds = run.real_accumulated_time / iterations;
        measured.cpuSeconds = run.cpu_accumulated_time / iterations;
        for (const auto& [name, counter] : run.counters)
            measured.counters[name] = counter.value;
        if (run.error_occurred)
            measured.error = run.error_message.empty() ? "failed" : run.error_message;
        runs_[run.run_name.function_name] = measured;
    }
}

namespace {

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string us(double seconds) { return format("%.2f µs", seconds * 1e6); }
std::string ms(double seconds) { return format("%.2f ms", seconds * 1e3); }
std::string ratio(double value, double base) { return base > 0 ? format("%.2f×", value / base) : "—"; }

struct Row {
    std::string measure;
    std::string value;
    std::string target;
    std::string met;
};

class TableBuilder {
public:
    explicit TableBuilder(const std::map<std::string, MeasuredRun>& runs) : runs_(runs) {}

    // A row whose figure comes from one run; `met` is empty when no target applies.
    void add(const std::string& measure, const std::string& runName, const std::string& target,
             const std::function<std::string(const MeasuredRun&)>& value,
             const std::function<bool(const MeasuredRun&)>& met = nullptr)
    {
        const auto it = runs_.find(runName);
        if (it == runs_.end()) {
            rows_.push_back({measure, "not run", target, met ? "no" : "—"});
            return;
        }
        const MeasuredRun& run = it->second;
        if (!run.error.empty()) {
            rows_.push_back({measure, "failed: " + run.error, target, met ? "no" : "—"});
            return;
        }
        rows_.push_back({measure, value(run), target, met ? (met(run) ? "yes" : "**no**") : "—"});
    }

    std::string markdown() const
    {
        std::ostringstream out;
        out << "| Measure | Value | Target | Met? |\n|---|---|---|---|\n";
        for (const Row& row : rows_)
            out << "| " << row.measure << " | " << row.value << " | " << row.target << " | " << row.met << " |\n";
        return out.str();
    }

private:
    const std::map<std::string, MeasuredRun>& runs_;
    std::vector<Row> rows_;
};

double counter(const MeasuredRun& run, const std::string& name)
{
    const auto it = run.counters.find(name);
    return it == run.counters.end() ? -1 : it->second;
}

constexpr double kTickBudgetSeconds = 1e-3;  // 1 % of one core at ten ticks a second
constexpr double kPerReportSeconds = 20e-6;
constexpr double kResizeSeconds = 5e-3;
constexpr double kStartSeconds = 0.4;
constexpr double kResidentKb = 80 * 1024;

}  // namespace

std::string resultsTable(const std::map<std::string, MeasuredRun>& runs)
{
    TableBuilder table(runs);
    const std::string tickBudget = "≤ 1 ms (own budget: 1 % of a core)";

    table.add("Searching, no keypad: hidapi enumerations per second (counting bus, 10 ticks/s)",
              "SearchingTick/CountingBus", "≤ 10 (pair by pair: 170)",
              [](const MeasuredRun& r) { return format("%.0f", counter(r, "enumerations_per_s")); },
              [](const MeasuredRun& r) { return counter(r, "enumerations_per_s") <= 10; });
    table.add("Searching: CPU time per monitor tick (counting bus, real Widget)", "SearchingTick/CountingBus",
              tickBudget, [](const MeasuredRun& r) { return us(r.cpuSeconds); },
              [](const MeasuredRun& r) { return r.cpuSeconds <= kTickBudgetSeconds; });
    table.add("Searching: CPU time per monitor tick (real hidapi, empty bus)", "SearchingTick/Hidapi", tickBudget,
              [](const MeasuredRun& r) { return us(r.cpuSeconds) + " (wall " + us(r.realSeconds) + ")"; },
              [](const MeasuredRun& r) { return r.cpuSeconds <= kTickBudgetSeconds; });
    table.add("Searching pair by pair, for comparison: 17 hidapi enumerations, CPU per tick",
              "SearchingTick/HidapiPairByPair", "—",
              [](const MeasuredRun& r) { return us(r.cpuSeconds) + " (wall " + us(r.realSeconds) + ")"; });
    table.add("Connected and idle: CPU time per monitor tick (real Widget, simulated keypad)", "ConnectedIdleTick",
              tickBudget, [](const MeasuredRun& r) { return us(r.cpuSeconds); },
              [](const MeasuredRun& r) { return r.cpuSeconds <= kTickBudgetSeconds; });

    table.add("Save: reports sent (75 key records + 3 LED blocks + 1 commit)", "Save75", "= 79",
              [](const MeasuredRun& r) {
                  return format("%.0f", counter(r, "reports")) + ", pauses " + format("%.0f ms", counter(r, "paused_ms"));
              },
              [](const MeasuredRun& r) { return counter(r, "reports") == 79 && counter(r, "paused_ms") == 200; });
    table.add("Save: program time per report, pauses apart", "Save75", "≤ 20 µs",
              [](const MeasuredRun& r) {
                  return us(r.realSeconds / counter(r, "reports")) + " (whole save " + us(r.realSeconds) + ")";
              },
              [](const MeasuredRun& r) { return r.realSeconds / counter(r, "reports") <= kPerReportSeconds; });
    table.add("Read-back: reports (3 requests + 75 replies)", "ReadBack75", "= 3 + 75",
              [](const MeasuredRun& r) {
                  return format("%.0f", counter(r, "requests")) + " + " + format("%.0f", counter(r, "replies"));
              },
              [](const MeasuredRun& r) { return counter(r, "requests") == 3 && counter(r, "replies") == 75; });
    table.add("Read-back: program time per report, default logging rules", "ReadBack75", "≤ 20 µs",
              [](const MeasuredRun& r) {
                  return us(r.realSeconds / counter(r, "reports")) + " (whole read-back " + us(r.realSeconds) + ")";
              },
              [](const MeasuredRun& r) { return r.realSeconds / counter(r, "reports") <= kPerReportSeconds; });
    table.add("Read-back with tessaplex.device.bytes debug lines switched on, per report", "ReadBack75/BytesLogged",
              "—", [](const MeasuredRun& r) { return us(r.realSeconds / counter(r, "reports")); });

    table.add("Resize, default 24-button picture, 1920x1006 ↔ 1600x838", "Resize/Alternating", "≤ 5 ms",
              [](const MeasuredRun& r) { return ms(r.realSeconds); },
              [](const MeasuredRun& r) { return r.realSeconds <= kResizeSeconds; });
    table.add("Resize to a new size every time (edge dragged, every picture rescaled)", "Resize/Dragged", "≤ 5 ms",
              [](const MeasuredRun& r) { return ms(r.realSeconds); },
              [](const MeasuredRun& r) { return r.realSeconds <= kResizeSeconds; });
    table.add("Resize and the repaint after it", "Resize/WithRepaint", "—",
              [](const MeasuredRun& r) { return ms(r.realSeconds); });

    table.add("Start, in process: Widget construction + show until exposed", "StartInProcess", "≤ 400 ms",
              [](const MeasuredRun& r) { return ms(r.realSeconds); },
              [](const MeasuredRun& r) { return r.realSeconds <= kStartSeconds; });
    for (const StartComparison& c : startComparisons()) {
        const std::string against = c.subject.name + " against " + c.baseline.name;
        const std::string startTarget = format("≤ %.1f×", c.startRatioTarget) + " (and ≤ 400 ms)";
        table.add("Start, whole process (spawn → window exposed → exit): " + against,
                  c.benchmarkName(), startTarget,
                  [](const MeasuredRun& r) {
                      return ratio(counter(r, "program_ms"), counter(r, "baseline_ms")) + " ("
                             + format("%.1f ms", counter(r, "program_ms")) + " against "
                             + format("%.1f ms", counter(r, "baseline_ms")) + "; medians of "
                             + format("%.0f", counter(r, "runs")) + " runs each, in turn); CPU time "
                             + ratio(counter(r, "program_cpu_ms"), counter(r, "baseline_cpu_ms")) + " ("
                             + format("%.1f ms", counter(r, "program_cpu_ms")) + " against "
                             + format("%.1f ms", counter(r, "baseline_cpu_ms")) + ")";
                  },
                  [c](const MeasuredRun& r) {
                      return counter(r, "program_ms") <= c.startRatioTarget * counter(r, "baseline_ms")
                             && counter(r, "program_ms") <= kStartSeconds * 1e3;
                  });
        if (c.memoryRatioTarget <= 0)
            continue;
        table.add("Resident memory after start (VmRSS): " + against, c.benchmarkName(),
                  format("≤ %.1f×", c.memoryRatioTarget) + " (and ≤ 80 MB)",
                  [](const MeasuredRun& r) {
                      return ratio(counter(r, "program_rss_kB"), counter(r, "baseline_rss_kB")) + " ("
                             + format("%.1f MB", counter(r, "program_rss_kB") / 1024.0) + " against "
                             + format("%.1f MB", counter(r, "baseline_rss_kB") / 1024.0) + ")";
                  },
                  [c](const MeasuredRun& r) {
                      return counter(r, "program_rss_kB") > 0
                             && counter(r, "program_rss_kB") <= c.memoryRatioTarget * counter(r, "baseline_rss_kB")
                             && counter(r, "program_rss_kB") <= kResidentKb;
                  });
    }
    table.add("Start, whole process: " + bareCoreProgram().name + " alone (the floor for a command-line tool)",
              "StartBare/Core", "—", [](const MeasuredRun& r) {
                  return format("%.1f ms", counter(r, "program_ms")) + " (CPU "
                         + format("%.1f ms", counter(r, "program_cpu_ms")) + "), "
                         + format("%.1f MB", counter(r, "program_rss_kB") / 1024.0);
              });
    return table.markdown();
}
