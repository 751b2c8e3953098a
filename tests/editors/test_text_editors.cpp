#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <QTextCursor>
#include <QTimeEdit>

#include "manager/editors/dday_dlg.h"
#include "manager/editors/one_line_dlg.h"
#include "manager/editors/pane_format.h"
#include "manager/editors/text_pane.h"
#include "manager/editors/title_sentence_dlg.h"
#include "manager/editors/two_line_dlg.h"
#include "qtshared/message_box.h"
#include "shared/cp949.h"

namespace {

// Types text one character at a time as key presses carrying the character (QTest's
// keyClicks only knows Latin-1).
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

void Click(CTextPane* pane, CTextPane::Group g, int index) {
  pane->button(g, index)->click();
}

void Paste(CTextPane* pane, QMimeData* data) {
  QApplication::clipboard()->setMimeData(data);
  pane->edit()->paste();
}

void PasteText(CTextPane* pane, const QString& text) {
  auto* data = new QMimeData;
  data->setText(text);
  Paste(pane, data);
}

QByteArray Bytes(const Quarter& q, int n) {
  return QByteArray(reinterpret_cast<const char*>(q.data()), n);
}

std::size_t TextLength(const Quarter& q) {
  return ReadTextQuarter(q).size();
}

// 64 characters of mixed Korean and Latin, character i in attribute i << 2.
StyledText AllAttributes() {
  const std::u32string chars = U"가A나b다1라 마Z바?";
  StyledText t;
  for (int a = 0; a < 64; ++a) {
    t.push_back({chars[a % chars.size()], TextAttribute::Unpack(std::uint8_t(a << 2))});
  }
  return t;
}

ItemBody BodyOf(const StyledText& a, const StyledText& b) {
  ItemBody body;
  WritePaneQuarters(a, body.textA, body.attrA);
  if (!b.empty()) WritePaneQuarters(b, body.textB, body.attrB);
  return body;
}

}  // namespace

class TestTextEditors : public QObject {
  Q_OBJECT
 private slots:
  void oneLineDefaults();
  void listsHoldTheCodeTables();
  void typedTextAndRadioFormats();
  void radioClickCollapsesTheSelection();
  void modifyRoundTripsEveryAttribute();
  void twoLineAndTitleSentenceHeaders();
  void ddayDate();
  void typingLimits();
  void pasteIntoUnlimitedPaneIsCutAtOk();
  void unencodableCharactersAreRefused();
  void blankOnBoardCharactersAreKeptAndNamed();
  void enterPressesOk();
  void pastedFormatsMapToBoardAttributes();
  void overlongStoredTextKeepsTheDialogOpen();
  void grabsShowBoardColours();
};

void TestTextEditors::oneLineDefaults() {
  COneLineDlg d;
  QCOMPARE(d.windowTitle(), QStringLiteral("1줄문장"));
  QVERIFY(!d.isModify());
  d.accept();
  QCOMPARE(d.result(), int(QDialog::Accepted));
  ItemHeader want;
  want[hdr::kHold] = 2;
  QCOMPARE(d.header(), want);
  QCOMPARE(d.body(), ItemBody{});
  for (int g = 0; g < 3; ++g) {
    QVERIFY(d.pane()->button(CTextPane::Group(g), 0)->isChecked());
  }
}

void TestTextEditors::listsHoldTheCodeTables() {
  COneLineDlg d;
  auto check = [&](const char* name, const auto& texts) {
    auto* list = d.findChild<QComboBox*>(name);
    QVERIFY(list);
    QCOMPARE(list->count(), int(texts.size()));
    for (int i = 0; i < list->count(); ++i) {
      QCOMPARE(list->itemText(i), QString::fromUtf8(texts[i].data(), texts[i].size()));
    }
  };
  check("entry", kEntryEffectTexts);
  check("exit", kExitEffectTexts);
  check("hold", kHoldTexts);
  check("speed", kSpeedTexts);
  QCOMPARE(d.pane()->button(CTextPane::FontGroup, 2)->text(), QStringLiteral("옛체"));
  QCOMPARE(d.pane()->button(CTextPane::BackColourGroup, 0)->text(), QStringLiteral("검정색"));
}

