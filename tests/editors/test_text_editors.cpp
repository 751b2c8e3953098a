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

// Selects [from, to) when given, then clicks a radio button.
void Format(CTextPane* pane, CTextPane::Group g, int index, int from = -1, int to = -1) {
  if (from >= 0) Select(pane, from, to);
  pane->button(g, index)->click();
}

void Paste(CTextPane* pane, const QString& text) {
  auto* data = new QMimeData;
  data->setText(text);
  QApplication::clipboard()->setMimeData(data);
  pane->edit()->paste();
}

QByteArray Bytes(const item::Quarter& q, int n) {
  return QByteArray(reinterpret_cast<const char*>(q.data()), n);
}

item::ItemHeader Header(item::ItemKind kind, std::initializer_list<std::pair<int, int>> bytes) {
  item::ItemHeader h;
  h.setKind(kind);
  for (auto [at, value] : bytes) h[at] = std::uint8_t(value);
  return h;
}

item::ItemHeader Window(item::ItemHeader h, int startMinutes, int endMinutes) {
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

}  // namespace

class TestTextEditors : public QObject {
  Q_OBJECT
 private slots:
  void oneLineDefaultsAndLists();
  void typedTextAndRadioFormats();
  void modifyRoundTripsEveryAttribute();
  void headerBytesOfEachKind();
  void byteLimits();
  void refusedAndBlankCharacters();
  void enterPressesOk();
  void pastedFormatsMapToBoardAttributes();
  void grabsShowBoardColours();
};

void TestTextEditors::oneLineDefaultsAndLists() {
  COneLineDlg d;
  QCOMPARE(d.windowTitle(), QStringLiteral("1줄문장"));
  QVERIFY(!d.isModify());
  for (int g = 0; g < 3; ++g) QVERIFY(d.pane()->button(CTextPane::Group(g), 0)->isChecked());
  QCOMPARE(d.pane()->button(CTextPane::FontGroup, 2)->text(), QStringLiteral("옛체"));
  QCOMPARE(d.pane()->button(CTextPane::BackColourGroup, 0)->text(), QStringLiteral("검정색"));
  auto check = [&](const char* name, const auto& texts) {
    auto* list = d.findChild<QComboBox*>(name);
    QVERIFY2(list && list->count() == int(texts.size()), name);
    for (int i = 0; i < list->count(); ++i) {
      QCOMPARE(list->itemText(i), QString::fromUtf8(texts[i].data(), texts[i].size()));
    }
  };
  check("entry", item::kEntryEffectTexts);
  check("exit", item::kExitEffectTexts);
  check("hold", item::kHoldTexts);
  check("speed", item::kSpeedTexts);
  d.accept();
  QCOMPARE(d.result(), int(QDialog::Accepted));
  QCOMPARE(d.header(), Header(item::ItemKind::OneLine, {{3, 2}}));  // hold 3 s, display window zero
  QCOMPARE(d.body(), item::ItemBody{});
}

void TestTextEditors::typedTextAndRadioFormats() {
  COneLineDlg d;
  CTextPane* p = d.pane();
  Type(p->edit(), QStringLiteral("가A"));
  d.accept();
  QCOMPARE(Bytes(d.body().textA, 4), QByteArray("\xB0\xA1\x41\x00", 4));
  QCOMPARE(Bytes(d.body().attrA, 4), QByteArray(4, '\0'));
  Format(p, CTextPane::TextColourGroup, 1, 1, 2);  // 초록색
  Format(p, CTextPane::BackColourGroup, 3, 1, 2);  // 노랑색
  Format(p, CTextPane::FontGroup, 3, 1, 2);        // 매직체
  d.accept();
  QCOMPARE(Bytes(d.body().attrA, 4), QByteArray("\x00\x00\x7C\x00", 4));
  Format(p, CTextPane::TextColourGroup, 3, 0, 1);  // 검정색
  d.accept();
  QCOMPARE(Bytes(d.body().attrA, 4), QByteArray("\xC0\xC0\x7C\x00", 4));

  // A click collapses the selection: a second one only formats what is typed next.
  COneLineDlg next;
  p = next.pane();
  Type(p->edit(), QStringLiteral("AB"));
  Format(p, CTextPane::TextColourGroup, 1, 1, 2);
  QVERIFY(!p->edit()->textCursor().hasSelection());
  QCOMPARE(p->edit()->textCursor().position(), 2);
  Format(p, CTextPane::TextColourGroup, 2);
  Type(p->edit(), QStringLiteral("C"));
  Format(p, CTextPane::FontGroup, 1);
  Format(p, CTextPane::BackColourGroup, 1);
  Type(p->edit(), QStringLiteral("한"));
  next.accept();
  QCOMPARE(Bytes(next.body().attrA, 6), QByteArray("\x00\x40\x80\x94\x94\x00", 6));
}

