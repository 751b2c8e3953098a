#include "sign/qt/led_surface.h"

#include "sign/led_pixels.h"

namespace sign {

void PaintLedImage(QImage& image, const FrameBuffer& frame, int width, int rows) {
  if (image.format() != QImage::Format_RGB32 || image.width() < width * kDotPixels ||
      image.height() < rows * kDotPixels) {
    return;
  }
  PaintDots(frame, width, rows, reinterpret_cast<std::uint32_t*>(image.bits()),
            static_cast<std::size_t>(image.bytesPerLine()) / sizeof(std::uint32_t));
}

void LedSurface::Create(int width, int rows) {
  width_ = width;
  rows_ = rows;
  image_ = QImage(width * kDotPixels, rows * kDotPixels, QImage::Format_RGB32);
  image_.fill(Qt::black);
}

const QImage& LedSurface::Paint(const FrameBuffer& frame) {
  PaintLedImage(image_, frame, width_, rows_);
  return image_;
}

}  // namespace sign
