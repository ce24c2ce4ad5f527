// The processor's clock for SysInfo.cpuSpeed (Windows only): the time-stamp
// counter read before and after half a second's sleep, with the process and
// thread at their highest priorities so that the sleep ends on time. The
// priorities are put back afterwards, and the counter's ticks are divided
// by the time that really passed (a sleep overruns by a scheduler tick or
// more), not by the half second asked for.
#include <windows.h>

#include <cmath>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <x86intrin.h>
#endif

#include "syslib/sys_info_win32.h"

namespace kelpo {
namespace {

#if defined(__i386__) || defined(__x86_64__)
// CPUID leaf 1, EDX bit 4: the processor has RDTSC.
bool HasTimeStampCounter() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
    return (edx & (1u << 4)) != 0;
}
#endif

}  // namespace

double MeasureCpuSpeedMhz() {
#if defined(__i386__) || defined(__x86_64__)
    if (!HasTimeStampCounter()) return std::nan("");
    LARGE_INTEGER frequency, before, after;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return std::nan("");
    HANDLE process = GetCurrentProcess();
    HANDLE thread = GetCurrentThread();
    const DWORD oldClass = GetPriorityClass(process);
    const int oldPriority = GetThreadPriority(thread);
    SetPriorityClass(process, REALTIME_PRIORITY_CLASS);
    SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL);
    QueryPerformanceCounter(&before);
    const unsigned long long start = __rdtsc();
    Sleep(500);
    const unsigned long long end = __rdtsc();
    QueryPerformanceCounter(&after);
    if (oldPriority != THREAD_PRIORITY_ERROR_RETURN) SetThreadPriority(thread, oldPriority);
    if (oldClass != 0) SetPriorityClass(process, oldClass);
    const double seconds = static_cast<double>(after.QuadPart - before.QuadPart) /
                           static_cast<double>(frequency.QuadPart);
    if (seconds <= 0 || end <= start) return std::nan("");
    return static_cast<double>(end - start) / seconds * 1e-6;
#else
    return std::nan("");
#endif
}

}  // namespace kelpo
