#include <gtest/gtest.h>

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
