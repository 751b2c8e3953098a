#include "manager/encode/gif_reader.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

#include "manager/encode/picture_file.h"

namespace encode {

namespace {

constexpr std::size_t kScreenDescriptorEnd = 13;

std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::size_t ColourTableBytes(std::uint8_t packed) {
  return (packed & 0x80) ? 3u << ((packed & 7) + 1) : 0;
}

// Length of a run of sub-blocks starting at `at`, terminator included.
std::optional<std::size_t> SubBlocks(std::span<const std::uint8_t> file, std::size_t at) {
  std::size_t pos = at;
  for (;;) {
    if (pos >= file.size()) return std::nullopt;
    const std::size_t len = file[pos];
    pos += 1 + len;
    if (len == 0) return pos - at;
  }
}

// Size of a block of `fixed` bytes followed by sub-blocks.
std::optional<std::size_t> WithSubBlocks(std::span<const std::uint8_t> file, std::size_t at,
                                         std::size_t fixed) {
  if (at + fixed > file.size()) return std::nullopt;
  const auto sub = SubBlocks(file, at + fixed);
  if (!sub) return std::nullopt;
  return fixed + *sub;
}

bool IsGif(std::span<const std::uint8_t> file) {
  return file.size() >= kScreenDescriptorEnd && file[0] == 'G' && file[1] == 'I' && file[2] == 'F';
}

std::size_t HeaderBytes(std::span<const std::uint8_t> file) {
  return kScreenDescriptorEnd + ColourTableBytes(file[10]);
}

struct MemoryReader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int n) {
  auto* r = static_cast<MemoryReader*>(gif->UserData);
  const std::size_t k = std::min(static_cast<std::size_t>(n < 0 ? 0 : n), r->size - r->pos);
  if (k > 0) std::memcpy(out, r->data + r->pos, k);
  r->pos += k;
  return static_cast<int>(k);
}

}  // namespace

GifBlockInfo GifBlockAt(std::span<const std::uint8_t> file, std::size_t at) {
  GifBlockInfo out;
  if (at >= file.size()) return out;
  const std::uint8_t b = file[at];
  if (b == 0x3B) {
    out.kind = GifBlock::Trailer;
    out.size = 1;
  } else if (b == 0x2C) {
    out.kind = GifBlock::Image;
    if (at + 10 > file.size()) return out;
    // descriptor, local colour table, LZW code size byte, then the data sub-blocks
    out.size = WithSubBlocks(file, at, 10 + ColourTableBytes(file[at + 9]) + 1);
  } else if (b == 0x21 && at + 1 < file.size()) {
    switch (file[at + 1]) {
      case 0xFF:
        out.kind = GifBlock::ApplicationExtension;
        out.size = WithSubBlocks(file, at, 14);
        break;
      case 0xFE:
        out.kind = GifBlock::CommentExtension;
        out.size = WithSubBlocks(file, at, 2);
        break;
      case 0xF9:
        out.kind = GifBlock::GraphicControl;
        if (at + 8 <= file.size()) out.size = 8;
        break;
      case 0x01:
        out.kind = GifBlock::PlainText;
        out.size = WithSubBlocks(file, at, 15);
        break;
      default:
        break;
    }
  }
  return out;
}

void GifDecoder::Clear() {
  file_.clear();
  headerBytes_ = 0;
  width_ = height_ = 0;
  frames_.clear();
  canvas_.clear();
}

bool GifDecoder::Load(std::string_view cp949Path) {
  Clear();
  const auto size = PictureFileSize(cp949Path);
  if (!size || *size > kMaxFileBytes) return false;
  auto bytes = ReadPictureBytes(cp949Path, 0, static_cast<std::size_t>(*size));
  if (!bytes) return false;
  return LoadBytes(std::move(*bytes));
}

bool GifDecoder::LoadBytes(std::vector<std::uint8_t> file) {
  Clear();
  if (!IsGif(file)) return false;
  const int w = Le16(file.data() + 6);
  const int h = Le16(file.data() + 8);
  if (w == 0 || h == 0 ||
      static_cast<std::size_t>(w) * static_cast<std::size_t>(h) > kMaxScreenPixels)
    return false;
  file_ = std::move(file);
  headerBytes_ = HeaderBytes(file_);
  width_ = w;
  height_ = h;
  if (!CutFrames()) {
    Clear();
    return false;
  }
  return true;  // the canvas is made by the first render: a refused picture never costs it
}

