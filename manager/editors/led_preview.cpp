#include "manager/editors/led_preview.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "sign/led_pixels.h"

namespace {
constexpr double kRoundDotPitch = 4.0;  // pixels per dot from which dots are drawn round
}

CLedPreview::CLedPreview(QWidget* parent) : QWidget(parent) {
  setMinimumSize(320, 64);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize CLedPreview::sizeHint() const {
  return {660, 140};  // a 640-dot picture at about one pixel a dot
}

void CLedPreview::setPlanes(encode::Planes planes) {
  planes_ = std::move(planes);
  update();
}

QColor CLedPreview::DotColour(bool red, bool green) {
  if (!red && !green) return QColor(40, 40, 40);
  return QColor::fromRgb(sign::DotRgb((red ? 0x80 : 0) | (green ? 0x40 : 0)));  // as the strip
}

void CLedPreview::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
  const int w = planes_.width, h = planes_.height;
  if (w <= 0 || h <= 0) return;
  double pitch = std::min(double(width()) / w, double(height()) / h);
  if (pitch >= kRoundDotPitch) pitch = std::floor(pitch);  // every dot drawn alike
  const QRectF area(std::round((width() - pitch * w) / 2), std::round((height() - pitch * h) / 2),
                    pitch * w, pitch * h);

  if (pitch < kRoundDotPitch) {
    QImage dots(w, h, QImage::Format_RGB32);
    dots.fill(Qt::black);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const bool r = planes_.redAt(x, y), g = planes_.greenAt(x, y);
        if (r || g) dots.setPixelColor(x, y, DotColour(r, g));
      }
    }
    p.drawImage(area, dots);  // without smoothing: each dot stays one colour
    return;
  }
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  const double size = pitch * 0.8, inset = (pitch - size) / 2;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      p.setBrush(DotColour(planes_.redAt(x, y), planes_.greenAt(x, y)));
      p.drawEllipse(QRectF(area.left() + x * pitch + inset, area.top() + y * pitch + inset, size,
                           size));
    }
  }
}
