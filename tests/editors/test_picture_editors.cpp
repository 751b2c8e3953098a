#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <functional>
#include <memory>

#include "manager/editors/animation_dlg.h"
#include "manager/editors/bitmap_dlg.h"
#include "manager/editors/file_chooser.h"
#include "manager/editors/hold_time_dlg.h"
#include "manager/editors/led_preview.h"
#include "qtshared/message_box.h"
#include "shared/cp949.h"
#include "tests/support/picture_builders.h"

using encode_test::GifBuilder;
using encode_test::Rgb;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Answers every file dialog with the path set last (empty = cancelled).
class ChosenFile {
 public:
  ChosenFile()
      : previous_(SetFileChooser([this](const FileRequest& r) {
          filters_ << r.filter;
          return path_;
        })) {}
  ~ChosenFile() { SetFileChooser(previous_); }
  void set(const QString& path) { path_ = path; }
  const QStringList& filters() const { return filters_; }

 private:
  QString path_;
  QStringList filters_;
  FileChooser previous_;
};

Bytes Bmp(int w, int h, Rgb c) {
  return encode_test::MakeBmp24(w, h, [c](int, int) { return c; });
}

// Frame k is drawn in colour k % 4 of white, red, green, yellow.
Bytes Gif(int w, int h, int frames) {
  GifBuilder b(w, h, {{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}});
  for (int k = 0; k < frames; ++k) {
    b.Gce(10, 0).Image(0, 0, w, h, Bytes(std::size_t(w * h), std::uint8_t(k % 4)));
  }
  return b.Finish();
}

std::string Cp949(const QString& s) {
  return *text::Utf8ToCp949(s.toStdString());
}

void SetList(QDialog& d, const char* name, int code) {
  auto* list = d.findChild<QComboBox*>(name);
  QVERIFY2(list, name);
  list->setCurrentIndex(code);
}

void SetWindow(QDialog& d, QTime start, QTime end) {
  d.findChild<QTimeEdit*>("start")->setTime(start);
  d.findChild<QTimeEdit*>("end")->setTime(end);
}

// The editor of a picture or hold-time kind.
std::unique_ptr<CTextItemDlg> Open(item::ItemKind kind) {
  switch (kind) {
    case item::ItemKind::Bitmap:
      return std::make_unique<CBitmapDlg>();
    case item::ItemKind::Animation:
      return std::make_unique<CAnimationDlg>();
    default:
      return std::make_unique<CHoldTimeDlg>(kind == item::ItemKind::Temperature);
  }
}

}  // namespace

class TestPictureEditors : public QObject {
  Q_OBJECT
 private slots:
  void init() { QVERIFY(dir_.isValid()); }
  void headerBytesAndModifyRoundTrip();
  void refusalsClearTheChoice();
  void reopenedItems();
  void okWithoutFileAddsNothing();
  void previewsShowTheSignsDots();

 private:
  QString write(const QString& name, const Bytes& bytes) {
    const QString path = dir_.filePath(name);
    encode_test::WriteFile(path.toStdString(), bytes);
    return path;
  }
  QTemporaryDir dir_;
};

