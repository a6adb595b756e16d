#pragma once

// Registration in the order the benchmarks should run: the start-up first,
// while caches are cold.
void registerStartBenchmarks();
void registerMonitorBenchmarks();
void registerExchangeBenchmarks();
void registerWindowBenchmarks();
