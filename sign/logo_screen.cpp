#include "sign/logo_screen.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace sign {

namespace {

// 5 x 7 letter shapes, '#' lit.
struct Letter {
  char name;
  std::array<std::string_view, 7> rows;
};
constexpr Letter kLetters[] = {
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
};

const Letter& Find(char c) {
  for (const Letter& l : kLetters) {
    if (l.name == c) return l;
  }
  return kLetters[0];
}

// One 80 x 16 plane; bit (r, c) lit.
struct Plane {
  std::array<std::array<bool, kLogoWidth>, 16> dots{};

  // Letter at top-left (x, y), each shape dot scale x scale dots.
  void Put(char c, int x, int y, int scale) {
    const Letter& l = Find(c);
    for (int r = 0; r < 7; ++r) {
      for (int k = 0; k < 5; ++k) {
        if (l.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)] != '#') continue;
        for (int dy = 0; dy < scale; ++dy) {
          for (int dx = 0; dx < scale; ++dx) {
            dots[static_cast<std::size_t>(y + r * scale + dy)]
                [static_cast<std::size_t>(x + k * scale + dx)] = true;
          }
        }
      }
    }
  }
  void DottedLine(int y) {
    for (int c = 1; c < kLogoWidth; c += 2)
      dots[static_cast<std::size_t>(y)][static_cast<std::size_t>(c)] = true;
  }
};

// "VARNO", one letter per cell at double size (10 x 14 dots, from column 3 and row 1).
Plane BigName() {
  Plane p;
  constexpr std::string_view kName = "VARNO";
  for (int i = 0; i < kLogoCells; ++i) p.Put(kName[static_cast<std::size_t>(i)], i * 16 + 3, 1, 2);
  return p;
}

struct Pictures {
  Plane oneTierRed, oneTierGreen, upperRed, lowerGreen;
};

Pictures MakePictures() {
  Pictures p;
  p.oneTierRed = BigName();
  // Green over the upper half of the letters makes it yellow; a dotted base line below.
  p.oneTierGreen = BigName();
  for (int r = 8; r < 16; ++r) p.oneTierGreen.dots[static_cast<std::size_t>(r)].fill(false);
  p.oneTierGreen.DottedLine(15);
  p.upperRed = BigName();
  constexpr std::string_view kWord = "PREVIEW";
  for (std::size_t i = 0; i < kWord.size(); ++i) {
    p.lowerGreen.Put(kWord[i], 17 + static_cast<int>(i) * 7, 5, 1);
  }
  p.lowerGreen.DottedLine(1);
  p.lowerGreen.DottedLine(14);
  return p;
}

const Pictures& Logo() {
  static const Pictures pictures = MakePictures();
  return pictures;
}

void Draw(FrameBuffer& frame, const Plane& plane, std::uint8_t colour, int top, int x0, int w) {
  for (int r = 0; r < 16; ++r) {
    for (int c = 0; c < kLogoWidth && x0 + c < w; ++c) {
      if (plane.dots[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]) {
        frame.row(top + r)[x0 + c] |= colour;
      }
    }
  }
}

}  // namespace

void DrawLogoScreen(FrameBuffer& frame, const BoardGeometry& g) {
  frame.clearRows(0, g.rows);
  const int x = g.width > kLogoWidth ? (g.width - kLogoWidth) / 2 : 0;
  const Pictures& p = Logo();
  if (g.twoTier()) {
    Draw(frame, p.upperRed, kDotRed, 0, x, g.width);
    Draw(frame, p.lowerGreen, kDotGreen, 16, x, g.width);
  } else {
    Draw(frame, p.oneTierRed, kDotRed, 0, x, g.width);
    Draw(frame, p.oneTierGreen, kDotGreen, 0, x, g.width);
  }
}

}  // namespace sign
