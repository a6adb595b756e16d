// Start-up: the window built in this process, and whole programs started
// afresh, each held against the bare baseline of its kind.
#include "app/widget.h"
#include "bench/bench_support.h"
#include "bench/benchmarks.h"
#include "bench/start_subjects.h"
#include "build_config.h"
#include "core/device/simulated_keypad.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

void startInProcess(benchmark::State& state)
{
    for (auto _ : state) {
        SimulatedKeypad keypad;
        auto window = std::make_unique<Widget>(keypad);
        window->setWindowTitle(Build_Variant == 2 ? QStringLiteral("TESSAPLEX") : QStringLiteral("MINI_KEYBOARD"));
        window->show();
        const bool exposed = waitUntilExposed(*window);
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        if (!exposed) {
            state.SkipWithError("the window was never exposed");
            break;
        }
    }
}

struct ChildRun {
    bool ok = false;
    double seconds = 0;    // spawn to exit
    double cpuSeconds = 0; // user + system time of the child
    long residentKb = 0;   // 0 when the program printed none
};

// Spawns the program, reads what it prints and waits for its exit.
ChildRun runOnce(const StartProgram& program)
{
    ChildRun run;
    int out[2];
    if (pipe(out) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    std::vector<std::string> words{program.path};
    words.insert(words.end(), program.arguments.begin(), program.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const auto started = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string output;
    char buffer[256];
    ssize_t n = 0;
    while (spawned == 0 && ((n = read(out[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)))
        if (n > 0)
            output.append(buffer, static_cast<size_t>(n));
    close(out[0]);
    if (spawned != 0)
        return run;
    int status = 0;
    struct rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                     + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    const std::string key = "VmRSS_kB=";
    const size_t at = output.find(key);
    if (at != std::string::npos)
        run.residentKb = std::stol(output.substr(at + key.size()));
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// Runs of one program, summed up by their medians.
struct Runs {
    std::vector<double> seconds;
    std::vector<double> cpuSeconds;
    std::vector<double> residentKb;

    bool add(const ChildRun& run)
    {
        if (!run.ok)
            return false;
        seconds.push_back(run.seconds);
        cpuSeconds.push_back(run.cpuSeconds);
        if (run.residentKb > 0)
            residentKb.push_back(static_cast<double>(run.residentKb));
        return true;
    }

    void report(benchmark::State& state, const std::string& prefix) const
    {
        state.counters[prefix + "_ms"] = median(seconds) * 1e3;
        state.counters[prefix + "_cpu_ms"] = median(cpuSeconds) * 1e3;
        if (residentKb.size() == seconds.size())
            state.counters[prefix + "_rss_kB"] = median(residentKb);
    }
};

// The subject and its baseline in turn, one fresh process each per iteration,
// so that whatever else the machine does at the time weighs on both alike.
void startAgainstBaseline(benchmark::State& state, const StartComparison& comparison)
{
    Runs subject;
    Runs baseline;
    for (auto _ : state) {
        if (!baseline.add(runOnce(comparison.baseline))) {
            state.SkipWithError(("the baseline failed: " + comparison.baseline.path).c_str());
            return;
        }
        if (!subject.add(runOnce(comparison.subject))) {
            state.SkipWithError(("the program failed: " + comparison.subject.path).c_str());
            return;
        }
    }
    subject.report(state, "program");
    baseline.report(state, "baseline");
    state.counters["runs"] = static_cast<double>(subject.seconds.size());
}

void startAlone(benchmark::State& state, const StartProgram& program)
{
    Runs runs;
    for (auto _ : state) {
        if (!runs.add(runOnce(program))) {
            state.SkipWithError(("the program failed: " + program.path).c_str());
            return;
        }
    }
    runs.report(state, "program");
}

// Ten by default; TESSAPLEX_BENCH_START_RUNS asks for more (or fewer).
int startRuns()
{
    const char* text = std::getenv("TESSAPLEX_BENCH_START_RUNS");
    const int runs = text ? std::atoi(text) : 0;
    return runs > 0 ? runs : 10;
}

}  // namespace

void registerStartBenchmarks()
{
    const int runs = startRuns();
    benchmark::RegisterBenchmark("StartInProcess", startInProcess)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(runs);
    for (const StartComparison& comparison : startComparisons())
        benchmark::RegisterBenchmark(comparison.benchmarkName().c_str(), startAgainstBaseline, comparison)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(runs);
    benchmark::RegisterBenchmark("StartBare/Core", startAlone, bareCoreProgram())
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(runs);
}
