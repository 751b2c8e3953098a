#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

#include "manager/link/frame.h"
#include "manager/link/link_settings.h"
#include "manager/link/link_text.h"
#include "manager/link/port_name.h"

using namespace signlink;

// Frames are pinned byte for byte by the commands that send them; memory writes, full pages
// included, by the downloads through the virtual sign.
TEST(Frame, MemoryWriteOfNoMoreThanAPage) {
  const std::vector<std::uint8_t> page(2049, 0xFF);
  EXPECT_TRUE(BuildMemoryWrite(0, page.data(), 2049).empty());
}

TEST(Frame, ResultTexts) {
  const std::pair<int, const char*> texts[] = {{0, "OK"},
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
                                               {11, "알 수 없는 오류코드입니다."}};
  for (const auto& [code, text] : texts) EXPECT_EQ(ResultText(static_cast<Result>(code)), text);
}

TEST(LinkSettings, PaneTextPortsAddressesAndRepairs) {
  EXPECT_EQ(TcpLinkText(0xC0A8000A, 65535), "[IP:192.168.0.10],   [PORT:65535]");
  unsetenv("BRELLION_COM3");
  EXPECT_EQ(SerialDevicePath(3), "/dev/ttyS2");
  setenv("BRELLION_COM3", "/tmp/sign-link", 1);
  EXPECT_EQ(SerialDevicePath(13), "/dev/ttyS12");
  setenv("BRELLION_COM3", "", 1);
  EXPECT_EQ(SerialDevicePath(3), "/dev/ttyS2");
  unsetenv("BRELLION_COM3");
  EXPECT_EQ(SerialOpenPath("ttyUSB0"), "/dev/ttyUSB0");  // with a slash: SerialLink tests

  const std::pair<const char*, std::uint32_t> ips[] = {
      {"192.168.0.10", 0xC0A8000A}, {"255.255.255.255", 0xFFFFFFFF},
      {"10.1", 0x0A010000},         {"300.0.0.1", 0x2C000001},  // 8-bit arithmetic
      {"1.2.3.4.5", 0x01020304},  // a fifth number has no byte to go to
  };
  for (const auto& [text, want] : ips) EXPECT_EQ(ParseIpAddress(text), want) << text;

  const SerialLine odd = LineForDialog({0, 9601, 6, 3, 5, 0x07});
  EXPECT_EQ(
      std::vector<int>({odd.port, odd.baud, odd.dataBits, odd.parity, odd.stopBits, odd.flowBits}),
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
