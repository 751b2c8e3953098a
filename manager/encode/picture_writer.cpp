#include "manager/encode/picture_writer.h"

#include <gif_lib.h>

#include "shared/board_memory.h"

namespace encode {

namespace {

// Colour index of a dot: bit 0 red, bit 1 green.
enum DotColour : std::uint8_t { kOff = 0, kRed = 1, kGreen = 2, kYellow = 3 };

constexpr std::uint8_t kRgb[4][3] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}};

// The dots of one picture row by row, as colour indices.
class PictureDots {
 public:
  PictureDots(int width, int height, std::span<const std::uint8_t> picture)
      : width_(static_cast<std::size_t>(width)),
        plane_(board::PlaneSize(width_, static_cast<std::size_t>(height))),
        picture_(picture) {}

  std::uint8_t At(int x, int y) const {
    const std::size_t at = static_cast<std::size_t>(y) * board::PlaneRowBytes(width_) +
                           static_cast<std::size_t>(x) / 8;
    const int bit = 7 - x % 8;
    return static_cast<std::uint8_t>(((picture_[at] >> bit) & 1) |
                                     (((picture_[plane_ + at] >> bit) & 1) << 1));
  }

 private:
  std::size_t width_;
  std::size_t plane_;
  std::span<const std::uint8_t> picture_;
};

void PutLe16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void PutLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

int AppendBytes(GifFileType* gif, const GifByteType* bytes, int n) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  out->insert(out->end(), bytes, bytes + n);
  return n;
}

}  // namespace

std::vector<std::uint8_t> BmpFromImage(int width, int height, std::span<const std::uint8_t> image) {
  constexpr std::size_t kHeaders = 14 + 40;
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  const std::size_t rows = stride * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> out(kHeaders + rows);
  out[0] = 'B';
  out[1] = 'M';
  PutLe32(out, 2, static_cast<std::uint32_t>(out.size()));
  PutLe32(out, 10, kHeaders);
  PutLe32(out, 14, 40);
  PutLe32(out, 18, static_cast<std::uint32_t>(width));
  PutLe32(out, 22, static_cast<std::uint32_t>(height));
  PutLe16(out, 26, 1);
  PutLe16(out, 28, 24);
  PutLe32(out, 34, static_cast<std::uint32_t>(rows));
  const PictureDots dots(width, height, image);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = &out[kHeaders + stride * static_cast<std::size_t>(height - 1 - y)];
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* rgb = kRgb[dots.At(x, y)];
      row[3 * x] = rgb[2];  // blue, green, red
      row[3 * x + 1] = rgb[1];
      row[3 * x + 2] = rgb[0];
    }
  }
  return out;
}

std::optional<std::vector<std::uint8_t>> GifFromImage(int width, int height, int frames,
                                                      std::span<const std::uint8_t> image) {
  std::vector<std::uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendBytes, &error);
  if (!gif) return std::nullopt;
  GifColorType colours[4];
  for (int i = 0; i < 4; ++i) colours[i] = {kRgb[i][0], kRgb[i][1], kRgb[i][2]};
  ColorMapObject* map = GifMakeMapObject(4, colours);
  EGifSetGifVersion(gif, true);
  bool ok = map && EGifPutScreenDesc(gif, width, height, 2, kOff, map) == GIF_OK;
  GifFreeMapObject(map);
  // Loops in other viewers; the sign plays it by the item's speed whatever the delays say.
  static const GifByteType kLoopForever[3] = {1, 0, 0};
  ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
       EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK &&
       EGifPutExtensionBlock(gif, 3, kLoopForever) == GIF_OK &&
       EGifPutExtensionTrailer(gif) == GIF_OK;
  const std::size_t frameBytes =
      board::PictureBytes(static_cast<std::size_t>(width), static_cast<std::size_t>(height));
  std::vector<GifPixelType> line(static_cast<std::size_t>(width));
  for (int k = 0; ok && k < frames; ++k) {
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.DelayTime = 5;
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&gcb, extension);
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK &&
         EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    const PictureDots dots(width, height,
                           image.subspan(frameBytes * static_cast<std::size_t>(k), frameBytes));
    for (int y = 0; ok && y < height; ++y) {
      for (int x = 0; x < width; ++x) line[static_cast<std::size_t>(x)] = dots.At(x, y);
      ok = EGifPutLine(gif, line.data(), width) == GIF_OK;
    }
  }
  if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
  if (!ok) return std::nullopt;
  return out;
}

}  // namespace encode
