#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <tuple>

#include "manager/list/history.h"
#include "manager/list/list_rules.h"
#include "manager/list/project.h"
#include "manager/list/row_text.h"
#include "shared/cp949.h"
#include "tests/support/test_fonts.h"

namespace fs = std::filesystem;
using msglist::ListCommand;
using msglist::SlotOp;
using Op = SlotOp::Type;
using msglist::SwitchResult;

namespace {

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
      {Record(0, {{kEntry, 16}, {kSpeed, 4}, {kHold, 9}, {kExit, 15}}, "안녕 A"),
       "1줄문장|안녕 A|17|10초|16|5" + zero},
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
      {Record(5,
              {{kHold, 2}, {kStartHour, 8}, {kStartMinute, 30}, {kEndHour, 23}, {kEndMinute, 59}}),
       "시각표시|||3초|||08시30분|23시59분"},
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
      {PlanCopy(0, {}), {"복사할 아이템이 없습니다"}},
      {PlanCopy(3, {0, 2}), {"복사할곳의 Item만 선택하세요..."}},
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
      {PlanCopy(4, {2}), {{Op::TakeCut, 2, 4}}, {2}},
      {PlanMoveUp(5, {2, 3}), {{Op::Move, 1, 5, {2, 3}}}, {1, 2}},
      {PlanMoveDown(5, {2, 3}), {{Op::Move, 5, 5, {2, 3}}}, {3, 4}},
      {PlanMoveDown(5, {3, 4}), {}, {}},  // already last
      {PlanMoveUp(5, {1, 3}), {}, {}},    // not one block
      {PlanMove(6, {0, 4}, 3), {{Op::Move, 3, 6, {0, 4}}}, {2, 3}},
      {PlanMove(6, {2, 3}, 3), {}, {}},  // dropped onto itself
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
  for (const auto& [r, ok] : cases) EXPECT_EQ(msglist::HasContent(r), ok) << int(r.header.kind());
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
  const std::string kSize = "프로젝트 파일의 크기가 맞지 않습니다\n904672바이트여야 하는데 ";
  const std::string kNotAFile = "오픈할수 없는 파일입니다\n";
  const sign_test::TempDir tmp("project_kinds");
  const fs::path& dir = tmp.path;
  ASSERT_EQ(::mkfifo((dir / "fifo.dat").c_str(), 0600), 0);
  fs::create_symlink("/dev/urandom", dir / "random.dat");
  fs::create_directory(dir / "folder.dat");
  for (auto [name, size] : {std::pair{"show.dat", 904672},
                            {"data.tmp", 904672},
                            {"foreign.DAT", 1000},
                            {"empty.dat", 0}}) {
    { std::ofstream create(dir / name); }
    fs::resize_file(dir / name, std::uintmax_t(size));
  }
  // The refusal's text, empty when the file is accepted. Nothing here may block.
  const std::pair<std::string, std::string> loads[] = {
      {"show.dat", ""},
      {"new.dat", ""},  // created zero-filled
      {"data.tmp", "오픈할수 없는 파일입니다"},
      {"show.txt", "오픈할수 없는 파일입니다"},
      {"foreign.DAT", kSize + "1000바이트입니다"},
      {"empty.dat", kSize + "0바이트입니다"},
      {"fifo.dat", kNotAFile + "일반 파일이 아닙니다"},
      {"random.dat", kNotAFile + "일반 파일이 아닙니다"},
      {"folder.dat", kNotAFile + "폴더입니다"},
      {"/dev/zero", "오픈할수 없는 파일입니다"},  // no extension
  };
  for (const auto& [name, expected] : loads) {
    const std::string path = name[0] == '/' ? name : (dir / name).string();
    const auto refusal = msglist::CheckProjectToLoad(path, store::KindOfFile(path));
    EXPECT_EQ(refusal ? refusal->text + "|" + refusal->caption : "",
              expected.empty() ? "" : expected + "|파일오픈실패")
        << path;
  }
  // Only a lost store announces the end of the program, and only Load's line has a full
  // stop; otherwise the reason follows.
  using C = msglist::StoreCommand;
  const std::string open = "파일을 오픈할수 없습니다", end = "\n프로그램을 종료합니다";
  const std::tuple<C, std::string, std::string> lost[] = {
      {C::Load, open + end + ".", "파일오픈실패"},
      {C::Save, open + end, "파일오픈실패"},
      {C::New, "파일을 만들수 없습니다" + end, "파일오픈 실패"}};
  for (const auto& [command, text, caption] : lost) {
    EXPECT_EQ(msglist::SwitchFailure(command, {SwitchResult::Lost, ENOENT}),
              (msglist::Message{text, caption}));
    EXPECT_EQ(
        msglist::SwitchFailure(command, {SwitchResult::KeptPrevious, EACCES}).text.find("종료"),
        std::string::npos);
  }
  EXPECT_EQ(
      msglist::SwitchFailure(C::Load, {SwitchResult::KeptPrevious, store::kInUseError}),
      (msglist::Message{open + "\n다른 Brellion이 사용하고 있는 파일입니다", "파일오픈실패"}));
}

class StoreFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    // Memory-backed where there is one: every edit flushes to disk, and the hundreds here
    // would otherwise wait on it.
    std::string tmpl =
        fs::is_directory("/dev/shm") ? "/dev/shm/project_testXXXXXX" : "/tmp/project_testXXXXXX";
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
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
    fs::remove_all(dir_);
  }
  void ExpectWorkingOn(const std::string& path) {
    EXPECT_EQ(store_.Path(), path);
    ASSERT_TRUE(store_.IsOpen());
    EXPECT_EQ(store_.ReadList().size(), 1u);
    EXPECT_EQ(store_.Width(), 9);
    EXPECT_EQ(store::KindOfFile(path).size, 904672u);
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
    EXPECT_EQ(msglist::SaveStoreAs(store_, target).result, SwitchResult::NotWritten);
    ExpectWorkingOn(scratch_);
    EXPECT_EQ(msglist::SwitchStore(store_, target).result, SwitchResult::KeptPrevious);
    ExpectWorkingOn(scratch_);
  }
  EXPECT_EQ(msglist::WriteStoreCopy(store_, targets[0]), EISDIR);
  const std::string project = (dir_ / "show.dat").string();
  // An older, longer file of that name is replaced, not overwritten in part.
  { std::ofstream(project, std::ios::binary) << std::string(1000000, 'x'); }
  EXPECT_EQ(msglist::SaveStoreAs(store_, project).result, SwitchResult::Switched);
  ExpectWorkingOn(project);
  // A copy onto the store's own file keeps it: replaced, the store would write into a
  // file no longer there.
  EXPECT_EQ(msglist::WriteStoreCopy(store_, project), 0);
  store_.SetWidth(9);
  ExpectWorkingOn(project);
}

// The plans run on a real store file: cutting the only row keeps the buffer for a later
// paste; modify writes only the quarters of the edited kind.
TEST_F(StoreFiles, CutPasteAndModifyOnTheStore) {
  msglist::CutBuffer cut;
  auto run = [&](const msglist::Plan& plan, const item::ItemRecord& edited = {}) {
    ASSERT_FALSE(plan.refused) << plan.message.text;
    ASSERT_EQ(msglist::Apply(store_, plan, edited, cut).error, 0);
  };
  auto names = [&] {
    std::string all;
    for (const auto& r : store_.ReadList()) all += text::ReadTextQuarter(r.body.textA);
    return all;
  };
  run(msglist::PlanCut(1, {0}));  // the fixture's one row, "A"
  EXPECT_EQ(names(), "");
  store_.AppendSlot(0, Record(0, {}, "b"));
  store_.AppendSlot(1, Record(0, {}, "c"));
  const msglist::Plan paste = msglist::PlanPaste(2, {1}, cut.present);
  run(paste);
  run(msglist::PlanPaste(3, paste.selectAfter, cut.present));
  EXPECT_EQ(names(), "bAAc");
  item::ItemRecord edited = Record(0, {{item::hdr::kHold, 7}}, "new");
  edited.body.textB[0] = 'X';
  run(msglist::PlanModify(4, {3}), edited);
  const item::ItemRecord stored = store_.ReadRecord(3);
  EXPECT_EQ(stored.header, edited.header);
  EXPECT_EQ(text::ReadTextQuarter(stored.body.textA), "new");
  EXPECT_EQ(stored.body.textB[0], 0);
}

// A write that fails (the file-size limit here, as a full disk would) leaves every file as
// it was: an older project of the chosen name, the store and its list, and no stray files.
TEST_F(StoreFiles, FailedWritesLeaveEveryFileAsItWas) {
  const std::string project = (dir_ / "older.dat").string();
  const std::string older(904672, 'p');
  { std::ofstream(project, std::ios::binary) << older; }
  const auto before = std::set<fs::path>(fs::directory_iterator(dir_), {});
  rlimit unlimited{};
  ::getrlimit(RLIMIT_FSIZE, &unlimited);
  const rlimit small{4096, unlimited.rlim_max};
  std::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &small);
  const msglist::Switch save = msglist::SaveStoreAs(store_, project);
  const int copy = msglist::WriteStoreCopy(store_, (dir_ / "new.dat").string());
  msglist::CutBuffer cut;
  const int edit = msglist::Apply(store_, msglist::PlanDelete(1, {0}), {}, cut).error;
  ::setrlimit(RLIMIT_FSIZE, &unlimited);
  std::signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(msglist::SwitchFailure(msglist::StoreCommand::Save, save),
            (msglist::Message{"저장할수 없습니다\n파일이 너무 큽니다", "저장실패"}));
  EXPECT_EQ(copy, EFBIG);
  EXPECT_EQ(edit, EFBIG);
  ExpectWorkingOn(scratch_);
  EXPECT_EQ(sign_test::FileBytes(project), older);
  EXPECT_EQ(std::set<fs::path>(fs::directory_iterator(dir_), {}), before);
}

