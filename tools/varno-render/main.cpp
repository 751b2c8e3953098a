// varno-render: plays a preview image offline with the previewer's own engine and fonts and
// writes what the window would show.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "frame_writers.h"
#include "sign/flash_image.h"
#include "sign/font_set.h"
#include "sign/live_fields.h"
#include "sign/playback_engine.h"

using namespace sign;

namespace fs = std::filesystem;

namespace {

constexpr int kLogoFrames = 60;
constexpr int kMaxDefaultFrames = 100000;  // a program that plays longer is cut here

constexpr const char* kUsage =
    "usage: varno-render [--fonts DIR] [--frames N] [--time \"YYYY-MM-DD HH:MM:SS\"]\n"
    "                    [--gif FILE] [--sheet FILE [--every K]] [--raw FILE] PREVIEW_FILE\n"
    "Plays a preview image as the previewer does and writes its frames.\n"
    "  --fonts DIR  font folder (default: PREVIEW/font beside this program, else font)\n"
    "  --frames N   frames to produce (default: until every item has played once, at most\n"
    "               100000; the logo: 60)\n"
    "  --time T     local time for the clock and D-day items (default: now)\n"
    "  --gif FILE   animated GIF, 3 x 3 pixels a dot, each frame for its own period\n"
    "  --sheet FILE PNG of every K-th frame stacked top to bottom (--every K, default 1)\n"
    "  --raw FILE   per frame: period byte (ms), then the dot rows, W bytes each\n";

struct Options {
  std::string fonts, time, gif, sheet, raw, preview;
  std::optional<long> frames;
  long every = 1;
  bool everyGiven = false;
};

int BadArguments(const std::string& why) {
  std::fprintf(stderr, "varno-render: %s\n%s", why.c_str(), kUsage);
  return 2;
}

bool ParseCount(const char* text, long& out) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < 1 || v > 100000000) return false;
  out = v;
  return true;
}

fs::path ProgramFolder() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : self.parent_path();
}

// The font set reads "<folder>/font/<name>"; a folder not named "font" is reached through
// a link in a temporary folder.
bool LoadFonts(const fs::path& dir, FontSet& fonts, std::string& failure) {
  const FontMessageFn report = [&](const std::string& text, const std::string&) { failure = text; };
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    failure = "font folder not found: " + dir.string();
    return false;
  }
  const fs::path absolute = fs::absolute(dir, ec);
  if (absolute.filename() == "font") {
    return fonts.Load(absolute.parent_path().string() + "/", report);
  }
  const fs::path link =
      fs::temp_directory_path() / ("varno-render-fonts-" + std::to_string(::getpid()));
  fs::remove_all(link, ec);
  fs::create_directories(link, ec);
  fs::create_directory_symlink(absolute, link / "font", ec);
  const bool ok = !ec && fonts.Load(link.string() + "/", report);
  fs::remove_all(link, ec);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--fonts") {
      if (!value(o.fonts)) return BadArguments("--fonts needs a folder");
    } else if (a == "--time") {
      if (!value(o.time)) return BadArguments("--time needs a time");
    } else if (a == "--gif") {
      if (!value(o.gif)) return BadArguments("--gif needs a file");
    } else if (a == "--sheet") {
      if (!value(o.sheet)) return BadArguments("--sheet needs a file");
    } else if (a == "--raw") {
      if (!value(o.raw)) return BadArguments("--raw needs a file");
    } else if (a == "--frames") {
      long n = 0;
      if (!value(v) || !ParseCount(v.c_str(), n)) return BadArguments("--frames needs N >= 1");
      o.frames = n;
    } else if (a == "--every") {
      if (!value(v) || !ParseCount(v.c_str(), o.every)) {
        return BadArguments("--every needs K >= 1");
      }
      o.everyGiven = true;
    } else if (!a.empty() && a[0] == '-') {
      return BadArguments("unknown option " + a);
    } else if (o.preview.empty()) {
      o.preview = a;
    } else {
      return BadArguments("more than one preview file");
    }
  }
  if (o.preview.empty()) return BadArguments("no preview file");
  if (o.everyGiven && o.sheet.empty()) return BadArguments("--every needs --sheet");
  LocalTime fixed;
  const bool fixedTime = !o.time.empty();
  if (fixedTime && !ParseLocalTime(o.time, fixed)) {
    return BadArguments("--time wants \"YYYY-MM-DD HH:MM:SS\"");
  }

  FlashImage image;
  if (!fs::is_regular_file(o.preview) || !image.Open(o.preview)) {
    std::fprintf(stderr, "varno-render: cannot read %s\n", o.preview.c_str());
    return 1;
  }
  fs::path fontDir = o.fonts;
  if (fontDir.empty()) {
    const fs::path here = ProgramFolder();
    fontDir =
        fs::is_directory(here / "PREVIEW" / "font") ? here / "PREVIEW" / "font" : here / "font";
  }
  FontSet fonts;
  std::string failure;
  if (!LoadFonts(fontDir, fonts, failure)) {
    std::fprintf(stderr, "varno-render: fonts: %s\n", failure.c_str());
    return 1;
  }

  SystemClock systemClock;
  FixedClock fixedClock(fixed);
  const LocalClock& clock = fixedTime ? static_cast<const LocalClock&>(fixedClock) : systemClock;
  PlaybackEngine engine(image, fonts, clock);
  engine.Start();
  const BoardGeometry& g = engine.geometry();

  GifWriter gif;
  RawWriter raw;
  SheetWriter sheet(g.width, g.rows);
  if (!o.gif.empty() && !gif.Open(o.gif, g.width, g.rows)) {
    std::fprintf(stderr, "varno-render: cannot write %s\n", o.gif.c_str());
    return 1;
  }
  if (!o.raw.empty() && !raw.Open(o.raw, g.width, g.rows)) {
    std::fprintf(stderr, "varno-render: cannot write %s\n", o.raw.c_str());
    return 1;
  }

  long produced = 0;
  bool ok = true;
  // A step that produces no frame only moves on to the next item; a bounded number of them
  // in a row is plenty for any program.
  for (long idle = 0; ok && idle < 1000000;) {
    if (o.frames) {
      if (produced >= *o.frames) break;
    } else if (engine.showingLogo() ? produced >= kLogoFrames
                                    : engine.programLoops() >= 1 || produced >= kMaxDefaultFrames) {
      break;
    }
    if (!engine.Step()) {
      ++idle;
      continue;
    }
    idle = 0;
    const FrameBuffer& f = engine.front();
    const int period = engine.framePeriodMs();
    if (!o.gif.empty()) ok = gif.Add(f, period);
    if (ok && !o.raw.empty()) ok = raw.Add(f, period);
    if (!o.sheet.empty() && produced % o.every == 0) sheet.Add(f);
    engine.ClearFrameReady();
    ++produced;
  }
  ok = ok && gif.Close() && raw.Close();
  if (ok && !o.sheet.empty()) ok = sheet.Write(o.sheet);
  if (!ok) {
    std::fprintf(stderr, "varno-render: writing the output failed\n");
    return 1;
  }
  std::printf("%ld frames, %d x %d dots\n", produced, g.width, g.rows);
  return 0;
}
