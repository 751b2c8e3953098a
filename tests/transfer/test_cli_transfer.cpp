// brellion-cli as a user runs it against signsim processes, over TCP and the pseudo-terminal:
// each command's exit status and lines, and what reached the sign; the core tests pin the rest.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "manager/events/event_list.h"
#include "manager/store/work_store.h"
#include "shared/board_memory.h"
#include "tests/encode/fake_pictures.h"
#include "tests/support/cli_process.h"
#include "tests/support/picture_builders.h"
#include "tests/transfer/cli_files.h"

namespace {

using cli_test::ReadAt, cli_test::Tcp, cli_test::WriteAt;

class CliTransfer : public ::testing::Test {
 protected:
  void SetUp() override { cli_test::EnsureApp(); }

  // The first `items` of the every-kind program as a project for two tiers.
  QString Project(const QString& name, std::size_t items) {
    const QString path = dir_.filePath(name);
    store::WorkStore s;
    s.SetPath(path.toStdString());
    EXPECT_EQ(s.Open(), 0);
    const auto list = encode_test::EveryKindProgram(dir_.path().toStdString());
    for (std::size_t i = 0; i < items; ++i) s.AppendSlot(static_cast<int>(i), list[i]);
    s.SetHeight(2);
    return path;
  }
  static int Run(const QString& command, const QStringList& link, const QStringList& args) {
    const cli_test::CliRun r = cli_test::Cli(QStringList{command} + link + args);
    if (r.status != 0) ADD_FAILURE() << command.toStdString() << ": " << r.err.toStdString();
    return r.status;
  }

  QTemporaryDir dir_;
};

TEST_F(CliTransfer, EventSendAndPreviewOfOneProject) {
  const QString project = dir_.filePath(QStringLiteral("show.dat"));
  {
    store::WorkStore s;  // three one-line items and a date/time item, 12 modules wide
    s.SetPath(project.toStdString());
    ASSERT_EQ(s.Open(), 0);
    events::EventList events(s);  // and the first three as events
    for (int i = 0; i < 4; ++i) {
      const item::ItemRecord r = encode_test::Item(
          i == 3 ? item::ItemKind::DateTime : item::ItemKind::OneLine, "item " + std::to_string(i));
      s.AppendSlot(i, r);
      ASSERT_TRUE(i == 3 || events.Add(r));
    }
    s.SetWidth(12);
    s.SetHeight(1);
    s.SetConnection(1);
  }
  SignSimProcess sim;
  ASSERT_TRUE(sim.Start({"--rows", "1", "--fault", "badsum:6"}));  // block 1 of the second event
  const QString tcp = QStringLiteral("127.0.0.1:%1").arg(sim.tcp_port()), pty = sim.pty_link();
  const QString out = dir_.filePath(QStringLiteral("p.tmp"));
  const std::tuple<QStringList, int, QString> cases[] = {
      {{"event", "--tcp", tcp, project, "2"}, 0, "Event전송완료: Event 전송완료했습니다"},
      {{"event", "--tcp", tcp, project, "0"}, 1, "Event전송실패: CHECK-SUM 오류입니다."},
      {{"event-cancel", "--tcp", tcp, project}, 0, "이벤트 취소: 이벤트모드 취소OK..."},
      {{"event", "--tcp", tcp, project, "3"}, 2, "is empty"},
      {{"event", "--tcp", tcp, project, "10"}, 2, "usage:"},
      {{"send", "--serial", pty, project}, 0, "전송 완료 했습니다"},
      {{"send", "--serial", pty}, 2, "usage:"},
      {{"preview", project, "--out", out}, 0, ""},
      {{"preview", project, "--out"}, 2, "usage:"},
      {{"preview", project, "--out", out, "--launch"}, 2, ""},
      {{"preview", project, "--out", dir_.filePath("no/such/p.tmp")}, 1, "미리보기실패"},
  };
  for (const auto& [args, status, message] : cases) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const cli_test::CliRun r = cli_test::Cli(args);
    EXPECT_EQ(r.status, status) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(message)) << r.err.toStdString();
    // Not a terminal: a line per item.
    EXPECT_TRUE(args[0] != "send" || status || r.err.count("item ") == 4);
  }
  ASSERT_TRUE(sim.Stop());
  const QString log = sim.log();
  // Three blocks and the start, then two blocks: the failed event stopped before its last
  // block and its start, and the refused ones sent nothing. No model check before an event.
  EXPECT_EQ(log.count("tcp event-block"), 5) << log.toStdString();
  EXPECT_EQ(log.count("tcp event-start"), 1);
  EXPECT_EQ(log.count("tcp event-cancel"), 1);
  EXPECT_EQ(log.count("tcp memory-read"), 0);
  EXPECT_EQ(ReadAt(sim.memory_file(), board::kItemCount, 2), QByteArray("\0\x04", 2));
  EXPECT_EQ(ReadAt(sim.memory_file(), board::BodyAddress(2), 6), QByteArray("item 2"));
  // Width, rows, four bytes the preview leaves alone, the count, one more, the connection.
  EXPECT_EQ(ReadAt(out, board::kWidth, 10), QByteArray("\x0C\x01\0\0\0\0\0\x04\0\x01", 10));
  EXPECT_EQ(ReadAt(out, board::BodyAddress(2), 6), QByteArray("item 2"));
}

