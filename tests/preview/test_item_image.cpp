// The item an editor shows, laid out in memory, plays frame for frame as the same list
// does from the preview writer's file and from a preview file built independently, on
// one- and two-tier boards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <optional>
#include <string>
#include <vector>

#include "manager/preview/item_image.h"
#include "manager/transfer/preview_file.h"
#include "sign/playback_engine.h"
#include "tests/support/preview_builder.h"
#include "tests/support/test_fonts.h"

namespace {

using sign_test::Art;
using sign_test::Attr;
using sign_test::PreviewBuilder;

// Hands out the pictures the builder placed, whatever path the item names.
class ArtPictures final : public encode::PictureSource {
 public:
  explicit ArtPictures(std::vector<Art> frames) : frames_(std::move(frames)) {}
  std::optional<encode::Planes> Bitmap(std::string_view) override {
    if (frames_.empty()) return std::nullopt;
    return ToPlanes(frames_[0]);
  }
  std::unique_ptr<encode::PictureFrames> Animation(std::string_view) override {
    if (frames_.empty()) return nullptr;
    return std::make_unique<Frames>(frames_);
  }

 private:
  class Frames final : public encode::PictureFrames {
   public:
    explicit Frames(std::vector<Art> frames) : frames_(std::move(frames)) {}
    int width() const override { return frames_[0].width(); }
    int height() const override { return frames_[0].height(); }
    int count() const override { return static_cast<int>(frames_.size()); }
    encode::Planes Render(int k) override { return ToPlanes(frames_[static_cast<std::size_t>(k)]); }

   private:
    std::vector<Art> frames_;
  };

