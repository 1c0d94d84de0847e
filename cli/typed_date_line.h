#pragma once
// A date code typed on one line, "MM/DD/YYYY hh:mm:ss", split into the six fields of the
// Windows date code dialog.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tav {

// Fields in the order month, day, year, hour, minute, second. The time may be left out (its
// fields are then empty, as empty fields in the dialog). Nothing when the line does not have
// that form or a field holds anything but digits (the dialog's fields take digits only).
std::optional<std::array<std::string, 6>> SplitTypedDateLine(std::string_view line);

}  // namespace tav