TEST_F(CliTransfer, EveryKindGoesRoundThroughAPulledProjectOverEitherLink) {
  const QString project = Project("show.dat", 8);
  for (const bool serial : {false, true}) {
    SCOPED_TRACE(serial ? "pty" : "tcp");
    SignSimProcess a, b;
    ASSERT_TRUE(a.Start({"--rows", "2"}) && b.Start({"--rows", "2"}));
    const auto link = [&](const SignSimProcess& s) {
      return serial ? QStringList{"--serial", s.pty_link()} : Tcp(s);
    };
    const QString pulled = dir_.filePath(serial ? "pty.dat" : "tcp.dat");
    ASSERT_EQ(Run("send", link(a), {project}), 0);
    EXPECT_EQ(Run("verify", link(a), {project}), 0);
    ASSERT_EQ(Run("pull", link(a), {pulled}), 0);
    EXPECT_EQ(QDir(dir_.filePath(serial ? "pty" : "tcp")).entryList(QDir::Files),
              (QStringList{"item04.bmp", "item05.gif"}));
    ASSERT_EQ(Run("send", link(b), {pulled}), 0);
    ASSERT_TRUE(a.Stop() && b.Stop());
    // From the count to past the first frames: the table, the data, both picture areas.
    const qint64 n = board::kAnimationArea + 4096 - board::kItemCount;
    const QByteArray inA = ReadAt(a.memory_file(), board::kItemCount, n);
    EXPECT_TRUE(inA.size() == n && inA == ReadAt(b.memory_file(), board::kItemCount, n));
  }
}

TEST_F(CliTransfer, VerifyNamesTheChangedItemAndACountThatDiffers) {
  SignSimProcess sim;
  ASSERT_TRUE(sim.Start({"--rows", "2"}));
  const QString whole = Project("whole.dat", 8);
  ASSERT_EQ(Run("send", Tcp(sim), {whole}), 0);
  // The sign's memory file is the sign's memory.
  ASSERT_TRUE(WriteAt(sim.memory_file(), "#", board::BodyAddress(1) + 10));
  cli_test::CliRun r = cli_test::Cli(QStringList{"verify"} + Tcp(sim) + QStringList{whole});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "item 2 (2줄문장): differs from 0x08200A\n");
  ASSERT_EQ(Run("send", Tcp(sim), {Project("five.dat", 5)}), 0);
  r = cli_test::Cli(QStringList{"verify"} + Tcp(sim) + QStringList{whole});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "count: sign 5, project 8\n");  // items 6-8 are still in its table
  EXPECT_TRUE(r.err.contains("확인완료: 전광판이 프로젝트와 다릅니다")) << r.err.toStdString();
  ASSERT_TRUE(sim.Stop());
  const QString log = sim.log();
  EXPECT_FALSE(log.mid(log.lastIndexOf("apply")).contains("memory-write"));  // verify wrote nothing
}

TEST_F(CliTransfer, AReadThatFailsLeavesNoProjectAndNoPictures) {
  // The fourth frame is the first body read, after the model, settings and table reads.
  for (const char* fault : {"noreply:4", "badsum:4", "drop:4"}) {
    SCOPED_TRACE(fault);
    SignSimProcess sim;
    ASSERT_TRUE(WriteAt(sim.memory_file(), {"\0\3", 2}, board::kItemCount));  // 3 one-line items
    ASSERT_TRUE(sim.Start({"--fault", fault}));
    const cli_test::CliRun r =
        cli_test::Cli(QStringList{"pull"} + Tcp(sim) + QStringList{dir_.filePath("out.dat")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("가져오기실패: 전광판에서 읽지 못했습니다")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir_.filePath("out.dat")) || QFile::exists(dir_.filePath("out")));
  }
}

}  // namespace
