// Projects through their JSON form: exact round trips (editor-made, foreign and random
// bytes) and what the importer refuses, with the place it names.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <tuple>

#include "manager/store/work_store.h"
#include "manager/textform/project_text.h"
#include "tests/support/picture_builders.h"
#include "tests/support/sample_project.h"
#include "tests/support/test_fonts.h"

using textform::ProjectBytes;

namespace {

// The project back from its own export (empty when the import refused it).
ProjectBytes RoundTrip(const ProjectBytes& p, std::string* json = nullptr) {
  const std::string text = textform::ExportProject(p);
  if (json) *json = text;
  const textform::ImportResult r = textform::ImportProject(text);
  EXPECT_EQ(r.error, "");
  return r.project.value_or(ProjectBytes{});
}

std::string Doc(const std::string& items) {
  return R"({"brellion_project": 1, "items": [)" + items + "]}";
}

std::size_t TextA(int slot) {
  return store::SlotOffset(slot) + item::QuarterOffset(item::QuarterId::TextA);
}

TEST(ProjectText, EditorMadeProjectsExportReadablyAndComeBackExactly) {
  const ProjectBytes p = sample::Project(100);
  std::string json;
  EXPECT_TRUE(RoundTrip(p, &json) == p);
  EXPECT_EQ(json.find("\"raw\""), std::string::npos);
  for (const char* kind : {"1줄문장", "2줄문장", "제목과문장", "비트맵", "애니메이션", "시각표시",
                           "디데이", "온도표시"})
    EXPECT_NE(json.find(std::string("\"kind\": \"") + kind + "\""), std::string::npos) << kind;
  // Item 0's fourth character, and item 1's effects, by the names the editors show.
  EXPECT_NE(
      json.find(R"({"chars": 1, "colour": "검정색", "background": "빨강색", "font": "궁서체"})"),
      std::string::npos);
  EXPECT_NE(json.find(R"("entry": "2. 오른쪽에서 들어오기")"), std::string::npos);
  EXPECT_NE(json.find(R"("ip": "192.168.0.10")"), std::string::npos);
}

// A record's raw runs travel inside it, so they stay with it when items are reordered; the
// rest of the file's go at the top.
TEST(ProjectText, ForeignBytesTravelRawAndComeBackExactly) {
  using Change = std::function<void(ProjectBytes&)>;
  enum Where { kInRecord, kAtTop };
  const std::tuple<const char*, Where, Change> cases[] = {
      {"bytes after a text's end", kInRecord, [](ProjectBytes& p) { p[TextA(0) + 90] = 0x7E; }},
      {"attribute bits the editors never set", kInRecord,
       [](ProjectBytes& p) { p[TextA(0) + 2048] |= 3; }},
      {"unknown kind", kInRecord, [](ProjectBytes& p) { p[store::SlotOffset(2)] = 9; }},
      {"code beyond its list", kInRecord,
       [](ProjectBytes& p) { p[store::SlotOffset(0) + 1] = 17; }},
      {"bytes that are no character", kInRecord,
       [](ProjectBytes& p) { p[TextA(0)] = 0xFF, p[TextA(0) + 1] = 0x09; }},
      {"text without its end", kInRecord,
       [](ProjectBytes& p) { std::fill_n(p.begin() + long(TextA(6)), item::kQuarterSize, 'A'); }},
      {"two-line item without its lower line", kInRecord,
       [](ProjectBytes& p) { p[TextA(1) + 2 * item::kQuarterSize] = 0; }},
      {"event of another kind", kInRecord, [](ProjectBytes& p) { p[store::SlotOffset(100)] = 3; }},
      {"fresh settings, reserved bytes", kAtTop,
       [](ProjectBytes& p) {
         std::fill(p.begin() + long(store::kSettingsOffset), p.end(), 0), p.back() = 1;
       }},
      {"slot past the end of the list", kAtTop,
       [](ProjectBytes& p) { p[store::SlotOffset(50) + 7] = 1; }},
  };
  for (const auto& [name, where, change] : cases) {
    SCOPED_TRACE(name);
    ProjectBytes p = sample::Project(8);
    change(p);
    std::string json;
    EXPECT_TRUE(RoundTrip(p, &json) == p);
    const std::size_t top = json.find("\n  \"raw\""), raw = json.find("\"raw\"");
    EXPECT_EQ(where == kAtTop, top != std::string::npos && raw == top + 3);
  }
}

TEST(ProjectText, RandomFilesComeBackExactly) {
  std::mt19937 random(26);
  ProjectBytes p(store::kFileSize);
  for (std::uint8_t& b : p) b = std::uint8_t(random());
  EXPECT_TRUE(RoundTrip(p) == p);
}

TEST(ProjectText, RefusalsNameTheirPlace) {
  std::string items101;
  for (int i = 0; i < 101; ++i) items101 += std::string(i ? "," : "") + R"({"kind": "시각표시"})";
  std::string over;
  for (int i = 0; i < 129; ++i) over += "가";
  const std::pair<std::string, const char*> cases[] = {
      {Doc(R"({"kind": "1줄문장", "text": ")" + over + "\"}"),
       "items[0].text: 258 bytes in code page 949, over the limit of 256"},
      {Doc(R"({"kind": "1줄문장", "text": "😀 hi"})"),
       "items[0].text: '😀' (U+1F600), character 1, cannot be written in code page 949"},
      {Doc(R"({"kind": "1줄문장", "text": "a\tb"})"),
       "items[0].text: '' (U+0009), character 2, is a control"},
      {Doc(R"({"kind": "1줄문장", "text": "a", "entry": "zoom"})"),
       "items[0].entry: unknown entry effect \"zoom\"; one of \"1. 지나가기\""},
      {Doc(items101), "items: 101 items; the list holds at most 100"},
      {R"({"brellion_project": 1, "items": [})", "JSON parse error at line 1, column 35"},
      {Doc(R"({"kind": "1줄문장", "text": "ab", "runs": [{"chars": 1}]})"),
       "items[0].runs: the runs cover 1 of the text's 2 characters"},
      {Doc(R"({"kind": "1줄문장", "text": "a", "colour": "초록색"})"),
       "items[0].colour: unknown field"},
      {Doc(R"({"kind": "시각표시", "start": "24:00"})"), "items[0].start: must be a time"},
      {Doc(R"({"kind": "2줄문장", "upper": {"text": "a"}, "lower": {}})"),
       "items[0].lower.text: is empty"},
      {Doc(R"({"kind": "디데이", "text": "a"})"), "items[0].date: missing"},
      {Doc(R"({"kind": "비트맵", "file": "/a.bmp", "width": 801, "height": 1})"),
       "items[0].width: must be a whole number from 1 to 800, not 801"},
      {Doc(R"({"kind": "1줄문장", "text": "a", "raw": [{"at": 32, "bytes": "00"}]})"),
       "items[0]: holds no item"},
      {R"({"brellion_project": 1, "events": [{"text": ""}]})", "events[0].text: is empty"},
      {R"({"brellion_project": 1, "link": {"ip": "192.168.0.300"}})", "link.ip: must be an IPv4"},
      {R"({"brellion_project": 2})", "brellion_project: must be 1"},
      {std::string(20, '[') + std::string(20, ']'), "JSON nested deeper than 16 levels"},
  };
  for (const auto& [json, error] : cases) {
    SCOPED_TRACE(json.substr(0, 120));
    const textform::ImportResult r = textform::ImportProject(json);
    EXPECT_FALSE(r.project);
    EXPECT_TRUE(r.error.starts_with(error)) << r.error;
  }
}

