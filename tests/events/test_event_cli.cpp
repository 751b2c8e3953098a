// brellion-cli event and event-cancel as a user runs them, against signsim over TCP and
// its pseudo-terminal.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "manager/events/event_list.h"
#include "manager/store/work_store.h"
#include "tests/support/cli_process.h"
#include "tests/support/signsim_process.h"

namespace {

using cli_test::Cli;
using cli_test::CliRun;
using cli_test::EnsureApp;

// A project with three events "e0".."e2", entry codes 0, 1, 2.
QString Project(const QTemporaryDir& dir) {
  const QString path = dir.filePath(QStringLiteral("show.dat"));
  store::WorkStore s;
  s.SetPath(path.toStdString());
  EXPECT_EQ(s.Open(), 0);
  events::EventList list(s);
  for (int i = 0; i < 3; ++i) {
    item::ItemRecord r{};
    r.header[item::hdr::kEntry] = std::uint8_t(i);
    r.body.textA[0] = 'e';
    r.body.textA[1] = std::uint8_t('0' + i);
    EXPECT_TRUE(list.Add(r));
  }
  return path;
}

TEST(EventCli, SendsAndCancelsAndRefusesAnEmptySlot) {
  EnsureApp();
  QTemporaryDir dir;
  const QString project = Project(dir);
  SignSimProcess sim;
  ASSERT_TRUE(sim.Start({"--fault", "badsum:6"}));  // block 1 of the second send
  const QString tcp = QStringLiteral("127.0.0.1:%1").arg(sim.tcp_port());
  struct Case {
    const char* what;
    QStringList args;
    int status;
    QString message;
  };
  const Case cases[] = {
      {"event 2 over tcp", {"event", "--tcp", tcp, project, "2"}, 0,
       QStringLiteral("Event전송완료: Event 전송완료했습니다")},
      {"failing second block", {"event", "--serial", sim.pty_link(), project, "0"}, 1,
       QStringLiteral("Event전송실패: CHECK-SUM 오류입니다.")},
      {"cancel", {"event-cancel", "--serial", sim.pty_link(), project}, 0,
       QStringLiteral("이벤트 취소: 이벤트모드 취소OK...")},
      {"empty slot", {"event", "--tcp", tcp, project, "3"}, 2, QStringLiteral("is empty")},
      {"index out of range", {"event", "--tcp", tcp, project, "10"}, 2, QStringLiteral("usage:")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CliRun r = Cli(c.args);
    EXPECT_EQ(r.status, c.status) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
  }
  ASSERT_TRUE(sim.Stop());
  const QString log = sim.log();
  // Three blocks and the start, then two blocks: the failed send stopped before its last
  // block and its start, and the refused ones sent nothing.
  EXPECT_EQ(log.count("event-block"), 5) << log.toStdString();
  EXPECT_EQ(log.count("event-start"), 1);
  EXPECT_EQ(log.count("event-cancel"), 1);
  EXPECT_EQ(log.count("memory-read"), 0);  // no model check
  // The project file is only read.
  store::WorkStore s;
  s.SetPath(project.toStdString());
  ASSERT_EQ(s.Open(), 0);
  EXPECT_EQ(events::ReadEvents(s).size(), 3u);
}

}  // namespace
