#include "tools/fontgen/font_tables.h"

#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace {

// Share of a set (in thousandths) that must fit the area at the chosen pixel size; the few
// oversized ones are drawn smaller on their own.
constexpr int kFitPerMille = 996;
constexpr char kMagic[8] = {'B', 'R', 'L', 'N', 'F', 'N', 'T', '1'};

std::vector<FaceFile> MakeFaceFiles() {
  return {
      {Face::Gulim16, "Baekmuk Gulim 16 (bitmap)", "X11/75dpi/gulim16.pcf.gz", 0, false},
      {Face::Batang16, "Baekmuk Batang 16 (bitmap)", "X11/75dpi/batang16.pcf.gz", 0, false},
      {Face::D2Coding, "D2Coding", "truetype/naver-d2coding/D2Coding-Ver1.3.2-20180524-all.ttc", 0,
       false},
      {Face::UnGungseo, "UnGungseo", "truetype/unfonts-core/UnGungseo.ttf", 0, false},
      {Face::MyeongjoBold, "NanumMyeongjo Bold", "truetype/nanum/NanumMyeongjoBold.ttf", 0, false},
      {Face::Jua, "BM Jua", "truetype/woowa-bm/BMJUA_ttf.ttf", 0, false},
      {Face::DejaVuMonoBold, "DejaVu Sans Mono Bold", "truetype/dejavu/DejaVuSansMono-Bold.ttf", 0,
       false},
      {Face::NanumGothic, "NanumGothic", "truetype/nanum/NanumGothic.ttf", 0, false},
      {Face::NotoCjkKr, "Noto Sans CJK KR", "opentype/noto/NotoSansCJK-Regular.ttc", 1, true},
  };
}

std::vector<TableDef> MakeTableDefs() {
  using F = Face;
  using K = TableKind;
  // Gaps are filled from NanumGothic first: it draws every KS X 1001 character.
  const F g = F::NanumGothic;
  return {
      {1, "한글굴림체16.fnt", "01-hangul16-s0", 16, K::Hangul, {F::Gulim16, g, F::D2Coding}},
      {2, "한글궁서체16.fnt", "02-hangul16-s1", 16, K::Hangul, {F::UnGungseo, g}},
      {3, "한글옛체16.fnt", "03-hangul16-s2", 16, K::Hangul, {F::Batang16, g}},
      {4, "한글매직체16.fnt", "04-hangul16-s3", 16, K::Hangul, {F::Jua, g}},
      {5, "영문굴림체16.fnt", "05-english16-s0", 16, K::English, {F::D2Coding, F::DejaVuMonoBold}},
      {6, "영문궁서체16.fnt", "06-english16-s1", 16, K::English, {F::D2Coding, F::DejaVuMonoBold}},
      {7, "영문옛체16.fnt", "07-english16-s2", 16, K::English, {F::D2Coding, F::DejaVuMonoBold}},
      {8, "영문매직체16.fnt", "08-english16-s3", 16, K::English, {F::DejaVuMonoBold, F::D2Coding}},
      {9, "특수문자16.fnt", "09-special16", 16, K::Special, {F::Gulim16, g, F::NotoCjkKr}},
      {10, "한문16.fnt", "10-hanja16", 16, K::Hanja, {F::Gulim16, g, F::NotoCjkKr}},
      {11, "한글굴림체32.fnt", "11-hangul32-s0", 32, K::Hangul, {F::D2Coding, g}},
      {12, "한글궁서체32.fnt", "12-hangul32-s1", 32, K::Hangul, {F::UnGungseo, g}},
      {13, "한글옛체32.fnt", "13-hangul32-s2", 32, K::Hangul, {F::MyeongjoBold, g}},
      {14, "한글매직체32.fnt", "14-hangul32-s3", 32, K::Hangul, {F::Jua, g}},
      {15, "영문굴림체32.fnt", "15-english32-s0", 32, K::English, {F::D2Coding, F::DejaVuMonoBold}},
      {16, "영문궁서체32.fnt", "16-english32-s1", 32, K::English, {F::UnGungseo, F::D2Coding}},
      {17, "영문옛체32.fnt", "17-english32-s2", 32, K::English, {F::MyeongjoBold, F::D2Coding}},
      {18, "영문매직체32.fnt", "18-english32-s3", 32, K::English, {F::Jua, F::D2Coding}},
      {19, "특수문자32.fnt", "19-special32", 32, K::Special, {g, F::D2Coding, F::NotoCjkKr}},
      {20, "한문32.fnt", "20-hanja32", 32, K::Hanja, {g, F::NotoCjkKr, F::D2Coding}},
  };
}

