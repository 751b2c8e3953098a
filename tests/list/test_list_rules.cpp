#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "manager/list/list_rules.h"
#include "manager/list/project.h"
#include "manager/list/row_text.h"
#include "shared/cp949.h"

namespace fs = std::filesystem;
using msglist::ListCommand;
using msglist::SlotOp;
using Op = SlotOp::Type;
using msglist::SwitchResult;

namespace {

// A record of `kind` with header bytes set and UTF-8 texts stored as CP949.
item::ItemRecord Record(int kind, std::initializer_list<std::pair<int, int>> bytes,
                        const char* a = "", const char* b = "") {
  item::ItemRecord r;
  r.header[item::hdr::kKind] = std::uint8_t(kind);
  for (auto [at, v] : bytes) r.header[at] = std::uint8_t(v);
  text::WriteTextQuarter(r.body.textA, *text::Utf8ToCp949(a));
  text::WriteTextQuarter(r.body.textB, *text::Utf8ToCp949(b));
  return r;
}

// Columns joined by '|'; the two window times are 00시00분 unless a row names them.
std::string Joined(const msglist::RowText& row) {
  std::string s = row[0];
  for (std::size_t k = 1; k < row.size(); ++k) s += "|" + row[k];
  return s;
}

TEST(RowText, EveryKind) {
  using namespace item::hdr;
  const std::string zero = "|00시00분|00시00분";
  const std::pair<item::ItemRecord, std::string> cases[] = {
      {Record(0,
              {{kEntry, 16},
               {kSpeed, 4},
               {kHold, 9},
               {kExit, 15},
               {kStartHour, 8},
               {kStartMinute, 30},
               {kEndHour, 23},
               {kEndMinute, 59}},
              "안녕 A"),
       "1줄문장|안녕 A|17|10초|16|5|08시30분|23시59분"},
      // The shared speed once, effects and holds as pairs.
      {Record(1,
              {{kUpperEntry, 1},
               {kTwoLineSpeed, 2},
               {kUpperHold, 3},
               {kUpperExit, 4},
               {kLowerEntry, 5},
               {kLowerHold, 6},
               {kLowerExit, 7}},
              "위", "아래"),
       "2줄문장|위 / 아래|2/6|4초/7초|5/8|3" + zero},
      {Record(2, {{kLowerEntry, 0}, {kSentenceSpeed, 1}, {kLowerHold, 2}, {kLowerExit, 3}}, "제목",
              "문장"),
       "제목과문장|제목 / 문장|1|3초|4|2" + zero},
      {Record(3, {{kBitmapMode, 1}, {kSpeed, 2}, {kHold, 4}}, "C:\\그림\\간판.bmp"),
       "비트맵|간판.bmp|2|5초||3" + zero},
      {Record(4, {{kFrames, 12}}, "/home/op/pics/run.gif"), "애니메이션|run.gif||||1" + zero},
      {Record(4, {}, "plain.gif"), "애니메이션|plain.gif||||1" + zero},
      {Record(5, {{kHold, 2}, {kEndHour, 12}}), "시각표시|||3초|||00시00분|12시00분"},
      {Record(6, {{kDDayYear, 0x07}, {kDDayYear + 1, 0xDB}}, "수능"), "디데이|수능||||" + zero},
      {Record(7, {{kHold, 9}}), "온도표시|||10초||" + zero},
      {Record(200, {{kEntry, 3}}, "??"), "알수없음(200)|??||||" + zero},  // a damaged slot lists
  };
  for (const auto& [record, row] : cases) EXPECT_EQ(Joined(msglist::ItemRowText(record)), row);
}

// Flags as digits: modify, delete, cut, paste, two-tier adds; the context menu opens, cut
// grey, paste grey ('-': it does not open).
TEST(EnableRules, Table) {
  const std::pair<msglist::ListState, std::string> cases[] = {
      {{0, 0, false, 1}, "00000 0--"},  {{0, 0, true, 2}, "00001 0--"},  // a cut but no row
      {{3, 0, true, 2}, "00001 0--"},   {{3, 1, false, 2}, "11101 101"},
      {{3, 1, true, 1}, "11110 100"},   {{3, 2, true, 2}, "01001 100"},
      {{3, 2, false, 1}, "01000 101"},  {{0, 1, true, 1}, "00000 111"},
      {{100, 1, true, 2}, "11111 100"},  // Paste refuses with its message
  };
  for (const auto& [s, expected] : cases) {
    std::string got;
    for (auto k : {ListCommand::Modify, ListCommand::Delete, ListCommand::Cut, ListCommand::Paste,
                   ListCommand::AddTwoLine}) {
      got += msglist::IsEnabled(k, s) ? '1' : '0';
    }
    const msglist::ContextMenuRule m = msglist::ContextMenuFor(s);
    got += m.opens ? std::string(" 1") + "01"[m.cutGrey] + "01"[m.pasteGrey] : " 0--";
    EXPECT_EQ(got, expected) << s.rows << " " << s.selected << " " << s.cutPresent;
    EXPECT_EQ(msglist::IsEnabled(ListCommand::AddTitleSentence, s), got[4] == '1');
    for (auto k : {ListCommand::AddOneLine, ListCommand::AddBitmap, ListCommand::AddAnimation,
                   ListCommand::AddDateTime, ListCommand::AddDDay, ListCommand::AddTemperature}) {
      EXPECT_TRUE(msglist::IsEnabled(k, s));
    }
  }
}

TEST(Plans, RefusalsAndOperations) {
  using namespace msglist;
  const std::pair<Plan, Message> refusals[] = {
      {PlanAdd(100), {"더이상 추가할수 없습니다", "더이상 추가안됨"}},
      {PlanModify(0, {}), {"수정할 아이템이 없습니다", "Brellion"}},
      {PlanModify(3, {}), {"수정할곳의 아이템을 선택하십시요"}},
      {PlanModify(3, {0, 2}), {"수정할곳의 Item만 선택하세요..."}},
      {PlanDelete(0, {}), {"삭제할 아이템이 없습니다"}},
      {PlanDelete(3, {}), {"삭제할곳의 아이템을 선택하십시요"}},
      {PlanCut(0, {}), {"아이템이 없습니다"}},
      {PlanCut(3, {0, 1}), {"잘라내기 할곳의 Item만 선택하세요..."}},
      {PlanPaste(3, {1}, false), {"먼저 잘라내기를 하십시요?", "붙여넣기"}},
      {PlanPaste(100, {1}, true), {"더이상 삽입할수 없습니다"}},
      {PlanPaste(3, {}, true), {"붙여넣기 할곳의 아이템을 선택하십시요"}},
      {PlanPaste(3, {0, 1}, true), {"붙여넣기 할곳의 아이템만 선택하세요?"}},
  };
  for (const auto& [plan, message] : refusals) {
    EXPECT_TRUE(plan.refused && plan.ops.empty()) << message.text;
    EXPECT_EQ(plan.message, message);
  }
  const struct {
    Plan plan;
    std::vector<SlotOp> ops;
    std::vector<int> select;
  } plans[] = {
      {PlanAdd(4), {{Op::Append, 4, 4}}, {4}},
      {PlanModify(3, {2}), {{Op::Rewrite, 2, 3}}, {2}},
      {PlanDelete(8, {5, 2}), {{Op::Remove, 2, 8}, {Op::Remove, 4, 7}}, {2}},
      {PlanDelete(3, {1, 2}), {{Op::Remove, 1, 3}, {Op::Remove, 1, 2}}, {0}},
      {PlanDelete(1, {0}), {{Op::Remove, 0, 1}}, {}},
      {PlanCut(3, {}), {}, {}},  // nothing selected: nothing happens, silently
      {PlanCut(5, {0}), {{Op::TakeCut, 0, 5}, {Op::Remove, 0, 5}}, {0}},
      {PlanPaste(4, {3}, true), {{Op::Insert, 3, 4}}, {4}},
  };
  for (const auto& p : plans) {
    SCOPED_TRACE(testing::Message() << "row " << &p - plans);
    EXPECT_FALSE(p.plan.refused);
    EXPECT_EQ(p.plan.ops, p.ops);
    EXPECT_EQ(p.plan.selectAfter, p.select);
  }
  EXPECT_EQ(ActivationRow({4, 1}), 1);
  EXPECT_EQ(ActivationRow({}), -1);
}

TEST(Content, CheckAfterTheEditor) {
  const std::tuple<item::ItemRecord, bool> cases[] = {
      {Record(0, {}, "a"), true},      {Record(0, {}), false},          {Record(1, {}, "a"), false},
      {Record(2, {}, "", "b"), false}, {Record(2, {}, "a", "b"), true}, {Record(3, {}), false},
      {Record(4, {}, "x.gif"), true},  {Record(5, {}), true},           {Record(6, {}), true},
      {Record(7, {}), true},           {Record(8, {}, "a"), false},
  };
  for (const auto& [r, ok] : cases) {
    SCOPED_TRACE(int(r.header.kind()));
    EXPECT_EQ(msglist::HasContent(r), ok);
  }
  EXPECT_TRUE(msglist::HasEditor(7));
  EXPECT_FALSE(msglist::HasEditor(8));
}

TEST(ProjectRules, StoreKindSavePromptAndLoadChecks) {
  // "dat" has no dot: the whole path is the extension.
  const std::pair<const char*, bool> paths[] = {
      {"/w/show.dat", true},  {"/w/SHOW.DAT", true},      {"/w/show.Dat", true},
      {"/w/data.tmp", false}, {"/w/show.dat.bak", false}, {"/w.dat/show", false},
      {"dat", true},          {"/w/show.data", false},    {"/w/show.", false}};
  for (auto [path, project] : paths) {
    SCOPED_TRACE(path);
    EXPECT_EQ(msglist::IsProjectPath(path), project);
    EXPECT_EQ(msglist::ShouldOfferSave(path, 1), !project);
    EXPECT_FALSE(msglist::ShouldOfferSave(path, 0));
  }
  const char* kSize = "프로젝트 파일의 크기가 맞지 않습니다\n904672바이트여야 하는데 ";
  // The refusal's text, empty when the file is accepted.
  const std::tuple<const char*, std::optional<std::uint64_t>, std::string> loads[] = {
      {"/w/show.dat", 904672, ""},
      {"/w/new.dat", std::nullopt, ""},  // created zero-filled
      {"/w/data.tmp", 904672, "오픈할수 없는 파일입니다"},
      {"/w/show.txt", std::nullopt, "오픈할수 없는 파일입니다"},
      {"/w/foreign.DAT", 1000, kSize + std::string("1000바이트입니다")},
      {"/w/empty.dat", 0, kSize + std::string("0바이트입니다")},
  };
  for (const auto& [path, length, expected] : loads) {
    const auto refusal = msglist::CheckProjectToLoad(path, length);
    EXPECT_EQ(refusal ? refusal->text + "|" + refusal->caption : "",
              expected.empty() ? "" : expected + "|파일오픈실패")
        << path;
  }
  // Only a lost store announces the end of the program; only Load's line has a full stop.
  using C = msglist::StoreCommand;
  const std::string open = "파일을 오픈할수 없습니다", make = "파일을 만들수 없습니다",
                    end = "\n프로그램을 종료합니다";
  const std::tuple<C, SwitchResult, std::string, std::string> failures[] = {
      {C::Load, SwitchResult::Lost, open + end + ".", "파일오픈실패"},
      {C::Save, SwitchResult::Lost, open + end, "파일오픈실패"},
      {C::New, SwitchResult::Lost, make + end, "파일오픈 실패"},
      {C::Load, SwitchResult::KeptPrevious, open, "파일오픈실패"},
      {C::Save, SwitchResult::KeptPrevious, open, "파일오픈실패"},
      {C::New, SwitchResult::KeptPrevious, make, "파일오픈 실패"}};
  for (const auto& [command, result, text, caption] : failures)
    EXPECT_EQ(msglist::SwitchFailure(command, result), (msglist::Message{text, caption}));
}

class StoreFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/project_testXXXXXX";
    dir_ = mkdtemp(tmpl);
    scratch_ = (dir_ / "data.tmp").string();
    store_.SetPath(scratch_);
    ASSERT_EQ(store_.Open(), 0);
    item::ItemRecord r;
    r.body.textA[0] = 'A';
    store_.AppendSlot(0, r);
    store_.SetWidth(9);
  }
  void TearDown() override {
    store_.Close();
    std::error_code ignored;
    fs::permissions(dir_ / "locked", fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir_);
  }
  void ExpectWorkingOn(const std::string& path) {
    EXPECT_EQ(store_.Path(), path);
    ASSERT_TRUE(store_.IsOpen());
    EXPECT_EQ(store_.ReadList().size(), 1u);
    EXPECT_EQ(store_.Width(), 9);
    EXPECT_EQ(msglist::FileLength(path), 904672u);
  }

  fs::path dir_;
  std::string scratch_;
  store::WorkStore store_;
};

