#include "manager/encode/bmp_reader.h"

#include <bit>
#include <limits>
#include <utility>

#include "manager/encode/picture_file.h"

namespace encode {

namespace {

constexpr std::size_t kFileHeader = 14;
// Enough for the largest information header, three or four masks and a full palette.
constexpr std::size_t kHeadBytes = kFileHeader + 124 + 16 + 256 * 4;

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitfields = 3;
constexpr std::uint32_t kAlphaBitfields = 6;

std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

// Everything but the rows, checked against the file's real size.
struct BmpLayout {
  BmpPicture picture;  // all but pixels
  std::uint64_t pixelOffset = 0;
};

// `head` is the start of the file (at least kHeadBytes of it when the file is that long);
// `fileSize` its full length.
std::optional<BmpLayout> ParseHead(std::span<const std::uint8_t> head, std::uint64_t fileSize) {
  const auto has = [&](std::uint64_t end) { return end <= head.size() && end <= fileSize; };
  if (!has(kFileHeader + 4) || head[0] != 'B' || head[1] != 'M') return std::nullopt;
  const std::uint8_t* p = head.data();
  const std::uint32_t infoSize = Le32(p + 14);
  if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
    return std::nullopt;
  if (!has(kFileHeader + infoSize)) return std::nullopt;

  BmpLayout out;
  BmpPicture& b = out.picture;
  out.pixelOffset = Le32(p + 10);
  const auto w = static_cast<std::int32_t>(Le32(p + 18));
  const auto h = static_cast<std::int32_t>(Le32(p + 22));
  if (w <= 0 || h == 0 || h == std::numeric_limits<std::int32_t>::min()) return std::nullopt;
  b.width = w;
  b.height = h < 0 ? -h : h;
  b.topDown = h < 0;
  b.bitsPerPixel = Le16(p + 28);
  const std::uint32_t compression = Le32(p + 30);

  const int bpp = b.bitsPerPixel;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return std::nullopt;
  const bool masked = compression == kBitfields || compression == kAlphaBitfields;
  if (compression != kRgb && !(masked && (bpp == 16 || bpp == 32))) return std::nullopt;

  // Masks sit at file offset 54 either way: inside a larger information header, or
  // right after a 40-byte one.
  std::uint64_t tableAt = kFileHeader + infoSize;
  if (masked) {
    if (!has(54 + 12)) return std::nullopt;
    b.redMask = Le32(p + 54);
    b.greenMask = Le32(p + 58);
    b.blueMask = Le32(p + 62);
    if (infoSize == 40) tableAt += compression == kAlphaBitfields ? 16 : 12;
  } else if (bpp == 16) {
    b.redMask = 0x7C00;
    b.greenMask = 0x03E0;
    b.blueMask = 0x001F;
  } else if (bpp == 32) {
    b.redMask = 0x00FF0000;
    b.greenMask = 0x0000FF00;
    b.blueMask = 0x000000FF;
  }

  if (bpp <= 8) {
    const std::uint32_t full = 1u << bpp;
    std::uint32_t used = Le32(p + 46);
    if (used == 0 || used > full) used = full;
    // A colour table claimed longer than the gap before the rows is cut at the rows.
    if (out.pixelOffset >= tableAt)
      used = static_cast<std::uint32_t>(
          std::min<std::uint64_t>(used, (out.pixelOffset - tableAt) / 4));
    if (!has(tableAt + 4ull * used)) return std::nullopt;
    for (std::uint32_t i = 0; i < used; ++i) {
      const std::uint8_t* e = p + tableAt + 4 * i;
      b.palette[i] = BmpColour{e[0], e[1], e[2], e[3]};
    }
  }

  const std::uint64_t stride =
      (static_cast<std::uint64_t>(b.width) * static_cast<std::uint64_t>(bpp) + 31) / 32 * 4;
  const std::uint64_t rows = stride * static_cast<std::uint64_t>(b.height);
  if (out.pixelOffset > fileSize || rows > fileSize - out.pixelOffset) return std::nullopt;
  b.stride = static_cast<std::size_t>(stride);
  return out;
}

// A channel under `mask`, scaled to 0..255.
class MaskedChannel {
 public:
  explicit MaskedChannel(std::uint32_t mask)
      : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), max_(mask >> shift_) {}
  int operator()(std::uint32_t pixel) const {
    if (max_ == 0) return 0;
    const std::uint64_t v = (pixel & mask_) >> shift_;
    return static_cast<int>((v * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_;
  int shift_;
  std::uint64_t max_;
};

// `colour(row, x)` gives a pixel's red and green; the depth is chosen once, outside the
// pixel loop.
template <typename Colour>
void ConvertRows(const BmpPicture& bmp, Planes& out, Colour colour) {
  const std::size_t rowBytes = out.rowBytes();
  for (int y = 0; y < bmp.height; ++y) {
    const std::uint8_t* row = bmp.row(y);
    std::uint8_t* red = out.red.data() + static_cast<std::size_t>(y) * rowBytes;
    std::uint8_t* green = out.green.data() + static_cast<std::size_t>(y) * rowBytes;
    for (std::size_t x = 0; x < static_cast<std::size_t>(bmp.width); ++x) {
      const auto [r, g] = colour(row, x);
      const auto bit = static_cast<std::uint8_t>(0x80u >> (x % 8));
      if (r > kDotThreshold) red[x / 8] |= bit;
      if (g > kDotThreshold) green[x / 8] |= bit;
    }
  }
}

bool TooManyPixels(const BmpPicture& b) {
  return static_cast<std::uint64_t>(b.width) * static_cast<std::uint64_t>(b.height) > kMaxBmpPixels;
}

}  // namespace

const std::uint8_t* BmpPicture::row(int y) const {
  const int stored = topDown ? y : height - 1 - y;
  return pixels.data() + static_cast<std::size_t>(stored) * stride;
}

std::optional<BmpPicture> ReadBmp(std::span<const std::uint8_t> file) {
  auto layout = ParseHead(file, file.size());
  if (!layout || TooManyPixels(layout->picture)) return std::nullopt;
  BmpPicture b = std::move(layout->picture);
  const auto at = static_cast<std::size_t>(layout->pixelOffset);
  b.pixels.assign(file.begin() + static_cast<std::ptrdiff_t>(at),
                  file.begin() + static_cast<std::ptrdiff_t>(
                                     at + b.stride * static_cast<std::size_t>(b.height)));
  return b;
}

std::optional<BmpPicture> ReadBmpFile(std::string_view cp949Path) {
  const auto size = PictureFileSize(cp949Path);
  if (!size) return std::nullopt;
  const auto head = ReadPictureBytes(cp949Path, 0, kHeadBytes);
  if (!head) return std::nullopt;
  auto layout = ParseHead(*head, *size);
  if (!layout || TooManyPixels(layout->picture)) return std::nullopt;
  BmpPicture b = std::move(layout->picture);
  const std::size_t bytes = b.stride * static_cast<std::size_t>(b.height);
  auto rows = ReadPictureBytes(cp949Path, layout->pixelOffset, bytes);
  if (!rows || rows->size() != bytes) return std::nullopt;  // shrank under us
  b.pixels = std::move(*rows);
  return b;
}

std::optional<BmpSize> ReadBmpSize(std::span<const std::uint8_t> file) {
  const auto layout = ParseHead(file, file.size());
  if (!layout) return std::nullopt;
  return BmpSize{layout->picture.width, layout->picture.height};
}

std::optional<BmpSize> ReadBmpFileSize(std::string_view cp949Path) {
  const auto size = PictureFileSize(cp949Path);
  if (!size) return std::nullopt;
  const auto head = ReadPictureBytes(cp949Path, 0, kHeadBytes);
  if (!head) return std::nullopt;
  const auto layout = ParseHead(*head, *size);
  if (!layout) return std::nullopt;
  return BmpSize{layout->picture.width, layout->picture.height};
}

Planes BmpToPlanes(const BmpPicture& bmp) {
  Planes out(bmp.width, bmp.height);
  switch (bmp.bitsPerPixel) {
    case 1:
    case 4:
    case 8: {
      const int bpp = bmp.bitsPerPixel;
      const int indexMask = (1 << bpp) - 1;
      ConvertRows(bmp, out, [&](const std::uint8_t* row, std::size_t x) {
        const std::size_t bit = x * static_cast<std::size_t>(bpp);
        const int index = (row[bit / 8] >> (8 - bpp - static_cast<int>(bit % 8))) & indexMask;
        const BmpColour& c = bmp.palette[static_cast<std::size_t>(index)];
        return std::pair<int, int>(c.red, c.green);
      });
      break;
    }
    case 16: {
      const MaskedChannel red(bmp.redMask), green(bmp.greenMask);
      ConvertRows(bmp, out, [&](const std::uint8_t* row, std::size_t x) {
        const std::uint32_t v = Le16(row + 2 * x);
        return std::pair<int, int>(red(v), green(v));
      });
      break;
    }
    case 24:
      ConvertRows(bmp, out, [](const std::uint8_t* row, std::size_t x) {
        return std::pair<int, int>(row[3 * x + 2], row[3 * x + 1]);
      });
      break;
    default: {  // 32
      const MaskedChannel red(bmp.redMask), green(bmp.greenMask);
      ConvertRows(bmp, out, [&](const std::uint8_t* row, std::size_t x) {
        const std::uint32_t v = Le32(row + 4 * x);
        return std::pair<int, int>(red(v), green(v));
      });
    }
  }
  return out;
}

}  // namespace encode
