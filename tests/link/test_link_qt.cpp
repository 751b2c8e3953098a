// The serial and TCP links against a running signsim.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <ctime>
#include <vector>

#include "manager/link/frame.h"
#include "manager/link/qt/comm_control.h"
#include "manager/link/qt/sign_ctrl.h"
#include "manager/link/qt/sign_links.h"
#include "manager/link/qt/tcp_link.h"
#include "tests/support/signsim_process.h"

using signlink::Frame;

namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "link_qt_tests";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) {
    new QCoreApplication(argc, argv);
  }
}

void Pause(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

const std::string kNoPort = "열린 포트가 없습니다.";
const Frame kApply = signlink::BuildApply();
const Frame kModel = signlink::BuildMemoryRead(0x020000, 8);
const Frame kSize = signlink::BuildMemoryRead(0x020008, 8);

int Send(signlink::SignLink& link, const Frame& f) {
  return static_cast<int>(link.SendAndWait(f));
}
int Read(signlink::SignLink& link, const Frame& f, std::uint8_t* out, int n) {
  return static_cast<int>(link.SendAndRead(f, out, static_cast<std::size_t>(n)));
}
Frame Twice(const Frame& a, const Frame& b) {
  Frame both = a;
  both.insert(both.end(), b.begin(), b.end());
  return both;
}

class SerialLink : public ::testing::Test {
 protected:
  void SetUp() override { EnsureApp(); }
  // Starts the simulator and opens COM3 on its pseudo-terminal.
  bool Open(const QStringList& args) {
    if (!sim.Start(args)) return false;
    qputenv("BRELLION_COM3", sim.pty_link().toUtf8());
    if (comm.Create(3, 57600, 0) != 1) return false;
    ctrl.Create();
    ctrl.Attach(&comm);
    return true;
  }
  SignSimProcess sim;
  CCommControl comm;
  CSignCtrl ctrl;
};

class TcpLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureApp(); }
  bool Start(const QStringList& args = {}) {
    if (!sim.Start(args)) return false;
    link.Connect("127.0.0.1", static_cast<quint16>(sim.tcp_port()));
    return true;
  }
  SignSimProcess sim;
  TcpLink link;
};

}  // namespace

TEST_F(SerialLink, OpensThePortAndReportsAMissingOne) {
  ASSERT_TRUE(sim.Start());
  qputenv("BRELLION_COM12", sim.pty_link().toUtf8());
  ASSERT_EQ(comm.Create(12, 57600, 0), 1);
  EXPECT_EQ(comm.StatusText(), "연결: COM12, 57600 bps");
  EXPECT_EQ(comm.ring_size(), 196608u);
  ctrl.Create();
  EXPECT_EQ(ctrl.objectName(), QStringLiteral("SignCtrl Wnd"));
  ctrl.Attach(&comm);
  EXPECT_EQ(Send(ctrl, kApply), 0);
  comm.ClosePort();
  EXPECT_FALSE(comm.IsOpen());
  EXPECT_EQ(comm.StatusText(), kNoPort);
  EXPECT_EQ(Send(ctrl, kApply), 4);
  ASSERT_EQ(comm.OpenPort(), 1);
  ctrl.Attach(&comm);
  EXPECT_EQ(Send(ctrl, kApply), 0);
  qunsetenv("BRELLION_COM12");

  CCommControl missing;
  qputenv("BRELLION_COM7", "/nonexistent/brellion-serial");
  EXPECT_EQ(missing.Create(7, 57600, 0), 0);
  EXPECT_EQ(missing.StatusText(), kNoPort);
  EXPECT_EQ(missing.OpenPort(), 0);
  ctrl.Attach(&missing);
  EXPECT_EQ(Send(ctrl, kApply), 4);
  EXPECT_EQ(missing.status(), signlink::SerialRead::kPortClosed);
  qunsetenv("BRELLION_COM7");
}

