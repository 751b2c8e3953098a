// The event list rules over a real work-store file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "manager/events/event_list.h"
#include "manager/store/work_store.h"

namespace fs = std::filesystem;
using events::EventList;
using events::Message;

namespace {

class EventListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/events_testXXXXXX";
    dir_ = mkdtemp(tmpl);
    store_.SetPath((dir_ / "data.tmp").string());
    ASSERT_EQ(store_.Open(), 0);
  }
  void TearDown() override {
    store_.Close();
    fs::remove_all(dir_);
  }

  // An edited event: text s with attribute byte attr on every byte, codes entry..speed.
  static item::ItemRecord Edited(const std::string& s, std::uint8_t attr = 0x40,
                                 std::uint8_t entry = 3, std::uint8_t hold = 2) {
    item::ItemRecord r{};
    r.header[item::hdr::kEntry] = entry;
    r.header[item::hdr::kSpeed] = 1;
    r.header[item::hdr::kHold] = hold;
    r.header[item::hdr::kExit] = 4;
    r.header[item::hdr::kStartHour] = 9;  // an event has no display window
    for (std::size_t i = 0; i < s.size(); ++i) {
      r.body.textA[i] = static_cast<std::uint8_t>(s[i]);
      r.body.attrA[i] = attr;
    }
    r.body.textB[0] = 'x';  // nor a second text
    return r;
  }
  std::string SlotText(int eventSlot) {
    const item::ItemRecord r = store_.ReadRecord(events::StoreSlot(eventSlot));
    return reinterpret_cast<const char*>(r.body.textA.data());
  }
  bool SlotZero(int eventSlot) { return store_.ReadRecord(events::StoreSlot(eventSlot)) == item::ItemRecord{}; }
  std::vector<std::string> Texts(const EventList& list) {
    std::vector<std::string> out;
    for (const auto& r : list.Rows()) out.push_back(events::RowTexts(r)[1]);
    return out;
  }
  // n events "e0".."e(n-1)".
  void Fill(EventList& list, int n) {
    for (int i = 0; i < n; ++i) ASSERT_TRUE(list.Add(Edited("e" + std::to_string(i))));
  }

  fs::path dir_;
  store::WorkStore store_;
};

TEST_F(EventListTest, AddStoresHeaderAndFirstQuartersOnlyAndRowsShowCodesPlusOne) {
  EventList list(store_);
  ASSERT_TRUE(list.Add(Edited("\xB0\xA1" "A", 0x7C)));  // 가A
  const item::ItemRecord slot = store_.ReadRecord(events::StoreSlot(0));
  const std::uint8_t header[8] = {0, 3, 1, 2, 4, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(slot.header.bytes.data(), header, sizeof header));
  EXPECT_EQ(slot.header[item::hdr::kStartHour], 0);
  EXPECT_EQ(slot.body.textB, item::Quarter{});
  EXPECT_EQ(slot.body.attrA[2], 0x7C);
  EXPECT_EQ(events::RowTexts(slot),
            (std::vector<std::string>{"1줄문장", "가A", "4", "3초", "5", "2"}));
  EXPECT_TRUE(SlotZero(1));
  // Message slots are never touched.
  EXPECT_EQ(store_.ReadRecord(99), item::ItemRecord{});
}

TEST_F(EventListTest, EleventhAddCutAndPasteAtTheLimit) {
  EventList list(store_);
  Fill(list, 10);
  EXPECT_EQ(list.CheckAdd(), (Message{"더이상 이벤트를 추가할수 없습니다", "더이상 추가안됨"}));
  EXPECT_FALSE(list.Add(Edited("e10")));
  EXPECT_EQ(list.Count(), 10);

  EXPECT_EQ(list.Paste({0}), (Message{"먼저 잘라내기를 하십시요?", "붙여넣기"}));
  EXPECT_EQ(list.Cut({3}), std::nullopt);
  EXPECT_EQ(list.Count(), 9);
  EXPECT_TRUE(SlotZero(9));
  EXPECT_EQ(SlotText(3), "e4");
  EXPECT_EQ(list.Paste({0}), std::nullopt);
  EXPECT_EQ(list.Count(), 10);
  EXPECT_EQ(SlotText(0), "e3");
  EXPECT_EQ(SlotText(9), "e9");
  EXPECT_EQ(list.Paste({0}), (Message{"더이상 삽입할수 없습니다", ""}));
  EXPECT_EQ(list.Count(), 10);
  // What the store holds is what the dialog shows when it opens again.
  EXPECT_EQ(Texts(EventList(store_)), Texts(list));
  // Slot 9 is the last event slot: nothing spilled into the settings.
  EXPECT_EQ(store_.Width(), 0);
}

