#include "manager/link/port_name.h"

#include <cstdlib>
#include <filesystem>

namespace signlink {

std::string SerialDevicePath(int port) {
  const std::string var = "BRELLION_COM" + std::to_string(port);
  if (const char* env = std::getenv(var.c_str()); env != nullptr && *env != '\0') return env;
  return "/dev/ttyS" + std::to_string(port - 1);
}

std::string SerialOpenPath(const std::string& device) {
  if (device.find('/') == std::string::npos) return "/dev/" + device;
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(device, ec);
  return ec ? device : absolute.string();
}

}  // namespace signlink
