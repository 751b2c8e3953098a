// Contact sheets of the effects, for looking at them: for each family and mode one PNG with
// a row per effect code and a few frames across its motion, the last being the finishing
// frame. Also prints each effect's frame count at speed level 4 on a 96 x 32 board.
//
// Usage: effect-sheets [OUTPUT_FOLDER [BOARD_WIDTH_IN_DOTS]]

#include <png.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sign/effects.h"
#include "sign/frame_buffer.h"
#include "sign/led_pixels.h"

using namespace sign;

namespace {

constexpr int kScale = 3;        // pixels per dot
constexpr int kGap = 12;         // pixels between frames
constexpr int kLabelWidth = 24;  // left margin for the code number
constexpr int kShots = 7;        // frames shown per effect

constexpr const char* kUsage =
    "usage: effect-sheets [OUTPUT_FOLDER [WIDTH]]\n"
    "Draws a PNG contact sheet of every entry and exit effect per line family into\n"
    "OUTPUT_FOLDER (default: the current folder) and prints their frame counts at speed\n"
    "level 4. WIDTH: the board width in dots, 16 to 1008 (default 96).\n";

int BadArguments(const std::string& why) {
  std::fprintf(stderr, "effect-sheets: %s\n%s", why.c_str(), kUsage);
  return 2;
}

struct Rgb {
  std::uint8_t r, g, b;
};

struct Image {
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;  // RGB rows

  Image(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 3, 110) {}
  void Set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 3];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
  }
};

bool WritePng(const Image& img, const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, img.width, img.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < img.height; ++y) {
    png_write_row(png, &img.pixels[static_cast<std::size_t>(y) * img.width * 3]);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

Rgb PixelOf(std::uint8_t dot) {
  const std::uint32_t rgb = DotRgb(dot);
  return Rgb{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
             static_cast<std::uint8_t>(rgb)};
}

// 3 x 5 digits for the code labels.
constexpr std::array<const char*, 10> kDigits = {
    "111101101101111", "010110010010111", "111001111100111", "111001111001111", "101101111001001",
    "111100111001111", "111100111101111", "111001001001001", "111101111101111", "111101111001111"};

void DrawNumber(Image& img, int x, int y, int n) {
  const std::string text = std::to_string(n);
  for (char ch : text) {
    const char* bits = kDigits[static_cast<std::size_t>(ch - '0')];
    for (int i = 0; i < 15; ++i) {
      if (bits[i] != '1') continue;
      for (int dy = 0; dy < 2; ++dy) {
        for (int dx = 0; dx < 2; ++dx)
          img.Set(x + (i % 3) * 2 + dx, y + (i / 3) * 2 + dy, {255, 255, 255});
      }
    }
    x += 8;
  }
}

// 5 x 7 letters of the sample text; asymmetric so turns and mirrors show.
constexpr std::array<const char*, 5> kLetters = {
    "11110100011000111110100011000110001",  // R (a 5 x 7 sketch)
    "11111100001000011110100001000011111",  // E
    "10001100011000110001100010101001010",  // V-ish
    "01110100011000110001100011000101110",  // O
    "11111001000010000100001000010000100",  // T
};
constexpr std::array<std::uint8_t, 5> kLetterColours = {kDotRed, kDotGreen, kDotYellow, kDotRed,
                                                        kDotGreen};

// The line's picture: an outlined box around five letters plus an arrow, centred, in the
// family's rows. Returns its width.
int ComposeSample(FrameBuffer& work, EffectFamily f, int width) {
  const int top = FamilyTop(f);
  const int rows = FamilyRowCount(f);
  const int scale = rows == 32 ? 3 : 1;
  const int letterWidth = 5 * scale + scale;
  const int textWidth = std::min(width, 5 * letterWidth + 8 * scale + 4);
  const int x0 = (width - textWidth) / 2;
  for (int c = x0; c < x0 + textWidth; ++c) {
    work.set(top, c, kDotYellow);
    work.set(top + rows - 1, c, kDotYellow);
  }
  for (int r = top; r < top + rows; ++r) {
    work.set(r, x0, kDotYellow);
    work.set(r, x0 + textWidth - 1, kDotYellow);
  }
  const int y0 = top + (rows - 7 * scale) / 2;
  for (int l = 0; l < 5; ++l) {
    for (int i = 0; i < 35; ++i) {
      if (kLetters[static_cast<std::size_t>(l)][i] != '1') continue;
      for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx) {
          const int c = x0 + 2 + l * letterWidth + (i % 5) * scale + dx;
          if (c < x0 + textWidth - 1) {
            work.set(y0 + (i / 5) * scale + dy, c, kLetterColours[static_cast<std::size_t>(l)]);
          }
        }
      }
    }
  }
  // An arrow pointing right, in the upper part of the last cell.
  const int ax = x0 + 2 + 5 * letterWidth;
  for (int k = 0; k < 3 * scale && ax + k < x0 + textWidth - 1; ++k) {
    work.set(top + 1 + scale, ax + k, kDotRed);
    if (k >= 2 * scale) {
      work.set(top + 1 + scale - (3 * scale - k), ax + k, kDotRed);
    }
  }
  return textWidth;
}

