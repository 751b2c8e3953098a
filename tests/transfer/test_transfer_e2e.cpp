// One project of every kind downloaded to the virtual sign over TCP and over its
// pseudo-terminal, and written as a preview file: the sign's memory and the preview file
// hold the same bytes wherever the download wrote.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include "manager/link/qt/comm_control.h"
#include "manager/link/qt/sign_ctrl.h"
#include "manager/link/qt/tcp_link.h"
#include "manager/transfer/download.h"
#include "manager/transfer/preview_file.h"
#include "shared/board_memory.h"
#include "shared/cp949.h"
#include "tests/support/picture_builders.h"
#include "tests/support/signsim_process.h"
#include "tests/support/recording_link.h"

namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "transfer_e2e_tests";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
  }
}

item::ItemRecord Text(item::ItemKind kind, const std::string& a, const std::string& b = "") {
  item::ItemRecord r;
  r.header.setKind(kind);
  text::WriteTextQuarter(r.body.textA, a);
  text::WriteTextQuarter(r.body.textB, b);
  // Mixed attributes: colours and fonts change from byte to byte.
  for (std::size_t i = 0; i < r.body.attrA.size(); ++i) {
    r.body.attrA[i] = static_cast<std::uint8_t>(i * 7);
    r.body.attrB[i] = static_cast<std::uint8_t>(i * 13 + 1);
  }
  return r;
}

item::ItemRecord Picture(item::ItemKind kind, const std::string& path) {
  item::ItemRecord r;
  r.header.setKind(kind);
  text::WriteTextQuarter(r.body.textA, path);
  return r;
}

// The project, with its pictures written into `dir`. Frames it costs: 3 + 5 + 5 + (1 + 1)
// + (1 + 3) + 1 + 3 + 1 = 24, with the two checks, the count and the apply 28.
std::vector<item::ItemRecord> EveryKind(const QString& dir) {
  const std::string bmp = (dir + "/picture.bmp").toStdString();
  encode_test::WriteFile(bmp, encode_test::MakeBmp24(100, 16, [](int x, int y) {
                           return encode_test::Rgb{static_cast<std::uint8_t>(x * 2),
                                                   static_cast<std::uint8_t>(y * 16), 0};
                         }));
  const std::string gif = (dir + "/movie.gif").toStdString();
  encode_test::GifBuilder g(64, 32, {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}});
  for (int k = 0; k < 3; ++k) {
    std::vector<std::uint8_t> dots(16 * 8);
    for (std::size_t i = 0; i < dots.size(); ++i) dots[i] = static_cast<std::uint8_t>((i + k) % 4);
    g.Gce(10, 0).Image(k * 16, k * 8, 16, 8, dots);
  }
  encode_test::WriteFile(gif, g.Finish());
  return {Text(item::ItemKind::OneLine, "\xC7\xD1 line"),
          Text(item::ItemKind::TwoLine, "upper", "lower"),
          Text(item::ItemKind::TitleSentence, "title", "sentence"),
          Picture(item::ItemKind::Bitmap, bmp),
          Picture(item::ItemKind::Animation, gif),
          Text(item::ItemKind::DateTime, ""),
          Text(item::ItemKind::DDay, "D-"),
          Text(item::ItemKind::Temperature, "")};
}
constexpr int kFrames = 28;

QByteArray ReadAt(const QString& path, std::uint32_t at, std::size_t n) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly) || !f.seek(at)) return {};
  return f.read(static_cast<qint64>(n));
}

// Compares every byte the download wrote; the number of bytes compared.
std::size_t SameBytes(const std::vector<signlink::Frame>& sent, const QString& sign,
                      const QString& preview) {
  std::size_t compared = 0;
  for (const signlink::Frame& f : sent) {
    if (f[3] != signlink::kCmdMemoryWrite) continue;
    const std::uint32_t at = board::Get32(&f[4]);
    const std::size_t n = board::Get16(&f[8]);
    const QByteArray written(reinterpret_cast<const char*>(&f[10]), static_cast<qsizetype>(n));
    EXPECT_EQ(ReadAt(sign, at, n), written) << std::hex << at;
    EXPECT_EQ(ReadAt(preview, at, n), written) << std::hex << at;
    compared += n;
  }
  return compared;
}

int LoggedFrames(const QString& log) {
  const auto m = QRegularExpression(QStringLiteral("stopping after (\\d+) frames")).match(log);
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

class TransferEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    ASSERT_TRUE(dir_.isValid());
    list_ = EveryKind(dir_.path());
    preview_ = dir_.path() + "/preview.tmp";
    const transfer::PreviewReport r =
        transfer::WritePreview(preview_.toStdString(), list_, {.width = 6, .rowsCode = 1, .connection = 0});
    ASSERT_TRUE(r.written);
    ASSERT_TRUE(sim_.Start({"--rows", "1", "--width", "6"}));
  }
  template <class Link>
  void Check(Link& link) {
    const transfer::Report r = transfer::Download(link, list_, 1);
    EXPECT_EQ(r.outcome, transfer::Outcome::kDone) << transfer::MessageFor(r).text;
    EXPECT_EQ(r.steps, r.total);
    EXPECT_EQ(r.frames, kFrames);
    ASSERT_TRUE(sim_.Stop());
    EXPECT_EQ(LoggedFrames(sim_.log()), kFrames) << sim_.log().toStdString();
    EXPECT_GT(SameBytes(link.sent, sim_.memory_file(), preview_), 20000u);
    EXPECT_EQ(ReadAt(sim_.memory_file(), board::kItemCount, 2), QByteArray("\0\x08", 2));
    EXPECT_EQ(ReadAt(preview_, board::kItemCount, 2), QByteArray("\0\x08", 2));
  }
  QTemporaryDir dir_;
  std::vector<item::ItemRecord> list_;
  QString preview_;
  SignSimProcess sim_;
};

TEST_F(TransferEndToEnd, OverTcp) {
  TcpLink tcp;
  ASSERT_TRUE(tcp.Connect(QStringLiteral("127.0.0.1"), static_cast<quint16>(sim_.tcp_port())));
  transfer_test::RecordingLink link(tcp);
  Check(link);
}

TEST_F(TransferEndToEnd, OverThePseudoTerminal) {
  qputenv("BRELLION_COM7", sim_.pty_link().toUtf8());
  CCommControl comm;
  ASSERT_EQ(comm.Create(7, 57600, 0), 1);
  CSignCtrl ctrl;
  ctrl.Create();
  ctrl.Attach(&comm);
  transfer_test::RecordingLink link(ctrl);
  Check(link);
}

}  // namespace
