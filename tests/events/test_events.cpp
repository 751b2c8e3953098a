// The event list rules over a real work-store file; event frames byte for byte, and the
// send and cancel sequences over the in-process sign.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "manager/events/event_list.h"
#include "manager/events/event_send.h"
#include "manager/store/work_store.h"
#include "tests/fakes/sim_sign_link.h"
#include "tests/support/test_fonts.h"

using events::EventList;
using events::Message;
using signlink::Frame;
using signlink::Result;
using Texts = std::vector<std::string>;

namespace {

// Text s with attr on every byte, plus a start hour and a second text an event must not keep.
item::ItemRecord Edited(const std::string& s, std::uint8_t attr = 0x40, int entry = 3,
                        int hold = 2) {
  item::ItemRecord r{};
  const std::pair<int, int> codes[] = {{item::hdr::kEntry, entry},
                                       {item::hdr::kSpeed, 1},
                                       {item::hdr::kHold, hold},
                                       {item::hdr::kExit, 4},
                                       {item::hdr::kStartHour, 9}};
  for (auto [at, code] : codes) r.header[at] = std::uint8_t(code);
  for (std::size_t i = 0; i < s.size(); ++i) r.body.textA[i] = std::uint8_t(s[i]);
  std::fill_n(r.body.attrA.begin(), s.size(), attr);
  r.body.textB[0] = 'x';
  return r;
}

class EventListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.SetPath(dir_.Path("data.tmp"));
    ASSERT_EQ(store_.Open(), 0);
  }
  item::ItemRecord Slot(int k) { return store_.ReadRecord(100 + k); }  // where projects hold them
  static Texts Shown(const EventList& list) {
    Texts out;
    for (const auto& r : list.Rows()) out.push_back(events::RowTexts(r)[1]);
    return out;
  }
  Texts Stored() { return Shown(EventList(store_)); }  // what a dialog opened now lists
  void Fill(EventList& list, int n) {
    for (int i = 0; i < n; ++i) ASSERT_TRUE(list.Add(Edited("e" + std::to_string(i))));
  }
  void ExpectEmptyFrom(int k) {
    for (; k < 10; ++k) EXPECT_EQ(Slot(k), item::ItemRecord{}) << k;
  }

  sign_test::TempDir dir_{"events_test"};
  store::WorkStore store_;  // closed before its folder goes
};

TEST_F(EventListTest, AddStoresHeaderAndFirstQuartersOnlyAndRowsShowCodesPlusOne) {
  EventList list(store_);
  ASSERT_TRUE(list.Add(Edited(std::string("\xB0\xA1") + "A", 0x7C)));  // 가A
  const item::ItemRecord slot = Slot(0);
  const std::uint8_t header[8] = {0, 3, 1, 2, 4, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(slot.header.bytes.data(), header, sizeof header));
  EXPECT_EQ(slot.header[item::hdr::kStartHour], 0);
  EXPECT_EQ(slot.body.textB, item::Quarter{});
  EXPECT_EQ(slot.body.attrA[2], 0x7C);
  EXPECT_EQ(events::RowTexts(slot), (Texts{"1줄문장", "가A", "4", "3초", "5", "2"}));
  ExpectEmptyFrom(1);
  EXPECT_EQ(store_.ReadRecord(99), item::ItemRecord{});  // message slots are never touched
}

