#pragma once
// A program started with standard input, output or error closed would hand that descriptor to
// the next file it opens: the serial port would then receive the program's text, or the date
// code prompt would read the radio's bytes.

namespace tav {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed. Called first thing.
void OpenClosedStandardStreams();

}  // namespace tav