TEST(ProjectText, ImportMeasuresPicturesAndWarnsOfBlankCharacters) {
  const sign_test::TempDir dir("textform");
  encode_test::EveryKindProgram(dir.path.string());  // a 13 x 7 bitmap, 11 x 5 x 3 animation
  const std::string wide = dir.Path("w.bmp");
  encode_test::WriteFile(
      wide, encode_test::MakeBmp24(801, 1, [](int, int) { return encode_test::Rgb{}; }));

  const textform::ImportResult r = textform::ImportProject(
      Doc(R"({"kind": "비트맵", "file": ")" + dir.Path("사진.bmp") +
          R"("}, {"kind": "애니메이션", "file": ")" + dir.Path("movie.gif") +
          R"("}, {"kind": "1줄문장", "text": "똠방각하"})"));
  ASSERT_TRUE(r.project) << r.error;
  const std::vector<item::ItemRecord> items = textform::ReadItems(*r.project);
  EXPECT_EQ(items[0].header.pictureWidth(), 13);
  EXPECT_EQ(items[0].header.pictureHeight(), 7);
  EXPECT_EQ(items[1].header.pictureWidth(), 11);
  EXPECT_EQ(items[1].header[item::hdr::kFrames], 3);
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_TRUE(r.warnings[0].starts_with("items[2].text: the board fonts have no '똠' (U+B620);"));

  const textform::ImportResult tooWide =
      textform::ImportProject(Doc(R"({"kind": "비트맵", "file": ")" + wide + "\"}"));
  EXPECT_EQ(tooWide.error, "items[0].file: 그림의 가로크기는 최대 800 입니다");
}

}  // namespace
