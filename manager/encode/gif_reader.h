#pragma once
// Animated GIF files cut into frames. The file is walked block by block; each image is
// cut out, with the file's header and global colour table in front and a trailer
// behind, as a stand-alone single-image GIF stream and decoded on its own (giflib). The
// frames are drawn, each over the last, onto a canvas of the logical screen's size that
// starts out a light grey; disposal methods are not applied, so transparent parts show
// the frames before. Numbers in the file are little-endian.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "manager/encode/planes.h"

namespace encode {

enum class GifBlock {
  ApplicationExtension,
  CommentExtension,
  GraphicControl,
  PlainText,
  Image,
  Trailer,
  Invalid
};

// Which block starts at `at`, and its size in bytes including its sub-blocks. The size is
// nullopt for an invalid block and for one that would run past the end of `file`.
struct GifBlockInfo {
  GifBlock kind = GifBlock::Invalid;
  std::optional<std::size_t> size;
};
GifBlockInfo GifBlockAt(std::span<const std::uint8_t> file, std::size_t at);

struct GifRgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const GifRgb&) const = default;
};

struct GifFrame {
  int left = 0, top = 0, width = 0, height = 0;  // from the image descriptor, pixels
  std::size_t begin = 0, end = 0;                // the frame's bytes in the file, [begin, end)
  // Decoded picture: one colour index per pixel, rows top to bottom.
  std::vector<std::uint8_t> indices;
  std::vector<GifRgb> colours;  // indices at or past its end draw black
  int transparent = -1;         // index left undrawn, -1 for none
};

class GifDecoder {
 public:
  // The canvas fill: light and neutral, no channel zero, so it never lights a dot.
  static constexpr GifRgb kCanvasFill{0xF0, 0xF0, 0xF0};
  // Refusal limits for pictures no board could hold: logical screen pixels, and decoded
  // pixels over all frames.
  static constexpr std::size_t kMaxScreenPixels = 16u << 20;
  static constexpr std::size_t kMaxDecodedPixels = 64u << 20;
  static constexpr std::size_t kMaxFileBytes = 256u << 20;

  // Reads the file whole and cuts it into frames. True when at least one frame decoded;
  // any earlier document is dropped either way. A file that is not a GIF, or whose
  // logical screen is empty or above kMaxScreenPixels, is refused.
  bool Load(std::string_view cp949Path);
  bool LoadBytes(std::vector<std::uint8_t> file);

  int width() const { return width_; }  // logical screen, pixels
  int height() const { return height_; }
  int FrameCount() const { return static_cast<int>(frames_.size()); }
  const GifFrame& Frame(int k) const { return frames_[static_cast<std::size_t>(k)]; }

  // Draws frame k (0 <= k < FrameCount()) over the canvas at its position, clipped to it.
  void RenderFrame(int k);
  // Canvas pixel, (0, 0) top left.
  GifRgb CanvasAt(int x, int y) const;
  // A pixel whose red, green and blue are all non-zero stays dark (the fill, white and
  // greys); otherwise red above 100 lights red and green above 100 lights green.
  Planes CanvasToPlanes() const;

 private:
  void Clear();
  bool CutFrames();
  bool Decode(GifFrame& frame, std::size_t* budget) const;
  std::vector<std::uint8_t> StreamOf(const GifFrame& f) const;

  std::vector<std::uint8_t> file_;
  std::size_t headerBytes_ = 0;  // 13 + global colour table
  int width_ = 0, height_ = 0;
  std::vector<GifFrame> frames_;
  std::vector<GifRgb> canvas_;
};

}  // namespace encode