TEST_F(EventListTest, EleventhAddCutAndPasteAtTheLimit) {
  EventList list(store_);
  Fill(list, 10);
  EXPECT_EQ(list.CheckAdd(), (Message{"더이상 이벤트를 추가할수 없습니다", "더이상 추가안됨"}));
  EXPECT_FALSE(list.Add(Edited("e10")));
  EXPECT_EQ(list.Paste({0}), (Message{"먼저 잘라내기를 하십시요?", "붙여넣기"}));
  EXPECT_EQ(list.Cut({3}), std::nullopt);
  ExpectEmptyFrom(9);
  EXPECT_EQ(Stored(), (Texts{"e0", "e1", "e2", "e4", "e5", "e6", "e7", "e8", "e9"}));
  EXPECT_EQ(list.Paste({0}), std::nullopt);
  EXPECT_EQ(list.Paste({0}), (Message{"더이상 삽입할수 없습니다", ""}));
  EXPECT_EQ(Stored(), (Texts{"e3", "e0", "e1", "e2", "e4", "e5", "e6", "e7", "e8", "e9"}));
  EXPECT_EQ(store_.Height(), 0);  // slot 9 is the last event slot: nothing spills into the settings
}

TEST_F(EventListTest, DeleteMovesLaterSlotsDownAndZeroesTheLast) {
  EventList list(store_);
  Fill(list, 5);
  ASSERT_EQ(list.Delete({4, 0, 2}), std::nullopt);  // rows as listed before the delete
  EXPECT_EQ(Stored(), (Texts{"e1", "e3"}));
  ExpectEmptyFrom(2);
}

TEST_F(EventListTest, RefusalsLeaveListAndSlotsUnchanged) {
  EventList empty(store_);
  EventList list(store_);
  Fill(list, 3);
  const std::pair<events::Refusal, const char*> cases[] = {
      {empty.CheckModify({}), "수정할 아이템이 없습니다"},
      {empty.Delete({}), "삭제할 아이템이 없습니다"},
      {empty.Cut({}), "아이템이 없습니다"},
      {empty.CheckSend({}), "선택된 Item이 없습니다."},
      {list.CheckModify({}), "수정할곳의 아이템을 선택하십시요"},
      {list.CheckModify({0, 2}), "수정할곳의 Item만 선택하세요..."},
      {list.Delete({}), "삭제할곳의 아이템을 선택하십시요"},
      {list.Cut({0, 1}), "잘라내기 할곳의 Item만 선택하세요..."},
      {list.CheckSend({1, 2}), "한개의 Item만 선택하세요..."},
  };
  for (const auto& [got, text] : cases) EXPECT_EQ(got, (Message{text, ""})) << text;
  // An edit to an empty text keeps the old event; an empty new one is not added.
  const item::ItemRecord before = Slot(1);
  EXPECT_FALSE(list.Modify(1, Edited("", 0x40, 9, 9)));
  EXPECT_FALSE(list.Add(Edited("")));
  EXPECT_EQ(Slot(1), before);
  EXPECT_EQ(events::RowTexts(list.At(1))[2], "4");
  EXPECT_EQ(Stored(), (Texts{"e0", "e1", "e2"}));
  ExpectEmptyFrom(3);
  ASSERT_TRUE(list.Modify(1, Edited("new", 0x80, 16, 9)));
  EXPECT_EQ(events::RowTexts(Slot(1)), (Texts{"1줄문장", "new", "17", "10초", "5", "2"}));
  ASSERT_EQ(list.Cut({2}), std::nullopt);
  EXPECT_EQ(list.Paste({}), (Message{"붙여넣기 할곳의 아이템을 선택하십시요", ""}));
  EXPECT_EQ(list.Paste({0, 1}), (Message{"붙여넣기 할곳의 아이템만 선택하세요?", ""}));
  // The cut stays: the same event goes in twice.
  ASSERT_EQ(list.Paste({1}), std::nullopt);
  ASSERT_EQ(list.Paste({0}), std::nullopt);
  EXPECT_EQ(Stored(), (Texts{"e2", "e0", "e2", "new"}));
}

