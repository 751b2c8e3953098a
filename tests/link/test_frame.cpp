#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "manager/link/frame.h"
#include "manager/link/link_settings.h"
#include "manager/link/link_text.h"
#include "manager/link/port_name.h"

using namespace signlink;

namespace {
Frame Bytes(std::initializer_list<int> b) {
  Frame f;
  for (int v : b) f.push_back(static_cast<std::uint8_t>(v));
  return f;
}
}  // namespace

TEST(Frame, WorkedFramesAreByteExact) {
  EXPECT_EQ(BuildApply(), Bytes({0x02, 0x00, 0x06, 0x25, 0x2D, 0x03}));
  EXPECT_EQ(BuildEventCancel(), Bytes({0x02, 0x00, 0x06, 0x28, 0x30, 0x03}));
  EXPECT_EQ(BuildMemoryRead(0x020000, 8),
            Bytes({0x02, 0x00, 0x0C, 0x24, 0x00, 0x02, 0x00, 0x00, 0x00, 0x08, 0x3C, 0x03}));
  EXPECT_EQ(BuildEventStart(), Bytes({0x02, 0x00, 0x06, 0x27, 0x2F, 0x03}));
}

TEST(Frame, LengthsOfEveryCommand) {
  std::vector<std::uint8_t> page(2048, 0xFF);
  const Frame w = BuildMemoryWrite(0x080000, page.data(), page.size());
  ASSERT_EQ(w.size(), 2060u);
  EXPECT_EQ(Frame(w.begin(), w.begin() + 10),
            Bytes({0x02, 0x08, 0x0C, 0x23, 0x00, 0x08, 0x00, 0x00, 0x08, 0x00}));
  EXPECT_EQ(w[2058], Checksum(w.data(), 2058));
  EXPECT_EQ(w[2059], 0x03);
  EXPECT_TRUE(BuildMemoryWrite(0, page.data(), 2049).empty());

  const std::uint8_t three[3] = {1, 5, 7};
  const Frame b = BuildMemoryWrite(0x02000B, three, 3);
  EXPECT_EQ(Frame(b.begin(), b.begin() + 10),
            Bytes({0x02, 0x00, 0x0F, 0x23, 0x00, 0x02, 0x00, 0x0B, 0x00, 0x03}));

  const Frame c = BuildClockSet(2011, 12, 31, 23, 59, 58);
  EXPECT_EQ(c, (Bytes({0x02, 0x00, 0x0D, 0x21, 0x07, 0xDB, 12, 31, 23, 59, 58,
                       Checksum(c.data(), 11), 0x03})));
  EXPECT_EQ(BuildEventBlock(0, page.data(), 32).size(), 39u);
  const Frame e = BuildEventBlock(2, page.data(), 2048);
  EXPECT_EQ(e.size(), 2055u);
  EXPECT_EQ(e[4], 2);
  const std::uint8_t flags[8] = {1, 0, 1, 0, 0, 0, 0, 1};
  const Frame n = BuildNews(flags);
  ASSERT_EQ(n.size(), 14u);
  EXPECT_EQ(n[3], 0x29);
  EXPECT_EQ(n[11], 1);
}

TEST(Frame, ResultTexts) {
  const std::pair<int, const char*> texts[] = {
      {0, "OK"},
      {1, "시간 초과 오류입니다."},
      {2, "CHECK-SUM 오류입니다."},
      {4, "전송 오류입니다."},
      {5, "COMMAND 오류입니다."},
      {6, "PASSWORD 오류입니다."},
      {7, "STX 오류입니다."},
      {8, "ETX 오류입니다."},
      {9, "소켓생성 오류입니다."},
      {10, "서버소켓에 연결되지않은 오류입니다."},
      {3, "알 수 없는 오류코드입니다."},
      {-1, "알 수 없는 오류코드입니다."},
      {11, "알 수 없는 오류코드입니다."},
      {100000, "알 수 없는 오류코드입니다."},
  };
  for (const auto& [code, text] : texts) EXPECT_EQ(ResultText(static_cast<Result>(code)), text);
}

TEST(LinkText, PaneTexts) {
  EXPECT_EQ(TcpLinkText(0xC0A8000A, 5000), "[IP:192.168.0.10],   [PORT:5000]");
  EXPECT_EQ(TcpLinkText(0xFFFFFFFF, 65535), "[IP:255.255.255.255],   [PORT:65535]");
  EXPECT_EQ(SerialLinkText(true, 12, 57600), "연결: COM12, 57600 bps");
  EXPECT_EQ(SerialLinkText(false, 12, 57600), "열린 포트가 없습니다.");
}

TEST(PortName, WindowsNamesAndDevices) {
  EXPECT_EQ(WindowsPortName(1), "COM1");
  EXPECT_EQ(WindowsPortName(4), "COM4");
  EXPECT_EQ(WindowsPortName(5), "\\\\.\\COM5");
  EXPECT_EQ(WindowsPortName(20), "\\\\.\\COM20");
  unsetenv("BRELLION_COM3");
  EXPECT_EQ(SerialDevicePath(1), "/dev/ttyS0");
  EXPECT_EQ(SerialDevicePath(3), "/dev/ttyS2");
  setenv("BRELLION_COM3", "/tmp/sign-link", 1);
  EXPECT_EQ(SerialDevicePath(3), "/tmp/sign-link");
  EXPECT_EQ(SerialDevicePath(13), "/dev/ttyS12");
  setenv("BRELLION_COM3", "", 1);
  EXPECT_EQ(SerialDevicePath(3), "/dev/ttyS2");
  unsetenv("BRELLION_COM3");
}

TEST(LinkSettings, AddressTextAsTheFieldIsRead) {
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"192.168.0.10", 0xC0A8000A}, {"0.0.0.0", 0},          {"255.255.255.255", 0xFFFFFFFF},
      {"10.1", 0x0A010000},         {"300.0.0.1", 0x2C000001},  // 8-bit arithmetic
      {"1.2.3.4.5", 0x01020304},    // a fifth number has no byte to go to
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(ParseIpAddress(text), want) << text;
}

TEST(LinkSettings, DialogRepairs) {
  const SerialLine odd = LineForDialog({0, 9601, 6, 3, 5, 0x07});
  EXPECT_EQ(odd.port, 1);
  EXPECT_EQ(odd.baud, 1200);
  EXPECT_EQ(odd.dataBits, 7);
  EXPECT_EQ(odd.parity, 0);
  EXPECT_EQ(odd.stopBits, 0);
  EXPECT_EQ(odd.flowBits, 0x07);
  const SerialLine kept = LineForDialog({20, 115200, 8, 1, 2, 0});
  EXPECT_EQ(kept.port, 20);
  EXPECT_EQ(kept.baud, 115200);
  EXPECT_EQ(kept.parity, 1);
  EXPECT_EQ(kept.stopBits, 2);

  struct Size {
    int w, h, wantW, wantH;
  };
  for (const Size s : {Size{18, 1, 20, 2}, Size{0, 0, 2, 1}, Size{19, 2, 6, 1}, Size{-1, -1, 6, 1}}) {
    const BoardSize b = BoardSizeFromIndices(s.w, s.h);
    EXPECT_EQ(b.width, s.wantW);
    EXPECT_EQ(b.height, s.wantH);
  }
  EXPECT_EQ(LevelIndex(12), 9);
}