// Characters that are spaces by design and stay blank.
bool BlankByDesign(char32_t cp) {
  return cp == 0x20 || cp == 0x3000 || cp == 0x3164 || cp < 0x20 || cp == 0x7F;
}

char32_t Cp949ToUnicode(iconv_t cd, std::uint16_t code) {
  char in[2];
  std::size_t inLen = 0;
  if (code < 0x100) {
    in[inLen++] = static_cast<char>(code);
  } else {
    in[inLen++] = static_cast<char>(code >> 8);
    in[inLen++] = static_cast<char>(code & 0xFF);
  }
  unsigned char out[8];
  char* src = in;
  char* dst = reinterpret_cast<char*>(out);
  std::size_t dstLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &src, &inLen, &dst, &dstLeft) == static_cast<std::size_t>(-1) || inLen != 0 ||
      sizeof out - dstLeft != 4) {
    return 0;
  }
  return static_cast<char32_t>(out[0]) << 24 | static_cast<char32_t>(out[1]) << 16 |
         static_cast<char32_t>(out[2]) << 8 | out[3];
}

int Margin(int size) {
  return size == 32 ? 2 : 1;
}

// Places a rendered glyph with bitmap column 0 at x0 and row 0 at y0; dots outside are lost.
void Blit(const Glyph& g, int x0, int y0, int cellWidth, int cellHeight,
          std::vector<std::uint8_t>& cell) {
  for (int y = 0; y < g.rows; ++y) {
    const int cy = y0 + y;
    if (cy < 0 || cy >= cellHeight) continue;
    for (int x = 0; x < g.width; ++x) {
      const int cx = x0 + x;
      if (cx < 0 || cx >= cellWidth || !g.Lit(x, y)) continue;
      cell[static_cast<std::size_t>(cy * cellWidth + cx)] = 1;
    }
  }
}

// Trims blank rows and columns so a glyph's bitmap is its ink box.
void TrimToInk(Glyph& g) {
  int x0 = g.width, x1 = -1, y0 = g.rows, y1 = -1;
  for (int y = 0; y < g.rows; ++y) {
    for (int x = 0; x < g.width; ++x) {
      if (!g.Lit(x, y)) continue;
      x0 = std::min(x0, x);
      x1 = std::max(x1, x);
      y0 = std::min(y0, y);
      y1 = std::max(y1, y);
    }
  }
  if (x1 < 0) {
    g.width = g.rows = 0;
    g.ink.clear();
    return;
  }
  Glyph t;
  t.width = x1 - x0 + 1;
  t.rows = y1 - y0 + 1;
  t.left = g.left + x0;
  t.top = g.top - y0;
  t.advance = g.advance;
  t.ink.resize(static_cast<std::size_t>(t.width * t.rows));
  for (int y = 0; y < t.rows; ++y) {
    for (int x = 0; x < t.width; ++x) {
      t.ink[static_cast<std::size_t>(y * t.width + x)] = g.Lit(x0 + x, y0 + y) ? 1 : 0;
    }
  }
  g = std::move(t);
}

int Clamp(int v, int lo, int hi) {
  return hi < lo ? lo : std::clamp(v, lo, hi);
}

// Faces whose square characters are drawn tall and narrow (the brush face) leave the cell
// half empty at 16 dots; they are widened, at most by a quarter, while the set still fits.
void WidenFitWidth(GlyphSource& src, const std::vector<CodeSlot>& sample, int areaWidth, int need,
                   int px, int& pxWidth) {
  Glyph g;
  for (int w = px + 1; w <= px + px / 4; ++w) {
    int fitting = 0;
    for (const CodeSlot& s : sample) {
      if (!src.Render(s.code, s.unicode, w, px, g)) continue;
      TrimToInk(g);
      if (g.width > 0 && g.width <= areaWidth) ++fitting;
    }
    if (fitting < need) return;
    pxWidth = w;
  }
}

}  // namespace

const std::vector<FaceFile>& FaceFiles() {
  static const std::vector<FaceFile> files = MakeFaceFiles();
  return files;
}

const std::vector<TableDef>& TableDefs() {
  static const std::vector<TableDef> defs = MakeTableDefs();
  return defs;
}

