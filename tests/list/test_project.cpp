#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "manager/list/project.h"

namespace fs = std::filesystem;
using msglist::SwitchResult;

namespace {

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
  const struct {
    const char* path;
    std::optional<std::uint64_t> length;
    std::string refusal;  // empty: accepted
  } loads[] = {
      {"/w/show.dat", 904672, ""},
      {"/w/new.dat", std::nullopt, ""},  // created zero-filled
      {"/w/data.tmp", 904672, "오픈할수 없는 파일입니다"},
      {"/w/show.txt", std::nullopt, "오픈할수 없는 파일입니다"},
      {"/w/foreign.DAT", 1000, kSize + std::string("1000바이트입니다")},
      {"/w/empty.dat", 0, kSize + std::string("0바이트입니다")},
  };
  for (const auto& c : loads) {
    const auto refusal = msglist::CheckProjectToLoad(c.path, c.length);
    EXPECT_EQ(refusal ? refusal->text + "|" + refusal->caption : "",
              c.refusal.empty() ? "" : c.refusal + "|파일오픈실패")
        << c.path;
  }
  // Only a lost store announces the end of the program.
  for (auto command :
       {msglist::StoreCommand::Load, msglist::StoreCommand::Save, msglist::StoreCommand::New}) {
    EXPECT_NE(msglist::SwitchFailure(command, SwitchResult::Lost).text.find("종료"),
              std::string::npos);
    EXPECT_EQ(msglist::SwitchFailure(command, SwitchResult::KeptPrevious).text.find("종료"),
              std::string::npos);
  }
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

TEST_F(ProjectFiles, FailedSwitchesKeepTheStoreSaveMovesIt) {
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

}  // namespace
