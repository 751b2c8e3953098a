// brellion-cli as a process: exit statuses, messages and what reaches the sign.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include "manager/store/work_store.h"
#include "tests/support/cli_process.h"
#include "tests/support/signsim_process.h"

TEST(BrellionCli, ClockOverEitherLinkAndItsFailures) {
  cli_test::EnsureApp();
  SignSimProcess sim, other, gone;
  ASSERT_TRUE(sim.Start() && other.Start({"--model", "OTHER"}) && gone.Start());
  gone.Stop();  // nothing listens there any more
  const auto tcp = [](const SignSimProcess& s) {
    return QString("127.0.0.1:%1").arg(s.tcp_port());
  };
  // A project whose stored link is TCP/IP to the sign.
  QTemporaryDir dir;
  const QString project = dir.filePath("sign.dat");
  {
    store::WorkStore s;
    s.SetPath(project.toStdString());
    ASSERT_EQ(s.Open(), 0);
    s.SetTransmit(1);
    s.SetIpAddress(0x7F000001);
    s.SetTcpPort(static_cast<std::uint16_t>(sim.tcp_port()));
  }
  // Files that are no project: refused like the manager refuses them, before any link.
  QStringList notProjects;
  for (int size : {0, 1, 100}) {
    notProjects << dir.filePath(QString("short%1.dat").arg(size));
    QFile f(notProjects.last());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(size));
  }
  notProjects << dir.filePath("fifo.dat");
  ASSERT_EQ(::mkfifo(notProjects.last().toUtf8().constData(), 0600), 0);
  const char* kSize = "파일오픈실패: 프로젝트 파일의 크기가 맞지 않습니다";
  const struct {
    QStringList args;
    int status;
    const char* message;  // on stderr
  } cases[] = {
      {{"clock", "--tcp", tcp(sim), project}, 0, "시각설정 완료"},
      {{"clock", project}, 0, "시각설정 완료"},
      {{"clock", "--tcp", tcp(other), project}, 1, "전송실패: 전광판모델이 다릅니다"},
      {{"clock", "--tcp", tcp(gone), project}, 1, "전송실패: 전광판과의 연결상태를 확인해"},
      {{"clock", "--serial", "/nonexistent/tty", project}, 1, "경고: 통신 포트를 열지 못했습니다."},
      {{"clock", "--bogus"}, 2, "usage:"},
      {{"clock", "--tcp", "127.0.0.1"}, 2, "usage:"},
      {{"clock", "--tcp", "h:1", "--sign"}, 2, "usage:"},
      {{"clock", dir.filePath("none.dat")}, 2, "cannot read"},
      {{"clock", "--tcp", tcp(sim), notProjects[0]}, 2, kSize},
      {{"clock", "--tcp", tcp(sim), notProjects[1]}, 2, kSize},
      {{"send", "--tcp", tcp(sim), notProjects[2]}, 2, kSize},
      {{"clock", "--tcp", tcp(sim), notProjects[3]}, 2, "일반 파일이 아닙니다"},
      {{"flash"}, 2, "usage:"},
      {{}, 2, "usage:"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const cli_test::CliRun r = cli_test::Cli(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
  }
  const cli_test::CliRun help = cli_test::Cli({"clock", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.contains("clock [PROJECT.dat]") && help.err.isEmpty());
  ASSERT_TRUE(sim.Stop() && other.Stop());
  EXPECT_EQ(sim.log().count("memory-read addr 0x020000 len 8"), 2);
  EXPECT_EQ(sim.log().count("clock-set"), 2) << sim.log().toStdString();
  EXPECT_EQ(sim.log().count("memory-write"), 0);
  EXPECT_EQ(other.log().count("clock-set"), 0);
}
