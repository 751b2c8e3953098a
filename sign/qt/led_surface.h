#pragma once
// The picture of the board on screen: every dot a 3 x 3 pixel square, (W x 3) by
// (rows x 3) pixels, painted from a FrameBuffer. QImage is safe off the GUI thread, so a
// playback thread may paint it and hand a copy to its window.

#include <QImage>

#include "sign/frame_buffer.h"

namespace sign {

// Paints columns 0..width-1 and rows 0..rows-1 of frame into image from its top-left
// pixel. image must be Format_RGB32 and at least (width x 3) by (rows x 3) pixels.
void PaintLedImage(QImage& image, const FrameBuffer& frame, int width, int rows);

class LedSurface {
 public:
  // (Re)creates the surface for a board of width dots and 16 or 32 rows; all black.
  void Create(int width, int rows);
  // Paints frame and returns the picture.
  const QImage& Paint(const FrameBuffer& frame);
  const QImage& image() const { return image_; }

 private:
  QImage image_;
  int width_ = 0, rows_ = 0;
};

}  // namespace sign
