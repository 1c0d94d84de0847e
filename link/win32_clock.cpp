#include "link/win32_clock.h"

#include <windows.h>
// After <windows.h>.
#include <mmsystem.h>

#include <algorithm>
#include <limits>

namespace tav {

namespace {

constexpr UINT kTimerPeriodMs = 1;

}  // namespace

Micros Win32Clock::Now() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER count;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&count);
  // Whole seconds and the rest apart, so that the product cannot overflow.
  const long long seconds = count.QuadPart / frequency.QuadPart;
  const long long rest = count.QuadPart % frequency.QuadPart;
  return Micros(seconds * 1'000'000 + rest * 1'000'000 / frequency.QuadPart);
}

void Win32Clock::Sleep(Micros duration) {
  if (duration <= Micros::zero()) return;
  const long long ms = (duration.count() + 999) / 1000;
  ::Sleep(static_cast<DWORD>(std::min<long long>(ms, std::numeric_limits<DWORD>::max() - 1)));
}

TimerResolutionScope::TimerResolutionScope()
    : raised_(timeBeginPeriod(kTimerPeriodMs) == TIMERR_NOERROR) {}

TimerResolutionScope::~TimerResolutionScope() {
  if (raised_) timeEndPeriod(kTimerPeriodMs);
}

}  // namespace tav