std::vector<CodeSlot> TableCodes(TableKind kind) {
  iconv_t cd = iconv_open("UTF-32BE", "CP949");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP949 converter");
  std::vector<CodeSlot> slots;
  auto add = [&](std::uint16_t code) {
    CodeSlot s;
    s.code = code;
    s.unicode = Cp949ToUnicode(cd, code);
    s.needsInk = s.unicode != 0 && !BlankByDesign(s.unicode);
    slots.push_back(s);
  };
  auto addRows = [&](int firstLead, int lastLead) {
    for (int lead = firstLead; lead <= lastLead; ++lead) {
      for (int trail = 0xA1; trail <= 0xFE; ++trail) {
        add(static_cast<std::uint16_t>(lead << 8 | trail));
      }
    }
  };
  switch (kind) {
    case TableKind::English:
      for (int c = 0x20; c <= 0x7F; ++c) add(static_cast<std::uint16_t>(c));
      break;
    case TableKind::Special:
      addRows(0xA1, 0xAC);
      break;
    case TableKind::Hangul:
      addRows(0xB0, 0xC8);
      break;
    case TableKind::Hanja:
      addRows(0xCA, 0xFD);
      break;
  }
  iconv_close(cd);
  return slots;
}

int CellWidth(TableKind kind, int size) {
  return kind == TableKind::English ? size / 2 : size;
}

int GlyphBytes(TableKind kind, int size) {
  return CellWidth(kind, size) / 8 * size;
}

std::vector<std::uint8_t> BuiltTable::FileBytes() const {
  const int size = def->size;
  const int width = CellWidth(def->kind, size);
  std::vector<std::uint8_t> out(16, 0);
  std::memcpy(out.data(), kMagic, sizeof kMagic);
  out[8] = static_cast<std::uint8_t>(def->number);
  out[9] = static_cast<std::uint8_t>(size);
  out[10] = static_cast<std::uint8_t>(width);
  out[12] = static_cast<std::uint8_t>(cells.size() >> 8);
  out[13] = static_cast<std::uint8_t>(cells.size() & 0xFF);
  for (const auto& cell : cells) {
    for (int y = 0; y < size; ++y) {
      for (int bx = 0; bx < width; bx += 8) {
        std::uint8_t byte = 0;
        for (int b = 0; b < 8; ++b) {
          if (cell[static_cast<std::size_t>(y * width + bx + b)]) byte |= 0x80 >> b;
        }
        out.push_back(byte);
      }
    }
  }
  return out;
}

TableBuilder::TableBuilder(const std::string& fontsRoot) {
  for (const FaceFile& f : FaceFiles()) {
    const std::string path = fontsRoot + "/" + f.path;
    auto src = std::make_unique<GlyphSource>(lib_.get(), f.label, path, f.index);
    if (!src->valid()) {
      if (!f.optional) missing_.push_back(path);
      continue;
    }
    sources_[f.face] = std::move(src);
  }
}

GlyphSource* TableBuilder::Source(Face f) {
  auto it = sources_.find(f);
  return it == sources_.end() ? nullptr : it->second.get();
}

