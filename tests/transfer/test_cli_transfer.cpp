// brellion-cli send and preview of one project: the virtual sign's memory after the send
// and the preview file hold the same items; what each command refuses.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "manager/store/work_store.h"
#include "shared/board_memory.h"
#include "shared/cp949.h"
#include "tests/support/cli_process.h"
#include "tests/support/signsim_process.h"

namespace {

using cli_test::Cli;
using cli_test::CliRun;

QByteArray ReadAt(const QString& path, qint64 at, qint64 n) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly) || !f.seek(at)) return {};
  return f.read(n);
}

TEST(CliTransfer, SendAndPreviewWriteTheSameItems) {
  cli_test::EnsureApp();
  QTemporaryDir dir;
  const QString project = dir.filePath(QStringLiteral("show.dat"));
  {
    store::WorkStore s;  // three one-line items and a date/time item, 12 modules wide
    s.SetPath(project.toStdString());
    ASSERT_EQ(s.Open(), 0);
    for (int i = 0; i < 4; ++i) {
      item::ItemRecord r;
      r.header.setKind(i == 3 ? item::ItemKind::DateTime : item::ItemKind::OneLine);
      text::WriteTextQuarter(r.body.textA, "item " + std::to_string(i));
      r.body.attrA.fill(static_cast<std::uint8_t>(0x10 * i + 1));
      s.AppendSlot(i, r);
    }
    s.SetWidth(12);
    s.SetHeight(1);
    s.Close();
  }
  SignSimProcess sim;
  ASSERT_TRUE(sim.Start({"--rows", "1"}));
  const QString tcp = QStringLiteral("127.0.0.1:%1").arg(sim.tcp_port());
  const CliRun ok = Cli({"send", "--tcp", tcp, project});
  EXPECT_EQ(ok.status, 0) << ok.err.toStdString();
  EXPECT_TRUE(ok.err.contains(QStringLiteral("전송 완료 했습니다")));
  const CliRun serial = Cli({"send", "--serial", sim.pty_link(), project});
  EXPECT_EQ(serial.status, 0) << serial.err.toStdString();
  EXPECT_EQ(serial.err.count(QStringLiteral("item ")), 4)
      << serial.err.toStdString();  // not a terminal: a line per item
  EXPECT_EQ(Cli({"send", "--tcp", tcp}).status, 2);
  ASSERT_TRUE(sim.Stop());

  const QString out = dir.filePath(QStringLiteral("p.tmp"));
  const CliRun preview = Cli({"preview", project, "--out", out});
  EXPECT_EQ(preview.status, 0) << preview.err.toStdString();
  EXPECT_EQ(ReadAt(out, board::kWidth, 2), QByteArray("\x0C\x01", 2));
  const QString memory = sim.memory_file();
  EXPECT_EQ(ReadAt(memory, board::kItemCount, 2), QByteArray("\0\x04", 2));
  EXPECT_EQ(ReadAt(out, board::kItemCount, 2), QByteArray("\0\x04", 2));
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ReadAt(out, board::HeaderAddress(i), 32),
              ReadAt(memory, board::HeaderAddress(i), 32));
    EXPECT_EQ(ReadAt(out, board::BodyAddress(i), 4096),
              ReadAt(memory, board::BodyAddress(i), 4096));
  }
  EXPECT_EQ(ReadAt(out, board::BodyAddress(2), 6), QByteArray("item 2"));
  EXPECT_EQ(ReadAt(out, board::HeaderAddress(3), 1), QByteArray("\x05", 1));
  EXPECT_EQ(Cli({"preview", project, "--out"}).status, 2);
  EXPECT_EQ(Cli({"preview", project, "--out", out, "--launch"}).status, 2);
  EXPECT_EQ(Cli({"preview", project, "--out", dir.filePath("no/such/p.tmp")}).status, 1);
}

}  // namespace
