#pragma once
// The board as the preview image describes it, with out-of-range settings replaced by
// working values (in memory only; the image is never changed).

#include "sign/flash_image.h"

namespace sign {

struct BoardGeometry {
  int rows = 16;    // dot rows: 16 or 32
  int modules = 6;  // width in 16-dot modules
  int width = 96;   // width in dots, at most kFrameColumns
  int itemCount = 0;
  bool connection = false;  // a pass-through text runs straight into the next item

  bool twoTier() const { return rows == 32; }
};

// Tier code 0 or 3 and above -> 1. Width 2-63 modules on one tier, 2-24 on two tiers,
// otherwise 6.
BoardGeometry DecodeGeometry(const FlashImage& image);
// The same rules on the raw settings bytes.
BoardGeometry MakeGeometry(int widthByte, int tierByte, int itemCount, bool connection);

// Column where something `width` dots wide stands centred on a board `boardWidth` dots
// wide; 0 when it is not narrower than the board.
constexpr int RestingX(int width, int boardWidth) {
  return width < boardWidth ? (boardWidth - width) / 2 : 0;
}

}  // namespace sign
