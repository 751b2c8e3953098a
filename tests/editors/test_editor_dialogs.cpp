// The editor dialogs on the offscreen platform: what each hands back as header and body,
// and what its panes, file choices and previews show.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimeEdit>
#include <memory>
#include <tuple>

#include "manager/editors/animation_dlg.h"
#include "manager/editors/bitmap_dlg.h"
#include "manager/editors/dday_dlg.h"
#include "manager/editors/file_chooser.h"
#include "manager/editors/hold_time_dlg.h"
#include "manager/editors/led_preview.h"
#include "manager/editors/one_line_dlg.h"
#include "manager/editors/pane_format.h"
#include "manager/editors/text_pane.h"
#include "manager/editors/title_sentence_dlg.h"
#include "manager/editors/two_line_dlg.h"
#include "qtshared/message_box.h"
#include "shared/cp949.h"
#include "sign/led_pixels.h"
#include "tests/support/picture_builders.h"

using encode_test::Rgb;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Key presses carrying each character (QTest's keyClicks only knows Latin-1).
void Type(QWidget* w, const QString& text) {
  for (char32_t c : text.toStdU32String()) {
    const QString one = QString::fromUcs4(&c, 1);
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, one);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, one);
    QApplication::sendEvent(w, &release);
  }
}

void Select(CTextPane* pane, int from, int to) {
  QTextCursor c = pane->edit()->textCursor();
  c.setPosition(from);
  c.setPosition(to, QTextCursor::KeepAnchor);
  pane->edit()->setTextCursor(c);
}

void Format(CTextPane* pane, CTextPane::Group g, int index, int from = -1, int to = -1) {
  if (from >= 0) Select(pane, from, to);
  pane->button(g, index)->click();
}

QByteArray First(const item::Quarter& q, int n) {
  return QByteArray(reinterpret_cast<const char*>(q.data()), n);
}

item::ItemHeader Header(item::ItemKind kind, std::initializer_list<std::pair<int, int>> bytes,
                        int startMinutes = 0, int endMinutes = 0) {
  item::ItemHeader h;
  h.setKind(kind);
  for (auto [at, value] : bytes) h[at] = std::uint8_t(value);
  h.setStartMinutes(startMinutes);
  h.setEndMinutes(endMinutes);
  return h;
}

item::ItemBody BodyOf(const StyledText& a, const StyledText& b) {
  item::ItemBody body;
  WritePaneQuarters(a, body.textA, body.attrA);
  if (!b.empty()) WritePaneQuarters(b, body.textB, body.attrB);
  return body;
}

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

class TestEditorDialogs : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    SetFileChooser([this](const FileRequest&) { return chosen_; });  // empty: cancelled
  }
  void typedTextAndRadioFormats();
  void textHeaderBytesAndModifyRoundTrip();
  void byteLimitsAndRefusedCharacters();
  void pastedFormatsAndEnter();
  void pictureHeaderBytesAndModifyRoundTrip();
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

void TestEditorDialogs::typedTextAndRadioFormats() {
  COneLineDlg d;
  CTextPane* p = d.pane();
  Type(p->edit(), QStringLiteral("가A"));
  Format(p, CTextPane::TextColourGroup, 1, 1, 2);  // 초록색
  Format(p, CTextPane::BackColourGroup, 3, 1, 2);  // 노랑색
  Format(p, CTextPane::FontGroup, 3, 1, 2);        // 매직체
  Format(p, CTextPane::TextColourGroup, 3, 0, 1);  // 검정색
  d.accept();
  QCOMPARE(First(d.body().textA, 4), QByteArray("\xB0\xA1\x41\x00", 4));
  QCOMPARE(First(d.body().attrA, 4), QByteArray("\xC0\xC0\x7C\x00", 4));

  // A click collapses the selection: a second one only formats what is typed next.
  COneLineDlg next;
  p = next.pane();
  Type(p->edit(), QStringLiteral("AB"));
  Format(p, CTextPane::TextColourGroup, 1, 1, 2);
  QVERIFY(!p->edit()->textCursor().hasSelection());
  Format(p, CTextPane::TextColourGroup, 2);
  Type(p->edit(), QStringLiteral("C"));
  Format(p, CTextPane::FontGroup, 1);
  Format(p, CTextPane::BackColourGroup, 1);
  Type(p->edit(), QStringLiteral("한"));
  next.accept();
  QCOMPARE(First(next.body().attrA, 6), QByteArray("\x00\x40\x80\x94\x94\x00", 6));
}