TEST_F(StoreFiles, FailedSwitchesKeepTheStoreSaveMovesIt) {
  fs::create_directory(dir_ / "locked");
  fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  fs::create_directory(dir_ / "folder.dat");
  const std::string targets[] = {(dir_ / "folder.dat").string(),
                                 (dir_ / "missing" / "show.dat").string(),
                                 (dir_ / "locked" / "show.dat").string()};
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    if (target == targets[2] && ::geteuid() == 0) continue;  // root writes anywhere
    EXPECT_EQ(msglist::SaveStoreAs(store_, target), SwitchResult::KeptPrevious);
    ExpectWorkingOn(scratch_);
    EXPECT_EQ(msglist::SwitchStore(store_, target), SwitchResult::KeptPrevious);
    ExpectWorkingOn(scratch_);
  }
  EXPECT_FALSE(msglist::WriteStoreCopy(store_, targets[0]));
  const std::string project = (dir_ / "show.dat").string();
  // An older, longer file of that name is replaced, not overwritten in part.
  { std::ofstream(project, std::ios::binary) << std::string(1000000, 'x'); }
  EXPECT_EQ(msglist::SaveStoreAs(store_, project), SwitchResult::Switched);
  ExpectWorkingOn(project);
  // A copy onto the store's own file keeps it.
  EXPECT_TRUE(msglist::WriteStoreCopy(store_, project));
  ExpectWorkingOn(project);
}