const TableBuilder::Fit& TableBuilder::FitFor(Face f, FitClass cls, int size) {
  const auto key = std::make_tuple(f, cls, size);
  auto it = fits_.find(key);
  if (it != fits_.end()) return it->second;
  Fit& fit = fits_[key];
  GlyphSource* src = Source(f);
  if (!src || src->isBitmap()) return fit;

  // The characters a face is fitted on: its Hangul for Hangul and special characters (so
  // symbols keep the Hangul proportions), its Hanja for Hanja, letters and digits for ASCII.
  std::vector<CodeSlot> sample;
  if (cls == FitClass::Ascii) {
    for (const CodeSlot& s : TableCodes(TableKind::English)) {
      const char32_t c = s.unicode;
      if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
        sample.push_back(s);
      }
    }
  } else {
    for (const CodeSlot& s :
         TableCodes(cls == FitClass::Hanja ? TableKind::Hanja : TableKind::Hangul)) {
      if (s.needsInk) sample.push_back(s);
    }
  }
  const int margin = Margin(size);
  const int areaHeight = size - margin;
  // ASCII is fitted on its height; each glyph is narrowed to its cell later.
  const int areaWidth = cls == FitClass::Ascii ? 1 << 20 : size - margin;
  const int perMille = cls == FitClass::Ascii ? 1000 : kFitPerMille;

  struct Extent {
    int top, rows, width;
  };
  std::vector<Extent> extents;
  Glyph g;
  // Tries one pixel size: the share of the set that fits with the best baseline.
  struct Trial {
    bool fits = false;
    int baseline = 0;
    int need = 0;
  };
  const auto tryPx = [&](int px) {
    Trial trial;
    extents.clear();
    for (const CodeSlot& s : sample) {
      if (!src->Render(s.code, s.unicode, px, px, g)) continue;
      TrimToInk(g);
      if (g.width == 0) continue;
      extents.push_back({g.top, g.rows, g.width});
    }
    if (extents.empty()) return trial;
    trial.need = static_cast<int>((extents.size() * perMille + 999) / 1000);
    // Slide the baseline down the area and keep the rows where most glyphs fit; of equal
    // rows the middle one centres the set.
    int best = -1, bestFirst = 0, bestLast = 0;
    for (int base = 0; base <= 2 * size; ++base) {
      int count = 0;
      for (const Extent& e : extents) {
        const int y0 = base - e.top;
        if (y0 >= 0 && y0 + e.rows <= areaHeight && e.width <= areaWidth) ++count;
      }
      if (count > best) {
        best = count;
        bestFirst = bestLast = base;
      } else if (count == best) {
        bestLast = base;
      }
    }
    trial.fits = best >= trial.need;
    trial.baseline = (bestFirst + bestLast) / 2;
    return trial;
  };

  // Start where the tallest glyphs at the cell size say the set fits, then step to the
  // largest size that does: a couple of trials instead of one per size.
  std::vector<int> heights;
  for (const CodeSlot& s : sample) {
    if (src->Render(s.code, s.unicode, size, size, g) && g.HasInk()) {
      TrimToInk(g);
      heights.push_back(g.rows);
    }
  }
  if (heights.empty()) return fit;
  std::sort(heights.begin(), heights.end());
  const int tall = std::max(1, heights[heights.size() * static_cast<std::size_t>(perMille) / 1001]);
  const int lowest = size / 2, highest = 2 * size;
  int px = Clamp(size * areaHeight / tall, lowest, highest);
  Trial at = tryPx(px);
  if (at.fits) {
    while (px < highest) {
      const Trial up = tryPx(px + 1);
      if (!up.fits) break;
      ++px;
      at = up;
    }
  } else {
    while (!at.fits && px > lowest) at = tryPx(--px);
    if (!at.fits) return fit;
  }
  fit.ok = true;
  fit.px = fit.pxWidth = px;
  fit.baseline = at.baseline;
  if (cls != FitClass::Ascii) WidenFitWidth(*src, sample, areaWidth, at.need, px, fit.pxWidth);
  return fit;
}

const TableBuilder::BoxFit& TableBuilder::BoxFitFor(Face f, int size) {
  const auto key = std::make_pair(f, size);
  auto it = boxFits_.find(key);
  if (it != boxFits_.end()) return it->second;
  BoxFit& fit = boxFits_[key];
  GlyphSource* src = Source(f);
  if (!src || src->isBitmap()) return fit;
  // The cross must span the whole cell or the lines of neighbouring cells do not meet.
  const std::uint16_t crossCode = 0xA6AB;
  const char32_t cross = 0x253C;
  Glyph g;
  int pxWidth = size / 2;
  for (; pxWidth <= 3 * size; ++pxWidth) {
    if (!src->Render(crossCode, cross, pxWidth, size, g)) return fit;
    TrimToInk(g);
    if (g.width >= size) break;
  }
  int pxHeight = size / 2;
  for (; pxHeight <= 3 * size; ++pxHeight) {
    if (!src->Render(crossCode, cross, pxWidth, pxHeight, g)) return fit;
    TrimToInk(g);
    if (g.rows >= size) break;
  }
  if (g.width < size || g.rows < size) return fit;
  fit.ok = true;
  fit.pxWidth = pxWidth;
  fit.pxHeight = pxHeight;
  // Pen origin in the cell that puts the cross's ink box at the cell's top-left.
  fit.originX = -g.left;
  fit.originY = g.top;
  return fit;
}

