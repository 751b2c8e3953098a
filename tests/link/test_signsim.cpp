// The virtual sign without sockets: request splitting, command handling, command line.
#include <gtest/gtest.h>

#include <vector>

#include "manager/link/frame.h"
#include "shared/board_memory.h"
#include "tools/signsim/options.h"
#include "tools/signsim/request_parser.h"
#include "tools/signsim/sign.h"

using namespace signsim;
using signlink::Frame;

namespace {

std::vector<ParsedFrame> FeedAll(RequestParser& p, const Frame& bytes, std::size_t step) {
  std::vector<ParsedFrame> out;
  for (std::size_t i = 0; i < bytes.size(); i += step)
    p.Feed(bytes.data() + i, std::min(step, bytes.size() - i), out);
  return out;
}

}  // namespace

TEST(RequestParser, SplitsAStreamWhateverThePieces) {
  std::vector<std::uint8_t> page(2048, 0x02);  // data full of STX bytes
  Frame stream = {0x00, 0x7F};                 // line noise first
  for (const Frame& f :
       {signlink::BuildApply(), signlink::BuildMemoryWrite(0x080000, page.data(), 2048),
        signlink::BuildMemoryRead(0x020000, 8)})
    stream.insert(stream.end(), f.begin(), f.end());
  for (std::size_t step : {1u, 7u, 4096u}) {
    RequestParser p;
    const auto frames = FeedAll(p, stream, step);
    ASSERT_EQ(frames.size(), 3u) << step;
    EXPECT_EQ(frames[0].bytes, signlink::BuildApply());
    EXPECT_EQ(frames[1].bytes.size(), 2060u);
    EXPECT_TRUE(frames[1].checksum_ok && frames[1].etx_ok);
    EXPECT_EQ(frames[2].bytes[3], 0x24);
    EXPECT_EQ(p.skipped(), 2u);
    EXPECT_FALSE(p.HasPartial());
  }
}

TEST(RequestParser, BadFramesAreReportedAndImpossibleLengthsSkipped) {
  Frame bad = signlink::BuildApply();
  bad[4] ^= 1;
  bad[5] = 0x04;
  Frame stream = {0x02, 0x00, 0x01};  // an STX whose length cannot be a frame
  stream.insert(stream.end(), bad.begin(), bad.end());
  RequestParser p;
  const auto frames = FeedAll(p, stream, 1);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_FALSE(frames[0].checksum_ok);
  EXPECT_FALSE(frames[0].etx_ok);

  const Frame apply = signlink::BuildApply();
  const Frame half(apply.begin(), apply.begin() + 4);
  EXPECT_TRUE(FeedAll(p, half, 1).empty());
  EXPECT_TRUE(p.HasPartial());
  p.Reset();
  EXPECT_EQ(FeedAll(p, signlink::BuildApply(), 2).size(), 1u);
}

TEST(Sign, MemoryWriteThenReadAndTheContractCommands) {
  std::vector<std::uint8_t> memory(board::kItemData + 0x10000);
  Sign sign(memory.data(), memory.size());
  sign.Preset("VARNO", 6, 1);
  Answer a = sign.Handle(signlink::BuildMemoryRead(board::kModelId, 10));
  ASSERT_EQ(a.reply.size(), 16u);
  EXPECT_EQ(signlink::CheckSerialReply(a.reply.data(), a.reply.size()), signlink::Result::kOk);
  EXPECT_EQ(std::vector<std::uint8_t>(a.reply.begin() + 4, a.reply.begin() + 14),
            (std::vector<std::uint8_t>{'V', 'A', 'R', 'N', 'O', 0, 0, 0, 6, 1}));

  std::vector<std::uint8_t> page(2048);
  for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(i * 7);
  a = sign.Handle(signlink::BuildMemoryWrite(board::kItemData, page.data(), page.size()));
  EXPECT_EQ(a.reply.size(), 6u);
  EXPECT_EQ(a.what, "memory-write addr 0x080000 len 2048");
  EXPECT_EQ(std::vector<std::uint8_t>(memory.begin() + board::kItemData,
                                      memory.begin() + board::kItemData + 2048),
            page);

  std::uint8_t header[32] = {1};
  const std::uint8_t flags[8] = {1, 1, 0, 0, 0, 0, 0, 1};
  for (const Frame& f :
       {signlink::BuildClockSet(2026, 12, 6, 21, 0, 0), signlink::BuildApply(),
        signlink::BuildEventBlock(0, header, 32), signlink::BuildEventBlock(1, page.data(), 2048),
        signlink::BuildEventStart(), signlink::BuildEventCancel(), signlink::BuildNews(flags)}) {
    a = sign.Handle(f);
    ASSERT_EQ(a.reply.size(), 6u) << a.what << a.problem;
    EXPECT_EQ(signlink::CheckSerialReply(a.reply.data(), 6), signlink::Result::kOk);
    EXPECT_EQ(a.reply[3], f[3]);
  }
  EXPECT_EQ(sign.news()[7], 1);
  EXPECT_EQ(sign.event_header()[0], 1);
}

TEST(Sign, RequestsItCannotActOnGetNoReply) {
  std::vector<std::uint8_t> memory(4096);
  Sign sign(memory.data(), memory.size());
  std::uint8_t data[8] = {};
  Frame lying = signlink::BuildMemoryWrite(0, data, 8);
  lying[9] = 9;  // count says 9, the frame carries 8
  for (const Frame& f :
       {signlink::BuildMemoryWrite(4090, data, 8), signlink::BuildMemoryRead(0xFFFFFFFF, 8),
        signlink::BuildMemoryRead(0, 65530), signlink::BuildFrame(0x40, nullptr, 0),
        signlink::BuildFrame(0x25, data, 1), signlink::BuildEventBlock(3, data, 8), lying})
    EXPECT_TRUE(sign.Handle(f).reply.empty()) << sign.Handle(f).what;
}

TEST(Options, CommandLine) {
  Options o;
  std::string err;
  const char* argv[] = {"signsim",    "--tcp",  "0.0.0.0:0", "--pty",  "/tmp/x",
                        "--fault",    "late:3", "--fault",   "pieces", "--fault",
                        "drop:every", "--baud", "57600"};
  ASSERT_TRUE(ParseOptions(13, argv, &o, &err)) << err;
  EXPECT_EQ(o.tcp_host, "0.0.0.0");
  EXPECT_EQ(o.tcp_port, 0);
  EXPECT_EQ(o.baud, 57600);
  EXPECT_TRUE(HasFault(o.faults, Fault::kLate, 3));
  EXPECT_FALSE(HasFault(o.faults, Fault::kLate, 4));
  EXPECT_TRUE(HasFault(o.faults, Fault::kPieces, 99));
  EXPECT_TRUE(HasFault(o.faults, Fault::kDrop, 1));
  EXPECT_FALSE(HasFault(o.faults, Fault::kNoReply, 1));

  Options d;
  ASSERT_TRUE(ParseOptions(1, argv, &d, &err));
  EXPECT_EQ(d.tcp_host, "127.0.0.1");
  EXPECT_EQ(d.tcp_port, 5000);
  for (const char* bad : {"--fault=late", "--baud", "--bogus", "--no-tcp"}) {
    Options b;
    const char* av[] = {"signsim", bad};
    EXPECT_FALSE(ParseOptions(2, av, &b, &err)) << bad;
  }
  FaultRule r{};
  EXPECT_FALSE(ParseFault("late:0", &r));
  EXPECT_FALSE(ParseFault("slow", &r));
}