void TestPictureEditors::headerBytesAndModifyRoundTrip() {
  ChosenFile chosen;
  const QString bmp = write(QStringLiteral("넓은그림.bmp"), Bmp(640, 32, {255, 0, 0}));
  const QString gif = write(QStringLiteral("움직임.gif"), Gif(96, 32, 12));
  const struct {
    const char* what;
    item::ItemKind kind;
    std::function<void(CTextItemDlg&)> fill;
    std::vector<std::pair<int, int>> bytes;  // every other header byte is 0
    QString path;                            // quarter A; the rest of the body is 0
  } rows[] = {
      {"date/time defaults", item::ItemKind::DateTime, [](CTextItemDlg&) {}, {{0, 5}, {3, 2}}, {}},
      {"temperature hold 10, 08:30-18:00", item::ItemKind::Temperature,
       [](CTextItemDlg& d) {
         SetList(d, "hold", 9);
         SetWindow(d, QTime(8, 30), QTime(18, 0));
       },
       {{0, 7}, {3, 9}, {25, 8}, {26, 0x1E}, {27, 0x12}, {28, 0}},
       {}},
      {"bitmap 640x32 scroll, speed 3, hold 5", item::ItemKind::Bitmap,
       [&](CTextItemDlg& d) {
         chosen.set(bmp);
         static_cast<CBitmapDlg&>(d).controls().open->click();
         SetList(d, "mode", 1);
         SetList(d, "speed", 2);
         SetList(d, "hold", 4);
       },
       {{0, 3}, {1, 1}, {2, 2}, {3, 4}, {16, 0x02}, {17, 0x80}, {18, 0}, {19, 0x20}},
       bmp},
      {"animation 96x32x12 speed 1", item::ItemKind::Animation,
       [&](CTextItemDlg& d) {
         chosen.set(gif);
         static_cast<CAnimationDlg&>(d).controls().open->click();
         SetWindow(d, QTime(23, 59), QTime(0, 1));
       },
       {{0, 4}, {2, 0}, {16, 0}, {17, 0x60}, {18, 0}, {19, 0x20}, {20, 0x0C}, {25, 23},
        {26, 59}, {27, 0}, {28, 1}},
       gif},
  };
  MessageRecorder boxes;
  for (const auto& r : rows) {
    auto d = Open(r.kind);
    r.fill(*d);
    d->accept();
    QCOMPARE(d->result(), int(QDialog::Accepted));
    item::ItemHeader expected;
    for (auto [at, v] : r.bytes) expected[at] = std::uint8_t(v);
    QVERIFY2(d->header() == expected, r.what);
    item::ItemBody body;
    if (!r.path.isEmpty()) text::WriteTextQuarter(body.textA, Cp949(r.path));
    QVERIFY2(d->body() == body, r.what);

    // Modify and OK without touching anything: the same record.
    auto again = Open(r.kind);
    again->setModify(d->header(), d->body());
    QVERIFY(again->isModify());
    again->accept();
    QVERIFY2(again->header() == expected && again->body() == body, r.what);
  }
  // Reopened, the 640-wide bitmap is refused its preview (limit 500) but keeps its file.
  QCOMPARE(boxes.messages().size(), qsizetype(1));
  QCOMPARE(boxes.messages()[0].text, QStringLiteral("그림의 가로크기는 최대 500 입니다"));
  QCOMPARE(chosen.filters(), QStringList({QStringLiteral("bmp파일(*.bmp);;모든파일(*.*)"),
                                          QStringLiteral("gif파일(*.gif);;모든파일(*.*)")}));
}

