// The virtual sign without sockets: request splitting, command handling, its log.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "manager/link/frame.h"
#include "shared/board_memory.h"
#include "tools/signsim/log_file.h"
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

// What a bad start costs: the frames handed out (command byte, or 0 for one that failed
// its checks), at once and after the line goes quiet, whatever pieces the bytes come in.
TEST(RequestParser, AGoodFrameBehindABadStartIsFound) {
  const Frame apply = signlink::BuildApply();
  Frame corrupt = apply;
  corrupt[4] ^= 1;
  const std::vector<std::uint8_t> page(2048, 0x02);
  Frame noisyWrite = signlink::BuildMemoryWrite(0x080000, page.data(), 2048);
  noisyWrite.insert(noisyWrite.begin(), {0x00, 0x7F});
  const struct {
    const char* what;
    Frame before;
    std::vector<int> at_once;
    std::vector<int> once_quiet;
  } rows[] = {
      {"line noise, then data full of STX", noisyWrite, {0x23, 0x25}, {}},
      {"length below a frame", {0x02, 0x00, 0x01}, {0x25}, {}},
      {"length one beyond the largest request", {0x02, 0x08, 0x0D}, {0x25}, {}},
      {"whole, checksum fails, a frame inside", {0x02, 0x00, 0x0A, 0x25}, {0, 0x25}, {}},
      {"a corrupted frame before", corrupt, {0, 0x25}, {}},
      {"a start that never completes", {0x02, 0x00, 0x40, 0x23}, {}, {0x25}},
      // One report for a run of STX bytes, however many false starts it holds.
      {"a run of STX bytes", Frame(600, 0x02), {0}, {0x25}},
  };
  for (const auto& row : rows) {
    for (std::size_t step : {1u, 5u, 4096u}) {
      SCOPED_TRACE(std::string(row.what) + " step " + std::to_string(step));
      Frame stream = row.before;
      stream.insert(stream.end(), apply.begin(), apply.end());
      RequestParser p;
      std::vector<ParsedFrame> frames = FeedAll(p, stream, step);
      const auto commands = [&frames] {
        std::vector<int> c;
        for (const ParsedFrame& f : frames) {
          EXPECT_EQ(f.bytes.size(), (std::size_t{f.bytes[1]} << 8) | f.bytes[2]);
          c.push_back(f.checksum_ok && f.etx_ok ? f.bytes[3] : 0);
        }
        return c;
      };
      EXPECT_EQ(commands(), row.at_once);
      EXPECT_EQ(p.HasPartial(), !row.once_quiet.empty());
      frames.clear();
      p.GiveUp(frames);
      EXPECT_EQ(commands(), row.once_quiet);
      EXPECT_EQ(FeedAll(p, apply, 1).size(), 1u);  // and in step again
    }
  }
}

// The 128 MiB memory with an inaccessible page right after it: a byte touched past the
// end ends the test.
TEST(Sign, TheBoardMemoryEndsAtItsLastByte) {
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t size = board::kMemorySize;
  void* map = mmap(nullptr, size + page, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(map, MAP_FAILED);
  auto* memory = static_cast<std::uint8_t*>(map);
  ASSERT_EQ(mprotect(memory + size, page, PROT_NONE), 0);
  Sign sign(memory, size);
  const std::uint32_t end = board::kMemorySize;
  const struct {
    bool write;
    std::uint32_t addr;
    std::uint16_t count;
    bool answered;
  } rows[] = {
      {true, end - 2048, 2048, true}, {true, end - 2047, 2048, false},
      {true, end - 1, 1, true},       {true, end, 1, false},
      {true, 0xFFFFFFFF, 2, false},   {false, end - 65529, 65529, true},
      {false, end - 8, 9, false},     {false, end, 1, false},
      {false, 0xFFFFFFFF, 8, false},  {false, 0, 65530, false},  // reply longer than a frame
  };
  std::uint8_t fill = 0;
  for (const auto& row : rows) {
    const std::vector<std::uint8_t> tail(memory + size - 4096, memory + size);
    const std::vector<std::uint8_t> data(row.count, ++fill);
    const Answer a =
        sign.Handle(row.write ? signlink::BuildMemoryWrite(row.addr, data.data(), data.size())
                              : signlink::BuildMemoryRead(row.addr, row.count));
    EXPECT_EQ(!a.reply.empty(), row.answered) << a.what;
    if (!row.write && row.answered) {
      ASSERT_EQ(a.reply.size(), row.count + 6u);
      EXPECT_TRUE(std::equal(a.reply.begin() + 4, a.reply.end() - 2, memory + row.addr));
    } else if (row.answered) {
      EXPECT_TRUE(std::equal(data.begin(), data.end(), memory + row.addr)) << a.what;
    } else {
      EXPECT_TRUE(std::equal(tail.begin(), tail.end(), memory + size - 4096)) << a.what;
    }
  }
  // Requests it cannot act on get no reply and change nothing.
  std::uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  Frame lying = signlink::BuildMemoryWrite(0, data, 8);
  lying[9] = 9;  // count says 9, the frame carries 8
  for (const Frame& f :
       {signlink::BuildFrame(0x40, nullptr, 0), signlink::BuildFrame(0x25, data, 1),
        signlink::BuildEventBlock(3, data, 8), lying})
    EXPECT_TRUE(sign.Handle(f).reply.empty()) << sign.Handle(f).what;
  EXPECT_EQ(std::count(memory, memory + 4096, 0), 4096);
  munmap(map, size + page);
}

// A flood of frames cannot fill the disk: the log and its one older generation stay near
// the cap, and no line falls between them.
TEST(LogFile, RotatesAtItsCapKeepingTheNewestLines) {
  char dir[] = "/tmp/signsim-log.XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string path = std::string(dir) + "/sim.log";
  {
    LogFile log;
    ASSERT_TRUE(log.Open(path, 4096));
    for (int i = 0; i < 1000; ++i) log.Line("#%d tcp apply -> ack", i);
  }
  std::vector<std::string> now, older;
  for (auto [file, lines] : {std::pair{path, &now}, std::pair{path + ".1", &older}}) {
    std::ifstream in(file);
    for (std::string l; std::getline(in, l);) lines->push_back(l);
    EXPECT_LT(static_cast<long>(std::ifstream(file, std::ios::ate).tellg()), 4096 + 40) << file;
    std::remove(file.c_str());
  }
  rmdir(dir);
  ASSERT_FALSE(now.empty() || older.empty());
  EXPECT_EQ(now.back(), "signsim: #999 tcp apply -> ack");
  const int first = std::atoi(now.front().c_str() + std::strlen("signsim: #"));
  EXPECT_EQ(older.back(), "signsim: #" + std::to_string(first - 1) + " tcp apply -> ack");
}
