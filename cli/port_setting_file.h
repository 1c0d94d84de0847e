#pragma once
// Where the terminal program keeps the port setting (LoadPortSetting / SavePortSetting).

#include <string>

namespace tav {

// TAVPATCH_PORT_FILE when it is set and not empty, else /var/lib/tavpatch/port.
std::string PortSettingPath();

}  // namespace tav
