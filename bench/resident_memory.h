// The process's peak resident memory so far, in megabytes.
#pragma once

#include <sys/resource.h>

inline double bench_peakResidentMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}