void TestTextEditors::typedTextAndRadioFormats() {
  COneLineDlg d;
  CTextPane* p = d.pane();
  Type(p->edit(), QStringLiteral("가A"));
  d.accept();
  QCOMPARE(Bytes(d.body().textA, 4), QByteArray("\xB0\xA1\x41\x00", 4));
  QCOMPARE(Bytes(d.body().attrA, 4), QByteArray(4, '\0'));

  Select(p, 1, 2);
  Click(p, CTextPane::TextColourGroup, 1);  // 초록색
  Select(p, 1, 2);
  Click(p, CTextPane::BackColourGroup, 3);  // 노랑색
  Select(p, 1, 2);
  Click(p, CTextPane::FontGroup, 3);  // 매직체
  d.accept();
  QCOMPARE(Bytes(d.body().attrA, 4), QByteArray("\x00\x00\x7C\x00", 4));

  COneLineDlg black;
  Type(black.pane()->edit(), QStringLiteral("A"));
  Select(black.pane(), 0, 1);
  Click(black.pane(), CTextPane::TextColourGroup, 3);  // 검정색
  black.accept();
  QCOMPARE(black.body().attrA[0], std::uint8_t(0xC0));
}

void TestTextEditors::radioClickCollapsesTheSelection() {
  COneLineDlg d;
  CTextPane* p = d.pane();
  Type(p->edit(), QStringLiteral("AB"));
  Select(p, 1, 2);
  Click(p, CTextPane::TextColourGroup, 1);  // B green
  QVERIFY(!p->edit()->textCursor().hasSelection());
  QCOMPARE(p->edit()->textCursor().position(), 2);
  Click(p, CTextPane::TextColourGroup, 2);  // no selection: only what comes next
  Type(p->edit(), QStringLiteral("C"));
  Click(p, CTextPane::FontGroup, 1);
  Click(p, CTextPane::BackColourGroup, 1);
  Type(p->edit(), QStringLiteral("한"));
  d.accept();
  QCOMPARE(Bytes(d.body().attrA, 6), QByteArray("\x00\x40\x80\x94\x94\x00", 6));
}

void TestTextEditors::modifyRoundTripsEveryAttribute() {
  const StyledText all = AllAttributes();
  StyledText reversed(all.rbegin(), all.rend());
  {
    ItemHeader h;
    h.setKind(ItemKind::OneLine);
    h[hdr::kEntry] = 16, h[hdr::kSpeed] = 4, h[hdr::kHold] = 9, h[hdr::kExit] = 15;
    h.setStartMinutes(13 * 60 + 45);
    h.setEndMinutes(23 * 60 + 59);
    const ItemBody body = BodyOf(all, {});
    COneLineDlg d;
    d.setModify(h, body);
    QVERIFY(d.isModify());
    QCOMPARE(d.findChild<QTimeEdit*>("start")->time(), QTime(13, 45));
    QCOMPARE(d.findChild<QComboBox*>("entry")->currentIndex(), 16);
    QVERIFY(d.pane()->button(CTextPane::TextColourGroup, 0)->isChecked());
    QCOMPARE(d.pane()->styledText(), all);
    d.accept();
    QCOMPARE(d.header(), h);
    QVERIFY(d.body() == body);
  }
  {
    ItemHeader h;
    h.setKind(ItemKind::TwoLine);
    h[hdr::kUpperEntry] = 3, h[hdr::kTwoLineSpeed] = 2, h[hdr::kUpperHold] = 0;
    h[hdr::kUpperExit] = 7, h[hdr::kLowerEntry] = 12, h[hdr::kLowerHold] = 5;
    h[hdr::kLowerExit] = 1;
    h.setStartMinutes(60);
    h.setEndMinutes(61);
    const ItemBody body = BodyOf(all, reversed);
    CTwoLineDlg d;
    d.setModify(h, body);
    d.accept();
    QCOMPARE(d.header(), h);
    QVERIFY(d.body() == body);
  }
  {
    ItemHeader h;
    h.setKind(ItemKind::TitleSentence);
    h[hdr::kLowerEntry] = 8, h[hdr::kSentenceSpeed] = 3, h[hdr::kLowerHold] = 6;
    h[hdr::kLowerExit] = 14;
    h.setEndMinutes(12 * 60);
    const ItemBody body = BodyOf(reversed, all);
    CTitleSentenceDlg d;
    d.setModify(h, body);
    d.accept();
    QCOMPARE(d.header(), h);
    QVERIFY(d.body() == body);
  }
  {
    ItemHeader h;
    h.setKind(ItemKind::DDay);
    h.set16(hdr::kDDayYear, 2030);
    h[hdr::kDDayMonth] = 2, h[hdr::kDDayDay] = 28;
    h.setStartMinutes(8 * 60 + 30);
    h.setEndMinutes(20 * 60 + 5);
    const ItemBody body = BodyOf(all, {});
    CDDayDlg d;
    d.setModify(h, body);
    d.accept();
    QCOMPARE(d.header(), h);
    QVERIFY(d.body() == body);
  }
}