TEST_F(SerialLink, RepliesInPiecesBadRepliesAndLeftovers) {
  // Frame numbers: 1 model read, 2 in pieces, 3 wrong STX, 4 wrong checksum,
  // 5+6 two acks for one exchange, 7 the next exchange, 8 a longer reply than waited for.
  ASSERT_TRUE(Open(
      {"--fault", "pieces:2", "--piece-ms", "20", "--fault", "badstx:3", "--fault", "badsum:4"}));
  std::uint8_t out[16] = {};
  ASSERT_EQ(Read(ctrl, kModel, out, 8), 0);
  EXPECT_STREQ(reinterpret_cast<char*>(out), "VARNO");
  EXPECT_EQ(Send(ctrl, kApply), 0);  // pieces
  EXPECT_EQ(Send(ctrl, kApply), 7);
  EXPECT_EQ(Send(ctrl, kApply), 2);
  EXPECT_EQ(Send(ctrl, Twice(kApply, kApply)), 0);
  // Let the second acknowledgement arrive before the next exchange purges it; on a busy
  // machine it can trail the first by more than a poll.
  Pause(300);
  EXPECT_EQ(Send(ctrl, kApply), 0);
  // Waiting for an acknowledgement, the 14-byte read reply's length field points past the
  // six bytes taken.
  EXPECT_EQ(Send(ctrl, kModel), 2);
  EXPECT_TRUE(sim.Stop());
  EXPECT_TRUE(sim.log().contains("#2 pty apply -> ack, in one-byte pieces (fault)"))
      << sim.log().toStdString();
}

TEST_F(SerialLink, NoReplyTimesOutAfterFiveSecondsWithoutSpinning) {
  ASSERT_TRUE(Open({"--fault", "noreply:1"}));
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  ticker.start(100);
  QElapsedTimer wall;
  wall.start();
  const std::clock_t cpu0 = std::clock();
  EXPECT_EQ(Send(ctrl, kApply), 1);
  const double cpu_s = static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
  EXPECT_GE(wall.elapsed(), 5000);
  EXPECT_LT(wall.elapsed(), 6500);
  EXPECT_GE(ticks, 30);   // the program kept handling its events
  EXPECT_LT(cpu_s, 1.0);  // and slept while it waited
  EXPECT_EQ(Send(ctrl, kApply), 0);
}

TEST_F(SerialLink, BaudRatePacesTheLine) {
  ASSERT_TRUE(Open({"--baud", "57600"}));
  std::vector<std::uint8_t> page(2048, 0xA5);
  QElapsedTimer t;
  t.start();
  ASSERT_EQ(Send(ctrl, signlink::BuildMemoryWrite(0x4A0000, page.data(), page.size())), 0);
  // 2066 bytes at 5760 bytes a second.
  EXPECT_GE(t.elapsed(), 350);
  EXPECT_LT(t.elapsed(), 1500);
  std::uint8_t out[8] = {};
  ASSERT_EQ(Read(ctrl, signlink::BuildMemoryRead(0x4A0000 + 2040, 8), out, 8), 0);
  EXPECT_EQ(out[7], 0xA5);
}

TEST_F(TcpLinkTest, NoSocketThenExchangesOverAFreshConnection) {
  EXPECT_FALSE(link.HasSocket());
  EXPECT_EQ(Send(link, kApply), 9);
  ASSERT_TRUE(Start({"--fault", "pieces:3", "--piece-ms", "30"}));
  std::vector<std::uint8_t> page(2048);
  for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(i ^ 0x5A);
  ASSERT_EQ(Send(link, signlink::BuildMemoryWrite(0x080000, page.data(), page.size())), 0);
  std::vector<std::uint8_t> back(2048);
  ASSERT_EQ(Read(link, signlink::BuildMemoryRead(0x080000, 2048), back.data(), 2048), 0);
  EXPECT_EQ(back, page);
  QElapsedTimer t;
  t.start();
  EXPECT_EQ(Send(link, kApply), 0);  // pieces
  EXPECT_GE(t.elapsed(), 140);
  EXPECT_LT(t.elapsed(), 1000);
  EXPECT_EQ(Send(link, kModel), 2);  // waiting for 6 bytes, the read reply announces 14

  // The board memory is a sparse 128 MiB file laid out like the preview file.
  ASSERT_TRUE(sim.Stop());
  QFile memory(sim.memory_file());
  ASSERT_TRUE(memory.open(QIODevice::ReadOnly));
  EXPECT_EQ(memory.size(), 128 * 1024 * 1024);
  ASSERT_TRUE(memory.seek(0x080000));
  EXPECT_EQ(memory.read(2048), QByteArray(reinterpret_cast<const char*>(page.data()), 2048));
  struct stat st {};
  ASSERT_EQ(stat(sim.memory_file().toLocal8Bit().constData(), &st), 0);
  EXPECT_LT(st.st_blocks * 512, 1024 * 1024);
}

