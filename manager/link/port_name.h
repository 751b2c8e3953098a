#pragma once
// Serial port numbers (COM1, COM2, ...) to device names.

#include <string>

namespace signlink {

// The device opened here for port n: the path in the environment variable BRELLION_COM<n>
// when set and not empty, otherwise /dev/ttyS<n-1>.
std::string SerialDevicePath(int port);
// The file opened for a device as the user names it: a name with a slash is a path, taken
// from the working directory when it is relative ("work/pty"); a bare name is a device in
// /dev ("ttyUSB0"). The result is absolute.
std::string SerialOpenPath(const std::string& device);

}  // namespace signlink
