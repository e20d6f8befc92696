#pragma once
// The process's memory as Linux reports it, for the benchmarks' tables.

// A value of /proc/self/status in MB ("VmRSS", "VmHWM").
double statusMb(const char *key);

// Starts the peak of resident memory anew (Linux 4.0 and later).
void resetPeak();
