#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "manager/list/project.h"

namespace fs = std::filesystem;
using msglist::SwitchResult;

namespace {

TEST(ProjectRules, StoreKindAndSavePrompt) {
  const struct {
    const char* path;
    bool project;
  } cases[] = {
      {"/w/show.dat", true},   {"/w/SHOW.DAT", true},    {"/w/show.Dat", true},
      {"/w/data.tmp", false},  {"/w/show.dat.bak", false}, {"/w.dat/show", false},
      {"dat", true},  // no dot: the whole path is the extension
      {"/w/show.data", false}, {"/w/show.", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(msglist::IsProjectPath(c.path), c.project);
    EXPECT_EQ(msglist::ShouldOfferSave(c.path, 1), !c.project);
    EXPECT_FALSE(msglist::ShouldOfferSave(c.path, 0));
  }
}

TEST(ProjectRules, LoadChecks) {
  const struct {
    const char* path;
    std::optional<std::uint64_t> length;
    const char* refusal;  // null: accepted
  } cases[] = {
      {"/w/show.dat", 904672, nullptr},
      {"/w/new.dat", std::nullopt, nullptr},  // created zero-filled
      {"/w/data.tmp", 904672, "오픈할수 없는 파일입니다"},
      {"/w/show.txt", std::nullopt, "오픈할수 없는 파일입니다"},
      {"/w/foreign.DAT", 1000, "프로젝트 파일의 크기가 맞지 않습니다\n904672바이트여야 하는데 1000바이트입니다"},
      {"/w/empty.dat", 0, "프로젝트 파일의 크기가 맞지 않습니다\n904672바이트여야 하는데 0바이트입니다"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const auto refusal = msglist::CheckProjectToLoad(c.path, c.length);
    ASSERT_EQ(refusal.has_value(), c.refusal != nullptr);
    if (!refusal) continue;
    EXPECT_EQ(refusal->text, c.refusal);
    EXPECT_EQ(refusal->caption, "파일오픈실패");
  }
}

TEST(ProjectRules, SwitchFailureMessages) {
  using C = msglist::StoreCommand;
  const struct {
    C command;
    SwitchResult result;
    msglist::Message message;
  } cases[] = {
      {C::Load, SwitchResult::KeptPrevious, {"파일을 오픈할수 없습니다", "파일오픈실패"}},
      {C::Load, SwitchResult::Lost, {"파일을 오픈할수 없습니다\n프로그램을 종료합니다.", "파일오픈실패"}},
      {C::Save, SwitchResult::KeptPrevious, {"파일을 오픈할수 없습니다", "파일오픈실패"}},
      {C::Save, SwitchResult::Lost, {"파일을 오픈할수 없습니다\n프로그램을 종료합니다", "파일오픈실패"}},
      {C::New, SwitchResult::KeptPrevious, {"파일을 만들수 없습니다", "파일오픈 실패"}},
      {C::New, SwitchResult::Lost, {"파일을 만들수 없습니다\n프로그램을 종료합니다", "파일오픈 실패"}},
  };
  for (const auto& c : cases) EXPECT_EQ(msglist::SwitchFailure(c.command, c.result), c.message);
}

class ProjectFiles : public ::testing::Test {
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
  // The store is open on `path` with the list and settings of SetUp.
  void ExpectWorkingOn(const std::string& path) {
    EXPECT_EQ(store_.Path(), path);
    ASSERT_TRUE(store_.IsOpen());
    EXPECT_EQ(store_.ReadList().size(), 1u);
    EXPECT_EQ(store_.Width(), 9);
  }

  fs::path dir_;
  std::string scratch_;
  store::WorkStore store_;
};

TEST_F(ProjectFiles, SaveMakesTheCopyTheStore) {
  const std::string project = (dir_ / "show.dat").string();
  {  // An older, longer file of that name is replaced, not overwritten in part.
    std::ofstream old(project, std::ios::binary);
    old << std::string(1000000, 'x');
  }
  EXPECT_EQ(msglist::SaveStoreAs(store_, project), SwitchResult::Switched);
  ExpectWorkingOn(project);
  EXPECT_EQ(msglist::FileLength(project), 904672u);
  item::ItemRecord r;
  r.body.textA[0] = 'B';
  store_.AppendSlot(1, r);
  store::WorkStore check;
  check.SetPath(project);
  ASSERT_EQ(check.Open(), 0);
  EXPECT_EQ(check.ReadList().size(), 2u);
}

TEST_F(ProjectFiles, FailedSwitchesKeepTheStore) {
  // A folder that cannot be written, and a folder where the file should be.
  fs::create_directory(dir_ / "locked");
  fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  fs::create_directory(dir_ / "folder.dat");
  const std::string targets[] = {(dir_ / "locked" / "show.dat").string(),
                                 (dir_ / "folder.dat").string(),
                                 (dir_ / "missing" / "show.dat").string()};
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    if (target.find("locked") != std::string::npos && ::geteuid() == 0) continue;  // root writes
    EXPECT_EQ(msglist::SaveStoreAs(store_, target), SwitchResult::KeptPrevious);
    ExpectWorkingOn(scratch_);
    EXPECT_EQ(msglist::SwitchStore(store_, target), SwitchResult::KeptPrevious);
    ExpectWorkingOn(scratch_);
  }
  EXPECT_FALSE(msglist::WriteStoreCopy(store_, targets[1]));
}

TEST_F(ProjectFiles, CopyOntoTheStoreItselfKeepsIt) {
  EXPECT_TRUE(msglist::WriteStoreCopy(store_, scratch_));
  ExpectWorkingOn(scratch_);
  EXPECT_EQ(msglist::FileLength(scratch_), 904672u);
}

}  // namespace
