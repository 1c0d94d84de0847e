#pragma once
// The terminal program's exit status, as --help lists it.

namespace tav {

inline constexpr int kExitSuccess = 0;  // complete or not required; --check: radio identified
inline constexpr int kExitFailed = 1;   // a unit was not patched
inline constexpr int kExitUsage = 2;    // bad command line
inline constexpr int kExitPortNotOpened = 3;
inline constexpr int kExitForeignRadio = 4;
inline constexpr int kExitNoContact = 5;
inline constexpr int kExitInterrupted = 6;  // Ctrl-C, SIGTERM or SIGHUP: the run wound down
// A second stop request quits at once with this plus the number of the signal that made it.
inline constexpr int kExitQuitAtOnceBase = 128;

}  // namespace tav
