#pragma once
// The terminal program's exit status, as --help lists it.

namespace tav {

inline constexpr int kExitSuccess = 0;  // complete or not required; --check: radio identified
inline constexpr int kExitFailed = 1;   // a unit was not patched
inline constexpr int kExitUsage = 2;    // bad command line
inline constexpr int kExitPortNotOpened = 3;
inline constexpr int kExitForeignRadio = 4;
inline constexpr int kExitNoContact = 5;
inline constexpr int kExitInterrupted = 6;   // Ctrl-C: the run wound down
inline constexpr int kExitQuitAtOnce = 130;  // a second Ctrl-C

}  // namespace tav