void TestPictureEditors::refusalsClearTheChoice() {
  ChosenFile chosen;
  const QString goodBmp = write("good.bmp", Bmp(16, 16, {255, 255, 255}));
  const QString goodGif = write("good.gif", Gif(16, 16, 2));
  const QString arabic = QString::fromUtf8("\u0628");
  const struct {
    bool bitmap;
    QString name;
    Bytes bytes;
    const char* text;
    const char* caption;
  } rows[] = {
      {true, "gif.bmp", Gif(8, 8, 2), "bmp파일이 아닙니다.", "bmp파일만 가능"},
      {true, "wide.bmp", Bmp(801, 1, {}), "그림의 가로크기는 최대 800 입니다", "가로사이즈 초과"},
      {true, "high.bmp", Bmp(800, 161, {}), "그림의 세로크기는 최대 160 입니다",
       "세로사이즈 초과"},
      {true, arabic + ".bmp", Bmp(8, 8, {}), "", "경로 오류"},
      {false, "movie.bmp", Gif(8, 8, 2), "GIF파일이 아닙니다", "GIF파일아님"},
      {false, "picture.gif", Bmp(8, 8, {}), "파일을 오픈할수 없습니다", "파일오픈실패"},
      {false, "long.gif", Gif(1, 1, 256), "프레임이 255개를 넘는 애니메이션은 쓸 수 없습니다",
       "프레임 수 초과"},
      {false, arabic + ".gif", Gif(8, 8, 2), "", "경로 오류"},
  };
  for (const auto& r : rows) {
    const QString bad = write(r.name, r.bytes);
    MessageRecorder boxes;
    std::unique_ptr<CTextItemDlg> d;
    const PictureControls* c;
    if (r.bitmap) {
      auto* b = new CBitmapDlg;
      d.reset(b);
      c = &b->controls();
    } else {
      auto* a = new CAnimationDlg;
      d.reset(a);
      c = &a->controls();
    }
    chosen.set(r.bitmap ? goodBmp : goodGif);
    c->open->click();
    QVERIFY(!c->fileName->text().isEmpty());
    QVERIFY(c->preview->planes().width > 0);
    chosen.set(bad);
    c->open->click();
    QCOMPARE(boxes.messages().size(), qsizetype(1));
    if (*r.text) QCOMPARE(boxes.messages()[0].text, QString::fromUtf8(r.text));
    QCOMPARE(boxes.messages()[0].caption, QString::fromUtf8(r.caption));
    QVERIFY2(c->fileName->text().isEmpty(), qPrintable(r.name));
    QCOMPARE(c->preview->planes().width, 0);
    if (!r.bitmap) QVERIFY(!static_cast<CAnimationDlg*>(d.get())->isPlaying());
    d->accept();
    QVERIFY2(d->body().textA[0] == 0, qPrintable(r.name));  // the list adds nothing
  }
}

// A stored bitmap is reread with a width limit of 500; a refusal keeps the stored item.
// A stored animation that no longer loads loses its path, so OK changes nothing.
void TestPictureEditors::reopenedItems() {
  const struct {
    QString file;
    Bytes bytes;
    const char* text;
  } bitmaps[] = {
      {"reopened_ok.bmp", Bmp(500, 160, {0, 255, 0}), nullptr},
      {"reopened_wide.bmp", Bmp(640, 32, {}), "그림의 가로크기는 최대 500 입니다"},
      {"reopened_high.bmp", Bmp(100, 161, {}), "그림의 세로크기는 최대 160 입니다"},
      {"reopened_gone.bmp", {}, "bmp파일이 아닙니다."},
  };
  for (const auto& r : bitmaps) {
    const QString path =
        r.bytes.empty() ? dir_.filePath(r.file) : write(r.file, r.bytes);
    const item::ItemRecord stored =
        editors::BuildBitmapItem({1, 3, 7, 640, 32, Cp949(path), {60, 120}});
    MessageRecorder boxes;
    CBitmapDlg d;
    d.setModify(stored.header, stored.body);
    QCOMPARE(boxes.messages().size(), qsizetype(r.text ? 1 : 0));
    if (r.text) QCOMPARE(boxes.messages()[0].text, QString::fromUtf8(r.text));
    QCOMPARE(d.controls().fileName->text(), r.file);
    QCOMPARE(d.controls().preview->planes().width, r.text ? 0 : 500);
    d.accept();
    item::ItemHeader expected = stored.header;
    if (!r.text) {  // the size is read again from the file
      expected.set16(item::hdr::kPictureWidth, 500);
      expected.set16(item::hdr::kPictureHeight, 160);
    }
    QVERIFY2(d.header() == expected, qPrintable(r.file));
    QVERIFY(d.body() == stored.body);
  }

  const item::ItemRecord gone = editors::BuildAnimationItem(
      {1, 96, 32, 12, Cp949(dir_.filePath("vanished.gif")), {}});
  MessageRecorder boxes;
  CAnimationDlg a;
  a.setModify(gone.header, gone.body);
  QCOMPARE(boxes.messages().size(), qsizetype(1));
  QCOMPARE(boxes.messages()[0].caption, QStringLiteral("파일오픈실패"));
  QVERIFY(!a.isPlaying());
  a.accept();
  QVERIFY(a.body().textA[0] == 0);
}