void TestTextEditors::twoLineAndTitleSentenceHeaders() {
  CTwoLineDlg two;
  Type(two.upperPane()->edit(), QStringLiteral("위"));
  Type(two.lowerPane()->edit(), QStringLiteral("down"));
  two.findChild<QComboBox*>("speed")->setCurrentIndex(3);
  two.findChild<QComboBox*>("lowerHold")->setCurrentIndex(9);
  two.accept();
  QCOMPARE(two.header().kind(), std::uint8_t(1));
  QCOMPARE(two.header()[hdr::kTwoLineSpeed], std::uint8_t(3));
  QCOMPARE(two.header()[hdr::kSentenceSpeed], std::uint8_t(0));
  QCOMPARE(two.header()[hdr::kUpperHold], std::uint8_t(2));
  QCOMPARE(two.header()[hdr::kLowerHold], std::uint8_t(9));
  QCOMPARE(ReadTextQuarter(two.body().textA), std::string("\xC0\xA7"));
  QCOMPARE(ReadTextQuarter(two.body().textB), std::string("down"));

  CTitleSentenceDlg ts;
  Type(ts.titlePane()->edit(), QStringLiteral("T"));
  Type(ts.sentencePane()->edit(), QStringLiteral("S"));
  ts.findChild<QComboBox*>("entry")->setCurrentIndex(5);
  ts.findChild<QComboBox*>("speed")->setCurrentIndex(2);
  ts.findChild<QComboBox*>("hold")->setCurrentIndex(7);
  ts.findChild<QComboBox*>("exit")->setCurrentIndex(9);
  ts.findChild<QTimeEdit*>("end")->setTime(QTime(18, 7));
  ts.accept();
  ItemHeader want;
  want.setKind(ItemKind::TitleSentence);
  want[11] = 5, want[12] = 2, want[13] = 7, want[14] = 9, want[27] = 18, want[28] = 7;
  QCOMPARE(ts.header(), want);
  QCOMPARE(ts.body().textA[0], std::uint8_t('T'));
  QCOMPARE(ts.body().textB[0], std::uint8_t('S'));
}

void TestTextEditors::ddayDate() {
  CDDayDlg d;
  QCOMPARE(d.findChild<QDateEdit*>("date")->date(), QDate::currentDate());
  d.findChild<QDateEdit*>("date")->setDate(QDate(2011, 12, 25));
  d.findChild<QTimeEdit*>("start")->setTime(QTime(7, 30));
  d.accept();  // an empty sentence is a valid D-day item
  QCOMPARE(d.result(), int(QDialog::Accepted));
  const ItemHeader& h = d.header();
  QCOMPARE(h.kind(), std::uint8_t(6));
  QCOMPARE(QByteArray(reinterpret_cast<const char*>(&h.bytes[21]), 4),
           QByteArray("\x07\xDB\x0C\x19", 4));
  QCOMPARE(h[25], std::uint8_t(7));
  QCOMPARE(h[26], std::uint8_t(30));
}

void TestTextEditors::typingLimits() {
  COneLineDlg d;
  CTextPane* p = d.pane();
  Type(p->edit(), QString(255, 'a'));
  Type(p->edit(), QStringLiteral("가"));  // would straddle byte 256
  QCOMPARE(p->textBytes(), std::size_t(255));
  QVERIFY(p->note().contains("256"));
  Type(p->edit(), QStringLiteral("bc"));  // b is byte 256, c the 257th
  QCOMPARE(p->textBytes(), std::size_t(256));
  QCOMPARE(p->plainText().right(2), QStringLiteral("ab"));
  // Replacing a selection frees its bytes.
  Select(p, 0, 2);
  Type(p->edit(), QStringLiteral("한"));
  QCOMPARE(p->textBytes(), std::size_t(256));
  d.accept();
  QCOMPARE(TextLength(d.body().textA), std::size_t(256));

  CDDayDlg dd;
  PasteText(dd.pane(), QString(150, QChar(0xAC00)));
  QCOMPARE(dd.pane()->textBytes(), std::size_t(200));
  QVERIFY(dd.pane()->note().contains("200"));
}

