#include "sign/board_geometry.h"

#include "shared/board_memory.h"
#include "sign/frame_buffer.h"

namespace sign {

BoardGeometry MakeGeometry(int widthByte, int tierByte, int itemCount, bool connection) {
  BoardGeometry g;
  const int tierCode = (tierByte == 0 || tierByte >= 3) ? 1 : tierByte;
  g.rows = tierCode == 1 ? 16 : 32;
  const int maxModules = tierCode == 1 ? kFrameColumns / board::kModuleDots : 24;
  g.modules = (widthByte >= 2 && widthByte <= maxModules) ? widthByte : 6;
  g.width = g.modules * board::kModuleDots;
  g.itemCount = itemCount;
  g.connection = connection;
  return g;
}

BoardGeometry DecodeGeometry(const FlashImage& image) {
  return MakeGeometry(image.Byte(board::kWidth), image.Byte(board::kRowsCode),
                      image.Get16(board::kItemCount), image.Byte(board::kConnection) != 0);
}

}  // namespace sign
