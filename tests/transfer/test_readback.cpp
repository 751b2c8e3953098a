// Reading a program back over the in-process sign: the pull, the comparison, and the check
// after a download.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "manager/link/frame.h"
#include "manager/store/work_store.h"
#include "manager/transfer/pull.h"
#include "manager/transfer/verify.h"
#include "shared/board_memory.h"
#include "shared/cp949.h"
#include "tests/fakes/sim_sign_link.h"
#include "tests/support/picture_builders.h"
#include "tests/support/test_fonts.h"

using namespace transfer;
using signlink::Result;
using Kind = item::ItemKind;
using List = std::vector<item::ItemRecord>;
namespace fs = std::filesystem;

namespace {

class ReadBackTest : public ::testing::Test {
 protected:
  const sign_test::TempDir tmp_{"readback"};
  const std::string dir_ = tmp_.path.string();
};

// A sign of the right model with two tiers.
struct Sign : fakes::SimSignLink {
  Sign() { memory()[board::kRowsCode] = 2; }
};

TEST_F(ReadBackTest, APulledProjectLeavesTheSameProgramOnABlankSign) {
  const List list = encode_test::EveryKindProgram(dir_);
  Sign a, b;
  ASSERT_EQ(Download(a, list, 2).outcome, Outcome::kDone);
  const std::uint8_t block[] = {12, 2, 1, 1, 3, 9};  // width .. night level
  std::memcpy(a.memory() + board::kWidth, block, sizeof block);
  a.memory()[board::kConnection] = 1;

  int begun = -1, steps = 0;
  const PulledProgram pulled =
      ReadSignProgram(a, {.begin = [&](int t) { begun = t; }, .step = [&](int) { ++steps; }});
  ASSERT_EQ(pulled.outcome, PullOutcome::kDone);
  EXPECT_TRUE(pulled.skipped.empty());
  EXPECT_EQ(std::pair(begun, steps), std::pair(14, 14));  // body quarters, bitmap, frames

  // A project that cannot be written leaves no picture behind.
  const std::string pictures = dir_ + "/back";
  const WriteFailure failed = WritePulledProject(pulled, {}, dir_ + "/no/back.dat", pictures);
  EXPECT_EQ(std::pair(failed.error, failed.path), std::pair(ENOENT, dir_ + "/no/back.dat"));
  EXPECT_FALSE(fs::exists(pictures));

  const std::string project = dir_ + "/back.dat";
  ASSERT_EQ(WritePulledProject(pulled, {1, 0x7F000001, 5000, 3}, project, pictures).error, 0);
  store::WorkStore s;
  s.SetPath(project);
  ASSERT_EQ(s.OpenReadOnly(), 0);
  const List back = ReadProgram(s);
  ASSERT_EQ(back.size(), list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(back[i].header, list[i].header) << i;  // byte for byte, no image address
    EXPECT_TRUE(i == 3 || i == 4 || back[i] == list[i]) << i;
  }
  EXPECT_EQ(text::ReadTextQuarter(back[4].body.textA), pictures + "/item05.gif");
  EXPECT_EQ(
      std::tuple(s.Width(), s.Height(), s.WindowMode(), s.BrightMode(), s.Levels(), s.Connection()),
      std::tuple(12, 2, 1, 1, 0x0309, 1));
  EXPECT_EQ(std::tuple(s.Transmit(), s.IpAddress(), s.TcpPort(), s.SerialPort()),
            std::tuple(1, 0x7F000001u, 5000, 3));

  ASSERT_EQ(Download(b, back, 2).outcome, Outcome::kDone);
  for (const auto& [at, n] : {std::pair{board::kItemCount, 2u},
                              {board::kItemTable, 100u * 32},
                              {board::kItemData, 100u * 8192},
                              {board::kBitmapArea, 4096u},
                              {board::kAnimationArea, 4096u}})
    EXPECT_TRUE(std::equal(a.memory() + at, a.memory() + at + n, b.memory() + at))
        << std::hex << at;
}

TEST_F(ReadBackTest, VerifyNamesEachDifferingItemByItsFirstAddress) {
  const List list = encode_test::EveryKindProgram(dir_);
  struct Case {
    const char* what;
    std::size_t itemsSent;
    std::uint32_t poke;  // 0: none
    std::vector<std::pair<int, std::uint32_t>> differences;
    bool countDiffers;
  };
  const Case cases[] = {
      {"as sent", 8, 0, {}, false},
      {"a body byte", 8, board::BodyAddress(2) + 4100, {{2, board::BodyAddress(2) + 4100}}, false},
      {"a frame byte", 8, board::kAnimationArea + 33, {{4, board::kAnimationArea + 33}}, false},
      {"fewer items", 6, 0, {{6, board::HeaderAddress(6)}, {7, board::HeaderAddress(7)}}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sign sign;
    ASSERT_EQ(Download(sign, std::span(list).first(c.itemsSent), 2).outcome, Outcome::kDone);
    if (c.poke) sign.memory()[c.poke] ^= 0x10;
    const std::size_t before = sign.sent().size();
    encode::FilePictures files;
    const VerifyReport r = Verify(sign, list, {}, {}, files);
    std::vector<std::pair<int, std::uint32_t>> seen;
    for (const ItemDifference& d : r.differences) seen.emplace_back(d.item, d.address);
    EXPECT_EQ(seen, c.differences);
    EXPECT_EQ(std::tuple(r.countDiffers, r.signCount, r.outcome),
              std::tuple(c.countDiffers, c.itemsSent,
                         seen.empty() && !c.countDiffers ? VerifyOutcome::kSame
                                                         : VerifyOutcome::kDiffers));
    for (std::size_t i = before; i < sign.sent().size(); ++i) {  // reads only, none too long
      EXPECT_EQ(sign.sent()[i][3], signlink::kCmdMemoryRead);
      EXPECT_LE(board::Get16(&sign.sent()[i][8]), board::kMaxWriteBytes);
    }
  }
}

TEST_F(ReadBackTest, DownloadWithVerifyReadsEveryStepBackAndFailsOnADifference) {
  const List list = encode_test::EveryKindProgram(dir_);
  Sign sign;
  int total = 0, steps = 0;
  const auto step = [&](int) {  // item 3's planes change once the whole list was sent
    if (++steps == total / 2) sign.memory()[board::kBitmapArea + 3] ^= 1;
  };
  const Report sent =
      Download(sign, list, 2, {.begin = [&](int t) { total = t; }, .step = step}, true);
  EXPECT_EQ(std::tuple(sent.outcome, sent.item, total), std::tuple(Outcome::kVerifyFailed, 3, 48));
  const Message m = MessageFor(sent);
  EXPECT_EQ(m.text + "|" + m.caption, "4번째 항목이 전광판과 다릅니다|전송확인실패");

  // As sent, and a read that fails after the apply command.
  Sign clean;
  EXPECT_EQ(Download(clean, list, 2, {}, true).outcome, Outcome::kDone);
  const std::size_t writes = Download(clean, list, 2).frames;
  clean.Fail(clean.sent().size() + writes + 1, Result::kTimeout);
  const Report unread = Download(clean, list, 2, {}, true);
  EXPECT_EQ(MessageFor(unread).text,
            "보낸 내용을 전광판에서 읽지 못했습니다\n시간 초과 오류입니다.");
}

TEST_F(ReadBackTest, ItemsThatCannotBeItemsAreLeftOutWholeAndNamed) {
  Sign sign;
  std::uint8_t* m = sign.memory();
  const auto header = [&](int i, Kind kind, std::uint32_t address, int frames) {
    std::uint8_t* h = m + board::HeaderAddress(i);
    h[0] = static_cast<std::uint8_t>(kind);
    board::Put16(h + item::hdr::kPictureWidth, 8);
    board::Put16(h + item::hdr::kPictureHeight, 8);
    h[item::hdr::kFrames] = static_cast<std::uint8_t>(frames);
    board::Put32(h + item::hdr::kImageAddress, address);
  };
  header(0, Kind::OneLine, 0, 0);
  m[board::BodyAddress(0)] = 'A';
  header(1, static_cast<Kind>(8), 0, 0);
  header(2, Kind::Bitmap, 0x100, 0);
  header(3, Kind::Animation, board::kAnimationArea, 0);
  header(4, Kind::OneLine, 0, 0);                          // no text
  header(5, Kind::Bitmap, board::kAnimationArea - 8, 0);   // runs into the animations
  header(6, Kind::Bitmap, board::kAnimationArea - 16, 0);  // the last that fits
  board::Put16(m + board::kItemCount, 7);

  const PulledProgram p = ReadSignProgram(sign);
  ASSERT_EQ(p.outcome, PullOutcome::kDone);
  ASSERT_EQ(p.records.size(), 2u);
  EXPECT_EQ(std::tuple(p.pictures.size(), p.pictures[0].item, p.pictures[0].signPosition),
            std::tuple(1u, 1, 6));
  // Each item left out, and why, as the message names them.
  EXPECT_EQ(MessageFor(p).text,
            "전광판에서 2개 항목을 가져왔습니다\n가져오지 못한 항목:\n"
            "2번째 항목(종류 8): 알 수 없는 종류입니다\n"
            "3번째 항목(비트맵): 그림의 주소가 그림 영역을 벗어납니다\n"
            "4번째 항목(애니메이션): 그림의 크기가 맞지 않습니다\n"
            "5번째 항목(1줄문장): 문장이 비어 있습니다\n"
            "6번째 항목(비트맵): 그림의 주소가 그림 영역을 벗어납니다");
}

TEST_F(ReadBackTest, AReadThatFailsEndsThePullAndSaysWhy) {
  // The failing request (the model check, the settings, the table, a body read), or a count
  // above 100, or a cancel before the third read.
  const std::tuple<std::size_t, std::uint16_t, int, PullOutcome, std::string> cases[] = {
      {1, 3, -1, PullOutcome::kUnreachable, "전광판과의 연결상태를 확인해주세요!...|가져오기실패"},
      {3, 3, -1, PullOutcome::kReadFailed,
       "전광판에서 읽지 못했습니다\nCHECK-SUM 오류입니다.|가져오기실패"},
      {6, 3, -1, PullOutcome::kReadFailed,
       "전광판에서 읽지 못했습니다\nCHECK-SUM 오류입니다.|가져오기실패"},
      {0, 101, -1, PullOutcome::kBadCount, "전광판의 항목 수(101)가 100을 넘습니다|가져오기실패"},
      {0, 3, 2, PullOutcome::kCancelled, "가져오기를 취소했습니다|가져오기취소"},
  };
  for (const auto& [failAt, count, cancelAt, outcome, said] : cases) {
    SCOPED_TRACE(said);
    Sign sign;
    for (int i = 0; i < 3; ++i) sign.memory()[board::BodyAddress(i)] = 'x';
    board::Put16(sign.memory() + board::kItemCount, count);
    if (failAt) sign.Fail(failAt, Result::kChecksum);
    int steps = 0;
    const int stopAt = cancelAt;  // a lambda cannot capture a structured binding here
    const PulledProgram p = ReadSignProgram(
        sign, {.step = [&](int) { ++steps; }, .cancelled = [&] { return steps == stopAt; }});
    const Message m = MessageFor(p);
    EXPECT_EQ(std::pair(p.outcome, m.text + "|" + m.caption), std::pair(outcome, said));
  }
}

}  // namespace
