#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "manager/store/settings.h"
#include "manager/store/work_store.h"
#include "shared/cp949.h"

namespace fs = std::filesystem;

namespace {

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/store_testXXXXXX";
    dir_ = mkdtemp(tmpl);
    path_ = (dir_ / "data.tmp").string();
    store_.SetPath(path_);
  }
  void TearDown() override {
    store_.Close();
    fs::remove_all(dir_);
  }
  std::vector<std::uint8_t> FileBytes() {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static item::ItemRecord Text(const char* s, std::uint8_t kind = 0) {
    item::ItemRecord r;
    r.header[0] = kind;
    for (std::size_t i = 0; s[i]; ++i) r.body.textA[i] = static_cast<std::uint8_t>(s[i]);
    r.body.attrA[0] = 0x40;
    r.body.textB[0] = 'b';
    return r;
  }

  fs::path dir_;
  std::string path_;
  store::WorkStore store_;
};

TEST_F(StoreTest, FreshStoreIsAllZeroAndLoadsTheDefaults) {
  ASSERT_EQ(store_.Open(), 0);
  const auto bytes = FileBytes();
  ASSERT_EQ(bytes.size(), 904672u);
  EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](auto b) { return b == 0; }));

  EXPECT_EQ(store::LoadSerialPort(store_), 1);
  EXPECT_EQ(store::LoadTransmit(store_), 0);
  const store::BoardSettings s = store::LoadBoardSettings(store_);
  EXPECT_EQ(s.width, 6);
  EXPECT_EQ(s.height, 1);
  EXPECT_EQ(store_.IpAddress(), 0u);
  EXPECT_EQ(store_.TcpPort(), 0);
}

TEST_F(StoreTest, ReopenKeepsSettingsWhileClearingItemSlots) {
  ASSERT_EQ(store_.Open(), 0);
  store_.SetWidth(12);
  store_.AppendSlot(0, Text("hello"));
  store_.WriteItem(100, Text("event"));
  store_.Close();

  ASSERT_EQ(store_.Open(), 0);
  EXPECT_EQ(store_.ReadList().size(), 1u);
  store_.ClearItemSlots();
  EXPECT_TRUE(store_.ReadList().empty());
  EXPECT_TRUE(store_.ReadList(store::kFirstEventSlot, 10).empty());
  EXPECT_EQ(store_.Width(), 12);
  EXPECT_EQ(FileBytes().size(), 904672u);
}

TEST_F(StoreTest, SettingsByteOrders) {
  ASSERT_EQ(store_.Open(), 0);
  store_.SetIpAddress(0xC0A8000A);  // 192.168.0.10
  store_.SetTcpPort(5000);
  store_.SetLevels(3, 7);
  const auto bytes = FileBytes();
  EXPECT_EQ(bytes[904647], 0xC0);
  EXPECT_EQ(bytes[904648], 0xA8);
  EXPECT_EQ(bytes[904649], 0x00);
  EXPECT_EQ(bytes[904650], 0x0A);
  EXPECT_EQ(bytes[904651], 0x13);
  EXPECT_EQ(bytes[904652], 0x88);
  EXPECT_EQ(bytes[904644], 3);
  EXPECT_EQ(bytes[904645], 7);
  EXPECT_EQ(store_.Levels(), 0x0307);
}

TEST_F(StoreTest, RepairsWriteBackExceptTheTransmitOption) {
  ASSERT_EQ(store_.Open(), 0);
  store_.SetSerialPort(25);
  store_.SetTransmit(7);
  store_.SetLevels(3, 12);
  store_.SetHeight(3);
  store_.SetWidth(21);
  store_.SetWindowMode(2);
  store_.SetConnection(9);

  EXPECT_EQ(store::LoadSerialPort(store_), 1);
  EXPECT_EQ(store::LoadTransmit(store_), 0);
  const store::BoardSettings s = store::LoadBoardSettings(store_);
  EXPECT_EQ(store::LoadConnection(store_), 0);
  EXPECT_EQ(s.dayLevel, 0);
  EXPECT_EQ(s.nightLevel, 0);
  EXPECT_EQ(s.height, 1);
  EXPECT_EQ(s.width, 6);

  const auto bytes = FileBytes();
  EXPECT_EQ(bytes[904646], 1);
  EXPECT_EQ(bytes[904653], 7);  // read as RS-232, kept in the file
  EXPECT_EQ(bytes[904644], 0);
  EXPECT_EQ(bytes[904645], 0);
  EXPECT_EQ(bytes[904641], 1);
  EXPECT_EQ(bytes[904640], 6);
  EXPECT_EQ(bytes[904642], 0);
  EXPECT_EQ(bytes[904654], 0);
}

