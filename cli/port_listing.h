#pragma once
// The text of --list-ports.

#include <string>
#include <vector>

#include "cli/port_choice.h"
#include "cli/serial_port_list.h"

namespace tav {

// One line per device (its path, COMn where it has one, what it is), its /dev/serial/by-id
// names indented below it, and "<- remembered" on the line of the remembered port; a last line
// when the remembered port is not among them.
std::string PortListing(const std::vector<SerialDevice>& devices, const PortChoice& remembered);

}  // namespace tav
