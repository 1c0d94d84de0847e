// The port setting in the registry: one byte, value "Port" under
// HKEY_LOCAL_MACHINE\Software\Quillon\TAVPatch.

#include <windows.h>

#include "run/port_setting.h"

namespace tav {
namespace {

constexpr char kSettingKey[] = "Software\\Quillon\\TAVPatch";
constexpr char kPortValue[] = "Port";

}  // namespace

int LoadPortSetting() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return 1;
  }
  // Whatever the value's type: only a value of exactly one byte is a port number. A longer one
  // does not fit the buffer and an empty one holds nothing; both read as missing.
  BYTE port = 0;
  DWORD size = sizeof port;
  const LONG read = RegQueryValueExA(key, kPortValue, nullptr, nullptr, &port, &size);
  RegCloseKey(key);
  if (read == ERROR_SUCCESS && size == 1) return port;
  return 1;
}

int SavePortSetting(int port) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return -1;
  }
  const BYTE value = static_cast<BYTE>(port & 0xFF);
  const LONG written = RegSetValueExA(key, kPortValue, 0, REG_BINARY, &value, 1);
  RegCloseKey(key);
  return written == ERROR_SUCCESS ? 0 : -1;
}

}  // namespace tav