void TestTextEditors::modifyRoundTripsEveryAttribute() {
  // 64 characters of mixed Korean and Latin, character i in attribute i << 2.
  const std::u32string chars = U"가A나b다1라 마Z바?";
  StyledText all;
  for (int a = 0; a < 64; ++a) {
    all.push_back({chars[a % chars.size()], item::TextAttribute::Unpack(std::uint8_t(a << 2))});
  }
  const StyledText reversed(all.rbegin(), all.rend());
  auto roundTrip = [](CTextItemDlg& d, const item::ItemHeader& h, const item::ItemBody& body) {
    d.setModify(h, body);
    d.accept();
    QVERIFY2(d.isModify() && d.header() == h && d.body() == body, qPrintable(d.windowTitle()));
  };
  // Values mostly away from the defaults, so one left unrestored shows (upper hold 0, not 2).
  const item::ItemHeader oneLine =
      Header(item::ItemKind::OneLine, {{1, 16}, {2, 4}, {3, 9}, {4, 15}});
  const item::ItemHeader twoLine =
      Header(item::ItemKind::TwoLine, {{6, 3}, {7, 2}, {8, 0}, {9, 7}, {11, 12}, {13, 5}, {14, 1}});
  const item::ItemHeader title =
      Header(item::ItemKind::TitleSentence, {{11, 8}, {12, 3}, {13, 6}, {14, 14}});
  const item::ItemHeader dday =
      Header(item::ItemKind::DDay, {{21, 0x07}, {22, 0xEE}, {23, 2}, {24, 28}});  // 2030-02-28
  COneLineDlg one;
  roundTrip(one, Window(oneLine, 13 * 60 + 45, 23 * 60 + 59), BodyOf(all, {}));
  QCOMPARE(one.pane()->styledText(), all);
  QVERIFY(one.pane()->button(CTextPane::TextColourGroup, 0)->isChecked());
  CTwoLineDlg two;
  roundTrip(two, Window(twoLine, 60, 61), BodyOf(all, reversed));
  CTitleSentenceDlg ts;
  roundTrip(ts, Window(title, 0, 12 * 60), BodyOf(reversed, all));
  CDDayDlg dd;
  roundTrip(dd, Window(dday, 8 * 60 + 30, 20 * 60 + 5), BodyOf(all, {}));
}

