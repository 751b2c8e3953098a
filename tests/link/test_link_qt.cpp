// The serial and TCP links against a running signsim.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <ctime>
#include <filesystem>
#include <utility>

#include "manager/link/frame.h"
#include "manager/link/qt/comm_control.h"
#include "manager/link/qt/sign_ctrl.h"
#include "manager/link/qt/sign_links.h"
#include "manager/link/qt/tcp_link.h"
#include "tests/support/cli_process.h"
#include "tests/support/signsim_process.h"

using signlink::Frame;

namespace {

using cli_test::EnsureApp;

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
int Read(signlink::SignLink& link, const Frame& f, std::uint8_t* out) {
  return static_cast<int>(link.SendAndRead(f, out, 8));
}
const QByteArray kAck = QByteArray::fromHex("020006414903");
// Answers the next request that reaches a terminal's other side with an acknowledgement.
void AckNextRequest(QTimer& timer, int master) {
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  QObject::connect(&timer, &QTimer::timeout, [&timer, master] {
    std::uint8_t buf[64];
    if (read(master, buf, sizeof buf) > 0 && write(master, kAck.data(), 6) == 6) timer.stop();
  });
  timer.start(10);
}
Frame Twice(const Frame& a, const Frame& b) {
  Frame both = a;
  both.insert(both.end(), b.begin(), b.end());
  return both;
}

}  // namespace

// Frames: 1 unanswered, 2 in pieces, 3+4 two acks for one exchange (the second in pieces that
// come after it), 5 a read after them.
TEST(SerialLink, TimesOutWithoutSpinningPurgesLeftoversAndReportsAClosedPort) {
  EnsureApp();
  SignSimProcess sim;
  ASSERT_TRUE(sim.Start(
      {"--fault", "noreply:1", "--fault", "pieces:2", "--fault", "pieces:4", "--piece-ms", "20"}));
  // A path with a slash names a file from the working directory, not one under /dev.
  const QFileInfo link(sim.pty_link());
  const QString cwd = QDir::currentPath();
  QDir::setCurrent(link.dir().absolutePath() + "/..");
  qputenv("BRELLION_COM12", (link.dir().dirName() + "/" + link.fileName()).toUtf8());
  CCommControl comm;
  ASSERT_EQ(comm.Create(12, 57600, 0), 1);
  CSignCtrl ctrl;
  ctrl.Create();
  ctrl.Attach(&comm);
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  ticker.start(100);
  QElapsedTimer wall;
  wall.start();
  const std::clock_t cpu0 = std::clock();
  EXPECT_EQ(Send(ctrl, kApply), 1);
  EXPECT_LT(static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC, 1.0);  // it slept
  EXPECT_GE(wall.elapsed(), 5000);
  EXPECT_LT(wall.elapsed(), 6500);
  EXPECT_GE(ticks, 30);  // and kept handling its events
  EXPECT_EQ(Send(ctrl, kApply), 0);
  EXPECT_EQ(Send(ctrl, Twice(kApply, kApply)), 0);
  Pause(300);  // the second acknowledgement is in before the next exchange purges it
  std::uint8_t out[8] = {};
  ASSERT_EQ(Read(ctrl, kModel, out), 0);
  EXPECT_EQ(out[0], 'V');
  comm.ClosePort();
  EXPECT_EQ(comm.StatusText(), kNoPort);
  EXPECT_EQ(Send(ctrl, kApply), 4);
  EXPECT_TRUE(sim.Stop());
  EXPECT_TRUE(sim.log().contains("#2 pty apply -> ack, in one-byte pieces (fault)"))
      << sim.log().toStdString();
  qunsetenv("BRELLION_COM12");
  QDir::setCurrent(cwd);
}

TEST(TcpLink, NoSocketRefusedOrUnansweredConnect) {
  EnsureApp();
  TcpLink link;
  EXPECT_EQ(Send(link, kApply), 9);
  SignSimProcess sim;
  ASSERT_TRUE(sim.Start());
  sim.Stop();  // nothing listens there any more
  link.Connect("127.0.0.1", static_cast<quint16>(sim.tcp_port()));
  EXPECT_EQ(Send(link, kApply), 10);
  TcpLink silent;
  silent.Connect("192.0.2.1", 5000);  // a documentation address: nothing ever answers
  QElapsedTimer t;
  t.start();
  EXPECT_EQ(Send(silent, kApply), 10);
  EXPECT_LT(t.elapsed(), 1500);
}