void TestTextEditors::pasteIntoUnlimitedPaneIsCutAtOk() {
  CTwoLineDlg d;
  PasteText(d.upperPane(), QString(3000, 'x'));
  PasteText(d.lowerPane(), QString(1500, QChar(0xAC00)));
  QCOMPARE(d.upperPane()->textBytes(), std::size_t(3000));
  QVERIFY(d.upperPane()->note().contains("2047"));
  d.accept();
  QCOMPARE(TextLength(d.body().textA), std::size_t(2047));
  QCOMPARE(TextLength(d.body().textB), std::size_t(2046));
  QCOMPARE(d.body().textB[2046], std::uint8_t(0));
}

void TestTextEditors::unencodableCharactersAreRefused() {
  COneLineDlg d;
  CTextPane* p = d.pane();
  Type(p->edit(), QStringLiteral("가😀"));
  QVERIFY(p->note().contains(QStringLiteral("😀")));
  PasteText(p, QStringLiteral("A\u4E2AB"));
  QVERIFY(p->note().contains(QStringLiteral("\u4E2A")));
  QInputMethodEvent ime;
  ime.setCommitString(QStringLiteral("나😀"));
  QApplication::sendEvent(p->edit(), &ime);
  QCOMPARE(p->plainText(), QStringLiteral("가AB나"));
  d.accept();
  QCOMPARE(ReadTextQuarter(d.body().textA), std::string("\xB0\xA1"
                                                        "AB\xB3\xAA"));
  // A successful edit clears the refusal.
  Type(p->edit(), QStringLiteral("z"));
  QCOMPARE(p->note(), QString());
}

void TestTextEditors::blankOnBoardCharactersAreKeptAndNamed() {
  COneLineDlg d;
  Type(d.pane()->edit(), QStringLiteral("a똠"));
  QVERIFY(d.pane()->note().contains(QStringLiteral("똠")));
  QVERIFY(!d.pane()->note().contains(QStringLiteral("a")));
  d.accept();
  QCOMPARE(ReadTextQuarter(d.body().textA), std::string("a\x8C\x63"));
}

void TestTextEditors::enterPressesOk() {
  COneLineDlg d;
  d.show();
  Type(d.pane()->edit(), QStringLiteral("ab"));
  QTest::keyClick(d.pane()->edit(), Qt::Key_Return);
  QCOMPARE(d.result(), int(QDialog::Accepted));
  QCOMPARE(ReadTextQuarter(d.body().textA), std::string("ab"));
  QCOMPARE(d.pane()->edit()->document()->blockCount(), 1);

  CTwoLineDlg two;
  two.show();
  QTest::keyClick(two.lowerPane()->edit(), Qt::Key_Enter);
  QCOMPARE(two.result(), int(QDialog::Accepted));
}

void TestTextEditors::pastedFormatsMapToBoardAttributes() {
  COneLineDlg d;
  CTextPane* p = d.pane();
  auto* html = new QMimeData;
  html->setHtml(QStringLiteral(
      "<p><span style=\"color:#ff8000; background-color:#00c000; font-family:serif\">Z</span>"
      "</p><p><span style=\"color:#202020\">y</span></p>"));
  Paste(p, html);
  QCOMPARE(p->plainText(), QStringLiteral("Z y"));
  // Orange is nearest yellow, dark grey nearest black; the face is no board font.
  QCOMPARE(p->styledText()[0].attr.Pack(), std::uint8_t(0xA0));
  QCOMPARE(p->styledText()[2].attr.Pack(), std::uint8_t(0xC0));

  // Copy and paste inside the panes keeps every attribute, the board font too.
  Select(p, 0, 3);
  Click(p, CTextPane::FontGroup, 2);
  Select(p, 0, 3);
  p->edit()->copy();
  CTwoLineDlg other;
  other.upperPane()->edit()->paste();
  const StyledText copied = other.upperPane()->styledText();
  QCOMPARE(copied, p->styledText());
  QCOMPARE(copied[0].attr.Pack(), std::uint8_t(0xA8));

  // A format without the board font property reads as font 0, whatever its face.
  QTextCharFormat foreign;
  foreign.setFontFamilies({ScreenFace(BoardFont::Magic)});
  foreign.setForeground(QColor(250, 10, 10));
  QCOMPARE(AttributeOf(foreign).Pack(), std::uint8_t(0x00));
}

