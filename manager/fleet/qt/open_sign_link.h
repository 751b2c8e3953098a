#pragma once
// The link to a sign of the book, made on the calling thread and used there only: a TCP
// client connecting to its address (completes in the background; the first exchange waits
// for it), or its serial device opened at 57600 baud, 8N1.

#include "manager/fleet/fan_out.h"

namespace fleet {

// A serial device that does not open gives no link and the "경고" warning as the failure.
OpenedLink OpenSignLink(const Sign& sign);

}  // namespace fleet
