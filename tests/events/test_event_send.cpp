// Event frames byte for byte, and the send and cancel sequences over the in-process sign.
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "manager/events/event_send.h"
#include "tests/fakes/sim_sign_link.h"

using events::Message;
using signlink::Frame;
using signlink::Result;

namespace {

item::ItemRecord SampleEvent() {
  item::ItemRecord r{};
  for (auto [at, code] : {std::pair{item::hdr::kEntry, 5},
                          {item::hdr::kSpeed, 2},
                          {item::hdr::kHold, 9},
                          {item::hdr::kExit, 15}})
    r.header[at] = std::uint8_t(code);
  r.body.textA[0] = 0xB0;
  r.body.textA[1] = 0xA1;
  r.body.attrA[0] = r.body.attrA[1] = 0x7C;
  r.body.textB[0] = 'B';  // never sent
  return r;
}

// Block n: STX, length, command 0x26, n, the data, the low byte of the sum before it, ETX.
Frame Block(std::uint8_t n, const std::uint8_t* data, std::size_t size) {
  Frame f(data, data + size);
  f.insert(f.begin(), {0x02, std::uint8_t((size + 7) >> 8), std::uint8_t(size + 7), 0x26, n});
  f.push_back(std::uint8_t(std::accumulate(f.begin(), f.end(), 0u)));
  f.push_back(0x03);
  return f;
}

TEST(EventFrames, AreByteExact) {
  const item::ItemRecord e = SampleEvent();
  const auto frames = events::EventFrames(e);
  EXPECT_EQ(frames[0], Block(0, e.header.bytes.data(), 32));
  EXPECT_EQ(frames[1], Block(1, e.body.textA.data(), 2048));
  EXPECT_EQ(frames[2], Block(2, e.body.attrA.data(), 2048));
  EXPECT_EQ(frames[3], (Frame{0x02, 0x00, 0x06, 0x27, 0x2F, 0x03}));
  EXPECT_EQ(events::CancelFrame(), (Frame{0x02, 0x00, 0x06, 0x28, 0x30, 0x03}));
}

struct Steps : events::Progress {
  std::string calls;  // b: begin with a total of 3, s: step, e: end
  void Begin(int total) override { calls += total == 3 ? 'b' : '?'; }
  void Step() override { calls += 's'; }
  void End() override { calls += 'e'; }
};

// No model check: the three blocks and the start are the only frames; the first failing
// frame ends the sequence with its own text.
TEST(EventSend, StepsThroughTheBlocksAndStopsAtTheFirstFailure) {
  const std::tuple<std::size_t, Result, const char*> cases[] = {
      // failing frame (0: none)
      {0, Result::kOk, "bssse"},
      {1, Result::kTimeout, "be"},
      {2, Result::kChecksum, "bse"},
      {3, Result::kNoSocket, "bsse"},
      {4, Result::kNotConnected, "bssse"}};
  const item::ItemRecord e = SampleEvent();
  const auto frames = events::EventFrames(e);
  for (const auto& [failAt, result, calls] : cases) {
    SCOPED_TRACE(failAt);
    fakes::SimSignLink link;
    if (failAt) link.Fail(failAt, result);
    Steps steps;
    const events::Outcome out = events::SendEvent(link, e, &steps);
    EXPECT_EQ(out.result, result);
    EXPECT_EQ(steps.calls, calls);
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
    EXPECT_FALSE(link.sign().event_running());
  }
  fakes::SimSignLink link;
  link.Fail(1, Result::kSendError);
  EXPECT_EQ(events::CancelEvent(link).message, (Message{"전송 오류입니다.", "통신실패"}));
}

}  // namespace
