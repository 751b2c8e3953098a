// brellion-cli send and preview: what they write and their exit statuses.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include "manager/store/work_store.h"
#include "shared/board_memory.h"
#include "shared/cp949.h"
#include "tests/support/cli_process.h"
#include "tests/support/signsim_process.h"

namespace {

using cli_test::Cli;
using cli_test::CliRun;
using cli_test::EnsureApp;

QByteArray ReadAt(const QString& path, qint64 at, qint64 n) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly) || !f.seek(at)) return {};
  return f.read(n);
}

// A project of `n` one-line items and a date/time item, 12 modules wide.
QString Project(const QTemporaryDir& dir, int n) {
  const QString path = dir.filePath(QStringLiteral("show.dat"));
  store::WorkStore s;
  s.SetPath(path.toStdString());
  EXPECT_EQ(s.Open(), 0);
  for (int i = 0; i < n; ++i) {
    item::ItemRecord r;
    r.header.setKind(i + 1 == n ? item::ItemKind::DateTime : item::ItemKind::OneLine);
    text::WriteTextQuarter(r.body.textA, "item " + std::to_string(i));
    s.AppendSlot(i, r);
  }
  s.SetWidth(12);
  s.SetHeight(1);
  s.Close();
  return path;
}

class CliTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    project_ = Project(dir_, 4);
  }
  QTemporaryDir dir_;
  QString project_;
};

TEST_F(CliTransfer, SendExitStatuses) {
  SignSimProcess sim;
  ASSERT_TRUE(sim.Start({"--rows", "1"}));
  const QString tcp = QStringLiteral("127.0.0.1:%1").arg(sim.tcp_port());
  const CliRun ok = Cli({"send", "--tcp", tcp, project_});
  EXPECT_EQ(ok.status, 0) << ok.err.toStdString();
  EXPECT_TRUE(ok.err.contains(QStringLiteral("전송 완료 했습니다")));
  const CliRun serial = Cli({"send", "--serial", sim.pty_link(), project_});
  EXPECT_EQ(serial.status, 0) << serial.err.toStdString();
  // Not a terminal: one progress line per item.
  EXPECT_EQ(serial.err.count(QStringLiteral("item ")), 4) << serial.err.toStdString();
  ASSERT_TRUE(sim.Stop());
  EXPECT_EQ(ReadAt(sim.memory_file(), board::kItemCount, 2), QByteArray("\0\x04", 2));

  SignSimProcess other;
  ASSERT_TRUE(other.Start({"--rows", "1", "--model", "OTHER"}));
  const CliRun model = Cli({"send", "--tcp", QStringLiteral("127.0.0.1:%1").arg(other.tcp_port()), project_});
  EXPECT_EQ(model.status, 1);
  EXPECT_TRUE(model.err.contains(QStringLiteral("전광판모델이 다릅니다")));

  QTcpServer closed;  // a port nobody listens on once it is closed again
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
  const quint16 port = closed.serverPort();
  closed.close();
  const CliRun nobody = Cli({"send", "--tcp", QStringLiteral("127.0.0.1:%1").arg(port), project_});
  EXPECT_EQ(nobody.status, 1);
  EXPECT_TRUE(nobody.err.contains(QStringLiteral("전광판과의 연결상태를 확인해주세요!...")));

  EXPECT_EQ(Cli({"send", "--tcp", tcp, dir_.filePath("missing.dat")}).status, 2);
  EXPECT_EQ(Cli({"send", "--tcp", tcp}).status, 2);
  EXPECT_EQ(Cli({"send", "--bogus", project_}).status, 2);
}

TEST_F(CliTransfer, PreviewWritesTheFile) {
  const QString out = dir_.filePath(QStringLiteral("p.tmp"));
  const CliRun r = Cli({"preview", project_, "--out", out});
  EXPECT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(ReadAt(out, board::kItemCount, 2), QByteArray("\0\x04", 2));
  EXPECT_EQ(ReadAt(out, board::kWidth, 2), QByteArray("\x0C\x01", 2));
  EXPECT_EQ(ReadAt(out, board::HeaderAddress(3), 1), QByteArray("\x05", 1));
  EXPECT_EQ(Cli({"preview", dir_.filePath("missing.dat"), "--out", out}).status, 2);
  EXPECT_EQ(Cli({"preview", project_, "--out"}).status, 2);
  EXPECT_EQ(Cli({"preview", project_, "--out", out, "--launch"}).status, 2);
  EXPECT_EQ(Cli({"preview", project_, "--out", dir_.filePath("no/such/p.tmp")}).status, 1);
}

}  // namespace
