// Clocks and memory figures shared by the benchmark programs.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace bench {

inline std::int64_t nanos(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Wall time on the monotonic clock, in nanoseconds.
inline std::int64_t wallNs()
{
    return nanos(CLOCK_MONOTONIC);
}

// CPU time of the whole process (every thread), in nanoseconds.
inline std::int64_t cpuNs()
{
    return nanos(CLOCK_PROCESS_CPUTIME_ID);
}

// The moment bench_launch took just before it exec'd this program, or -1.
inline std::int64_t launchNs()
{
    const char *value = std::getenv("BENCH_T0_NS");
    return value ? std::strtoll(value, nullptr, 10) : -1;
}

// A line of /proc/self/status in kB ("VmHWM", "VmRSS"), or -1.
inline long statusKb(const char *field)
{
    std::FILE *file = std::fopen("/proc/self/status", "r");
    if (!file)
        return -1;
    char line[256];
    long value = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, file)) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            value = std::strtol(line + length + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(file);
    return value;
}

} // namespace bench
