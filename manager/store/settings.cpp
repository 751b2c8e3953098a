#include "manager/store/settings.h"

namespace store {

int LoadSerialPort(WorkStore& store) {
  int port = store.SerialPort();
  if (port == 0 || port > 20) {
    port = 1;
    store.SetSerialPort(1);
  }
  return port;
}

BoardSettings LoadBoardSettings(WorkStore& store) {
  BoardSettings s;
  s.height = store.Height();
  if (s.height == 0 || s.height > 2) {
    s.height = 1;
    store.SetHeight(1);
  }
  s.width = store.Width();
  if (s.width < 2 || s.width > 20) {
    s.width = 6;
    store.SetWidth(6);
  }
  s.windowMode = store.WindowMode();
  if (s.windowMode > 1) {
    s.windowMode = 0;
    store.SetWindowMode(0);
  }
  s.brightMode = store.BrightMode();
  const std::uint16_t levels = store.Levels();
  s.dayLevel = levels >> 8;
  s.nightLevel = levels & 0xFF;
  if (s.dayLevel > 9 || s.nightLevel > 9) {
    s.dayLevel = s.nightLevel = 0;
    store.SetLevels(0, 0);
  }
  s.connection = store.Connection() > 1 ? 0 : store.Connection();
  return s;
}

int LoadConnection(WorkStore& store) {
  int c = store.Connection();
  if (c > 1) {
    c = 0;
    store.SetConnection(0);
  }
  return c;
}

}  // namespace store