// The plans run on a real store file: cutting the only row keeps the buffer for a later
// paste; modify writes only the quarters of the edited kind.
TEST_F(StoreFiles, CutPasteAndModifyOnTheStore) {
  store::WorkStore& store = store_;
  msglist::CutBuffer cut;
  auto run = [&](const msglist::Plan& plan, const item::ItemRecord& edited = {}) {
    ASSERT_FALSE(plan.refused) << plan.message.text;
    msglist::Apply(store, plan.ops, edited, cut);
  };
  auto names = [&] {
    std::string all;
    for (const auto& r : store.ReadList()) all += text::ReadTextQuarter(r.body.textA);
    return all;
  };
  run(msglist::PlanCut(1, {0}));  // the fixture's one row, "A"
  EXPECT_EQ(names(), "");
  EXPECT_FALSE(msglist::IsEnabled(ListCommand::Paste, {0, 0, cut.present, 1}));
  store.AppendSlot(0, Record(0, {}, "b"));
  store.AppendSlot(1, Record(0, {}, "c"));
  const msglist::Plan paste = msglist::PlanPaste(2, {1}, cut.present);
  run(paste);
  run(msglist::PlanPaste(3, paste.selectAfter, cut.present));
  EXPECT_EQ(names(), "bAAc");
  item::ItemRecord edited = Record(0, {{item::hdr::kHold, 7}}, "new");
  edited.body.textB[0] = 'X';
  run(msglist::PlanModify(4, {3}), edited);
  const item::ItemRecord stored = store.ReadRecord(3);
  EXPECT_EQ(stored.header, edited.header);
  EXPECT_EQ(text::ReadTextQuarter(stored.body.textA), "new");
  EXPECT_EQ(stored.body.textB[0], 0);
}

}  // namespace