TEST_F(TcpLinkTest, DroppedConnectionReconnects) {
  ASSERT_TRUE(Start({"--fault", "drop:2"}));
  EXPECT_EQ(Send(link, kApply), 0);
  const CSignSocket* first = link.socket();
  EXPECT_NE(Send(link, kApply), 0);
  EXPECT_NE(link.socket(), first);
  EXPECT_EQ(Send(link, kApply), 0);
  EXPECT_TRUE(sim.Stop());
  EXPECT_EQ(sim.log().count("tcp connection accepted"), 2);
}

TEST_F(TcpLinkTest, RefusedOrUnansweredConnectIsNotConnected) {
  ASSERT_TRUE(sim.Start());
  const quint16 port = static_cast<quint16>(sim.tcp_port());
  sim.Stop();  // nothing listens there any more
  link.Connect("127.0.0.1", port);
  EXPECT_EQ(Send(link, kApply), 10);
  EXPECT_TRUE(link.HasSocket());

  TcpLink silent;
  silent.Connect("192.0.2.1", 5000);  // a documentation address: nothing ever answers
  QElapsedTimer t;
  t.start();
  EXPECT_EQ(Send(silent, kApply), 10);
  EXPECT_LT(t.elapsed(), 1500);
}

TEST_F(TcpLinkTest, RepliesOfEarlierExchangesAreNotTaken) {
  ASSERT_TRUE(Start({"--fault", "late:4", "--late-ms", "1300", "--width", "20", "--rows", "2"}));
  const CSignSocket* socket = link.socket();
  // Frames 1 and 2 in one exchange: the model reply is left over after the ack.
  EXPECT_EQ(Send(link, Twice(kApply, kModel)), 0);
  Pause(50);
  std::uint8_t out[8] = {};
  ASSERT_EQ(Read(link, kSize, out, 8), 0);
  EXPECT_EQ(out[0], 20);  // not the 'V' of the model reply left in the socket
  EXPECT_EQ(link.socket(), socket);
  // Frame 4 is answered late, after the exchange gave up.
  out[0] = 0;
  EXPECT_NE(Read(link, kSize, out, 8), 0);
  EXPECT_EQ(out[0], 0);
  Pause(400);
  ASSERT_EQ(Read(link, kModel, out, 8), 0);
  EXPECT_EQ(out[0], 'V');
  ASSERT_EQ(Read(link, kSize, out, 8), 0);
  EXPECT_EQ(out[0], 20);
  EXPECT_EQ(out[1], 2);
}

// A pseudo-terminal made by someone else has no modem lines and may be in any mode; the
// port must still open at 57600 8N1 and carry an exchange.
TEST(SerialPty, OpensTerminalsThatAreNotOurs) {
  EnsureApp();
  struct Case {
    const char* what;
    bool raw;         // the other side set raw mode, as socat's raw option does
    bool keepSlave;   // the other side holds the terminal open too
  };
  for (const Case c : {Case{"cooked, slave closed", false, false}, Case{"raw", true, false},
                       Case{"raw, held open", true, true}}) {
    SCOPED_TRACE(c.what);
    int master = -1;
    int slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const std::string path = ttyname(slave);
    if (c.raw) {
      termios t{};
      tcgetattr(slave, &t);
      cfmakeraw(&t);
      tcsetattr(slave, TCSANOW, &t);
    }
    if (!c.keepSlave) close(slave);
    {
      SignLinks links;
      ASSERT_TRUE(links.OpenSerialDevice(path, 57600));
      EXPECT_EQ(links.LinkText(), "연결: COM1, 57600 bps");
      // Answer the request from the master side once it is there.
      QTimer answer;
      QObject::connect(&answer, &QTimer::timeout, [&] {
        std::uint8_t buf[64];
        const ssize_t n = read(master, buf, sizeof buf);
        if (n >= static_cast<ssize_t>(kApply.size())) {
          const std::uint8_t ack[] = {0x02, 0x00, 0x06, 0x41, 0x49, 0x03};
          ASSERT_EQ(write(master, ack, sizeof ack), 6);
          answer.stop();
        }
      });
      fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
      answer.start(10);
      EXPECT_EQ(Send(links, kApply), 0);
    }
    if (c.keepSlave) close(slave);
    close(master);
  }
}
