// fontgen: builds the previewer's twenty board font tables from the Korean fonts installed
// on this machine.
//
//   fontgen --out DIR [--sheets DIR] [--fonts ROOT] [--only N[,N...]] [--report]
//
// DIR receives the .fnt files; --sheets also writes a PNG contact sheet per table; ROOT is
// where the font packages live (/usr/share/fonts); --only builds the listed table numbers
// (1-20); --report prints each table's faces and how many codes got ink.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "tools/fontgen/contact_sheet.h"
#include "tools/fontgen/font_tables.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: fontgen --out DIR [--sheets DIR] [--fonts ROOT] [--only N[,N...]] [--report]\n"
    "Builds the twenty board font tables from the installed Korean fonts into DIR.\n"
    "  --sheets DIR  also a PNG contact sheet per table\n"
    "  --fonts ROOT  where the font packages live (default /usr/share/fonts)\n"
    "  --only N,...  only the listed tables (1-20)\n"
    "  --report      each table's faces and how many codes got ink\n";

int Usage(const std::string& why) {
  std::fprintf(stderr, "fontgen: %s\n%s", why.c_str(), kUsage);
  return 2;
}

const char* FaceLabel(Face f) {
  for (const FaceFile& ff : FaceFiles()) {
    if (ff.face == f) return ff.label;
  }
  return "?";
}

// Writes through a temporary name so an interrupted run never leaves a short table behind.
bool WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  fs::path tmp = path;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) return false;
  }
  std::error_code ec;
  fs::rename(tmp, path, ec);
  return !ec;
}

}  // namespace

int main(int argc, char** argv) {
  std::string outDir, sheetDir, fontsRoot = "/usr/share/fonts";
  std::set<int> only;
  bool report = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--report") {
      report = true;
    } else if (i + 1 < argc && a == "--out") {
      outDir = argv[++i];
    } else if (i + 1 < argc && a == "--sheets") {
      sheetDir = argv[++i];
    } else if (i + 1 < argc && a == "--fonts") {
      fontsRoot = argv[++i];
    } else if (i + 1 < argc && a == "--only") {
      std::stringstream list(argv[++i]);
      std::string item;
      while (std::getline(list, item, ',')) {
        const int n = std::atoi(item.c_str());
        if (n < 1 || n > 20) return Usage("--only takes table numbers 1 to 20");
        only.insert(n);
      }
    } else {
      return Usage("unknown option or missing value: " + a);
    }
  }
  if (outDir.empty()) return Usage("--out DIR is needed");

  TableBuilder builder(fontsRoot);
  const std::vector<std::string> missing = builder.MissingFaces();
  if (!missing.empty()) {
    for (const std::string& m : missing)
      std::fprintf(stderr, "fontgen: cannot open %s\n", m.c_str());
    std::fprintf(stderr, "fontgen: install the font packages (scripts/install-deps.sh)\n");
    return 1;
  }
  std::error_code ec;
  fs::create_directories(outDir, ec);
  if (!sheetDir.empty()) fs::create_directories(sheetDir, ec);

  int status = 0;
  for (const TableDef& def : TableDefs()) {
    if (!only.empty() && !only.count(def.number)) continue;
    const BuiltTable table = builder.Build(def);
    if (!WriteFile(fs::path(outDir) / fs::u8path(def.file), table.FileBytes())) {
      std::fprintf(stderr, "fontgen: cannot write %s/%s\n", outDir.c_str(), def.file);
      status = 1;
    }
    if (!sheetDir.empty() &&
        !WriteContactSheet(table,
                           (fs::path(sheetDir) / (std::string(def.sheet) + ".png")).string())) {
      std::fprintf(stderr, "fontgen: cannot write the sheet of %s\n", def.file);
      status = 1;
    }
    if (report) {
      std::printf("%2d %-24s %5d/%-5d", def.number, def.file, table.inked, table.required);
      for (std::size_t i = 0; i < def.faces.size(); ++i) {
        if (i == 0 || table.perFace[i] > 0) {
          std::printf("  %s %d", FaceLabel(def.faces[i]), table.perFace[i]);
        }
      }
      std::printf("  (%s)\n", builder.DescribeFit(def).c_str());
    }
    if (table.inked != table.required) {
      std::fprintf(stderr, "fontgen: %s: %d of %d codes have no glyph in any face\n", def.file,
                   table.required - table.inked, table.required);
    }
  }
  return status;
}
