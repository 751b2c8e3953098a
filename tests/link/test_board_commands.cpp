// The board settings commands over an in-process sign: every frame byte for byte, how many
// frames each command sends, where it stops, and the message it ends with.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

#include "manager/link/board_commands.h"
#include "manager/link/link_switch.h"
#include "tests/fakes/sim_sign_link.h"

using signlink::Frame;
using signlink::Outcome;
using signlink::Result;
using signlink::SignLink;

namespace {

// A frame with its checksum and ETX appended.
Frame Framed(Frame f) {
  f.push_back(signlink::Checksum(f.data(), f.size()));
  f.push_back(0x03);
  return f;
}
const Frame kModelRead =
    Frame({0x02, 0x00, 0x0C, 0x24, 0x00, 0x02, 0x00, 0x00, 0x00, 0x08, 0x3C, 0x03});
const Frame kApply = Frame({0x02, 0x00, 0x06, 0x25, 0x2D, 0x03});

struct Command {
  const char* name;
  std::function<Outcome(SignLink&)> run;
  std::vector<Frame> frames;  // after the model read
  struct {
    const char *okText, *okCaption, *failCaption;
  } says;
};

std::vector<Command> Commands() {
  return {
      {"brightness",
       [](SignLink& l) { return signlink::SendBrightness(l, 1, 3, 9); },
       {Framed({0x02, 0x00, 0x0F, 0x23, 0x00, 0x02, 0x00, 0x0B, 0x00, 0x03, 1, 3, 9})},
       {"LED밝기 적용OK...", "OK...", "전송실패"}},
      {"clock",
       [](SignLink& l) {
         return signlink::SendClock(l, [] { return signlink::ClockTime{2011, 3, 9, 17, 5, 42}; });
       },
       {Framed({0x02, 0x00, 0x0D, 0x21, 0x07, 0xDB, 3, 9, 17, 5, 42})},
       {"시각설정 완료", "설정완료", "설정실패"}},
      {"display window",
       [](SignLink& l) { return signlink::SendWindowMode(l, 1); },
       {Framed({0x02, 0x00, 0x0D, 0x23, 0x00, 0x02, 0x00, 0x0A, 0x00, 0x01, 1}), kApply},
       {"표출시간설정 OK...", "OK...", "전송실패"}},
      {"size 20 x 2",
       [](SignLink& l) { return signlink::SendBoardSize(l, 20, 2); },
       {Framed({0x02, 0x00, 0x0E, 0x23, 0x00, 0x02, 0x00, 0x08, 0x00, 0x02, 0x14, 0x02}), kApply},
       {"규격 적용OK...", "OK...", "전송실패"}},
      {"connection",
       [](SignLink& l) { return signlink::SendConnection(l, 1); },
       {Framed({0x02, 0x00, 0x0D, 0x23, 0x00, 0x02, 0x00, 0x11, 0x00, 0x01, 1}), kApply},
       {"연결설정 OK...", "OK...", "전송실패"}},
  };
}

void ExpectOutcome(const Outcome& o, bool ok, const std::string& text, const std::string& caption) {
  EXPECT_EQ(std::tie(o.ok, o.text, o.caption), std::tie(ok, text, caption));
}

}  // namespace

// Every frame of a command, the model read included, goes over the link selected when it
// is sent.
TEST(BoardCommands, FramesAndMessagesOnSuccessOverTheChosenLink) {
  for (const Command& c : Commands()) {
    SCOPED_TRACE(c.name);
    fakes::SimSignLink serial, tcp;
    signlink::LinkSwitch link(serial, tcp);
    link.SetTransmit(signlink::Transmit::kTcp);
    ExpectOutcome(c.run(link), true, c.says.okText, c.says.okCaption);
    std::vector<Frame> want = {kModelRead};
    want.insert(want.end(), c.frames.begin(), c.frames.end());
    EXPECT_EQ(tcp.sent(), want);
    link.SetTransmit(signlink::Transmit::kSerial);
    EXPECT_TRUE(c.run(link).ok);
    EXPECT_EQ(serial.sent(), want);
  }
  EXPECT_EQ(signlink::TransmitFromStored(2), signlink::Transmit::kSerial);
}

// Each frame failing in turn, or another model answering the model read: the command stops
// there with that failure's message.
TEST(BoardCommands, StopsAtTheFirstFailureOrAnotherModel) {
  for (const Command& c : Commands()) {
    for (std::size_t n = 1; n <= 1 + c.frames.size(); ++n) {
      SCOPED_TRACE(std::string(c.name) + " failing frame " + std::to_string(n));
      fakes::SimSignLink link;
      link.Fail(n, Result::kStxError);
      if (n == 1)
        ExpectOutcome(c.run(link), false, "전광판과의 연결상태를 확인해주세요!...", "전송실패");
      else
        ExpectOutcome(c.run(link), false, "STX 오류입니다.", c.says.failCaption);
      EXPECT_EQ(link.sent().size(), n);
    }
    // The identifier is compared as a string: five letters then a non-zero byte is another.
    for (const char* model : {"VARNOX", "VARN", ""}) {
      SCOPED_TRACE(std::string(c.name) + " model " + model);
      fakes::SimSignLink link;
      link.sign().Preset(model, -1, -1);
      ExpectOutcome(c.run(link), false, "전광판모델이 다릅니다", "전송실패");
      EXPECT_EQ(link.sent().size(), 1u);
    }
  }
}

TEST(BoardCommands, NewsSendsFlagsAsOnesWithoutAModelCheck) {
  fakes::SimSignLink link;
  ExpectOutcome(signlink::SendNews(link, {7, 0, 0xFF, 0, 0, 0, 0, 9}), true, "뉴스항목설정 OK...",
                "전송완료");
  EXPECT_EQ(link.sent(),
            std::vector<Frame>{Framed({0x02, 0x00, 0x0E, 0x29, 1, 0, 1, 0, 0, 0, 0, 1})});
  link.Fail(2, Result::kTimeout);
  ExpectOutcome(signlink::SendNews(link, {}), false, "뉴스항목설정 FAIL...", "전송실패");
}