void TestTextEditors::headerBytesOfEachKind() {
  CTwoLineDlg two;
  Type(two.upperPane()->edit(), QStringLiteral("위"));
  Type(two.lowerPane()->edit(), QStringLiteral("down"));
  two.findChild<QComboBox*>("speed")->setCurrentIndex(3);
  two.findChild<QComboBox*>("lowerHold")->setCurrentIndex(9);
  two.accept();
  // The one speed in byte 7; byte 12 (a sentence's speed) stays 0.
  QCOMPARE(two.header(), Header(item::ItemKind::TwoLine, {{7, 3}, {8, 2}, {13, 9}}));
  QCOMPARE(text::ReadTextQuarter(two.body().textA), std::string("\xC0\xA7"));
  QCOMPARE(text::ReadTextQuarter(two.body().textB), std::string("down"));

  CTitleSentenceDlg ts;
  Type(ts.titlePane()->edit(), QStringLiteral("T"));
  Type(ts.sentencePane()->edit(), QStringLiteral("S"));
  for (auto [name, code] : {std::pair{"entry", 5}, {"speed", 2}, {"hold", 7}, {"exit", 9}}) {
    ts.findChild<QComboBox*>(name)->setCurrentIndex(code);
  }
  ts.findChild<QTimeEdit*>("end")->setTime(QTime(18, 7));
  ts.accept();
  QCOMPARE(ts.header(), Header(item::ItemKind::TitleSentence,
                               {{11, 5}, {12, 2}, {13, 7}, {14, 9}, {27, 18}, {28, 7}}));
  QCOMPARE(ts.body().textA[0], std::uint8_t('T'));
  QCOMPARE(ts.body().textB[0], std::uint8_t('S'));

  CDDayDlg dd;
  QCOMPARE(dd.findChild<QDateEdit*>("date")->date(), QDate::currentDate());
  dd.findChild<QDateEdit*>("date")->setDate(QDate(2011, 12, 25));
  dd.findChild<QTimeEdit*>("start")->setTime(QTime(7, 30));
  dd.accept();  // an empty sentence is a valid D-day item
  QCOMPARE(dd.result(), int(QDialog::Accepted));
  QCOMPARE(dd.header(),
           Header(item::ItemKind::DDay,
                  {{21, 0x07}, {22, 0xDB}, {23, 0x0C}, {24, 0x19}, {25, 7}, {26, 30}}));
}

void TestTextEditors::byteLimits() {
  COneLineDlg d;
  CTextPane* p = d.pane();
  Type(p->edit(), QString(255, 'a'));
  Type(p->edit(), QStringLiteral("가"));  // would straddle byte 256
  QCOMPARE(p->textBytes(), std::size_t(255));
  QVERIFY(p->note().contains("256"));
  Type(p->edit(), QStringLiteral("bc"));  // b is byte 256, c the 257th
  QCOMPARE(p->textBytes(), std::size_t(256));
  QCOMPARE(p->plainText().right(2), QStringLiteral("ab"));
  Select(p, 0, 2);  // replacing a selection frees its bytes
  Type(p->edit(), QStringLiteral("한"));
  QCOMPARE(p->textBytes(), std::size_t(256));
  d.accept();
  QCOMPARE(text::ReadTextQuarter(d.body().textA).size(), std::size_t(256));

  CDDayDlg dd;
  Paste(dd.pane(), QString(150, QChar(0xAC00)));
  QCOMPARE(dd.pane()->textBytes(), std::size_t(200));
  QVERIFY(dd.pane()->note().contains("200"));

  // Unlimited panes take a long paste and cut it to the quarter on OK.
  CTwoLineDlg two;
  Paste(two.upperPane(), QString(3000, 'x'));
  Paste(two.lowerPane(), QString(1500, QChar(0xAC00)));
  QCOMPARE(two.upperPane()->textBytes(), std::size_t(3000));
  QVERIFY(two.upperPane()->note().contains("2047"));
  two.accept();
  QCOMPARE(text::ReadTextQuarter(two.body().textA).size(), std::size_t(2047));
  QCOMPARE(text::ReadTextQuarter(two.body().textB).size(), std::size_t(2046));
  QCOMPARE(two.body().textB[2046], std::uint8_t(0));

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
  QCOMPARE(text::ReadTextQuarter(stored.body().textA).size(), std::size_t(256));
}

