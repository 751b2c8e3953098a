// brellion-cli as a process: exit statuses, messages and what reaches the sign.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include "manager/store/work_store.h"
#include "tests/support/cli_process.h"
#include "tests/support/signsim_process.h"

namespace {

using cli_test::Cli;
using cli_test::CliRun;
using cli_test::EnsureApp;

// A project whose stored link is TCP/IP to 127.0.0.1:port.
QString TcpProject(const QTemporaryDir& dir, int port) {
  const QString path = dir.filePath(QStringLiteral("sign.dat"));
  store::WorkStore s;
  s.SetPath(path.toStdString());
  EXPECT_EQ(s.Open(), 0);
  s.SetTransmit(1);
  s.SetIpAddress(0x7F000001);
  s.SetTcpPort(static_cast<std::uint16_t>(port));
  return path;
}

}  // namespace

TEST(BrellionCli, ClockOverTcpFromTheOptionOrTheProject) {
  EnsureApp();
  SignSimProcess sim;
  ASSERT_TRUE(sim.Start());
  const QString target = QStringLiteral("127.0.0.1:%1").arg(sim.tcp_port());
  QTemporaryDir dir;
  const QString project = TcpProject(dir, sim.tcp_port());

  CliRun r = Cli({"clock", "--tcp", target, project});
  EXPECT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains(QStringLiteral("시각설정 완료")));
  r = Cli({"clock", project});  // the project's stored link
  EXPECT_EQ(r.status, 0) << r.err.toStdString();

  ASSERT_TRUE(sim.Stop());
  EXPECT_EQ(sim.log().count("memory-read addr 0x020000 len 8"), 2);
  EXPECT_EQ(sim.log().count("clock-set"), 2) << sim.log().toStdString();
}

TEST(BrellionCli, FailuresOfTheSignAndOfTheCommandLine) {
  EnsureApp();
  SignSimProcess other;
  ASSERT_TRUE(other.Start({"--model", "OTHER"}));
  SignSimProcess gone;
  ASSERT_TRUE(gone.Start());
  const int deadPort = gone.tcp_port();
  gone.Stop();  // nothing listens there any more
  QTemporaryDir dir;
  const QString project = TcpProject(dir, other.tcp_port());

  struct Case {
    const char* what;
    QStringList args;
    int status;
    QString message;  // on stderr
  };
  const Case cases[] = {
      {"another model", {"clock", "--tcp", QStringLiteral("127.0.0.1:%1").arg(other.tcp_port())},
       1, QStringLiteral("전송실패: 전광판모델이 다릅니다")},
      {"no sign at the address", {"clock", "--tcp", QStringLiteral("127.0.0.1:%1").arg(deadPort)},
       1, QStringLiteral("전송실패: 전광판과의 연결상태를 확인해주세요!...")},
      {"serial device missing", {"clock", "--serial", "/nonexistent/tty", project},
       1, QStringLiteral("경고: 통신 포트를 열지 못했습니다.")},
      {"unknown option", {"clock", "--bogus"}, 2, QStringLiteral("usage:")},
      {"bad tcp target", {"clock", "--tcp", "127.0.0.1"}, 2, QStringLiteral("usage:")},
      {"two links", {"clock", "--tcp", "h:1", "--serial", "/dev/null"}, 2, QStringLiteral("usage:")},
      {"missing project", {"clock", dir.filePath("none.dat")}, 2, QStringLiteral("cannot read")},
      {"unknown command", {"flash"}, 2, QStringLiteral("usage:")},
      {"no command", {}, 2, QStringLiteral("usage:")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CliRun r = Cli(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
  }
  const CliRun help = Cli({"clock", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.contains(QStringLiteral("clock [PROJECT.dat]")));
  EXPECT_TRUE(help.err.isEmpty());

  ASSERT_TRUE(other.Stop());
  EXPECT_EQ(other.log().count("clock-set"), 0);
}