bool GifDecoder::CutFrames() {
  const std::span<const std::uint8_t> file(file_);
  std::size_t budget = kMaxDecodedPixels;
  std::size_t pos = headerBytes_;
  for (;;) {
    const GifBlockInfo b = GifBlockAt(file, pos);
    if (!b.size || b.kind == GifBlock::Trailer || b.kind == GifBlock::Invalid) break;
    if (b.kind != GifBlock::GraphicControl && b.kind != GifBlock::Image) {
      pos += *b.size;
      continue;
    }
    GifFrame f;
    f.begin = pos;
    std::size_t image = pos;
    std::size_t imageSize = *b.size;
    if (b.kind == GifBlock::GraphicControl) {
      image = pos + *b.size;
      for (;;) {  // every block up to the image belongs to the frame
        const GifBlockInfo next = GifBlockAt(file, image);
        if (!next.size || next.kind == GifBlock::Trailer || next.kind == GifBlock::Invalid)
          return !frames_.empty();
        if (next.kind == GifBlock::Image) {
          imageSize = *next.size;
          break;
        }
        image += *next.size;
      }
    }
    f.left = Le16(&file_[image + 1]);
    f.top = Le16(&file_[image + 3]);
    f.width = Le16(&file_[image + 5]);
    f.height = Le16(&file_[image + 7]);
    f.end = image + imageSize;
    pos = f.end;
    if (Decode(f, &budget)) frames_.push_back(std::move(f));
  }
  return !frames_.empty();
}

std::vector<std::uint8_t> GifDecoder::StreamOf(const GifFrame& f) const {
  std::vector<std::uint8_t> out;
  out.reserve(headerBytes_ + (f.end - f.begin) + 1);
  out.insert(out.end(), file_.begin(), file_.begin() + static_cast<std::ptrdiff_t>(headerBytes_));
  out.insert(out.end(), file_.begin() + static_cast<std::ptrdiff_t>(f.begin),
             file_.begin() + static_cast<std::ptrdiff_t>(f.end));
  out.push_back(0x3B);
  return out;
}

bool GifDecoder::Decode(GifFrame& frame, std::size_t* budget) const {
  const std::size_t pixels =
      static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
  if (pixels == 0 || pixels > *budget) return false;

  const std::vector<std::uint8_t> stream = StreamOf(frame);

  MemoryReader reader{stream.data(), stream.size(), 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
  if (!gif) return false;
  bool ok = false;
  if (DGifSlurp(gif) == GIF_OK && gif->ImageCount >= 1) {
    const SavedImage& image = gif->SavedImages[0];
    const ColorMapObject* map =
        image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    if (map && image.RasterBits && image.ImageDesc.Width == frame.width &&
        image.ImageDesc.Height == frame.height) {
      frame.indices.assign(image.RasterBits, image.RasterBits + pixels);
      frame.colours.clear();
      for (int i = 0; i < map->ColorCount; ++i)
        frame.colours.push_back(
            GifRgb{map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
      GraphicsControlBlock gcb{};
      frame.transparent =
          DGifSavedExtensionToGCB(gif, 0, &gcb) == GIF_OK ? gcb.TransparentColor : -1;
      ok = true;
    }
  }
  DGifCloseFile(gif, &error);
  if (ok) *budget -= pixels;
  return ok;
}

void GifDecoder::RenderFrame(int k) {
  if (canvas_.empty())
    canvas_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
                   kCanvasFill);
  const GifFrame& f = Frame(k);
  const int rows = std::min(f.height, height_ - f.top);
  const int cols = std::min(f.width, width_ - f.left);
  for (int y = 0; y < rows; ++y) {
    const std::uint8_t* src =
        &f.indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(f.width)];
    GifRgb* dst = &canvas_[static_cast<std::size_t>(f.top + y) * static_cast<std::size_t>(width_) +
                           static_cast<std::size_t>(f.left)];
    for (int x = 0; x < cols; ++x) {
      const int index = src[x];
      if (index == f.transparent) continue;
      dst[x] = static_cast<std::size_t>(index) < f.colours.size()
                   ? f.colours[static_cast<std::size_t>(index)]
                   : GifRgb{};
    }
  }
}

GifRgb GifDecoder::CanvasAt(int x, int y) const {
  if (canvas_.empty()) return kCanvasFill;
  return canvas_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)];
}

Planes GifDecoder::CanvasToPlanes() const {
  Planes out(width_, height_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const GifRgb c = CanvasAt(x, y);
      if (c.red != 0 && c.green != 0 && c.blue != 0) continue;
      out.set(x, y, c.red > kDotThreshold, c.green > kDotThreshold);
    }
  }
  return out;
}

}  // namespace encode
