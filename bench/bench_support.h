#pragma once

#include <functional>
#include <string>
#include <vector>

// Timing, memory and machine facts for the benchmark table.

// Seconds taken by f.
double secondsOf(const std::function<void()>& f);

// The median of `runs` timings of f.
double medianSeconds(int runs, const std::function<void()>& f);

// Runs a program with its arguments, its output thrown away, and waits for it; returns its peak
// resident memory in bytes, or -1 when it could not be run or did not succeed.
long long peakMemoryOfRun(const std::vector<std::string>& command);

// "AMD EPYC, 2 cores" and the like, from /proc/cpuinfo and the scheduler.
std::string machineDescription();

// The 1-minute load average, a hint of other work on a shared machine.
double loadAverage();
