#pragma once
// The picture shown when the program holds no items: five 16 x 16 cells (80 x 16 dots),
// centred. One tier: a red and yellow "VARNO" on rows 0-15. Two tiers: "VARNO" in red on
// rows 0-15 over a green "PREVIEW" band on rows 16-31.

#include "sign/board_geometry.h"
#include "sign/frame_buffer.h"

namespace sign {

inline constexpr int kLogoCells = 5;
inline constexpr int kLogoWidth = kLogoCells * 16;

// Clears the board's rows of frame and draws the logo at x = (W - 80) / 2 (0 when W <= 80),
// cut at the board width.
void DrawLogoScreen(FrameBuffer& frame, const BoardGeometry& g);

}  // namespace sign