void TestPictureEditors::okWithoutFileAddsNothing() {
  ChosenFile chosen;
  const QString gif = write("keep.gif", Gif(8, 8, 3));
  CBitmapDlg b;
  b.controls().open->click();  // cancelled
  b.accept();
  QVERIFY(b.body() == item::ItemBody{});
  QCOMPARE(b.header()[item::hdr::kKind], std::uint8_t(3));

  CAnimationDlg a;
  a.accept();
  QVERIFY(a.body() == item::ItemBody{});
  // Cancelling a later file dialog keeps the file chosen before.
  chosen.set(gif);
  a.controls().open->click();
  chosen.set({});
  a.controls().open->click();
  QCOMPARE(a.controls().fileName->text(), QStringLiteral("keep.gif"));
  QVERIFY(a.isPlaying());
  a.accept();
  QCOMPARE(a.header()[item::hdr::kFrames], std::uint8_t(3));
}

void TestPictureEditors::previewsShowTheSignsDots() {
  QDir().mkpath(EDITORS_GRAB_DIR);
  ChosenFile chosen;
  MessageRecorder boxes;
  // White, red, green and yellow bands: white lights both planes in a BMP.
  const QString bmp = write(QStringLiteral("띠.bmp"),
                            encode_test::MakeBmp24(64, 16, [](int x, int) {
                              const Rgb bands[] = {{255, 255, 255}, {255, 0, 0}, {0, 255, 0},
                                                   {255, 255, 0}};
                              return bands[x / 16];
                            }));
  CBitmapDlg b;
  chosen.set(bmp);
  b.controls().open->click();
  const encode::Planes& shown = b.controls().preview->planes();
  QCOMPARE(shown.width, 64);
  for (int x = 0; x < 64; x += 16) {
    QCOMPARE(shown.redAt(x, 5), x != 32);
    QCOMPARE(shown.greenAt(x, 5), x != 16);
  }
  b.show();
  b.adjustSize();
  QVERIFY(b.grab().save(QStringLiteral(EDITORS_GRAB_DIR "/bitmap.png")));
  const QImage dots = b.controls().preview->grab().toImage();
  int yellow = 0, red = 0, green = 0, white = 0;
  for (int y = 0; y < dots.height(); ++y) {
    for (int x = 0; x < dots.width(); ++x) {
      const QColor c = dots.pixelColor(x, y);
      if (c == CLedPreview::DotColour(true, true)) ++yellow;
      if (c == CLedPreview::DotColour(true, false)) ++red;
      if (c == CLedPreview::DotColour(false, true)) ++green;
      if (c.red() > 240 && c.green() > 240 && c.blue() > 240) ++white;
    }
  }
  // The white and the yellow band both show yellow dots, alike.
  QVERIFY(yellow == 2 * red && red == green && red > 100);
  QCOMPARE(white, 0);

  // A white GIF frame stays dark on the sign; frame 1 is red. The timer plays on.
  CAnimationDlg a;
  chosen.set(write("play.gif", Gif(32, 16, 4)));
  a.controls().open->click();
  QVERIFY(a.isPlaying());
  const encode::Planes& playing = a.controls().preview->planes();
  QVERIFY(playing.red == std::vector<std::uint8_t>(playing.red.size(), 0));
  QVERIFY(playing.green == playing.red);
  a.showNextFrame();
  QVERIFY(playing.redAt(0, 0) && !playing.greenAt(0, 0));
  a.show();
  a.adjustSize();
  QVERIFY(a.grab().save(QStringLiteral(EDITORS_GRAB_DIR "/animation.png")));
  const std::vector<std::uint8_t> before = playing.bytes();
  QTRY_VERIFY_WITH_TIMEOUT(playing.bytes() != before, 1000);
  a.reject();
  QVERIFY(!a.isPlaying());

  CHoldTimeDlg t(true);
  t.show();
  t.adjustSize();
  QVERIFY(t.grab().save(QStringLiteral(EDITORS_GRAB_DIR "/hold_time.png")));
  QVERIFY(boxes.messages().isEmpty());
}

QTEST_MAIN(TestPictureEditors)
#include "test_picture_editors.moc"