void TestEditorDialogs::textHeaderBytesAndModifyRoundTrip() {
  using K = item::ItemKind;
  COneLineDlg one;
  one.accept();  // defaults: hold 3 s, display window zero
  QCOMPARE(one.header(), Header(K::OneLine, {{3, 2}}));
  QCOMPARE(one.body(), item::ItemBody{});

  CDDayDlg dd;
  dd.accept();  // an empty sentence is a valid D-day item, dated today by default
  const QDate today = QDate::currentDate();
  const int y = today.year();
  QCOMPARE(dd.header(),
           Header(K::DDay, {{21, y >> 8}, {22, y & 0xFF}, {23, today.month()}, {24, today.day()}}));

  // Modify and OK gives back every byte: 64 characters, character i in attribute i << 2,
  // values away from the defaults so a control read from or written to the wrong byte
  // shows (upper hold 0, not 2; byte 12 stays 0 for the two-line item).
  const std::u32string chars = U"가A나b다1라 마Z바?";
  StyledText all;
  for (int a = 0; a < 64; ++a) {
    all.push_back({chars[a % chars.size()], item::TextAttribute::Unpack(std::uint8_t(a << 2))});
  }
  const StyledText reversed(all.rbegin(), all.rend());
  COneLineDlg one2;
  CTwoLineDlg two2;
  CTitleSentenceDlg ts2;
  CDDayDlg dd2;
  const std::tuple<CTextItemDlg*, item::ItemHeader, item::ItemBody> rows[] = {
      {&one2, Header(K::OneLine, {{1, 16}, {2, 4}, {3, 9}, {4, 15}}, 13 * 60 + 45, 23 * 60 + 59),
       BodyOf(all, {})},
      {&two2,
       Header(K::TwoLine, {{6, 3}, {7, 2}, {8, 0}, {9, 7}, {11, 12}, {13, 5}, {14, 1}}, 60, 61),
       BodyOf(all, reversed)},
      {&ts2, Header(K::TitleSentence, {{11, 8}, {12, 3}, {13, 6}, {14, 14}}, 0, 12 * 60),
       BodyOf(reversed, all)},
      {&dd2, Header(K::DDay, {{21, 0x07}, {22, 0xEE}, {23, 2}, {24, 28}}, 8 * 60 + 30, 20 * 60 + 5),
       BodyOf(all, {})},
  };
  for (const auto& [dlg, header, body] : rows) {
    dlg->setModify(header, body);
    dlg->accept();
    QVERIFY2(dlg->isModify() && dlg->header() == header && dlg->body() == body,
             qPrintable(dlg->windowTitle()));
  }
  QVERIFY(one2.pane()->button(CTextPane::TextColourGroup, 0)->isChecked());
}

