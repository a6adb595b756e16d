// Runs every benchmark in a chosen order, then prints one markdown table of
// the figures against their targets on standard output. Per-benchmark lines
// and the program's own log go to standard error.
#include "app/window/application_setup.h"
#include "bench/benchmarks.h"
#include "bench/results_table.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <iostream>

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The simulated keypads' backups go to a folder of their own, never the user's.
    QTemporaryDir backupHome;
    qputenv("XDG_DATA_HOME", backupHome.path().toLocal8Bit());
    setApplicationAttributes();
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    setUpApplication(app);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerStartBenchmarks();
    registerMonitorBenchmarks();
    registerExchangeBenchmarks();
    registerWindowBenchmarks();

    CollectingReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::cout << resultsTable(reporter.runs()) << std::flush;
    return 0;
}