bool TableBuilder::DrawWith(Face f, const TableDef& def, const CodeSlot& slot,
                            std::vector<std::uint8_t>& cell) {
  GlyphSource* src = Source(f);
  if (!src || !src->Maps(slot.code, slot.unicode)) return false;
  const int size = def.size;
  const int cellWidth = CellWidth(def.kind, size);
  std::fill(cell.begin(), cell.end(), 0);
  Glyph g;

  if (src->isBitmap()) {
    // Hand-made strikes are copied dot for dot, only kept inside the cell.
    if (size != 16 || !src->Render(slot.code, slot.unicode, 0, 0, g) || !g.HasInk()) return false;
    TrimToInk(g);
    const int x0 = Clamp(g.left, 0, cellWidth - g.width);
    const int y0 = Clamp(src->ascent() - g.top, 0, size - g.rows);
    Blit(g, x0, y0, cellWidth, size, cell);
    return true;
  }

  if (def.kind == TableKind::Special && (slot.code >> 8) == 0xA6) {
    const BoxFit& box = BoxFitFor(f, size);
    if (box.ok) {
      if (!src->Render(slot.code, slot.unicode, box.pxWidth, box.pxHeight, g) || !g.HasInk()) {
        return false;
      }
      Blit(g, box.originX + g.left, box.originY - g.top, cellWidth, size, cell);
      return true;
    }
  }

  const FitClass cls = def.kind == TableKind::English ? FitClass::Ascii
                       : def.kind == TableKind::Hanja ? FitClass::Hanja
                                                      : FitClass::Hangul;
  const Fit& fit = FitFor(f, cls, size);
  if (!fit.ok) return false;
  const int margin = Margin(size);
  const int areaWidth = cellWidth - margin;
  const int areaHeight = size - margin;

  // Symbols keep their proportions (a circle stays round); letters may be widened.
  const int fitWidth = def.kind == TableKind::Special ? fit.px : fit.pxWidth;
  if (!src->Render(slot.code, slot.unicode, fitWidth, fit.px, g) || !g.HasInk()) return false;
  TrimToInk(g);
  // An oversized glyph is drawn smaller on its own: narrower first for ASCII, which is
  // fitted on height, uniformly for the square tables.
  int pxWidth = fitWidth, pxHeight = fit.px;
  while ((g.width > areaWidth || g.rows > areaHeight) && pxWidth > 4 && pxHeight > 4) {
    if (g.width > areaWidth) --pxWidth;
    if (g.rows > areaHeight || def.kind != TableKind::English) --pxHeight;
    if (def.kind != TableKind::English) pxWidth = pxHeight * fitWidth / fit.px;
    if (!src->Render(slot.code, slot.unicode, pxWidth, pxHeight, g)) return false;
    TrimToInk(g);
  }

  int x0;
  if (def.kind == TableKind::Special) {
    // Symbols keep their place in the em box (a comma stays low and left, for one).
    x0 = (areaWidth - g.advance) / 2 + g.left;
  } else {
    x0 = (areaWidth - g.width) / 2;
  }
  x0 = Clamp(x0, 0, areaWidth - g.width);
  const int y0 = Clamp(fit.baseline - g.top, 0, areaHeight - g.rows);
  Blit(g, x0, y0, cellWidth, size, cell);
  return true;
}

BuiltTable TableBuilder::Build(const TableDef& def) {
  BuiltTable t;
  t.def = &def;
  t.slots = TableCodes(def.kind);
  const int cellDots = CellWidth(def.kind, def.size) * def.size;
  t.perFace.assign(def.faces.size(), 0);
  for (const CodeSlot& slot : t.slots) {
    std::vector<std::uint8_t> cell(static_cast<std::size_t>(cellDots), 0);
    int used = -1;
    if (slot.needsInk) {
      ++t.required;
      for (std::size_t i = 0; i < def.faces.size() && used < 0; ++i) {
        if (DrawWith(def.faces[i], def, slot, cell)) used = static_cast<int>(i);
      }
      if (used >= 0) {
        ++t.inked;
        ++t.perFace[static_cast<std::size_t>(used)];
      } else {
        std::fill(cell.begin(), cell.end(), 0);
      }
    }
    t.cells.push_back(std::move(cell));
    t.faceUsed.push_back(used);
  }
  return t;
}

std::string TableBuilder::DescribeFit(const TableDef& def) {
  GlyphSource* src = Source(def.faces.front());
  if (!src) return "missing";
  if (src->isBitmap()) return "bitmap, baseline " + std::to_string(src->ascent());
  const FitClass cls = def.kind == TableKind::English ? FitClass::Ascii
                       : def.kind == TableKind::Hanja ? FitClass::Hanja
                                                      : FitClass::Hangul;
  const Fit& fit = FitFor(def.faces.front(), cls, def.size);
  return "px " + std::to_string(fit.pxWidth) + "x" + std::to_string(fit.px) + ", baseline " +
         std::to_string(fit.baseline);
}