void TestEditorDialogs::byteLimitsAndRefusedCharacters() {
  COneLineDlg d;
  CTextPane* p = d.pane();
  Type(p->edit(), QString(255, 'a'));
  Type(p->edit(), QStringLiteral("가"));  // would straddle byte 256
  QVERIFY(p->note().contains("256"));
  Type(p->edit(), QStringLiteral("bc"));  // b is byte 256, c the 257th
  QVERIFY(p->plainText().endsWith(QStringLiteral("ab")));
  Select(p, 0, 2);  // replacing a selection frees its bytes
  Type(p->edit(), QStringLiteral("한"));
  QVERIFY(p->plainText().startsWith(QStringLiteral("한a")));
  d.accept();
  QCOMPARE(text::ReadTextQuarter(d.body().textA).size(), std::size_t(256));

  CDDayDlg dd;
  Type(dd.pane()->edit(), QString(150, QChar(0xAC00)));
  QCOMPARE(dd.pane()->textBytes(), std::size_t(200));

  // A stored text over the limit keeps the dialog open until it is shortened.
  MessageRecorder boxes;
  item::ItemBody body;
  text::WriteTextQuarter(body.textA, std::string(300, 'q'));
  COneLineDlg stored;
  stored.setModify(item::ItemHeader{}, body);
  stored.accept();
  QCOMPARE(boxes.messages().size(), qsizetype(1));
  QVERIFY(boxes.messages()[0].text.contains("256"));
  QVERIFY(stored.result() != QDialog::Accepted);
  Select(stored.pane(), 0, 44);
  QTest::keyClick(stored.pane()->edit(), Qt::Key_Delete);
  stored.accept();
  QCOMPARE(stored.result(), int(QDialog::Accepted));

  // Unencodable characters are refused whether typed or composed, and named until the next edit.
  COneLineDlg r;
  p = r.pane();
  Type(p->edit(), QStringLiteral("가😀"));
  QVERIFY(p->note().contains(QStringLiteral("😀")));
  QInputMethodEvent ime;
  ime.setCommitString(QStringLiteral("나个"));
  QApplication::sendEvent(p->edit(), &ime);
  QVERIFY(p->note().contains(QStringLiteral("个")));
  Type(p->edit(), QStringLiteral("z"));
  QCOMPARE(p->note(), QString());
  r.accept();
  QCOMPARE(text::ReadTextQuarter(r.body().textA), std::string("\xB0\xA1\xB3\xAAz"));
}

void TestEditorDialogs::pastedFormatsAndEnter() {
  COneLineDlg d;
  CTextPane* p = d.pane();
  auto* html = new QMimeData;
  html->setHtml(QStringLiteral(
      "<p><span style=\"color:#ff8000; background-color:#00c000; font-family:serif\">Z</span>"
      "</p><p><span style=\"color:#202020\">y</span></p>"));
  QApplication::clipboard()->setMimeData(html);
  p->edit()->paste();
  QCOMPARE(p->plainText(), QStringLiteral("Z y"));
  // Orange is nearest yellow, dark grey nearest black; the face is no board font.
  QCOMPARE(std::pair(p->styledText()[0].attr.Pack(), p->styledText()[2].attr.Pack()),
           std::pair(std::uint8_t(0xA0), std::uint8_t(0xC0)));

  // Copy and paste between panes keeps every attribute, the board font too.
  Format(p, CTextPane::FontGroup, 2, 0, 3);
  Select(p, 0, 3);
  p->edit()->copy();
  CTwoLineDlg other;
  other.upperPane()->edit()->paste();
  QCOMPARE(other.upperPane()->styledText(), p->styledText());
  QCOMPARE(other.upperPane()->styledText()[0].attr.Pack(), std::uint8_t(0xA8));

  // Without the board font property a format reads as font 0, whatever its face.
  QTextCharFormat foreign;
  foreign.setFontFamilies({ScreenFace(item::BoardFont::Magic)});
  foreign.setForeground(QColor(250, 10, 10));
  QCOMPARE(AttributeOf(foreign).Pack(), std::uint8_t(0x00));

  // Enter presses OK and never breaks the line.
  d.show();
  QTest::keyClick(p->edit(), Qt::Key_Return);
  QCOMPARE(d.result(), int(QDialog::Accepted));
  QCOMPARE(p->edit()->document()->blockCount(), 1);
  other.show();
  QTest::keyClick(other.lowerPane()->edit(), Qt::Key_Enter);
  QCOMPARE(other.result(), int(QDialog::Accepted));
}

void TestEditorDialogs::pictureHeaderBytesAndModifyRoundTrip() {
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
    d->accept();  // the header is kept only as the dialog closes with OK
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
void TestEditorDialogs::refusalsClearTheChoice() {
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
void TestEditorDialogs::reopenedItems() {
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

void TestEditorDialogs::previewsShowTheSignsDots() {
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

QTEST_MAIN(TestEditorDialogs)
#include "test_editor_dialogs.moc"
