#pragma once
// The Windows program's one setting kept between runs: the chosen port number, one byte per
// machine, in the registry. The terminal program keeps a line of text per user instead.

namespace tav {

// The stored port number 0..255, or 1 when none can be read.
int LoadPortSetting();
// Stores the low byte of port; 0 on success, -1 on failure (which the callers do not report).
int SavePortSetting(int port);

}  // namespace tav