TEST_F(StoreTest, FullListEditsNeverTouchTheEventSlots) {
  ASSERT_EQ(store_.Open(), 0);
  for (int k = 0; k < 100; ++k) {
    const std::string name = "item" + std::to_string(k);
    ASSERT_TRUE(store_.AppendSlot(k, Text(name.c_str())));
  }
  const item::ItemRecord event = Text("event");
  store_.WriteRecord(100, event);
  EXPECT_FALSE(store_.AppendSlot(100, Text("x")));
  EXPECT_FALSE(store_.InsertSlot(0, 100, Text("x")));
  EXPECT_EQ(store_.ReadRecord(100), event);

  ASSERT_TRUE(store_.RemoveSlot(99, 100));
  auto list = store_.ReadList();
  ASSERT_EQ(list.size(), 99u);
  const item::ItemRecord zero;
  EXPECT_EQ(store_.ReadRecord(99), zero);

  ASSERT_TRUE(store_.RemoveSlot(0, 99));
  ASSERT_TRUE(store_.InsertSlot(3, 98, Text("pasted")));
  list = store_.ReadList();
  ASSERT_EQ(list.size(), 99u);
  EXPECT_EQ(text::ReadTextQuarter(list[2].body.textA), "item3");
  EXPECT_EQ(text::ReadTextQuarter(list[3].body.textA), "pasted");
  EXPECT_EQ(text::ReadTextQuarter(list[4].body.textA), "item4");
  EXPECT_EQ(text::ReadTextQuarter(list[98].body.textA), "item98");
  // Whole records move: the attributes came along.
  EXPECT_EQ(store_.ReadRecord(4).body.attrA[0], 0x40);
  EXPECT_EQ(store_.ReadRecord(100), event);
}

TEST_F(StoreTest, PresenceRuleEndsTheList) {
  ASSERT_EQ(store_.Open(), 0);
  store_.AppendSlot(0, Text("", 5));
  store_.AppendSlot(1, Text("", 7));
  store_.AppendSlot(2, Text("", 0));  // empty one-line text: not an item
  store_.AppendSlot(3, Text("after"));
  EXPECT_EQ(store_.ReadList().size(), 2u);
}

TEST_F(StoreTest, WriteItemWritesOnlyTheQuartersItsKindUses) {
  ASSERT_EQ(store_.Open(), 0);
  item::ItemRecord full = Text("x", 1);
  full.body.attrB[5] = 0x11;
  store_.WriteRecord(0, full);
  item::ItemRecord clock;
  clock.header[0] = 5;
  store_.WriteItem(0, clock);
  const item::ItemRecord back = store_.ReadRecord(0);
  EXPECT_EQ(back.header[0], 5);
  EXPECT_EQ(back.body.textA[0], 'x');  // untouched by a header-only kind
  EXPECT_EQ(back.body.attrB[5], 0x11);
}

TEST_F(StoreTest, ShortFileReadsZerosPastItsEnd) {
  { std::ofstream(path_, std::ios::binary) << std::string(40, '\x05'); }
  ASSERT_EQ(store_.Open(), 0);
  std::uint8_t buf[8];
  EXPECT_EQ(store_.Read(36, buf, 8), 4u);
  EXPECT_EQ(buf[3], 5);
  EXPECT_EQ(buf[4], 0);
  EXPECT_EQ(store_.Width(), 0);
  EXPECT_TRUE(store_.ReadList().size() <= 1);
}

TEST_F(StoreTest, UncreatableStoreFails) {
  store_.SetPath((dir_ / "missing" / "data.tmp").string());
  EXPECT_EQ(store_.Open(), 1);
  EXPECT_FALSE(store_.IsOpen());
  std::uint8_t b = 7;
  EXPECT_EQ(store_.Read(0, &b, 1), 0u);
  EXPECT_EQ(b, 0);
}

TEST_F(StoreTest, PathLongerThan1023BytesFailsInsteadOfOpeningAnotherFile) {
  // Folders nested until the store path is 1025 bytes: cut at 1023 it would name "data.t".
  fs::path deep = dir_;
  while (deep.string().size() + 1 + 8 < 1025) {
    const std::size_t room = 1025 - 1 - 8 - deep.string().size() - 1;
    deep /= std::string(std::min<std::size_t>(room, 200), 'd');
  }
  ASSERT_TRUE(fs::create_directories(deep));
  const std::string path = (deep / "data.tmp").string();
  ASSERT_EQ(path.size(), 1025u);
  store_.SetPath(path);
  EXPECT_EQ(store_.Path(), path);
  EXPECT_EQ(store_.Open(), 1);
  EXPECT_FALSE(store_.IsOpen());
  EXPECT_TRUE(fs::is_empty(deep));

  // 1023 bytes still fit.
  const fs::path fits = deep.parent_path() / std::string(deep.filename().string().size() - 2, 'e');
  ASSERT_TRUE(fs::create_directory(fits));
  store_.SetPath((fits / "data.tmp").string());
  ASSERT_EQ(store_.Path().size(), 1023u);
  EXPECT_EQ(store_.Open(), 0);
}

}  // namespace
