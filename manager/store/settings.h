#pragma once
// The settings as the manager uses them, read from the store with their repairs: an
// out-of-range value is replaced, and written back where the file must be mended.

#include <cstdint>

#include "manager/store/work_store.h"

namespace store {

struct BoardSettings {
  int width = 6;       // modules, 2-20
  int height = 1;      // tiers, 1-2
  int windowMode = 0;  // 0 regardless of display time, 1 only within it
  int brightMode = 0;  // taken as stored
  int dayLevel = 0;    // 0-9
  int nightLevel = 0;  // 0-9
  int connection = 0;  // 0 "X", 1 "O"
};

// Serial port number 1-20; 0 or above 20 becomes 1, written back.
int LoadSerialPort(WorkStore& store);
// Height, width, display-window mode, brightness mode and levels, in that order, each
// repaired and written back as needed. The connection flag is left to LoadConnection,
// which runs later in the start-up.
BoardSettings LoadBoardSettings(WorkStore& store);
// Connection flag; above 1 becomes 0, written back.
int LoadConnection(WorkStore& store);

}  // namespace store