void TestTextEditors::refusedAndBlankCharacters() {
  COneLineDlg d;
  CTextPane* p = d.pane();
  Type(p->edit(), QStringLiteral("가😀"));
  QVERIFY(p->note().contains(QStringLiteral("😀")));
  Paste(p, QStringLiteral("A\u4E2AB"));
  QVERIFY(p->note().contains(QStringLiteral("\u4E2A")));
  QInputMethodEvent ime;
  ime.setCommitString(QStringLiteral("나😀"));
  QApplication::sendEvent(p->edit(), &ime);
  QCOMPARE(p->plainText(), QStringLiteral("가AB나"));
  d.accept();
  QCOMPARE(text::ReadTextQuarter(d.body().textA), std::string("\xB0\xA1"
                                                              "AB\xB3\xAA"));
  Type(p->edit(), QStringLiteral("z"));  // a successful edit clears the refusal
  QCOMPARE(p->note(), QString());

  // 똠 is encodable but blank on the board: kept, and named.
  COneLineDlg blank;
  Type(blank.pane()->edit(), QStringLiteral("a똠"));
  QVERIFY(blank.pane()->note().contains(QStringLiteral("똠")));
  QVERIFY(!blank.pane()->note().contains(QStringLiteral("a")));
  blank.accept();
  QCOMPARE(text::ReadTextQuarter(blank.body().textA), std::string("a\x8C\x63"));
}

void TestTextEditors::enterPressesOk() {
  COneLineDlg d;
  d.show();
  Type(d.pane()->edit(), QStringLiteral("ab"));
  QTest::keyClick(d.pane()->edit(), Qt::Key_Return);
  QCOMPARE(d.result(), int(QDialog::Accepted));
  QCOMPARE(text::ReadTextQuarter(d.body().textA), std::string("ab"));
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
  QApplication::clipboard()->setMimeData(html);
  p->edit()->paste();
  QCOMPARE(p->plainText(), QStringLiteral("Z y"));
  // Orange is nearest yellow, dark grey nearest black; the face is no board font.
  QCOMPARE(p->styledText()[0].attr.Pack(), std::uint8_t(0xA0));
  QCOMPARE(p->styledText()[2].attr.Pack(), std::uint8_t(0xC0));

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
}

void TestTextEditors::grabsShowBoardColours() {
  // Four different installed faces stand for the four board fonts.
  QSet<QString> faces;
  for (int f = 0; f < 4; ++f) faces.insert(ScreenFace(static_cast<item::BoardFont>(f)));
  qInfo() << "screen faces" << faces;
  QCOMPARE(faces.size(), qsizetype(4));
  QDir().mkpath(EDITORS_GRAB_DIR);
  // Red font 0, green font 1, yellow font 2, red font 3, black on yellow font 3.
  const std::pair<const char*, int> runs[] = {
      {"굴림 ", 0x00}, {"궁서Ab ", 0x44}, {"옛체 ", 0x88}, {"매직체9 ", 0x0C}, {"바탕", 0xFC}};
  StyledText sample;
  for (auto [utf8, attr] : runs) {
    for (char32_t c : QString::fromUtf8(utf8).toStdU32String()) {
      sample.push_back({c, item::TextAttribute::Unpack(std::uint8_t(attr))});
    }
  }
  COneLineDlg one;
  CTwoLineDlg two;
  CTitleSentenceDlg ts;
  CDDayDlg dd;
  const std::pair<CTextItemDlg*, const char*> shots[] = {{&one, "one_line.png"},
                                                         {&two, "two_line.png"},
                                                         {&ts, "title_sentence.png"},
                                                         {&dd, "dday.png"}};
  for (auto [dlg, file] : shots) {
    dlg->setModify(item::ItemHeader{}, BodyOf(sample, sample));
    if (dlg == &dd) Type(dd.pane()->edit(), QStringLiteral("똠"));
    dlg->show();
    dlg->adjustSize();
    QVERIFY(dlg->grab().save(QStringLiteral(EDITORS_GRAB_DIR "/") + file));
    // The (first) edit shows dots of the board's colours on black.
    const QImage img = dlg->findChild<CPaneEdit*>()->grab().toImage();
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
    QVERIFY2(red > 50 && green > 50 && yellow > 50, file);
    QVERIFY2(black > img.width() * img.height() / 3, file);
  }
}

QTEST_MAIN(TestTextEditors)
#include "test_text_editors.moc"
