#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

#include "manager/link/frame.h"
#include "manager/link/link_settings.h"
#include "manager/link/link_text.h"
#include "manager/link/port_name.h"

using namespace signlink;

TEST(Frame, EveryCommandByteExact) {
  const std::vector<std::uint8_t> page(2048, 0xFF);
  const std::uint8_t three[3] = {1, 5, 7};
  const std::uint8_t flags[8] = {1, 0, 1, 0, 0, 0, 0, 1};
  const struct {
    Frame frame;
    std::size_t size;
    Frame head;
  } rows[] = {
      {BuildApply(), 6, {0x02, 0x00, 0x06, 0x25, 0x2D, 0x03}},
      {BuildEventCancel(), 6, {0x02, 0x00, 0x06, 0x28, 0x30, 0x03}},
      {BuildEventStart(), 6, {0x02, 0x00, 0x06, 0x27, 0x2F, 0x03}},
      {BuildMemoryRead(0x020000, 8), 12, {0x02, 0x00, 0x0C, 0x24, 0, 0x02, 0, 0, 0, 0x08, 0x3C, 0x03}},
      {BuildMemoryWrite(0x080000, page.data(), 2048), 2060, {0x02, 0x08, 0x0C, 0x23, 0, 0x08, 0, 0, 0x08, 0}},
      {BuildMemoryWrite(0x02000B, three, 3), 15, {0x02, 0x00, 0x0F, 0x23, 0, 0x02, 0, 0x0B, 0, 3, 1, 5, 7}},
      {BuildClockSet(2011, 12, 31, 23, 59, 58), 13, {0x02, 0x00, 0x0D, 0x21, 0x07, 0xDB, 12, 31, 23, 59, 58}},
      {BuildEventBlock(0, page.data(), 32), 39, {0x02, 0x00, 0x27, 0x26, 0}},
      {BuildEventBlock(2, page.data(), 2048), 2055, {0x02, 0x08, 0x07, 0x26, 2}},
      {BuildNews(flags), 14, {0x02, 0x00, 0x0E, 0x29, 1, 0, 1, 0, 0, 0, 0, 1}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.size);
    ASSERT_EQ(r.frame.size(), r.size);
    EXPECT_EQ(Frame(r.frame.begin(), r.frame.begin() + static_cast<long>(r.head.size())), r.head);
    EXPECT_EQ(r.frame[r.size - 2], Checksum(r.frame.data(), r.size - 2));
    EXPECT_EQ(r.frame[r.size - 1], kEtx);
  }
  EXPECT_TRUE(BuildMemoryWrite(0, page.data(), 2049).empty());
}

TEST(Frame, ResultTexts) {
  const std::pair<int, const char*> texts[] = {
      {0, "OK"}, {1, "시간 초과 오류입니다."}, {2, "CHECK-SUM 오류입니다."}, {4, "전송 오류입니다."},
      {5, "COMMAND 오류입니다."}, {6, "PASSWORD 오류입니다."}, {7, "STX 오류입니다."},
      {8, "ETX 오류입니다."}, {9, "소켓생성 오류입니다."}, {10, "서버소켓에 연결되지않은 오류입니다."},
      {3, "알 수 없는 오류코드입니다."}, {-1, "알 수 없는 오류코드입니다."}, {11, "알 수 없는 오류코드입니다."}};
  for (const auto& [code, text] : texts) EXPECT_EQ(ResultText(static_cast<Result>(code)), text);
}

TEST(LinkSettings, TextsPortsAddressesAndRepairs) {
  EXPECT_EQ(TcpLinkText(0xC0A8000A, 5000), "[IP:192.168.0.10],   [PORT:5000]");
  EXPECT_EQ(SerialLinkText(true, 12, 57600), "연결: COM12, 57600 bps");
  EXPECT_EQ(SerialLinkText(false, 12, 57600), "열린 포트가 없습니다.");
  EXPECT_EQ(WindowsPortName(4), "COM4");
  EXPECT_EQ(WindowsPortName(5), "\\\\.\\COM5");
  unsetenv("BRELLION_COM3");
  EXPECT_EQ(SerialDevicePath(3), "/dev/ttyS2");
  setenv("BRELLION_COM3", "/tmp/sign-link", 1);
  EXPECT_EQ(SerialDevicePath(3), "/tmp/sign-link");
  EXPECT_EQ(SerialDevicePath(13), "/dev/ttyS12");
  setenv("BRELLION_COM3", "", 1);
  EXPECT_EQ(SerialDevicePath(3), "/dev/ttyS2");
  unsetenv("BRELLION_COM3");

  const std::pair<const char*, std::uint32_t> ips[] = {
      {"192.168.0.10", 0xC0A8000A}, {"255.255.255.255", 0xFFFFFFFF}, {"10.1", 0x0A010000},
      {"300.0.0.1", 0x2C000001},  // 8-bit arithmetic
      {"1.2.3.4.5", 0x01020304},  // a fifth number has no byte to go to
  };
  for (const auto& [text, want] : ips) EXPECT_EQ(ParseIpAddress(text), want) << text;

  const SerialLine odd = LineForDialog({0, 9601, 6, 3, 5, 0x07});
  EXPECT_EQ(std::vector<int>({odd.port, odd.baud, odd.dataBits, odd.parity, odd.stopBits, odd.flowBits}),
            std::vector<int>({1, 1200, 7, 0, 0, 0x07}));
  const SerialLine kept = LineForDialog({20, 115200, 8, 1, 2, 0});
  EXPECT_EQ(std::vector<int>({kept.port, kept.baud, kept.parity, kept.stopBits}),
            std::vector<int>({20, 115200, 1, 2}));
  for (const auto& [w, h, wantW, wantH] : {std::array{18, 1, 20, 2}, std::array{0, 0, 2, 1},
                                           std::array{19, 2, 6, 1}, std::array{-1, -1, 6, 1}}) {
    const BoardSize b = BoardSizeFromIndices(w, h);
    EXPECT_EQ((std::pair<int, int>(b.width, b.height)), std::pair(wantW, wantH)) << w << "," << h;
  }
  EXPECT_EQ(LevelIndex(12), 9);
}