void TestTextEditors::overlongStoredTextKeepsTheDialogOpen() {
  MessageRecorder boxes;
  ItemHeader h;
  ItemBody body;
  WriteTextQuarter(body.textA, std::string(300, 'q'));
  COneLineDlg d;
  d.setModify(h, body);
  d.accept();
  QCOMPARE(boxes.messages().size(), qsizetype(1));
  QVERIFY(boxes.messages()[0].text.contains("256"));
  QVERIFY(d.result() != QDialog::Accepted);
  Select(d.pane(), 0, 44);
  QTest::keyClick(d.pane()->edit(), Qt::Key_Delete);
  d.accept();
  QCOMPARE(d.result(), int(QDialog::Accepted));
  QCOMPARE(TextLength(d.body().textA), std::size_t(256));
}

void TestTextEditors::grabsShowBoardColours() {
  // Four different installed faces stand for the four board fonts.
  QSet<QString> faces;
  for (int f = 0; f < 4; ++f) faces.insert(ScreenFace(static_cast<BoardFont>(f)));
  qInfo() << "screen faces" << faces;
  QCOMPARE(faces.size(), qsizetype(4));
  QDir().mkpath(EDITORS_GRAB_DIR);
  StyledText sample;
  auto add = [&](const char* utf8, std::uint8_t attr) {
    for (char32_t c : QString::fromUtf8(utf8).toStdU32String()) {
      sample.push_back({c, TextAttribute::Unpack(attr)});
    }
  };
  add("굴림 ", 0x00);     // red, font 0
  add("궁서Ab ", 0x44);   // green, font 1
  add("옛체 ", 0x88);     // yellow, font 2
  add("매직체9 ", 0x0C);  // red, font 3
  add("바탕", 0xFC);      // black on yellow, font 3
  ItemBody body = BodyOf(sample, sample);

  COneLineDlg one;
  one.setModify(ItemHeader{}, body);
  CTwoLineDlg two;
  two.setModify(ItemHeader{}, body);
  CTitleSentenceDlg ts;
  ts.setModify(ItemHeader{}, body);
  CDDayDlg dd;
  dd.setModify(ItemHeader{}, body);
  Type(dd.pane()->edit(), QStringLiteral("똠"));
  struct Shot {
    QDialog* dlg;
    CTextPane* pane;
    const char* file;
  } shots[] = {{&one, one.pane(), "one_line.png"},
               {&two, two.upperPane(), "two_line.png"},
               {&ts, ts.titlePane(), "title_sentence.png"},
               {&dd, dd.pane(), "dday.png"}};
  for (const Shot& s : shots) {
    s.dlg->show();
    s.dlg->adjustSize();
    QVERIFY(s.dlg->grab().save(QStringLiteral(EDITORS_GRAB_DIR "/") + s.file));
    // The edit shows dots of the board's colours on black.
    const QImage img = s.pane->edit()->grab().toImage();
    int red = 0, green = 0, yellow = 0, black = 0;
    for (int y = 0; y < img.height(); ++y) {
      for (int x = 0; x < img.width(); ++x) {
        const QColor c = img.pixelColor(x, y);
        if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++red;
        if (c.green() > 200 && c.red() < 60 && c.blue() < 60) ++green;
        if (c.red() > 200 && c.green() > 200 && c.blue() < 60) ++yellow;
        if (c.red() < 20 && c.green() < 20 && c.blue() < 20) ++black;
      }
    }
    QVERIFY2(red > 50 && green > 50 && yellow > 50, s.file);
    QVERIFY2(black > img.width() * img.height() / 3, s.file);
  }
}

QTEST_MAIN(TestTextEditors)
#include "test_text_editors.moc"