// While another manager holds a project it is neither opened nor replaced; once that
// manager is gone (and its lock with it) it opens.
TEST_F(StoreFiles, AProjectAnotherManagerHoldsIsLeftAlone) {
  const std::string project = (dir_ / "busy.dat").string();
  store::WorkStore other;
  other.SetPath(project);
  ASSERT_EQ(other.Open(), store::kOpened);
  ASSERT_TRUE(other.AppendSlot(0, Record(0, {}, "theirs")));
  const msglist::Switch load = msglist::SwitchStore(store_, project);
  EXPECT_EQ(load.result, SwitchResult::KeptPrevious);
  EXPECT_EQ(load.error, store::kInUseError);
  ExpectWorkingOn(scratch_);
  const msglist::Switch save = msglist::SaveStoreAs(store_, project);
  EXPECT_EQ(save.result, SwitchResult::NotWritten);
  EXPECT_EQ(save.error, store::kInUseError);
  EXPECT_TRUE(other.IsOwnFile(project));  // not replaced under it
  EXPECT_EQ(text::ReadTextQuarter(other.ReadRecord(0).body.textA), "theirs");
  other.Close();
  EXPECT_EQ(msglist::SwitchStore(store_, project).result, SwitchResult::Switched);
}

// A delete stopped after any one of its writes leaves, at the next open, the old list or
// the new one, and no journal; a reader in between sees one of the two as well.
TEST_F(StoreFiles, KillAfterAnyWriteOfADeleteLeavesTheOldOrTheNewList) {
  for (int i = 1; i < 12; ++i) store_.AppendSlot(i, Record(0, {}, std::to_string(i).c_str()));
  store_.WriteRecord(100, Record(0, {}, "event"));
  const msglist::Plan del = msglist::PlanDelete(12, {2, 5});
  const std::string old = sign_test::FileBytes(scratch_);
  msglist::CutBuffer cut;
  ASSERT_EQ(msglist::Apply(store_, del, {}, cut).error, 0);
  const std::string done = sign_test::FileBytes(scratch_);
  store_.Close();
  enum Exit { kKilled = 3, kFinished, kBroken };
  bool sawOld = false, sawNew = false;
  for (int k = 1;; ++k) {
    { std::ofstream(scratch_, std::ios::binary) << old; }
    const pid_t child = ::fork();
    if (child == 0) {
      static int left;
      left = k;
      store::SetWriteStepHook([] {
        if (--left == 0) ::_exit(kKilled);
      });
      store::WorkStore s;
      s.SetPath(scratch_);
      msglist::CutBuffer c;
      ::_exit(s.Open() == store::kOpened && msglist::Apply(s, del, {}, c).error == 0 ? kFinished
                                                                                     : kBroken);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != kBroken) << status;
    store::WorkStore reader;
    reader.SetPath(scratch_);
    ASSERT_EQ(reader.OpenReadOnly(), store::kOpened);
    std::string seen(old.size(), '\0');
    reader.Read(0, seen.data(), seen.size());
    EXPECT_TRUE(seen == old || seen == done) << "reader after write " << k;
    ASSERT_EQ(store_.Open(), store::kOpened);
    const std::string now = sign_test::FileBytes(scratch_);
    EXPECT_TRUE(now == old || now == done) << "after write " << k;
    EXPECT_FALSE(fs::exists(store::JournalPath(scratch_)));
    sawOld |= now == old;
    sawNew |= now == done;
    store_.Close();
    if (WEXITSTATUS(status) == kFinished) break;
  }
  EXPECT_TRUE(sawOld && sawNew);
}