  static encode::Planes ToPlanes(const Art& a) {
    encode::Planes p(a.width(), a.height());
    for (int y = 0; y < a.height(); ++y) {
      for (int x = 0; x < a.width(); ++x) {
        const char c = a.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
        p.set(x, y, c == 'R' || c == 'Y', c == 'G' || c == 'Y');
      }
    }
    return p;
  }
  std::vector<Art> frames_;
};

Art Stripes(int w, int h) {
  Art art;
  for (int r = 0; r < h; ++r) {
    std::string row;
    for (int c = 0; c < w; ++c) row += "RGY.."[(r * 3 + c) % 5];
    art.rows.push_back(row);
  }
  return art;
}

// Frames of one animation share the logical screen's size.
Art Flipped(Art a) {
  std::reverse(a.rows.begin(), a.rows.end());
  return a;
}

const std::string kHangul = "\xB0\xA1\xB3\xAA\xB4\xD9 ABC";  // 가나다 ABC

struct Sample {
  const char* name;
  // Adds the one item to the builder and returns a copy of its record.
  std::function<item::ItemRecord(PreviewBuilder&)> add;
  std::vector<Art> pictures;
};

std::vector<Sample> Samples() {
  const Art art = Stripes(120, 32);
  return {
      {"one-line slide in, blink out",
       [](PreviewBuilder& b) { return b.OneLine(kHangul, 1, 2, 0, 3, Attr(2)); }, {}},
      {"one-line passing through",
       [](PreviewBuilder& b) { return b.OneLine(kHangul + kHangul + kHangul, 0, 0, 0, 0); }, {}},
      {"two-line",
       [](PreviewBuilder& b) {
         item::ItemRecord& r = b.Add(item::ItemKind::TwoLine);
         r.header[item::hdr::kUpperEntry] = 8;
         r.header[item::hdr::kUpperExit] = 3;
         PreviewBuilder::SetText(r.body.textA, r.body.attrA, kHangul, Attr(1));
         PreviewBuilder::SetText(r.body.textB, r.body.attrB, kHangul, Attr(0, 1));
         return r;
       },
       {}},
      {"title and sentence",
       [](PreviewBuilder& b) {
         item::ItemRecord& r = b.Add(item::ItemKind::TitleSentence);
         r.header[item::hdr::kLowerEntry] = 2;
         r.header[item::hdr::kLowerExit] = 1;
         PreviewBuilder::SetText(r.body.textA, r.body.attrA, "T", Attr(2));
         PreviewBuilder::SetText(r.body.textB, r.body.attrB, kHangul, Attr(0));
         return r;
       },
       {}},
      {"bitmap held", [art](PreviewBuilder& b) { return b.Bitmap(art, 0, 2, 0); }, {art}},
      {"bitmap scrolled", [art](PreviewBuilder& b) { return b.Bitmap(art, 1, 0, 0); }, {art}},
      {"animation",
       [](PreviewBuilder& b) { return b.Animation({Stripes(40, 16), Flipped(Stripes(40, 16))}, 1); },
       {Stripes(40, 16), Flipped(Stripes(40, 16))}},
      {"date and time", [](PreviewBuilder& b) { return b.Add(item::ItemKind::DateTime); }, {}},
      {"D-day",
       [](PreviewBuilder& b) {
         item::ItemRecord& r = b.Add(item::ItemKind::DDay);
         PreviewBuilder::SetText(r.body.textA, r.body.attrA, "D", Attr(1));
         r.header.set16(item::hdr::kDDayYear, 2030);
         r.header[item::hdr::kDDayMonth] = 1;
         r.header[item::hdr::kDDayDay] = 1;
         return r;
       },
       {}},
      {"temperature", [](PreviewBuilder& b) { return b.Add(item::ItemKind::Temperature); }, {}},
  };
}

TEST(ItemImage, PlaysFrameForFrameAsThePreviewFileOfTheSameList) {
  const sign::FixedClock clock(sign::LocalTime{2026, 12, 7, 9, 41, 5});
  // A folder of this run's own: another build tree's run must not rewrite the files read here.
  char dirTemplate[] = "/tmp/item_preview_test.XXXXXX";
  ASSERT_NE(mkdtemp(dirTemplate), nullptr);
  const std::filesystem::path dir = dirTemplate;
  struct Cleanup {
    std::filesystem::path dir;
    ~Cleanup() { std::filesystem::remove_all(dir); }
  } cleanup{dir};
  constexpr int kFrames = 700;  // past every entry, hold and exit of the samples at 30 ms
  struct BoardCase {
    int modules, tiers;
  };
  for (const BoardCase bc : {BoardCase{6, 1}, BoardCase{12, 2}}) {
    for (const Sample& s : Samples()) {
      SCOPED_TRACE(std::string(s.name) + " on " + std::to_string(bc.modules) + " x " +
                   std::to_string(bc.tiers));
      PreviewBuilder builder(bc.modules, bc.tiers);
      const item::ItemRecord record = s.add(builder);
      const std::string path = (dir / "preview.tmp").string();
      ASSERT_TRUE(builder.WriteFile(path));
      sign::FlashImage file;
      ASSERT_TRUE(file.Open(path));
      // The preview writer's own file of the same one-item list.
      const std::string written = (dir / "written.tmp").string();
      std::filesystem::remove(written);
      ArtPictures writerPictures(s.pictures);
      ASSERT_TRUE(transfer::WritePreview(written, std::span(&record, 1),
                                         {std::uint8_t(bc.modules), std::uint8_t(bc.tiers), 0},
                                         {}, writerPictures)
                      .written);
      sign::FlashImage writerFile;
      ASSERT_TRUE(writerFile.Open(written));

      ArtPictures pictures(s.pictures);
      sign::FlashImage memory;
      memory.OpenMemory(preview::OneItemImage(record, {bc.modules, bc.tiers, false}, pictures));

      sign::PlaybackEngine fromFile(file, sign_test::TestFonts(), clock);
      sign::PlaybackEngine fromWriter(writerFile, sign_test::TestFonts(), clock);
      fromWriter.Start();
      sign::PlaybackEngine fromMemory(memory, sign_test::TestFonts(), clock);
      fromFile.Start();
      fromMemory.Start();
      ASSERT_EQ(fromMemory.geometry().width, bc.modules * 16);
      ASSERT_EQ(fromMemory.geometry().rows, bc.tiers * 16);
      // The engine does not emulate the temperature display: both show the logo instead.
      ASSERT_EQ(fromMemory.showingLogo(), record.header.kind() == static_cast<std::uint8_t>(item::ItemKind::Temperature));
      ASSERT_EQ(fromFile.showingLogo(), fromMemory.showingLogo());
      int lit = 0;
      for (int f = 0; f < kFrames; ++f) {
        ASSERT_EQ(fromFile.Step(), fromMemory.Step()) << "step " << f;
        fromWriter.Step();
        ASSERT_EQ(fromFile.front(), fromMemory.front()) << "frame " << f;
        ASSERT_EQ(fromWriter.front(), fromMemory.front()) << "frame " << f;
        ASSERT_EQ(fromFile.framePeriodMs(), fromMemory.framePeriodMs()) << "frame " << f;
        for (std::uint8_t d : fromMemory.front().dots) lit += d != 0;
      }
      EXPECT_GT(lit, 0) << "the item never lit a dot";
    }
  }
}

TEST(ItemImage, IsAFewJoinedRunsNotTheWholeMemory) {
  PreviewBuilder builder(6, 1);
  const item::ItemRecord record = builder.OneLine(kHangul, 1, 2, 0, 3, Attr(2));
  ArtPictures none({});
  const auto runs = preview::OneItemImage(record, {6, 1, true}, none);
  // Settings with the count, the header, the body quarters of a one-line item.
  ASSERT_LE(runs.size(), 4u);
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    bytes += runs[i].bytes.size();
    if (i) {
      EXPECT_GT(runs[i].address, runs[i - 1].address + runs[i - 1].bytes.size());
    }
  }
  EXPECT_LT(bytes, 16u * 1024u);
  sign::FlashImage image;
  image.OpenMemory(runs);
  const sign::BoardGeometry g = sign::DecodeGeometry(image);
  EXPECT_EQ(g.itemCount, 1);
  EXPECT_TRUE(g.connection);
  EXPECT_EQ(g.width, 96);
}

}  // namespace
