// The board settings commands over an in-process sign: every frame byte for byte, how many
// frames each command sends, where it stops, and the message it ends with.
#include <gtest/gtest.h>

#include <vector>

#include "manager/link/board_commands.h"
#include "manager/link/link_switch.h"
#include "tests/fakes/sim_sign_link.h"

using signlink::Frame;
using signlink::Outcome;
using signlink::Result;

namespace {

Frame Bytes(std::initializer_list<int> b) {
  Frame f;
  for (int v : b) f.push_back(static_cast<std::uint8_t>(v));
  return f;
}

const Frame kModelRead = Bytes({0x02, 0x00, 0x0C, 0x24, 0x00, 0x02, 0x00, 0x00, 0x00, 0x08, 0x3C, 0x03});
const Frame kApply = Bytes({0x02, 0x00, 0x06, 0x25, 0x2D, 0x03});

// A frame with its checksum and ETX appended.
Frame Framed(std::initializer_list<int> head) {
  Frame f = Bytes(head);
  f.push_back(signlink::Checksum(f.data(), f.size()));
  f.push_back(0x03);
  return f;
}

const signlink::ClockTime kNow{2011, 3, 9, 17, 5, 42};

struct Command {
  const char* name;
  std::function<Outcome(signlink::SignLink&)> run;
  std::vector<Frame> frames;  // after the model read
  const char* okText;
  const char* okCaption;
  const char* failCaption;
};

std::vector<Command> Commands() {
  return {
      {"brightness",
       [](signlink::SignLink& l) { return signlink::SendBrightness(l, 1, 3, 9); },
       {Framed({0x02, 0x00, 0x0F, 0x23, 0x00, 0x02, 0x00, 0x0B, 0x00, 0x03, 1, 3, 9})},
       "LED밝기 적용OK...",
       "OK...",
       "전송실패"},
      {"clock",
       [](signlink::SignLink& l) { return signlink::SendClock(l, [] { return kNow; }); },
       {Framed({0x02, 0x00, 0x0D, 0x21, 0x07, 0xDB, 3, 9, 17, 5, 42})},
       "시각설정 완료",
       "설정완료",
       "설정실패"},
      {"display window",
       [](signlink::SignLink& l) { return signlink::SendWindowMode(l, 1); },
       {Framed({0x02, 0x00, 0x0D, 0x23, 0x00, 0x02, 0x00, 0x0A, 0x00, 0x01, 1}), kApply},
       "표출시간설정 OK...",
       "OK...",
       "전송실패"},
      {"size 20 x 2",
       [](signlink::SignLink& l) { return signlink::SendBoardSize(l, 20, 2); },
       {Framed({0x02, 0x00, 0x0E, 0x23, 0x00, 0x02, 0x00, 0x08, 0x00, 0x02, 0x14, 0x02}), kApply},
       "규격 적용OK...",
       "OK...",
       "전송실패"},
      {"connection",
       [](signlink::SignLink& l) { return signlink::SendConnection(l, 1); },
       {Framed({0x02, 0x00, 0x0D, 0x23, 0x00, 0x02, 0x00, 0x11, 0x00, 0x01, 1}), kApply},
       "연결설정 OK...",
       "OK...",
       "전송실패"},
  };
}

}  // namespace

TEST(BoardCommands, FramesAndMessagesOnSuccess) {
  for (const Command& c : Commands()) {
    SCOPED_TRACE(c.name);
    fakes::SimSignLink link;
    const Outcome o = c.run(link);
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.text, c.okText);
    EXPECT_EQ(o.caption, c.okCaption);
    std::vector<Frame> want = {kModelRead};
    want.insert(want.end(), c.frames.begin(), c.frames.end());
    EXPECT_EQ(link.sent(), want);
  }
}

// Each frame failing in turn: the command stops there with the failure's message.
TEST(BoardCommands, StopsAtTheFirstFailure) {
  for (const Command& c : Commands()) {
    for (std::size_t n = 1; n <= 1 + c.frames.size(); ++n) {
      SCOPED_TRACE(std::string(c.name) + " failing frame " + std::to_string(n));
      fakes::SimSignLink link;
      link.Fail(n, Result::kStxError);
      const Outcome o = c.run(link);
      EXPECT_FALSE(o.ok);
      EXPECT_EQ(link.sent().size(), n);
      if (n == 1) {
        EXPECT_EQ(o.text, "전광판과의 연결상태를 확인해주세요!...");
        EXPECT_EQ(o.caption, "전송실패");
      } else {
        EXPECT_EQ(o.text, "STX 오류입니다.");
        EXPECT_EQ(o.caption, c.failCaption);
      }
    }
  }
}

TEST(BoardCommands, AnotherModelGetsNothingMore) {
  for (const char* model : {"VARNOX", "OTHER"}) {
    for (const Command& c : Commands()) {
      SCOPED_TRACE(c.name);
      fakes::SimSignLink link;
      link.sign().Preset(model, -1, -1);
      const Outcome o = c.run(link);
      EXPECT_FALSE(o.ok);
      EXPECT_EQ(o.text, "전광판모델이 다릅니다");
      EXPECT_EQ(o.caption, "전송실패");
      EXPECT_EQ(link.sent().size(), 1u);
    }
  }
}

// With TCP/IP chosen every frame of a command, the model read included, goes over TCP/IP.
TEST(BoardCommands, EveryFrameOverTheChosenLink) {
  for (const Command& c : Commands()) {
    SCOPED_TRACE(c.name);
    fakes::SimSignLink serial;
    fakes::SimSignLink tcp;
    signlink::LinkSwitch link(serial, tcp);
    link.SetTransmit(signlink::Transmit::kTcp);
    EXPECT_TRUE(c.run(link).ok);
    EXPECT_TRUE(serial.sent().empty());
    EXPECT_EQ(tcp.sent().size(), 1 + c.frames.size());
  }
}

TEST(BoardCommands, NewsSendsFlagsAsOnesWithoutAModelCheck) {
  struct Case {
    std::array<std::uint8_t, 8> stored;
    std::array<std::uint8_t, 8> sent;
  };
  const Case cases[] = {
      {{0, 0, 0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 1}},
      {{7, 0, 0xFF, 0, 0, 0, 0, 0}, {1, 0, 1, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    fakes::SimSignLink link;
    const Outcome o = signlink::SendNews(link, c.stored);
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.text, "뉴스항목설정 OK...");
    EXPECT_EQ(o.caption, "전송완료");
    ASSERT_EQ(link.sent().size(), 1u);
    Frame want = Bytes({0x02, 0x00, 0x0E, 0x29});
    want.insert(want.end(), c.sent.begin(), c.sent.end());
    want.push_back(signlink::Checksum(want.data(), want.size()));
    want.push_back(0x03);
    EXPECT_EQ(link.sent()[0], want);
  }
  fakes::SimSignLink link;
  link.Fail(1, Result::kTimeout);
  const Outcome o = signlink::SendNews(link, {});
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(o.text, "뉴스항목설정 FAIL...");
  EXPECT_EQ(o.caption, "전송실패");
}
