// brellion-cli as a process: exit statuses, messages and what reaches the sign.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "manager/store/work_store.h"
#include "tests/support/cli_process.h"
#include "tests/support/signsim_process.h"

using cli_test::Cli;

TEST(BrellionCli, ClockOverEitherLinkAndItsFailures) {
  cli_test::EnsureApp();
  SignSimProcess sim, other, gone;
  ASSERT_TRUE(sim.Start() && other.Start({"--model", "OTHER"}) && gone.Start());
  gone.Stop();  // nothing listens there any more
  const auto tcp = [](const SignSimProcess& s) {
    return QStringLiteral("127.0.0.1:%1").arg(s.tcp_port());
  };
  // A project whose stored link is TCP/IP to the sign.
  QTemporaryDir dir;
  const QString project = dir.filePath(QStringLiteral("sign.dat"));
  {
    store::WorkStore s;
    s.SetPath(project.toStdString());
    ASSERT_EQ(s.Open(), 0);
    s.SetTransmit(1);
    s.SetIpAddress(0x7F000001);
    s.SetTcpPort(static_cast<std::uint16_t>(sim.tcp_port()));
  }
  const struct {
    const char* what;
    QStringList args;
    int status;
    QString message;  // on stderr
  } cases[] = {
      {"the option's link",
       {"clock", "--tcp", tcp(sim), project},
       0,
       QStringLiteral("시각설정 완료")},
      {"the project's stored link", {"clock", project}, 0, QStringLiteral("시각설정 완료")},
      {"another model",
       {"clock", "--tcp", tcp(other)},
       1,
       QStringLiteral("전송실패: 전광판모델이 다릅니다")},
      {"no sign at the address",
       {"clock", "--tcp", tcp(gone)},
       1,
       QStringLiteral("전송실패: 전광판과의 연결상태를 확인해주세요!...")},
      {"serial device missing",
       {"clock", "--serial", "/nonexistent/tty", project},
       1,
       QStringLiteral("경고: 통신 포트를 열지 못했습니다.")},
      {"unknown option", {"clock", "--bogus"}, 2, QStringLiteral("usage:")},
      {"bad tcp target", {"clock", "--tcp", "127.0.0.1"}, 2, QStringLiteral("usage:")},
      {"two links",
       {"clock", "--tcp", "h:1", "--serial", "/dev/null"},
       2,
       QStringLiteral("usage:")},
      {"missing project", {"clock", dir.filePath("none.dat")}, 2, QStringLiteral("cannot read")},
      {"unknown command", {"flash"}, 2, QStringLiteral("usage:")},
      {"no command", {}, 2, QStringLiteral("usage:")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const cli_test::CliRun r = Cli(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
  }
  const cli_test::CliRun help = Cli({"clock", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.contains(QStringLiteral("clock [PROJECT.dat]")) && help.err.isEmpty());
  ASSERT_TRUE(sim.Stop() && other.Stop());
  EXPECT_EQ(sim.log().count("memory-read addr 0x020000 len 8"), 2);
  EXPECT_EQ(sim.log().count("clock-set"), 2) << sim.log().toStdString();
  EXPECT_EQ(other.log().count("clock-set"), 0);
}
