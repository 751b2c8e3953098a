#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QTest>
#include <QTextCursor>
#include <tuple>

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

QByteArray Bytes(const item::Quarter& q, int n) {
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

}  // namespace

class TestTextEditors : public QObject {
  Q_OBJECT
 private slots:
  void typedTextAndRadioFormats();
  void headerBytesAndModifyRoundTrip();
  void byteLimitsAndRefusedCharacters();
  void pastedFormatsAndEnter();
};

void TestTextEditors::typedTextAndRadioFormats() {
  COneLineDlg d;
  CTextPane* p = d.pane();
  Type(p->edit(), QStringLiteral("가A"));
  Format(p, CTextPane::TextColourGroup, 1, 1, 2);  // 초록색
  Format(p, CTextPane::BackColourGroup, 3, 1, 2);  // 노랑색
  Format(p, CTextPane::FontGroup, 3, 1, 2);        // 매직체
  Format(p, CTextPane::TextColourGroup, 3, 0, 1);  // 검정색
  d.accept();
  QCOMPARE(Bytes(d.body().textA, 4), QByteArray("\xB0\xA1\x41\x00", 4));
  QCOMPARE(Bytes(d.body().attrA, 4), QByteArray("\xC0\xC0\x7C\x00", 4));

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
  QCOMPARE(Bytes(next.body().attrA, 6), QByteArray("\x00\x40\x80\x94\x94\x00", 6));
}

void TestTextEditors::headerBytesAndModifyRoundTrip() {
  using K = item::ItemKind;
  COneLineDlg one;
  one.accept();  // defaults: hold 3 s, display window zero
  QCOMPARE(one.header(), Header(K::OneLine, {{3, 2}}));
  QCOMPARE(one.body(), item::ItemBody{});

  CDDayDlg dd;
  dd.accept();  // an empty sentence is a valid D-day item, dated today by default
  QCOMPARE(dd.result(), int(QDialog::Accepted));
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

void TestTextEditors::byteLimitsAndRefusedCharacters() {
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

void TestTextEditors::pastedFormatsAndEnter() {
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

QTEST_MAIN(TestTextEditors)
#include "test_text_editors.moc"
