#pragma once
// Builds BMP and GIF files byte by byte for tests, benchmarks and fuzz seeds, so the
// readers are checked against files whose every byte is known.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shared/item_record.h"

namespace encode_test {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

struct BmpOptions {
  int width = 1;
  int height = 1;
  int bitsPerPixel = 24;
  bool topDown = false;
  int infoSize = 40;                      // 40, 52, 56, 108 or 124
  std::uint32_t compression = 0;          // 0 plain, 3 bit fields, anything else as given
  std::vector<std::uint32_t> masks = {};  // red, green, blue when compression is 3
  std::vector<Rgb> palette = {};          // 1-, 4- and 8-bit files
  std::uint32_t coloursUsed = 0;          // the header's count; 0 = all of the depth
};

// `pixel(x, y)` (top-left origin) gives a palette index for 1-8 bits, the raw 16- or
// 32-bit word, or 0xRRGGBB for 24 bits.
std::vector<std::uint8_t> MakeBmp(const BmpOptions& o,
                                  const std::function<std::uint32_t(int, int)>& pixel);

// A plain bottom-up 24-bit file.
std::vector<std::uint8_t> MakeBmp24(int w, int h, const std::function<Rgb(int, int)>& colour);

// GIF89a writer.
class GifBuilder {
 public:
  GifBuilder(int width, int height, std::vector<Rgb> globalColours);  // 2..256 colours
  GifBuilder& Gce(int delay, int disposal, int transparent = -1);
  GifBuilder& Comment(const std::string& text);
  GifBuilder& Netscape();  // the looping application extension
  GifBuilder& Image(int left, int top, int w, int h, const std::vector<std::uint8_t>& indices,
                    const std::vector<Rgb>& local = {});
  std::size_t size() const { return bytes_.size(); }  // bytes so far
  std::vector<std::uint8_t> Finish() const;           // with the trailer

 private:
  void Colours(const std::vector<Rgb>& c);
  std::vector<std::uint8_t> bytes_;
};

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A list of every kind for a two-tier board as the store keeps it: per-character colours,
// a 13 x 7 bitmap and an 11 x 5 animation of three frames whose dots take all four colours,
// their files written into `dir`.
std::vector<item::ItemRecord> EveryKindProgram(const std::string& dir);

}  // namespace encode_test