// A peer that sends 64 MB nobody asked for, then answers: the idle link holds at most its
// read buffer, and the next exchange gets its acknowledgement.
TEST(TcpLink, UnsolicitedBytesAreDroppedAsTheyArrive) {
  EnsureApp();
  QTcpServer sign;
  ASSERT_TRUE(sign.listen(QHostAddress::LocalHost));
  TcpLink link;
  link.Connect("127.0.0.1", sign.serverPort());
  ASSERT_TRUE(sign.waitForNewConnection(5000));
  QTcpSocket* peer = sign.nextPendingConnection();
  peer->write(QByteArray(64 << 20, '\x02'));  // STX after STX: never a frame
  for (int i = 0; i < 500 && peer->bytesToWrite() > 0; ++i) Pause(20);
  Pause(100);
  EXPECT_EQ(peer->bytesToWrite(), 0);
  EXPECT_LE(link.socket()->bytesAvailable(), TcpLink::kReadBufferBytes);
  QObject::connect(peer, &QIODevice::readyRead, [peer] { peer->readAll(), peer->write(kAck); });
  EXPECT_EQ(Send(link, kApply), 0);
}

// Frames: 2 dropped with its connection, 3+4 in one exchange leave the model reply
// unread, 6 answered after the exchange gave up.
TEST(TcpLink, ReconnectsAndTakesNoReplyOfAnEarlierExchange) {
  EnsureApp();
  SignSimProcess sim;
  ASSERT_TRUE(sim.Start({"--fault", "drop:2", "--fault", "late:6", "--late-ms", "1300", "--width",
                         "20", "--rows", "2"}));
  TcpLink link;
  link.Connect("127.0.0.1", static_cast<quint16>(sim.tcp_port()));
  EXPECT_EQ(Send(link, kApply), 0);
  EXPECT_NE(Send(link, kApply), 0);
  EXPECT_EQ(Send(link, Twice(kApply, kModel)), 0);
  Pause(50);
  std::uint8_t out[8] = {};
  ASSERT_EQ(Read(link, kSize, out), 0);
  EXPECT_EQ(out[0], 20);  // not the 'V' of the model reply left in the socket
  out[0] = 0;
  EXPECT_NE(Read(link, kSize, out), 0);
  EXPECT_EQ(out[0], 0);
  Pause(400);
  ASSERT_EQ(Read(link, kModel, out), 0);
  EXPECT_EQ(out[0], 'V');
  ASSERT_EQ(Read(link, kSize, out), 0);
  EXPECT_EQ(out[0] * 256 + out[1], 20 * 256 + 2);
}

// A pseudo-terminal made by someone else has no modem lines and may be in any mode; the
// port must still open at 57600 8N1 and carry an exchange.
TEST(SerialPty, OpensTerminalsThatAreNotOurs) {
  EnsureApp();
  // raw: the other side set raw mode, as socat's raw option does; held: it keeps it open too.
  for (const auto& [raw, held] :
       {std::pair{false, false}, std::pair{true, false}, std::pair{true, true}}) {
    SCOPED_TRACE(std::to_string(raw) + std::to_string(held));
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const std::string path = ttyname(slave);
    termios t{};
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    if (raw) tcsetattr(slave, TCSANOW, &t);
    if (!held) close(slave);
    {
      SignLinks links;
      ASSERT_TRUE(links.OpenSerialDevice(path, 57600));
      EXPECT_EQ(links.LinkText(), "연결: COM1, 57600 bps");
      QTimer answer;
      AckNextRequest(answer, master);
      EXPECT_EQ(Send(links, kApply), 0);
    }
    if (held) close(slave);
    close(master);
  }
}

// A terminal whose other side closes hangs up like a pulled adapter: idle or in the middle
// of an exchange, the port closes at once and costs no CPU; the next exchange opens it
// again, and gives code 4 while the device is gone.
TEST(SerialPty, AHangUpClosesThePortUntilTheNextExchange) {
  EnsureApp();
  QTemporaryDir dir;
  const std::string link = dir.filePath("tty").toStdString();
  int master = -1;
  const auto plugIn = [&] {  // a terminal behind the same name
    int slave = -1;
    openpty(&master, &slave, nullptr, nullptr, nullptr);
    std::filesystem::remove(link);
    std::filesystem::create_symlink(ttyname(slave), link);
    close(slave);
  };
  plugIn();
  SignLinks links;
  int changes = 0;
  QObject::connect(&links, &SignLinks::LinkTextChanged, [&] { ++changes; });
  ASSERT_TRUE(links.OpenSerialDevice(link, 57600));
  const std::clock_t cpu = std::clock();
  close(master);
  Pause(1000);
  EXPECT_LT(std::clock() - cpu, CLOCKS_PER_SEC / 10);
  EXPECT_EQ(std::pair(links.LinkText(), changes), std::pair(kNoPort, 1));
  EXPECT_EQ(Send(links, kApply), 4);
  plugIn();
  QTimer answer;
  AckNextRequest(answer, master);
  EXPECT_EQ(Send(links, kApply), 0);
  EXPECT_EQ(std::pair(links.LinkText(), changes),
            std::pair(std::string("연결: COM1, 57600 bps"), 2));
  QTimer::singleShot(200, [&] { close(master); });
  QElapsedTimer wall;
  wall.start();
  EXPECT_EQ(Send(links, kApply), 4);
  EXPECT_LT(wall.elapsed(), 1500);
}
