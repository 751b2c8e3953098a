#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <memory>
#include <tuple>

#include "manager/editors/animation_dlg.h"
#include "manager/editors/bitmap_dlg.h"
#include "manager/editors/file_chooser.h"
#include "manager/editors/hold_time_dlg.h"
#include "manager/editors/led_preview.h"
#include "qtshared/message_box.h"
#include "shared/cp949.h"
#include "sign/led_pixels.h"
#include "tests/support/picture_builders.h"

using encode_test::Rgb;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Bmp(int w, int h, Rgb c) {
  return encode_test::MakeBmp24(w, h, [c](int, int) { return c; });
}

// Frame k is drawn in colour k % 4 of white, red, green, yellow.
Bytes Gif(int w, int h, int frames) {
  encode_test::GifBuilder b(w, h, {{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}});
  for (int k = 0; k < frames; ++k) {
    b.Gce(10, 0).Image(0, 0, w, h, Bytes(std::size_t(w * h), std::uint8_t(k % 4)));
  }
  return b.Finish();
}

std::string Cp949(const QString& s) {
  return *text::Utf8ToCp949(s.toStdString());
}

std::unique_ptr<CTextItemDlg> Open(item::ItemKind kind) {
  if (kind == item::ItemKind::Bitmap) return std::make_unique<CBitmapDlg>();
  if (kind == item::ItemKind::Animation) return std::make_unique<CAnimationDlg>();
  return std::make_unique<CHoldTimeDlg>(kind == item::ItemKind::Temperature);
}

const PictureControls& Controls(CTextItemDlg& d) {
  if (auto* b = dynamic_cast<CBitmapDlg*>(&d)) return b->controls();
  return static_cast<CAnimationDlg&>(d).controls();
}

}  // namespace

class TestPictureEditors : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    SetFileChooser([this](const FileRequest&) { return chosen_; });  // empty: cancelled
  }
  void headerBytesAndModifyRoundTrip();
  void refusalsClearTheChoice();
  void reopenedItems();
  void previewsShowTheSignsDots();

 private:
  QString write(const QString& name, const Bytes& bytes) {
    const QString path = dir_.filePath(name);
    encode_test::WriteFile(path.toStdString(), bytes);
    return path;
  }
  QTemporaryDir dir_;
  QString chosen_;
};

void TestPictureEditors::headerBytesAndModifyRoundTrip() {
  const QString bmp = write(QStringLiteral("그림.bmp"), Bmp(400, 32, {255, 0, 0}));
  const QString gif = write(QStringLiteral("움직임.gif"), Gif(96, 32, 12));
  using K = item::ItemKind;
  const struct {
    K kind;
    QString file;                                  // quarter A; the rest of the body is 0
    std::vector<std::pair<const char*, int>> set;  // lists by code, start and end in minutes
    std::vector<std::pair<int, int>> bytes;        // every other header byte is 0
  } rows[] = {
      {K::DateTime, {}, {}, {{0, 5}, {3, 2}}},
      {K::Temperature,
       {},
       {{"hold", 9}, {"start", 510}, {"end", 1080}},
       {{0, 7}, {3, 9}, {25, 8}, {26, 0x1E}, {27, 0x12}, {28, 0}}},
      {K::Bitmap,
       bmp,
       {{"mode", 1}, {"speed", 2}, {"hold", 4}},
       {{0, 3}, {1, 1}, {2, 2}, {3, 4}, {16, 0x01}, {17, 0x90}, {18, 0}, {19, 0x20}}},
      {K::Animation,
       gif,
       {{"start", 1439}, {"end", 1}},
       {{0, 4}, {17, 0x60}, {19, 0x20}, {20, 0x0C}, {25, 23}, {26, 59}, {28, 1}}},
  };
  MessageRecorder boxes;
  for (const auto& r : rows) {
    auto d = Open(r.kind);
    if (!r.file.isEmpty()) {
      chosen_ = r.file;
      Controls(*d).open->click();
    }
    for (auto [name, v] : r.set) {
      if (auto* t = d->findChild<QTimeEdit*>(name))
        t->setTime(QTime(v / 60, v % 60));
      else
        d->findChild<QComboBox*>(name)->setCurrentIndex(v);
    }
    d->accept();
    QCOMPARE(d->result(), int(QDialog::Accepted));
    item::ItemRecord expected;
    for (auto [at, v] : r.bytes) expected.header[at] = std::uint8_t(v);
    if (!r.file.isEmpty()) text::WriteTextQuarter(expected.body.textA, Cp949(r.file));
    QVERIFY2(d->header() == expected.header && d->body() == expected.body,
             qPrintable(d->windowTitle()));
    // Modify and OK without touching anything: the same record.
    auto again = Open(r.kind);
    again->setModify(d->header(), d->body());
    again->accept();
    QVERIFY2(
        again->isModify() && again->header() == expected.header && again->body() == expected.body,
        qPrintable(d->windowTitle()));
  }
  QVERIFY(boxes.messages().isEmpty());
}

