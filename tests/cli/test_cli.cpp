// brellion-cli as a process: exit statuses, messages and what reaches the sign, also for a
// crowd of virtual signs at once: signs of the book by group and name, links on the command
// line, two over pseudo-terminals, one of another model and one address where nothing
// listens, in one command.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <array>

#include "manager/store/work_store.h"
#include "shared/board_memory.h"
#include "shared/cp949.h"
#include "tests/support/cli_process.h"
#include "tests/support/signsim_process.h"

namespace {

constexpr int kItems = 4;

// What a download leaves: the item count, the item table and the item data.
QByteArray Program(const QString& memory) {
  QFile f(memory);
  if (!f.open(QIODevice::ReadOnly) || !f.seek(board::kItemCount)) return {};
  QByteArray out = f.read(2);
  f.seek(board::kItemTable);
  return out + f.read(board::BodyAddress(kItems) - board::kItemTable);
}

QString Tcp(const SignSimProcess& s) {
  return QStringLiteral("127.0.0.1:%1").arg(s.tcp_port());
}

class BrellionCli : public testing::Test {
 protected:
  void SetUp() override {
    cli_test::EnsureApp();
    ASSERT_TRUE(dir_.isValid());
    qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toUtf8());
    store::WorkStore s;
    s.SetPath(project_.toStdString());
    ASSERT_EQ(s.Open(), 0);
    for (int i = 0; i < kItems; ++i) {
      item::ItemRecord r;
      r.header.setKind(i == 1 ? item::ItemKind::TwoLine : item::ItemKind::OneLine);
      text::WriteTextQuarter(r.body.textA, "item " + std::to_string(i));
      r.body.attrA.fill(static_cast<std::uint8_t>(0x40 + i));
      s.AppendSlot(i, r);
    }
    s.SetHeight(1);
  }
  void WriteBook(const QByteArray& text) {
    ASSERT_TRUE(QDir().mkpath(dir_.filePath("config/Brellion")));
    QFile f(dir_.filePath("config/Brellion/signs.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
  }

  QTemporaryDir dir_;
  const QString project_ = dir_.filePath("show.dat");
};

// The clock over either link, what fails there, and command lines refused before any sign.
TEST_F(BrellionCli, ClockOverEitherLinkAndRefusedCommandLines) {
  SignSimProcess sim;
  ASSERT_TRUE(sim.Start());
  // The project's stored link is TCP/IP to the sign.
  {
    store::WorkStore s;
    s.SetPath(project_.toStdString());
    ASSERT_EQ(s.Open(), 0);
    s.SetTransmit(1);
    s.SetIpAddress(0x7F000001);
    s.SetTcpPort(static_cast<std::uint16_t>(sim.tcp_port()));
  }
  // Files that are no project: refused like the manager refuses them, before any link.
  QStringList notProjects;
  for (int size : {0, 100}) {
    notProjects << dir_.filePath(QString("short%1.dat").arg(size));
    QFile f(notProjects.last());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(size));
  }
  notProjects << dir_.filePath("fifo.dat");
  ASSERT_EQ(::mkfifo(notProjects.last().toUtf8().constData(), 0600), 0);
  const char* kSize = "파일오픈실패: 프로젝트 파일의 크기가 맞지 않습니다";
  WriteBook("[sign a]\ntcp = 127.0.0.1:9\ngroups = g\n[sign b]\nserial = /dev/null\nsize = 30x1\n");
  const struct {
    QStringList args;
    int status;
    const char* message;  // on stderr
  } cases[] = {
      {{"clock", "--tcp", Tcp(sim), project_}, 0, "시각설정 완료"},
      {{"clock", project_}, 0, "시각설정 완료"},
      {{"clock", "--tcp", "127.0.0.1:1", project_}, 1, "전송실패: 전광판과의 연결상태를 확인해"},
      {{"clock", "--serial", "/none/tty", project_}, 1, "경고: 통신 포트를 열지 못했습니다."},
      {{"clock", "--tcp", "127.0.0.1"}, 2, "usage:"},
      {{"clock", "--tcp", "h:1", "--sign"}, 2, "usage:"},
      {{"clock", dir_.filePath("none.dat")}, 2, "cannot read"},
      {{"clock", "--tcp", Tcp(sim), notProjects[0]}, 2, kSize},
      {{"send", "--tcp", Tcp(sim), notProjects[1]}, 2, kSize},
      {{"clock", "--tcp", Tcp(sim), notProjects[2]}, 2, "일반 파일이 아닙니다"},
      {{"clock", "--group", "g"}, 2, "6번째 줄: size는"},
      {{"clock", "--tcp", "h:1", "--jobs", "0"}, 2, "--jobs wants"},
      {{"preview", "--sign", "a", project_}, 2, "unknown option '--sign'"},
      {{"preview", "--tcp", "h:1", "--tcp", "h:2", project_}, 2, "one link option"},
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
  WriteBook("[sign a]\ntcp = 127.0.0.1:9\ngroups = g\n");
  const cli_test::CliRun r = cli_test::Cli({"event-cancel", "--group", "h"});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.err.contains("없는 그룹입니다: h")) << r.err.toStdString();
  ASSERT_TRUE(sim.Stop());
  EXPECT_EQ(sim.log().count("clock-set"), 2) << sim.log().toStdString();
  EXPECT_EQ(sim.log().count("memory-write"), 0);
}

TEST_F(BrellionCli, OneSendToTwentyFourSigns) {
  SignSimProcess reference;
  ASSERT_TRUE(reference.Start({"--rows", "1"}));
  ASSERT_EQ(cli_test::Cli({"send", "--tcp", Tcp(reference), project_}).status, 0);
  ASSERT_TRUE(reference.Stop());
  const QByteArray single = Program(reference.memory_file());
  ASSERT_EQ(single.left(2), QByteArray("\0\x04", 2));

  std::array<SignSimProcess, 20> tcp;
  std::array<SignSimProcess, 2> serial;  // two tiers high, as the book says
  SignSimProcess other;
  for (SignSimProcess& s : tcp) ASSERT_TRUE(s.Start({"--rows", "1"}));
  for (SignSimProcess& s : serial) ASSERT_TRUE(s.Start({"--rows", "2"}));
  ASSERT_TRUE(other.Start({"--model", "OTHER", "--rows", "1"}));

  // Half the TCP signs in the book's group 매장, the two serial ones by name, the rest and
  // the two that fail (one where nothing listens) given as links.
  QByteArray book = "# 시험\n";
  for (int i = 0; i < 10; ++i)
    book +=
        QStringLiteral("[sign 매장%1]\ntcp = %2\ngroups = 매장\n").arg(i).arg(Tcp(tcp[i])).toUtf8();
  for (int i = 0; i < 2; ++i)
    book += QStringLiteral("[sign 직렬%1]\nserial = %2\nsize = 6x2\n")
                .arg(i)
                .arg(serial[i].pty_link())
                .toUtf8();
  WriteBook(book);
  QStringList args = {"send", "--group", "매장", "--sign", "직렬0", "--sign=직렬1", project_};
  for (int i = 10; i < 20; ++i) args << "--tcp" << Tcp(tcp[i]);
  args += {"--tcp", Tcp(other), "--tcp", "127.0.0.1:1", "--jobs", "16"};

  const cli_test::CliRun r = cli_test::Cli(args);
  EXPECT_EQ(r.status, 1) << r.err.toStdString();
  EXPECT_EQ(r.out.count('\n'), 24) << r.out.toStdString();
  const QString done = QStringLiteral(": 전송완료: 전송 완료 했습니다\n");
  for (int i = 0; i < 20; ++i)
    EXPECT_TRUE(r.out.contains((i < 10 ? QStringLiteral("매장%1").arg(i) : Tcp(tcp[i])) + done));
  for (const char* name : {"직렬0", "직렬1"}) EXPECT_TRUE(r.out.contains(name + done));
  EXPECT_TRUE(r.out.contains(Tcp(other) + ": 전송실패: 전광판모델이 다릅니다\n"));
  EXPECT_TRUE(r.out.contains("127.0.0.1:1: 전송실패: 전광판과의 연결상태를 확인해주세요!...\n"));
  EXPECT_TRUE(r.err.contains("전광판 24대 중 22대 성공"));

  // Read back from a sign that got it and one that did not: the blank one fails.
  SignSimProcess blank;
  ASSERT_TRUE(blank.Start({"--rows", "1"}));
  const cli_test::CliRun v =
      cli_test::Cli({"verify", "--tcp", Tcp(tcp[19]), "--tcp", Tcp(blank), project_});
  EXPECT_EQ(v.status, 1) << v.err.toStdString();
  EXPECT_TRUE(v.out.contains(Tcp(tcp[19]) + ": 확인완료: 전광판이 프로젝트와 같습니다\n"));
  EXPECT_TRUE(v.out.contains(Tcp(blank) + ": 확인완료: 전광판이 프로젝트와 다릅니다\n"));

  for (SignSimProcess& s : tcp) ASSERT_TRUE(s.Stop());
  for (SignSimProcess& s : serial) ASSERT_TRUE(s.Stop());
  for (const SignSimProcess* s : {&tcp[0], &tcp[9], &tcp[10], &tcp[19], &serial[0], &serial[1]})
    EXPECT_EQ(Program(s->memory_file()), single);
}

}  // namespace
