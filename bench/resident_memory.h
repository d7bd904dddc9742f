// The process's resident memory, now and at its peak so far, in megabytes.
#pragma once

#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <string>

inline double bench_residentMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return 0.0;
}

inline double bench_peakResidentMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}