// Random edits, undos and redos against a plain list of records: after every step the
// whole file is what the list says (events and settings untouched). Undoing every edit gives
// back the file byte for byte; a hundred steps are kept.
TEST_F(StoreFiles, RandomEditsUndoAndRedoFollowAPlainList) {
  using List = std::vector<item::ItemRecord>;
  std::mt19937 rng(23);
  const auto pick = [&rng](int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
  };
  store_.WriteRecord(100, Record(0, {}, "event"));
  const std::string start = sign_test::FileBytes(scratch_);
  List list = {store_.ReadRecord(0)}, held;
  std::deque<List> undone, redone;
  msglist::EditHistory history;
  msglist::CutBuffer cut;
  const auto expectFile = [&] {
    std::string image = start;
    for (int k = 0; k < 100; ++k) {
      const item::ItemRecord r = k < int(list.size()) ? list[std::size_t(k)] : item::ItemRecord{};
      item::RecordToBytes(r, reinterpret_cast<std::uint8_t*>(image.data()) + store::SlotOffset(k));
    }
    ASSERT_TRUE(sign_test::FileBytes(scratch_) == image);
  };
  const auto replay = [&](bool undo) {
    std::deque<List>& from = undo ? undone : redone;
    ASSERT_EQ((undo ? history.Undo(store_) : history.Redo(store_)).has_value(), !from.empty());
    if (from.empty()) return;
    (undo ? redone : undone).push_back(std::exchange(list, from.back()));
    from.pop_back();
    expectFile();
  };
  const auto step = [&](bool editsOnly) {
    const int n = int(list.size()), action = pick(0, editsOnly ? 7 : 9);
    if (action >= 8) return replay(action == 8);
    std::set<int> picked;
    for (int i = n ? pick(1, 3) : 0; i > 0; --i) picked.insert(pick(0, n - 1));
    std::vector<int> selected(picked.begin(), picked.end());
    const int row = n ? selected.front() : 0;
    item::ItemRecord edited;  // random bytes in every part, text A never empty
    for (auto& b : edited.header.bytes) b = std::uint8_t(pick(0, 255));
    edited.header[item::hdr::kKind] = std::uint8_t(pick(0, 7));
    for (int q = 0; q < 4; ++q) {
      for (int i = 0, used = pick(q == 0, 40); i < used; ++i)
        edited.body.quarter(item::QuarterId(q))[std::size_t(i)] = std::uint8_t(pick(1, 255));
    }
    List next = list;
    msglist::Plan plan;
    if (action == 0) {
      plan = msglist::PlanAdd(n);
      if (n < 100) next.push_back(store::MergedItem({}, edited));
    } else if (action == 1) {
      plan = msglist::PlanModify(n, {row});
      if (n) next[std::size_t(row)] = store::MergedItem(list[std::size_t(row)], edited);
    } else if (action == 2 || action == 3) {
      plan = action == 2 ? msglist::PlanDelete(n, selected) : msglist::PlanCut(n, {row});
      if (action == 3 && n) {
        selected = {row};
        held = {list[std::size_t(row)]};
      }
      for (auto r = selected.rbegin(); r != selected.rend(); ++r) next.erase(next.begin() + *r);
    } else if (action == 4) {
      plan = msglist::PlanCopy(n, {row});
      if (n) held = {list[std::size_t(row)]};
    } else if (action == 5) {
      plan = msglist::PlanPaste(n, {row}, !held.empty());
      if (!plan.refused) next.insert(next.begin() + row, held.front());
    } else if (n) {  // a drag of the selection, or one row up or down
      const bool up = pick(0, 1);
      const int target = action == 6 ? pick(0, n) : up ? row - 1 : row + 2;
      if (action == 7) selected = {row};
      plan = action == 6 ? msglist::PlanMove(n, selected, target)
             : up        ? msglist::PlanMoveUp(n, selected)
                         : msglist::PlanMoveDown(n, selected);
      if (plan.ops.empty()) return;  // nothing moves
      List block;
      for (auto r = selected.rbegin(); r != selected.rend(); ++r) {
        block.insert(block.begin(), list[std::size_t(*r)]);
        next.erase(next.begin() + *r);
      }
      const auto before =
          std::count_if(selected.begin(), selected.end(), [&](int r) { return r < target; });
      next.insert(next.begin() + (target - before), block.begin(), block.end());
    }
    if (plan.refused) return;
    const msglist::Applied applied = msglist::Apply(store_, plan, edited, cut);
    ASSERT_EQ(applied.error, 0);
    history.Record(applied.change);
    if (next != list) {
      undone.push_back(std::exchange(list, next));
      if (undone.size() > 100) undone.pop_front();
      redone.clear();
    }
    expectFile();
  };
  for (int i = 0; i < 60; ++i) step(true);
  while (!undone.empty()) replay(true);
  ASSERT_TRUE(sign_test::FileBytes(scratch_) == start);
  while (!redone.empty()) replay(false);
  for (int i = 0; i < 400; ++i) step(i % 3 != 0);
  EXPECT_EQ(history.UndoSteps(), 100u);
  while (!undone.empty()) replay(true);
  EXPECT_FALSE(history.CanUndo());
}

}  // namespace
