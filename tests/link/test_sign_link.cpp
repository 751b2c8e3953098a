#include <gtest/gtest.h>

#include "manager/link/link_switch.h"
#include "manager/link/sign_link.h"
#include "tests/fakes/sim_sign_link.h"

using signlink::ModelCheck;
using signlink::Result;

TEST(CheckModel, ReadsTheIdentifierOnceAndComparesItAsAString) {
  struct Case {
    const char* model;
    bool unreachable;
    ModelCheck want;
  };
  const Case cases[] = {
      {"VARNO", false, ModelCheck::kRightModel},
      {"VARNOX", false, ModelCheck::kOtherModel},  // five letters then a non-zero byte
      {"VARN", false, ModelCheck::kOtherModel},
      {"", false, ModelCheck::kOtherModel},
      {"VARNO", true, ModelCheck::kUnreachable},
  };
  for (const Case& c : cases) {
    fakes::SimSignLink link;
    link.sign().Preset(c.model, -1, -1);
    if (c.unreachable) link.Fail(1, Result::kTimeout);
    EXPECT_EQ(signlink::CheckModel(link), c.want) << c.model;
    ASSERT_EQ(link.sent().size(), 1u);
    EXPECT_EQ(link.sent()[0], signlink::BuildMemoryRead(0x020000, 8));
  }
}

// Every frame goes over the link selected when it is sent, the model check included, so a
// switch between two frames of one command moves the rest of it.
TEST(LinkSwitch, ChoosesTheLinkPerFrame) {
  fakes::SimSignLink serial;
  fakes::SimSignLink tcp;
  signlink::LinkSwitch link(serial, tcp);
  EXPECT_EQ(link.transmit(), signlink::Transmit::kSerial);
  EXPECT_EQ(signlink::CheckModel(link), ModelCheck::kRightModel);
  link.SetTransmit(signlink::Transmit::kTcp);
  EXPECT_EQ(signlink::CheckModel(link), ModelCheck::kRightModel);
  tcp.Fail(2, Result::kNotConnected);
  EXPECT_EQ(link.SendAndWait(signlink::BuildApply()), Result::kNotConnected);
  link.SetTransmit(signlink::Transmit::kSerial);
  EXPECT_EQ(link.SendAndWait(signlink::BuildApply()), Result::kOk);
  EXPECT_EQ(serial.sent().size(), 2u);
  EXPECT_EQ(tcp.sent().size(), 2u);
  EXPECT_EQ(serial.sent()[1], signlink::BuildApply());
  EXPECT_EQ(signlink::TransmitFromStored(2), signlink::Transmit::kSerial);
}
