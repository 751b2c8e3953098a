// Picture items: a bitmap held or scrolled through, and an animation of several pictures.
// Pictures are two bit planes (red, then green) read from the image, as many rows as the
// board has.

#include <algorithm>

#include "shared/board_memory.h"
#include "sign/playback_engine.h"

namespace sign {

namespace {

// Each picture of an animation stands for this many frame periods.
constexpr int kAnimationPeriods = 4;

}  // namespace

bool PlaybackEngine::PrepareBitmap() {
  const item::ItemHeader& h = item_.header;
  LookAheadIfConnected();
  bitmapMode_ = BitmapModeOf(h[item::hdr::kBitmapMode]);
  LoadPicture(h.imageAddress(), picture_);
  if (bitmapMode_ == kBitmapScroll) {
    scrollPos_ = geometry_.width - 1;
    SetSpeedLevel(SpeedLevelOf(h[item::hdr::kSpeed]));
  } else {
    holdTicks_ = HoldTicks(HoldSecondsOf(h[item::hdr::kHold]));
    SetSpeedLevel(kStillSpeedLevel);
  }
  return true;
}

bool PlaybackEngine::PrepareAnimation() {
  const item::ItemHeader& h = item_.header;
  frameCount_ = h[item::hdr::kFrames];
  if (frameCount_ == 0) return false;  // nothing to show
  frameIndex_ = 0;
  subCounter_ = 0;
  imageAddress_ = h.imageAddress();
  picture_ = Picture{};
  SetSpeedLevel(SpeedLevelOf(h[item::hdr::kSpeed]));
  return true;
}

void PlaybackEngine::LoadPicture(std::uint32_t address, Picture& pic) const {
  const item::ItemHeader& h = item_.header;
  pic.width = h.pictureWidth();
  pic.height = h.pictureHeight();
  pic.rows = std::min(pic.height, geometry_.rows);
  pic.rowBytes = static_cast<int>(board::PlaneRowBytes(static_cast<std::size_t>(pic.width)));
  const std::size_t rowBytes = static_cast<std::size_t>(pic.rowBytes);
  const std::uint64_t plane = std::uint64_t{rowBytes} * static_cast<std::uint64_t>(pic.height);
  pic.red.assign(rowBytes * static_cast<std::size_t>(pic.rows), 0);
  pic.green.assign(pic.red.size(), 0);
  for (int r = 0; r < pic.rows; ++r) {
    const std::uint64_t at = std::uint64_t{address} + rowBytes * static_cast<std::size_t>(r);
    image_.Read(at, pic.red.data() + rowBytes * static_cast<std::size_t>(r), rowBytes);
    image_.Read(at + plane, pic.green.data() + rowBytes * static_cast<std::size_t>(r), rowBytes);
  }
}

void PlaybackEngine::DrawPictureColumn(const Picture& pic, int byteColumn, int x) {
  const int w = geometry_.width;
  const std::size_t rowBytes = static_cast<std::size_t>(pic.rowBytes);
  for (int r = 0; r < pic.rows; ++r) {
    const std::size_t at =
        rowBytes * static_cast<std::size_t>(r) + static_cast<std::size_t>(byteColumn);
    const std::uint8_t red = pic.red[at];
    const std::uint8_t green = pic.green[at];
    if ((red | green) == 0) continue;
    std::uint8_t* row = work_.row(r);
    for (int k = 0; k < 8; ++k) {
      const int c = x + k;
      if (c >= w) break;
      if (c < 0) continue;
      const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> k);
      if (red & bit) row[c] = kDotRed;
      if (green & bit) row[c] |= kDotGreen;
    }
  }
}

void PlaybackEngine::DrawPicture(const Picture& pic, int x0) {
  for (int b = 0; b < pic.rowBytes && x0 + 8 * b < geometry_.width; ++b) {
    DrawPictureColumn(pic, b, x0 + 8 * b);
  }
}

void PlaybackEngine::StepBitmap() {
  const int w = geometry_.width;
  FrameBuffer& back = Back();
  if (bitmapMode_ == kBitmapHold) {
    work_.clearRows(0, geometry_.rows);
    DrawPicture(picture_, RestingX(picture_.width, w));
    CopyRows(back, 0, geometry_.rows);
    Publish();
    if (--holdTicks_ <= 0) NextItem(false);
    return;
  }
  ShiftLeft(0, geometry_.rows);
  if (scrollPos_ + picture_.width >= w) {
    // The byte column now at the right edge: the first whose x >= W - 8.
    const int need = w - 8 - scrollPos_;
    const int column = need <= 0 ? 0 : (need + 7) / 8;
    if (column < picture_.rowBytes) DrawPictureColumn(picture_, column, scrollPos_ + 8 * column);
  }
  CopyRows(back, 0, geometry_.rows);
  Publish();
  --scrollPos_;
  const bool chained = ChainsIntoNext();
  const bool done = chained ? scrollPos_ + picture_.width < w : scrollPos_ <= -picture_.width;
  if (done) NextItem(chained);
}

void PlaybackEngine::StepAnimation() {
  FrameBuffer& back = Back();
  if (++subCounter_ < kAnimationPeriods) {
    CopyRows(back, 0, geometry_.rows);
    Publish();
    return;
  }
  work_.clearRows(0, geometry_.rows);
  const std::size_t frameBytes =
      board::PictureBytes(item_.header.pictureWidth(), item_.header.pictureHeight());
  LoadPicture(
      static_cast<std::uint32_t>(std::min<std::uint64_t>(
          imageAddress_ + frameBytes * static_cast<std::size_t>(frameIndex_), board::kMemorySize)),
      picture_);
  DrawPicture(picture_, RestingX(picture_.width, geometry_.width));
  CopyRows(back, 0, geometry_.rows);
  Publish();
  subCounter_ = 0;
  if (++frameIndex_ >= frameCount_) NextItem(false);
}

}  // namespace sign
