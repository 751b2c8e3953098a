#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "manager/store/settings.h"
#include "manager/store/work_store.h"
#include "shared/cp949.h"
#include "shared/file_io.h"
#include "tests/support/test_fonts.h"

namespace fs = std::filesystem;

namespace {

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override { store_.SetPath(path_); }
  std::vector<std::uint8_t> FileBytes() {
    return fileio::ReadRegularFile(path_, store::kFileSize).value_or(std::vector<std::uint8_t>{});
  }
  // Bytes 904640-904654: width, height, window and brightness modes, day and night levels,
  // serial port, IP address, TCP port, transmit option, connection.
  std::vector<int> Settings() {
    const auto b = FileBytes();
    return std::vector<int>(b.begin() + 904640, b.begin() + 904655);
  }
  static item::ItemRecord Text(const std::string& s, std::uint8_t kind = 0) {
    item::ItemRecord r;
    r.header[0] = kind;
    text::WriteTextQuarter(r.body.textA, s);
    r.body.attrA[0] = 0x40;
    r.body.textB[0] = 'b';
    return r;
  }
  std::string Name(int slot) { return text::ReadTextQuarter(store_.ReadRecord(slot).body.textA); }

  const sign_test::TempDir tmp_{"store_test"};
  const fs::path dir_ = tmp_.path;
  const std::string path_ = tmp_.Path("data.tmp");
  store::WorkStore store_;
};

TEST_F(StoreTest, FreshStoreIsAllZeroAndReopenKeepsSettings) {
  ASSERT_EQ(store_.Open(), 0);
  const auto bytes = FileBytes();
  ASSERT_EQ(bytes.size(), 904672u);
  EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](auto b) { return b == 0; }));
  const store::BoardSettings s = store::LoadBoardSettings(store_);
  EXPECT_EQ(std::vector<int>({store::LoadSerialPort(store_), s.width, s.height}),
            std::vector<int>({1, 6, 1}));
  store_.SetWidth(12);
  // Clock and temperature are items without text; the list ends at the first empty one-line.
  const std::uint8_t kinds[] = {5, 7, 0};
  for (int n = 0; n < 3; ++n) store_.AppendSlot(n, Text("", kinds[n]));
  store_.AppendSlot(3, Text("after"));
  store_.WriteItem(100, Text("event"));
  store_.Close();
  ASSERT_EQ(store_.Open(), 0);
  EXPECT_EQ(store_.ReadList().size(), 2u);
  store_.ClearItemSlots();
  EXPECT_TRUE(store_.ReadList().empty());
  EXPECT_TRUE(store_.ReadList(store::kFirstEventSlot, 10).empty());
  EXPECT_EQ(store_.Width(), 12);
  EXPECT_EQ(FileBytes().size(), 904672u);
}

TEST_F(StoreTest, SettingsByteOrdersAndRepairs) {
  ASSERT_EQ(store_.Open(), 0);
  store_.SetIpAddress(0xC0A8000A);  // 192.168.0.10
  store_.SetTcpPort(5000);
  store_.SetLevels(3, 7);
  EXPECT_EQ(Settings(),
            std::vector<int>({0, 0, 0, 0, 3, 7, 0, 0xC0, 0xA8, 0, 0x0A, 0x13, 0x88, 0, 0}));
  // Values out of range read as the defaults and are written back, but for the transmit
  // option: the link takes it as RS-232 and it stays 7 in the file.
  store_.SetSerialPort(25);
  store_.SetTransmit(7);
  store_.SetLevels(3, 12);
  store_.SetHeight(3);
  store_.SetWidth(21);
  store_.SetWindowMode(2);
  store_.SetConnection(9);
  EXPECT_EQ(store::LoadSerialPort(store_), 1);
  EXPECT_EQ(store::LoadConnection(store_), 0);
  const store::BoardSettings s = store::LoadBoardSettings(store_);
  EXPECT_EQ(std::vector<int>({s.dayLevel, s.nightLevel, s.height, s.width}),
            std::vector<int>({0, 0, 1, 6}));
  EXPECT_EQ(Settings(),
            std::vector<int>({6, 1, 0, 0, 0, 0, 1, 0xC0, 0xA8, 0, 0x0A, 0x13, 0x88, 7, 0}));
}

// Slot changes stay within the item slots; a refused one writes nothing. Only regular files
// are stores, and nothing blocks on a FIFO; what did not open reads nothing. A fresh store
// appears whole, and no other file.
TEST_F(StoreTest, SlotChangesAndWhatIsAStore) {
  ASSERT_EQ(store_.Open(), store::kOpened);
  const std::vector<item::ItemRecord> two = {Text("a"), Text("b")};
  EXPECT_FALSE(store_.ReplaceSlots(109, two) || store_.ReplaceSlots(-1, two) ||
               store_.AppendSlot(100, Text("x")));
  ASSERT_TRUE(store_.ReplaceSlots(108, two));
  const auto bytes = FileBytes();
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), 904672 - 2 * 3);  // text, attr, 'b'
  EXPECT_EQ(Name(108) + Name(109), "ab");
  EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(dir_), {}), std::vector<fs::path>{path_});
  EXPECT_EQ(store::CreateStoreFile(path_), EEXIST);
  const std::string fifo = (dir_ / "fifo.dat").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const fs::path& path : {fs::path(fifo), fs::path("/dev/null"), dir_, dir_ / "no/data.tmp"}) {
    store_.SetPath(path.string());
    EXPECT_EQ(store_.Open(), store::kCannotOpen) << path;
    EXPECT_EQ(store_.OpenReadOnly(), store::kCannotOpen) << path;
  }
  EXPECT_FALSE(store_.IsOpen());
  std::uint8_t b = 7;
  EXPECT_EQ(store_.Read(0, &b, 1), 0u);
  EXPECT_EQ(b, 0);
}

TEST_F(StoreTest, ShortFileReadsZerosPastItsEnd) {
  { std::ofstream(path_, std::ios::binary) << std::string(40, '\x05'); }
  ASSERT_EQ(store_.Open(), 0);
  std::uint8_t buf[8];
  EXPECT_EQ(store_.Read(36, buf, 8), 4u);
  EXPECT_EQ(buf[3], 5);
  EXPECT_EQ(buf[4], 0);
  EXPECT_EQ(store_.Width(), 0);
}

TEST_F(StoreTest, OverlongPathFails) {
  // Folders nested until the store path is 1025 bytes: cut at 1023 it would name "data.t".
  fs::path deep = dir_;
  while (deep.string().size() + 9 < 1025) {
    deep /= std::string(std::min<std::size_t>(1025 - 9 - deep.string().size() - 1, 200), 'd');
  }
  ASSERT_TRUE(fs::create_directories(deep));
  store_.SetPath((deep / "data.tmp").string());
  ASSERT_EQ(store_.Path().size(), 1025u);
  EXPECT_EQ(store_.Open(), 1);
  EXPECT_TRUE(fs::is_empty(deep));
  const fs::path fits = deep.parent_path() / std::string(deep.filename().string().size() - 2, 'e');
  ASSERT_TRUE(fs::create_directory(fits));
  store_.SetPath((fits / "data.tmp").string());
  ASSERT_EQ(store_.Path().size(), 1023u);
  EXPECT_EQ(store_.Open(), 0);
}

}  // namespace
