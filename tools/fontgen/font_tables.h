#pragma once
// The twenty board font tables: which codes each holds in which order, which installed
// faces draw them, and how a face's glyphs are fitted into the table's cells.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tools/fontgen/glyph_source.h"

enum class TableKind { Hangul, English, Special, Hanja };

// Installed faces the tables are drawn from.
enum class Face {
  Gulim16,         // Baekmuk Gulim 16-pixel bitmap
  Batang16,        // Baekmuk Batang 16-pixel bitmap
  D2Coding,        // D2Coding Regular
  UnGungseo,       // Un Gungseo
  MyeongjoBold,    // NanumMyeongjo Bold
  Jua,             // BM Jua
  DejaVuMonoBold,  // DejaVu Sans Mono Bold
  NanumGothic,     // NanumGothic
  NotoCjkKr,       // Noto Sans CJK KR (optional package)
  Count
};

struct FaceFile {
  Face face;
  const char* label;
  const char* path;  // below the fonts root, normally /usr/share/fonts
  int index;         // face of a collection
  bool optional;
};
const std::vector<FaceFile>& FaceFiles();

struct TableDef {
  int number;         // 1-20, the load order
  const char* file;   // UTF-8 file name
  const char* sheet;  // contact sheet name (ASCII)
  int size;           // 16 or 32
  TableKind kind;
  std::vector<Face> faces;  // first the face of the table, then the ones for its gaps
};
const std::vector<TableDef>& TableDefs();

// One slot of a table in glyph order.
struct CodeSlot {
  std::uint16_t code = 0;  // single byte or lead << 8 | trail
  char32_t unicode = 0;    // 0 where code page 949 assigns nothing
  bool needsInk = false;   // assigned and not a space by design
};
std::vector<CodeSlot> TableCodes(TableKind kind);

int CellWidth(TableKind kind, int size);
int GlyphBytes(TableKind kind, int size);

// A built table: one cell of dots per slot, and which face drew it (-1: left blank).
struct BuiltTable {
  const TableDef* def = nullptr;
  std::vector<CodeSlot> slots;
  std::vector<std::vector<std::uint8_t>> cells;  // cellWidth * size dots each, 1 = lit
  std::vector<int> faceUsed;                     // index into def->faces, or -1
  int required = 0;
  int inked = 0;
  std::vector<int> perFace;  // glyphs drawn by each of def->faces
  // The table's file bytes: 16-byte header, then the glyphs.
  std::vector<std::uint8_t> FileBytes() const;
};

class TableBuilder {
 public:
  // fontsRoot is prefixed to every FaceFile path.
  explicit TableBuilder(const std::string& fontsRoot);
  // Missing required faces, as paths; empty when every required face opened.
  std::vector<std::string> MissingFaces() const { return missing_; }
  BuiltTable Build(const TableDef& def);
  // How the table's first face is fitted ("px 15 baseline 12"), for reports.
  std::string DescribeFit(const TableDef& def);

 private:
  struct Fit {
    bool ok = false;
    int px = 0;        // pixel size (height)
    int pxWidth = 0;   // pixel width: wider than px for faces drawn narrow
    int baseline = 0;  // baseline row in the cell
  };
  enum class FitClass { Hangul, Hanja, Ascii, Box };
  struct BoxFit {
    bool ok = false;
    int pxWidth = 0;
    int pxHeight = 0;
    int originX = 0;
    int originY = 0;
  };

  GlyphSource* Source(Face f);
  const Fit& FitFor(Face f, FitClass cls, int size);
  const BoxFit& BoxFitFor(Face f, int size);
  // Draws slot into cell with face f; false when f leaves it without ink.
  bool DrawWith(Face f, const TableDef& def, const CodeSlot& slot, std::vector<std::uint8_t>& cell);

  FreeTypeLibrary lib_;
  std::map<Face, std::unique_ptr<GlyphSource>> sources_;
  std::map<std::tuple<Face, FitClass, int>, Fit> fits_;
  std::map<std::pair<Face, int>, BoxFit> boxFits_;
  std::vector<std::string> missing_;
};