// Steps the effect to the end; returns the frames drawn (moving frames + finishing).
template <typename Frame>
int Run(EffectFamily f, EffectMode m, int code, int level, int width, const FrameBuffer& work,
        int textWidth, Frame frame) {
  EffectState s;
  StartEffect(s, f, m, code, level, textWidth, (width - textWidth) / 2, width);
  FrameBuffer back;
  for (int n = 1; n <= 100000; ++n) {
    const bool done = StepEffect(s, work, back);
    frame(n, back);
    if (done) return n;
  }
  return -1;
}

const char* FamilyName(EffectFamily f) {
  switch (f) {
    case EffectFamily::kOneLine32:
      return "oneline32";
    case EffectFamily::kOneLine16:
      return "oneline16";
    case EffectFamily::kUpperLine:
      return "upper";
    default:
      return "lower";
  }
}

bool WriteSheet(EffectFamily f, EffectMode m, int width, const std::string& folder) {
  FrameBuffer work;
  const int textWidth = ComposeSample(work, f, width);
  std::vector<int> codes;
  for (int code = 0; code < CodeCount(m); ++code) {
    if (HasEffectDriver(m, code)) codes.push_back(code);
  }
  const int cellW = width * kScale + kGap;
  const int cellH = kFrameRows * kScale + kGap;
  Image img(kLabelWidth + kShots * cellW, static_cast<int>(codes.size()) * cellH);
  for (std::size_t row = 0; row < codes.size(); ++row) {
    const int code = codes[row];
    const int y0 = static_cast<int>(row) * cellH;
    DrawNumber(img, 2, y0 + 4, code);
    const int total = Run(f, m, code, 4, width, work, textWidth, [](int, const FrameBuffer&) {});
    std::array<int, kShots> shots{};
    for (int k = 0; k < kShots; ++k) shots[k] = 1 + (total - 1) * k / (kShots - 1);
    Run(f, m, code, 4, width, work, textWidth, [&](int n, const FrameBuffer& fb) {
      for (int k = 0; k < kShots; ++k) {
        if (shots[k] != n) continue;
        const int x0 = kLabelWidth + k * cellW;
        for (int r = 0; r < kFrameRows; ++r) {
          const bool used = r >= FamilyTop(f) && r < FamilyTop(f) + FamilyRowCount(f);
          for (int c = 0; c < width; ++c) {
            const Rgb colour = used ? PixelOf(fb.at(r, c)) : Rgb{20, 20, 60};
            for (int dy = 0; dy < kScale; ++dy) {
              for (int dx = 0; dx < kScale; ++dx) {
                img.Set(x0 + c * kScale + dx, y0 + r * kScale + dy, colour);
              }
            }
          }
        }
      }
    });
  }
  const std::string path =
      folder + "/effects_" + FamilyName(f) + (m == EffectMode::kEntry ? "_entry.png" : "_exit.png");
  const bool ok = WritePng(img, path);
  std::printf("%s %s\n", ok ? "wrote" : "could not write", path.c_str());
  return ok;
}

void PrintFrameCounts(int width) {
  std::printf("Frames at speed level 4 on a %d x 32 board (moving frames + the finishing one)\n",
              width);
  std::printf("%-6s %4s | %9s %9s %6s %6s\n", "mode", "code", "oneline32", "oneline16", "upper",
              "lower");
  for (EffectMode m : {EffectMode::kEntry, EffectMode::kExit}) {
    for (int code = 0; code < CodeCount(m); ++code) {
      if (!HasEffectDriver(m, code)) continue;
      int counts[4];
      for (int f = 0; f < 4; ++f) {
        FrameBuffer work;
        const auto family = static_cast<EffectFamily>(f);
        const int textWidth = ComposeSample(work, family, width);
        counts[f] = Run(family, m, code, 4, width, work, textWidth, [](int, const FrameBuffer&) {});
      }
      std::printf("%-6s %4d | %9d %9d %6d %6d\n", m == EffectMode::kEntry ? "entry" : "exit", code,
                  counts[0], counts[1], counts[2], counts[3]);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a.size() > 1 && a[0] == '-') return BadArguments("unknown option " + a);
    args.push_back(a);
  }
  if (args.size() > 2) return BadArguments("too many arguments");
  const std::string folder = args.empty() ? "." : args[0];
  int width = 96;
  if (args.size() == 2) {
    char* end = nullptr;
    const long w = std::strtol(args[1].c_str(), &end, 10);
    if (end == args[1].c_str() || *end != '\0' || w < 16 || w > kFrameColumns) {
      return BadArguments("board width must be 16 to " + std::to_string(kFrameColumns) + " dots");
    }
    width = static_cast<int>(w);
  }
  PrintFrameCounts(width);
  bool ok = true;
  for (int f = 0; f < 4; ++f) {
    for (EffectMode m : {EffectMode::kEntry, EffectMode::kExit}) {
      ok = WriteSheet(static_cast<EffectFamily>(f), m, width, folder) && ok;
    }
  }
  return ok ? 0 : 1;
}
