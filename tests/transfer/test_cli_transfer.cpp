// brellion-cli as a user runs it against signsim, over TCP and its pseudo-terminal: event,
// event-cancel, send and preview of one project, and what each command refuses.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "manager/events/event_list.h"
#include "manager/store/work_store.h"
#include "shared/board_memory.h"
#include "shared/cp949.h"
#include "tests/support/cli_process.h"
#include "tests/transfer/cli_files.h"

namespace {

using cli_test::ReadAt;

TEST(CliTransfer, EventSendAndPreviewOfOneProject) {
  cli_test::EnsureApp();
  QTemporaryDir dir;
  const QString project = dir.filePath(QStringLiteral("show.dat"));
  {
    store::WorkStore s;  // three one-line items and a date/time item, 12 modules wide
    s.SetPath(project.toStdString());
    ASSERT_EQ(s.Open(), 0);
    events::EventList events(s);  // and the first three as events
    for (int i = 0; i < 4; ++i) {
      item::ItemRecord r;
      r.header.setKind(i == 3 ? item::ItemKind::DateTime : item::ItemKind::OneLine);
      text::WriteTextQuarter(r.body.textA, "item " + std::to_string(i));
      r.body.attrA.fill(static_cast<std::uint8_t>(0x10 * i + 1));
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
  const QString out = dir.filePath(QStringLiteral("p.tmp"));
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
      {{"preview", project, "--out", dir.filePath("no/such/p.tmp")}, 1, "미리보기실패"},
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
  const QString memory = sim.memory_file();
  EXPECT_EQ(ReadAt(memory, board::kItemCount, 2), QByteArray("\0\x04", 2));
  EXPECT_EQ(ReadAt(memory, board::BodyAddress(2), 6), QByteArray("item 2"));
  // Width, rows, four bytes the preview leaves alone, the count, one more, the connection.
  EXPECT_EQ(ReadAt(out, board::kWidth, 10), QByteArray("\x0C\x01\0\0\0\0\0\x04\0\x01", 10));
  EXPECT_EQ(ReadAt(out, board::BodyAddress(2), 6), QByteArray("item 2"));
  EXPECT_EQ(ReadAt(out, board::HeaderAddress(3), 1), QByteArray("\x05", 1));
}

}  // namespace
