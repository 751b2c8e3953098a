// Event frames byte for byte, and the send and cancel sequences over the in-process sign.
#include <gtest/gtest.h>

#include <vector>

#include "manager/events/event_send.h"
#include "tests/fakes/sim_sign_link.h"

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
  std::vector<char> calls;  // 'b' begin (with total 3), 's' step, 'e' end
  void Begin(int total) override { calls.push_back(total == 3 ? 'b' : '?'); }
  void Step() override { calls.push_back('s'); }
  void End() override { calls.push_back('e'); }
};

std::uint8_t Sum(const Frame& f) {
  unsigned s = 0;
  for (std::size_t i = 0; i + 2 < f.size(); ++i) s += f[i];
  return static_cast<std::uint8_t>(s);
}

TEST(EventFrames, AreByteExact) {
  const item::ItemRecord e = SampleEvent();
  const auto frames = events::EventFrames(e);
  struct Block {
    std::size_t size;
    std::vector<std::uint8_t> head;
    const std::uint8_t* data;
    std::size_t n;
  };
  const Block blocks[3] = {
      {39, {0x02, 0x00, 0x27, 0x26, 0x00}, e.header.bytes.data(), 32},
      {2055, {0x02, 0x08, 0x07, 0x26, 0x01}, e.body.textA.data(), 2048},
      {2055, {0x02, 0x08, 0x07, 0x26, 0x02}, e.body.attrA.data(), 2048},
  };
  for (int b = 0; b < 3; ++b) {
    const Frame& f = frames[b];
    ASSERT_EQ(f.size(), blocks[b].size) << b;
    EXPECT_EQ(Frame(f.begin(), f.begin() + 5), blocks[b].head) << b;
    EXPECT_EQ(Frame(f.begin() + 5, f.end() - 2), Frame(blocks[b].data, blocks[b].data + blocks[b].n));
    EXPECT_EQ(f[f.size() - 2], Sum(f)) << b;
    EXPECT_EQ(f.back(), 0x03) << b;
  }
  EXPECT_EQ(frames[3], (Frame{0x02, 0x00, 0x06, 0x27, 0x2F, 0x03}));
  EXPECT_EQ(events::CancelFrame(), (Frame{0x02, 0x00, 0x06, 0x28, 0x30, 0x03}));
}

TEST(EventSend, ReachesTheSignWithThreeStepsAndNoModelCheck) {
  fakes::SimSignLink link;
  Steps steps;
  const item::ItemRecord e = SampleEvent();
  const events::Outcome out = events::SendEvent(link, e, &steps);
  EXPECT_EQ(out.result, Result::kOk);
  EXPECT_EQ(out.message, (events::Message{"Event 전송완료했습니다", "Event전송완료"}));
  EXPECT_EQ(steps.calls, (std::vector<char>{'b', 's', 's', 's', 'e'}));
  const auto frames = events::EventFrames(e);
  EXPECT_EQ(link.sent(), std::vector<Frame>(frames.begin(), frames.end()));
  EXPECT_TRUE(link.sign().event_running());
  EXPECT_EQ(0, std::memcmp(link.sign().event_header(), e.header.bytes.data(), 32));

  const events::Outcome cancel = events::CancelEvent(link);
  EXPECT_EQ(cancel.message, (events::Message{"이벤트모드 취소OK...", "이벤트 취소"}));
  EXPECT_FALSE(link.sign().event_running());
}

TEST(EventSend, FirstFailingFrameEndsTheSequence) {
  struct Case {
    std::size_t failAt;
    Result result;
    std::vector<char> steps;
  };
  const Case cases[] = {
      {1, Result::kTimeout, {'b', 'e'}},
      {2, Result::kChecksum, {'b', 's', 'e'}},
      {3, Result::kNoSocket, {'b', 's', 's', 'e'}},
      {4, Result::kNotConnected, {'b', 's', 's', 's', 'e'}},
  };
  for (const Case& c : cases) {
    fakes::SimSignLink link;
    link.Fail(c.failAt, c.result);
    Steps steps;
    const events::Outcome out = events::SendEvent(link, SampleEvent(), &steps);
    EXPECT_EQ(out.result, c.result) << c.failAt;
    EXPECT_EQ(out.message, (events::Message{signlink::ResultText(c.result), "Event전송실패"}))
        << c.failAt;
    EXPECT_EQ(link.sent().size(), c.failAt);
    EXPECT_EQ(steps.calls, c.steps) << c.failAt;
    EXPECT_FALSE(link.sign().event_running());
  }
  fakes::SimSignLink link;
  link.Fail(1, Result::kSendError);
  EXPECT_EQ(events::CancelEvent(link).message,
            (events::Message{"전송 오류입니다.", "통신실패"}));
}

}  // namespace