// A refused file clears the choice made before; OK then adds nothing. A cancelled file
// dialog keeps it.
void TestPictureEditors::refusalsClearTheChoice() {
  const QString arabic = QString::fromUtf8("\u0628");
  const std::tuple<bool, QString, Bytes, const char*> rows[] = {
      {true, "wide.bmp", Bmp(801, 1, {}), "가로사이즈 초과"},
      {true, arabic + ".bmp", Bmp(8, 8, {}), "경로 오류"},
      {false, "picture.gif", Bmp(8, 8, {}), "파일오픈실패"},
  };
  for (const auto& [bitmap, name, bytes, caption] : rows) {
    MessageRecorder boxes;
    auto d = Open(bitmap ? item::ItemKind::Bitmap : item::ItemKind::Animation);
    const PictureControls& c = Controls(*d);
    chosen_ = bitmap ? write("good.bmp", Bmp(16, 16, {})) : write("good.gif", Gif(16, 16, 2));
    c.open->click();
    chosen_ = {};
    c.open->click();  // cancelled
    QVERIFY(!c.fileName->text().isEmpty());
    QVERIFY(c.preview->planes().width > 0);
    chosen_ = write(name, bytes);
    c.open->click();
    QCOMPARE(boxes.messages().size(), qsizetype(1));
    QCOMPARE(boxes.messages()[0].caption, QString::fromUtf8(caption));
    QVERIFY2(c.fileName->text().isEmpty(), qPrintable(name));
    QCOMPARE(c.preview->planes().width, 0);
    if (!bitmap) QVERIFY(!static_cast<CAnimationDlg*>(d.get())->isPlaying());
    d->accept();
    QVERIFY2(d->body() == item::ItemBody{}, qPrintable(name));
  }
}

// A stored bitmap is reread with a width limit of 500; a refusal keeps the stored item.
// A stored animation that no longer loads loses its path, so OK changes nothing.
void TestPictureEditors::reopenedItems() {
  const std::tuple<QString, Bytes, const char*> bitmaps[] = {
      {"reopened_ok.bmp", Bmp(500, 160, {0, 255, 0}), nullptr},
      {"reopened_wide.bmp", Bmp(640, 32, {}), "그림의 가로크기는 최대 500 입니다"},
      {"reopened_gone.bmp", {}, "bmp파일이 아닙니다."},
  };
  for (const auto& [file, bytes, text] : bitmaps) {
    const QString path = bytes.empty() ? dir_.filePath(file) : write(file, bytes);
    const item::ItemRecord stored =
        editors::BuildBitmapItem({1, 3, 7, 640, 32, Cp949(path), {60, 120}});
    MessageRecorder boxes;
    CBitmapDlg d;
    d.setModify(stored.header, stored.body);
    QCOMPARE(boxes.messages().size(), qsizetype(text ? 1 : 0));
    if (text) QCOMPARE(boxes.messages()[0].text, QString::fromUtf8(text));
    QCOMPARE(d.controls().fileName->text(), file);
    QCOMPARE(d.controls().preview->planes().width, text ? 0 : 500);
    d.accept();
    item::ItemHeader expected = stored.header;
    if (!text) {  // the size is read again from the file
      expected.set16(item::hdr::kPictureWidth, 500);
      expected.set16(item::hdr::kPictureHeight, 160);
    }
    QVERIFY2(d.header() == expected && d.body() == stored.body, qPrintable(file));
  }
  const item::ItemRecord gone =
      editors::BuildAnimationItem({1, 96, 32, 12, Cp949(dir_.filePath("vanished.gif")), {}});
  MessageRecorder boxes;
  CAnimationDlg a;
  a.setModify(gone.header, gone.body);
  QCOMPARE(boxes.messages().size(), qsizetype(1));
  QVERIFY(!a.isPlaying());
  a.accept();
  QVERIFY(a.body() == item::ItemBody{});
}

void TestPictureEditors::previewsShowTheSignsDots() {
  // White, red, green and yellow bands: white lights both planes in a BMP.
  const Rgb bands[] = {{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}};
  chosen_ =
      write("띠.bmp", encode_test::MakeBmp24(64, 16, [&](int x, int) { return bands[x / 16]; }));
  CBitmapDlg b;
  b.controls().open->click();
  b.show();
  const QImage dots = b.controls().preview->grab().toImage();
  int yellow = 0, red = 0, green = 0, white = 0;
  for (int y = 0; y < dots.height(); ++y) {
    for (int x = 0; x < dots.width(); ++x) {
      const QColor c = dots.pixelColor(x, y);
      // The palette of the strip and the previewer.
      yellow += c.rgb() == QColor::fromRgb(sign::DotRgb(0xC0)).rgb();
      red += c.rgb() == QColor::fromRgb(sign::DotRgb(0x80)).rgb();
      green += c.rgb() == QColor::fromRgb(sign::DotRgb(0x40)).rgb();
      white += c.red() > 240 && c.green() > 240 && c.blue() > 240;
    }
  }
  // The white and the yellow band both show yellow dots, alike.
  QVERIFY(yellow == 2 * red && red == green && red > 100);
  QCOMPARE(white, 0);

  // A white GIF frame stays dark on the sign; the timer plays on until the dialog closes.
  CAnimationDlg a;
  chosen_ = write("play.gif", Gif(32, 16, 4));
  a.controls().open->click();
  const encode::Planes& playing = a.controls().preview->planes();
  QVERIFY(playing.width == 32 && playing.red == std::vector<std::uint8_t>(playing.red.size(), 0));
  const std::vector<std::uint8_t> before = playing.bytes();
  QTRY_VERIFY_WITH_TIMEOUT(playing.bytes() != before, 1000);
  a.reject();
  QVERIFY(!a.isPlaying());
}

QTEST_MAIN(TestPictureEditors)
#include "test_picture_editors.moc"
