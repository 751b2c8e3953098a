#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "shared/file_io.h"
#include "tests/support/test_fonts.h"

namespace fs = std::filesystem;

namespace {

class FileIo : public ::testing::Test {
 protected:
  static std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
  }
  const sign_test::TempDir dir_{"file_io"};
};

TEST_F(FileIo, OnlyRegularFilesAreReadAndNothingBlocks) {
  const std::string plain = dir_.Path("plain");
  ASSERT_EQ(fileio::WriteFileAtomically(plain, Bytes("abcdef")), 0);
  const std::string fifo = dir_.Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string link = dir_.Path("link");
  fs::create_symlink("/dev/zero", link);

  // A FIFO without a writer would block a plain open for ever.
  for (const std::string& p : {fifo, link, std::string("/dev/null"), dir_.path.string()}) {
    int error = 0;
    EXPECT_FALSE(fileio::ReadRegularFile(p, 1 << 20, &error)) << p;
    EXPECT_TRUE(error == ENODEV || error == EISDIR) << p << " " << error;
    EXPECT_FALSE(fileio::RegularFileSize(p)) << p;
  }
  int error = 0;
  EXPECT_FALSE(fileio::ReadRegularFile(plain, 5, &error));
  EXPECT_EQ(error, EFBIG);
  const auto whole = fileio::ReadRegularFile(plain, 6);
  ASSERT_TRUE(whole);
  EXPECT_EQ(std::string(whole->begin(), whole->end()), "abcdef");
  const fileio::RegularFile f(plain);
  EXPECT_EQ(f.ReadAt(4, 10)->size(), 2u);
}

TEST_F(FileIo, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  const std::string target = dir_.Path("show.dat");
  ASSERT_EQ(fileio::WriteFileAtomically(target, Bytes("old content")), 0);
  ::chmod(target.c_str(), 0640);

  // A file size limit stands in for a full disk: the write fails part way.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 4;
  ::setrlimit(RLIMIT_FSIZE, &small);
  const int failed = fileio::WriteFileAtomically(target, Bytes("new and longer content"));
  const int fresh = fileio::WriteFileAtomically(dir_.Path("new.dat"), Bytes("new and longer"));
  ::setrlimit(RLIMIT_FSIZE, &saved);

  EXPECT_EQ(failed, EFBIG);
  EXPECT_EQ(fresh, EFBIG);
  EXPECT_EQ(sign_test::FileBytes(target), "old content");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path), {}), 1) << "a temporary was left";

  // A replaced file keeps its mode; one reached through a link is replaced at its target.
  const std::string link = dir_.Path("link.dat");
  fs::create_symlink(target, link);
  ASSERT_EQ(fileio::WriteFileAtomically(link, Bytes("new")), 0);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(sign_test::FileBytes(target), "new");
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(fileio::WriteFileAtomically(dir_.Path("missing/x.dat"), Bytes("x")), ENOENT);
}

}  // namespace