TEST_F(EventListTest, DeleteMovesLaterSlotsDownAndZeroesTheLast) {
  EventList list(store_);
  Fill(list, 3);
  ASSERT_EQ(list.Delete({1}), std::nullopt);
  EXPECT_EQ(SlotText(0), "e0");
  EXPECT_EQ(SlotText(1), "e2");
  EXPECT_TRUE(SlotZero(2));
  EXPECT_EQ(Texts(EventList(store_)), (std::vector<std::string>{"e0", "e2"}));

  // Several selected: each removal moves the rest up.
  Fill(list, 3);  // e0 e2 e0 e1 e2
  ASSERT_EQ(list.Delete({4, 0, 2}), std::nullopt);
  EXPECT_EQ(Texts(EventList(store_)), (std::vector<std::string>{"e2", "e1"}));
  for (int k = 2; k < 10; ++k) EXPECT_TRUE(SlotZero(k)) << k;
}

TEST_F(EventListTest, EditedToEmptyTextKeepsTheOldEvent) {
  EventList list(store_);
  Fill(list, 2);
  const item::ItemRecord before = store_.ReadRecord(events::StoreSlot(1));
  EXPECT_FALSE(list.Modify(1, Edited("", 0x40, 9, 9)));
  EXPECT_EQ(store_.ReadRecord(events::StoreSlot(1)), before);
  EXPECT_EQ(events::RowTexts(list.At(1))[2], "4");
  EXPECT_FALSE(list.Add(Edited("")));
  EXPECT_EQ(list.Count(), 2);
  EXPECT_TRUE(SlotZero(2));

  ASSERT_TRUE(list.Modify(1, Edited("new", 0x80, 16, 9)));
  EXPECT_EQ(SlotText(1), "new");
  EXPECT_EQ(events::RowTexts(list.At(1)),
            (std::vector<std::string>{"1줄문장", "new", "17", "10초", "5", "2"}));
}

TEST_F(EventListTest, RefusalsLeaveListAndSlotsUnchanged) {
  EventList empty(store_);
  struct Case {
    const char* what;
    events::Refusal got;
    const char* text;
  };
  const Case onEmpty[] = {
      {"modify", empty.CheckModify({}), "수정할 아이템이 없습니다"},
      {"delete", empty.Delete({}), "삭제할 아이템이 없습니다"},
      {"cut", empty.Cut({}), "아이템이 없습니다"},
      {"send", empty.CheckSend({}), "선택된 Item이 없습니다."},
  };
  for (const Case& c : onEmpty) EXPECT_EQ(c.got, (Message{c.text, ""})) << c.what;

  EventList list(store_);
  Fill(list, 3);
  const Case cases[] = {
      {"modify none", list.CheckModify({}), "수정할곳의 아이템을 선택하십시요"},
      {"modify two", list.CheckModify({0, 2}), "수정할곳의 Item만 선택하세요..."},
      {"delete none", list.Delete({}), "삭제할곳의 아이템을 선택하십시요"},
      {"cut two", list.Cut({0, 1}), "잘라내기 할곳의 Item만 선택하세요..."},
      {"send two", list.CheckSend({1, 2}), "한개의 Item만 선택하세요..."},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, (Message{c.text, ""})) << c.what;
  ASSERT_EQ(list.Cut({2}), std::nullopt);
  EXPECT_EQ(list.Paste({}), (Message{"붙여넣기 할곳의 아이템을 선택하십시요", ""}));
  EXPECT_EQ(list.Paste({0, 1}), (Message{"붙여넣기 할곳의 아이템만 선택하세요?", ""}));
  EXPECT_EQ(list.Count(), 2);
  // The cut stays: the same event goes in twice.
  ASSERT_EQ(list.Paste({1}), std::nullopt);
  ASSERT_EQ(list.Paste({0}), std::nullopt);
  EXPECT_EQ(Texts(EventList(store_)), (std::vector<std::string>{"e2", "e0", "e2", "e1"}));
  int row = -1;
  EXPECT_EQ(list.CheckSend({3}, &row), std::nullopt);
  EXPECT_EQ(row, 3);
}

TEST_F(EventListTest, ListEndsAtTheFirstEmptyTextWhateverTheKind) {
  item::ItemRecord r = Edited("a");
  store_.WriteRecord(events::StoreSlot(0), r);
  r.header.setKind(item::ItemKind::DateTime);  // holds an item in the message list, not here
  r.body.textA = {};
  store_.WriteRecord(events::StoreSlot(1), r);
  store_.WriteRecord(events::StoreSlot(2), Edited("c"));
  EXPECT_EQ(EventList(store_).Count(), 1);
}

TEST_F(EventListTest, StoredTextWithoutTerminatorIsCutOnACharacterBoundary) {
  // A damaged project: 2048 text bytes, a two-byte character over 2046-2047.
  item::ItemRecord r = Edited(std::string(2046, 'a') + "\xB0\xA1");
  const item::ItemRecord made = events::MakeEvent(r.header, r.body.textA, r.body.attrA);
  EXPECT_EQ(made.body.textA[2045], 'a');
  EXPECT_EQ(made.body.textA[2046], 0);
  EXPECT_EQ(made.body.textA[2047], 0);
}

}  // namespace
