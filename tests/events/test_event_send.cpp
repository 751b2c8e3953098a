// Event frames byte for byte, and the send and cancel sequences over the in-process sign.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "manager/events/event_send.h"
#include "tests/fakes/sim_sign_link.h"

using events::Message;
using signlink::Frame;
using signlink::Result;

namespace {

item::ItemRecord SampleEvent() {
  item::ItemRecord r{};
  r.header[item::hdr::kEntry] = 5;
  r.header[item::hdr::kSpeed] = 2;
  r.header[item::hdr::kHold] = 9;
  r.header[item::hdr::kExit] = 15;
  r.body.textA[0] = 0xB0;
  r.body.textA[1] = 0xA1;
  r.body.attrA[0] = r.body.attrA[1] = 0x7C;
  r.body.textB[0] = 'B';  // never sent
  return r;
}

struct Steps : events::Progress {
  std::string calls;  // b: begin with a total of 3, s: step, e: end
  void Begin(int total) override { calls += total == 3 ? 'b' : '?'; }
  void Step() override { calls += 's'; }
  void End() override { calls += 'e'; }
};

TEST(EventFrames, AreByteExact) {
  const item::ItemRecord e = SampleEvent();
  const auto frames = events::EventFrames(e);
  struct Block {
    std::size_t size;
    Frame head;
    const std::uint8_t* data;
    std::size_t n;
  };
  const Block blocks[3] = {
      {39, {0x02, 0x00, 0x27, 0x26, 0x00}, e.header.bytes.data(), 32},
      {2055, {0x02, 0x08, 0x07, 0x26, 0x01}, e.body.textA.data(), 2048},
      {2055, {0x02, 0x08, 0x07, 0x26, 0x02}, e.body.attrA.data(), 2048},
  };
  for (int b = 0; b < 3; ++b) {
    SCOPED_TRACE(b);
    const Frame& f = frames[b];
    ASSERT_EQ(f.size(), blocks[b].size);
    EXPECT_EQ(Frame(f.begin(), f.begin() + 5), blocks[b].head);
    EXPECT_EQ(Frame(f.begin() + 5, f.end() - 2),
              Frame(blocks[b].data, blocks[b].data + blocks[b].n));
    unsigned sum = 0;
    for (std::size_t i = 0; i + 2 < f.size(); ++i) sum += f[i];
    EXPECT_EQ(f[f.size() - 2], static_cast<std::uint8_t>(sum));
    EXPECT_EQ(f.back(), 0x03);
  }
  EXPECT_EQ(frames[3], (Frame{0x02, 0x00, 0x06, 0x27, 0x2F, 0x03}));
  EXPECT_EQ(events::CancelFrame(), (Frame{0x02, 0x00, 0x06, 0x28, 0x30, 0x03}));
}

// No model check: the three blocks and the start are the only frames; the first failing
// frame ends the sequence with its own text.
TEST(EventSend, StepsThroughTheBlocksAndStopsAtTheFirstFailure) {
  struct Case {
    std::size_t failAt;  // 0: none
    Result result;
    const char* steps;
  };
  const Case cases[] = {
      {0, Result::kOk, "bssse"},           {1, Result::kTimeout, "be"},
      {2, Result::kChecksum, "bse"},       {3, Result::kNoSocket, "bsse"},
      {4, Result::kNotConnected, "bssse"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failAt);
    fakes::SimSignLink link;
    if (c.failAt) link.Fail(c.failAt, c.result);
    Steps steps;
    const item::ItemRecord e = SampleEvent();
    const events::Outcome out = events::SendEvent(link, e, &steps);
    EXPECT_EQ(out.result, c.result);
    EXPECT_EQ(steps.calls, c.steps);
    const auto frames = events::EventFrames(e);
    const std::size_t sent = c.failAt ? c.failAt : 4;
    EXPECT_EQ(link.sent(), std::vector<Frame>(frames.begin(), frames.begin() + sent));
    EXPECT_EQ(link.sign().event_running(), !c.failAt);
    if (c.failAt) {
      EXPECT_EQ(out.message, (Message{signlink::ResultText(c.result), "Event전송실패"}));
      continue;
    }
    EXPECT_EQ(out.message, (Message{"Event 전송완료했습니다", "Event전송완료"}));
    EXPECT_EQ(0, std::memcmp(link.sign().event_header(), e.header.bytes.data(), 32));
    EXPECT_EQ(events::CancelEvent(link).message, (Message{"이벤트모드 취소OK...", "이벤트 취소"}));
    EXPECT_FALSE(link.sign().event_running());
  }
  fakes::SimSignLink link;
  link.Fail(1, Result::kSendError);
  EXPECT_EQ(events::CancelEvent(link).message, (Message{"전송 오류입니다.", "통신실패"}));
}

}  // namespace