TEST_F(EventListTest, ListEndsAtTheFirstEmptyTextAndStoredTextIsCutOnACharacter) {
  item::ItemRecord r = Edited("a");
  store_.WriteRecord(events::StoreSlot(0), r);
  r.header.setKind(item::ItemKind::DateTime);  // no text, though a kind that has none
  r.body.textA = {};
  store_.WriteRecord(events::StoreSlot(1), r);
  store_.WriteRecord(events::StoreSlot(2), Edited("c"));
  EXPECT_EQ(EventList(store_).Count(), 1);
  // A damaged project: 2048 text bytes, a two-byte character over 2046-2047.
  r = Edited(std::string(2046, 'a') + "\xB0\xA1");
  const item::Quarter text = events::MakeEvent(r.header, r.body.textA, r.body.attrA).body.textA;
  EXPECT_EQ(std::string(text.begin() + 2045, text.end()), std::string("a\0\0", 3));
}

// Block n: STX, length, command 0x26, n, the data, the low byte of the sum before it, ETX.
Frame Block(std::uint8_t n, const std::uint8_t* data, std::size_t size) {
  Frame f(data, data + size);
  f.insert(f.begin(), {0x02, std::uint8_t((size + 7) >> 8), std::uint8_t(size + 7), 0x26, n});
  f.push_back(std::uint8_t(std::accumulate(f.begin(), f.end(), 0u)));
  f.push_back(0x03);
  return f;
}

struct Steps : events::Progress {
  std::string calls;  // b: begin with a total of 3, s: step, e: end
  void Begin(int total) override { calls += total == 3 ? 'b' : '?'; }
  void Step() override { calls += 's'; }
  void End() override { calls += 'e'; }
};

// Frames byte for byte. No model check: the three blocks and the start are the only frames;
// the first failing frame (from 1; 0: none) ends the sequence with its own text.
TEST(EventSend, StepsThroughTheBlocksAndStopsAtTheFirstFailure) {
  const std::tuple<std::size_t, Result, const char*> cases[] = {
      {0, Result::kOk, "bssse"},           {1, Result::kTimeout, "be"},
      {2, Result::kChecksum, "bse"},       {3, Result::kNoSocket, "bsse"},
      {4, Result::kNotConnected, "bssse"},
  };
  const item::ItemRecord e = Edited("\xB0\xA1", 0x7C, 5, 9);  // 가
  const std::vector<Frame> frames = {Block(0, e.header.bytes.data(), 32),
                                     Block(1, e.body.textA.data(), 2048),
                                     Block(2, e.body.attrA.data(), 2048),
                                     {0x02, 0x00, 0x06, 0x27, 0x2F, 0x03}};
  ASSERT_TRUE(std::ranges::equal(events::EventFrames(e), frames));
  for (const auto& [failAt, result, calls] : cases) {
    SCOPED_TRACE(failAt);
    fakes::SimSignLink link;
    if (failAt) link.Fail(failAt, result);
    Steps steps;
    const events::Outcome out = events::SendEvent(link, e, &steps);
    EXPECT_EQ(std::tuple(out.result, steps.calls), std::tuple(result, calls));
    EXPECT_EQ(link.sent(),
              std::vector<Frame>(frames.begin(), frames.begin() + (failAt ? failAt : 4)));
    EXPECT_EQ(link.sign().event_running(), !failAt);
    if (failAt) {
      EXPECT_EQ(out.message, (Message{signlink::ResultText(result), "Event전송실패"}));
      continue;
    }
    EXPECT_EQ(out.message, (Message{"Event 전송완료했습니다", "Event전송완료"}));
    EXPECT_EQ(0, std::memcmp(link.sign().event_header(), e.header.bytes.data(), 32));
    EXPECT_EQ(events::CancelEvent(link).message, (Message{"이벤트모드 취소OK...", "이벤트 취소"}));
    EXPECT_EQ(link.sent().back(), (Frame{0x02, 0x00, 0x06, 0x28, 0x30, 0x03}));
    EXPECT_FALSE(link.sign().event_running());
  }
  fakes::SimSignLink link;
  link.Fail(1, Result::kSendError);
  EXPECT_EQ(events::CancelEvent(link).message, (Message{"전송 오류입니다.", "통신실패"}));
}

}  // namespace
