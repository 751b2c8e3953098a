// The event list and event editor on the offscreen platform; the editor is answered in
// place through the list's edit runner, the sign is the in-process one.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>

#include "manager/editors/pane_format.h"
#include "manager/editors/text_pane.h"
#include "manager/events/event_send.h"
#include "manager/events/ui/event_edit_dlg.h"
#include "manager/events/ui/event_list_dlg.h"
#include "manager/store/work_store.h"
#include "qtshared/message_box.h"
#include "shared/cp949.h"
#include "tests/fakes/sim_sign_link.h"

namespace {

void Paste(CTextPane* pane, const QString& text) {
  auto* data = new QMimeData;
  data->setText(text);
  QApplication::clipboard()->setMimeData(data);
  pane->edit()->paste();
}

QStringList Cells(QTreeWidget* list, int row) {
  QStringList out;
  QTreeWidgetItem* item = list->topLevelItem(row);
  for (int c = 0; item && c < list->columnCount(); ++c) out << item->text(c);
  return out;
}

void SelectRows(QTreeWidget* list, std::initializer_list<int> rows) {
  list->clearSelection();
  for (int r : rows) list->topLevelItem(r)->setSelected(true);
}

QAction* MenuAction(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions()) {
    if (a->text() == text) return a;
  }
  return nullptr;
}

struct FrameProgress : events::Progress {
  QList<int> shown;  // the total on Begin, then each position; -1 on End
  int position = 0;
  void Begin(int total) override {
    position = 0;
    shown << total;
  }
  void Step() override { shown << ++position; }
  void End() override { shown << -1; }
};

}  // namespace

class TestEventDialogs : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void editorLooksAndCodes();
  void editorCutsLongTextAndNamesRefusals();
  void addModifyAndTheTenEventLimit();
  void contextMenuCutPasteAndDelete();
  void sendAndCancelShowTheirMessages();
  void grabs();

 private:
  std::unique_ptr<CEventListDlg> Open();
  // Runner that types text with the given entry code and accepts (or rejects when null).
  CEventListDlg::EditRunner Typing(const QString& text, int entry = 0);

  std::unique_ptr<QTemporaryDir> dir_;
  store::WorkStore store_;
  fakes::SimSignLink* link_ = nullptr;
  FrameProgress progress_;
  int runs_ = 0;
};

void TestEventDialogs::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  store_.SetPath(dir_->filePath("data.tmp").toStdString());
  QCOMPARE(store_.Open(), 0);
  link_ = new fakes::SimSignLink;
  progress_ = {};
  runs_ = 0;
}

void TestEventDialogs::cleanup() {
  store_.Close();
  delete link_;
  dir_.reset();
}

std::unique_ptr<CEventListDlg> TestEventDialogs::Open() {
  auto dlg = std::make_unique<CEventListDlg>(store_, *link_, &progress_);
  dlg->show();
  return dlg;
}

CEventListDlg::EditRunner TestEventDialogs::Typing(const QString& text, int entry) {
  return [this, text, entry](CEventEditDlg& e) {
    ++runs_;
    e.pane()->setStyledText({});
    Paste(e.pane(), text);
    e.findChild<QComboBox*>("entry")->setCurrentIndex(entry);
    e.accept();
    return e.result();
  };
}

void TestEventDialogs::editorLooksAndCodes() {
  CEventEditDlg d;
  QCOMPARE(d.windowTitle(), QStringLiteral("이벤트편집"));
  QVERIFY(!d.findChild<QTimeEdit*>());  // no display window
  QCOMPARE(d.pane()->byteLimit(), kNoLimit);
  QCOMPARE(d.pane()->edit()->palette().color(QPalette::Base), QColor(Qt::black));
  const QTextCharFormat f = d.pane()->edit()->currentCharFormat();
  QVERIFY(f.fontWeight() >= QFont::Bold);
  QCOMPARE(f.fontPointSize(), 21.0);
  QCOMPARE(AttributeOf(f), item::TextAttribute{});  // red on black, first font
  Paste(d.pane(), QStringLiteral("가A"));
  d.findChild<QComboBox*>("hold")->setCurrentIndex(9);
  d.findChild<QComboBox*>("speed")->setCurrentIndex(4);
  d.findChild<QComboBox*>("exit")->setCurrentIndex(15);
  d.findChild<QComboBox*>("entry")->setCurrentIndex(16);
  d.pane()->edit()->selectAll();
  d.pane()->button(CTextPane::TextColourGroup, 2)->click();
  d.accept();
  const item::ItemRecord e = d.event();
  const std::uint8_t header[6] = {0, 16, 4, 9, 15, 0};
  QCOMPARE(QByteArray(reinterpret_cast<const char*>(e.header.bytes.data()), 6),
           QByteArray(reinterpret_cast<const char*>(header), 6));
  QCOMPARE(text::ReadTextQuarter(e.body.textA), std::string("\xB0\xA1" "A"));
  QCOMPARE(int(e.body.attrA[0]), 0x80);
  QCOMPARE(int(e.body.attrA[2]), 0x80);

  // Modify mode restores codes, text and formats.
  CEventEditDlg again;
  again.setEvent(e);
  QVERIFY(again.isModify());
  QCOMPARE(again.findChild<QComboBox*>("entry")->currentIndex(), 16);
  QCOMPARE(again.findChild<QComboBox*>("hold")->currentIndex(), 9);
  again.accept();
  QCOMPARE(again.event(), e);

  CEventEditDlg fresh;
  fresh.accept();
  QCOMPARE(int(fresh.event().header[item::hdr::kHold]), 2);  // 3 seconds
  QCOMPARE(fresh.event().body.textA[0], 0);
}

void TestEventDialogs::editorCutsLongTextAndNamesRefusals() {
  struct Case {
    QString text;
    std::size_t kept;
  };
  const Case cases[] = {
      {QString(3000, 'a'), 2047},
      {QString(2046, 'a') + QStringLiteral("가나다"), 2046},  // 가 would start at 2046
      {QString(2045, 'a') + QStringLiteral("가나"), 2047},
      {QString(2047, 'b'), 2047},
      {QString(20000, 'z'), 2047},  // far past any buffer
  };
  for (const Case& c : cases) {
    CEventEditDlg d;
    Paste(d.pane(), c.text);
    QCOMPARE(d.pane()->plainText(), c.text);  // no limit while typing
    const bool over = d.pane()->textBytes() > item::kMaxTextBytes;
    QCOMPARE(d.pane()->note().contains(QStringLiteral("2047바이트를 넘는 부분은 저장되지 않습니다")),
             over);
    d.accept();
    const item::ItemRecord e = d.event();
    QCOMPARE(text::ReadTextQuarter(e.body.textA).size(), c.kept);
    QCOMPARE(int(e.body.textA[c.kept]), 0);
  }

  CEventEditDlg d;
  Paste(d.pane(), QStringLiteral("A😀\u4E2A똠"));
  QVERIFY(d.pane()->note().contains(QStringLiteral("😀")));
  QVERIFY(d.pane()->note().contains(QStringLiteral("똠")));  // kept, but blank on the board
  QCOMPARE(d.pane()->plainText(), QStringLiteral("A똠"));
}

void TestEventDialogs::addModifyAndTheTenEventLimit() {
  MessageRecorder boxes;
  auto dlg = Open();
  QCOMPARE(dlg->windowTitle(), QStringLiteral("이벤트 목록"));
  QTreeWidget* list = dlg->list();
  const int widths[] = {100, 390, 80, 80, 80, 50};
  for (int c = 0; c < 6; ++c) QCOMPARE(list->columnWidth(c), widths[c]);
  QCOMPARE(list->headerItem()->text(1), QStringLiteral("내     용"));

  for (int i = 0; i < 10; ++i) {
    dlg->setEditRunner(Typing(QStringLiteral("긴급 %1").arg(i), i));
    dlg->addButton()->click();
  }
  QCOMPARE(list->topLevelItemCount(), 10);
  QCOMPARE(Cells(list, 4), (QStringList{"1줄문장", "긴급 4", "5", "3초", "1", "1"}));
  QVERIFY(boxes.messages().isEmpty());
  dlg->addButton()->click();
  QCOMPARE(runs_, 10);  // the editor does not even open
  QCOMPARE(boxes.messages().size(), qsizetype(1));
  QCOMPARE(boxes.messages()[0].text, QStringLiteral("더이상 이벤트를 추가할수 없습니다"));
  QCOMPARE(boxes.messages()[0].caption, QStringLiteral("더이상 추가안됨"));

  // A cancelled or emptied editor stores nothing; a double click opens the row's event.
  SelectRows(list, {2});
  QString seen;
  dlg->setEditRunner([&](CEventEditDlg& e) {
    seen = e.pane()->plainText();
    e.pane()->setStyledText({});
    e.accept();
    return e.result();
  });
  QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
  const QRect r = list->visualItemRect(list->topLevelItem(2));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
  QCOMPARE(seen, QStringLiteral("긴급 2"));
  QCOMPARE(Cells(list, 2)[1], QStringLiteral("긴급 2"));
  QCOMPARE(QString::fromStdString(text::Cp949ToUtf8(
               text::ReadTextQuarter(store_.ReadRecord(events::StoreSlot(2)).body.textA))),
           QStringLiteral("긴급 2"));

  dlg->setEditRunner(Typing(QStringLiteral("바뀜"), 6));
  std::unique_ptr<QMenu> menu = dlg->contextMenu();
  MenuAction(menu.get(), QStringLiteral("수정"))->trigger();
  QCOMPARE(Cells(list, 2), (QStringList{"1줄문장", "바뀜", "7", "3초", "1", "1"}));
  QCOMPARE(list->topLevelItemCount(), 10);

  SelectRows(list, {1, 3});
  boxes.clear();
  MenuAction(dlg->contextMenu().get(), QStringLiteral("수정"))->trigger();
  QCOMPARE(boxes.messages().size(), qsizetype(1));
  QCOMPARE(boxes.messages()[0].text, QStringLiteral("수정할곳의 Item만 선택하세요..."));
  QCOMPARE(boxes.messages()[0].caption, QString());
}

void TestEventDialogs::contextMenuCutPasteAndDelete() {
  MessageRecorder boxes;
  {
    auto dlg = Open();
    for (const char* t : {"하나", "둘", "셋"}) {
      dlg->setEditRunner(Typing(QString::fromUtf8(t)));
      dlg->addButton()->click();
    }
    QTreeWidget* list = dlg->list();
    list->clearSelection();
    QVERIFY(!dlg->contextMenu());  // no row selected: no menu

    SelectRows(list, {0});
    std::unique_ptr<QMenu> menu = dlg->contextMenu();
    QCOMPARE(menu->objectName(), QStringLiteral("EventList"));
    QStringList texts;
    for (QAction* a : menu->actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(texts, (QStringList{"수정", "삭제", "-", "잘라내기", "붙여넣기"}));
    QVERIFY(MenuAction(menu.get(), QStringLiteral("잘라내기"))->isEnabled());
    QVERIFY(!MenuAction(menu.get(), QStringLiteral("붙여넣기"))->isEnabled());
    MenuAction(menu.get(), QStringLiteral("잘라내기"))->trigger();
    QCOMPARE(list->topLevelItemCount(), 2);

    SelectRows(list, {1});
    menu = dlg->contextMenu();
    QVERIFY(MenuAction(menu.get(), QStringLiteral("붙여넣기"))->isEnabled());
    MenuAction(menu.get(), QStringLiteral("붙여넣기"))->trigger();
    QCOMPARE(Cells(list, 1)[1], QStringLiteral("하나"));  // before the selected "셋"

    SelectRows(list, {1});  // delete the middle one of 둘 하나 셋
    MenuAction(dlg->contextMenu().get(), QStringLiteral("삭제"))->trigger();
    QCOMPARE(list->topLevelItemCount(), 2);
    QVERIFY(boxes.messages().isEmpty());
  }
  // Slots 0 and 1 filled, slot 2 zero, and the reopened dialog shows two rows.
  QVERIFY(store_.ReadRecord(events::StoreSlot(1)).body.textA[0] != 0);
  QCOMPARE(store_.ReadRecord(events::StoreSlot(2)), item::ItemRecord{});
  auto reopened = Open();
  QCOMPARE(reopened->list()->topLevelItemCount(), 2);
  QCOMPARE(Cells(reopened->list(), 1)[1], QStringLiteral("셋"));
  // The cut does not outlive the dialog.
  SelectRows(reopened->list(), {0});
  QVERIFY(!MenuAction(reopened->contextMenu().get(), QStringLiteral("붙여넣기"))->isEnabled());
}

void TestEventDialogs::sendAndCancelShowTheirMessages() {
  MessageRecorder boxes;
  auto dlg = Open();
  dlg->setEditRunner(Typing(QStringLiteral("지금 대피하십시오")));
  dlg->addButton()->click();
  dlg->addButton()->click();
  QTreeWidget* list = dlg->list();

  list->clearSelection();
  dlg->sendButton()->click();
  QCOMPARE(boxes.messages().last().text, QStringLiteral("선택된 Item이 없습니다."));
  QVERIFY(link_->sent().empty());

  SelectRows(list, {1});
  dlg->cancelButton()->setFocus();
  dlg->sendButton()->click();
  QCOMPARE(boxes.messages().last().text, QStringLiteral("Event 전송완료했습니다"));
  QCOMPARE(boxes.messages().last().caption, QStringLiteral("Event전송완료"));
  QCOMPARE(progress_.shown, (QList<int>{3, 1, 2, 3, -1}));
  QCOMPARE(link_->sent().size(), std::size_t(4));
  const auto frames = events::EventFrames(dlg->events().At(1));
  QCOMPARE(link_->sent()[1], frames[1]);
  QVERIFY(link_->sign().event_running());
  QCOMPARE(dlg->focusWidget(), static_cast<QWidget*>(list));
  QVERIFY(dlg->sendButton()->isEnabled());

  dlg->cancelButton()->click();
  QCOMPARE(boxes.messages().last().text, QStringLiteral("이벤트모드 취소OK..."));
  QCOMPARE(boxes.messages().last().caption, QStringLiteral("이벤트 취소"));
  QVERIFY(!link_->sign().event_running());

  // The second block fails: its text, no start frame, the bar emptied.
  link_->Fail(link_->sent().size() + 2, signlink::Result::kChecksum);
  progress_.shown.clear();
  dlg->sendButton()->click();
  QCOMPARE(boxes.messages().last().text, QStringLiteral("CHECK-SUM 오류입니다."));
  QCOMPARE(boxes.messages().last().caption, QStringLiteral("Event전송실패"));
  QCOMPARE(progress_.shown, (QList<int>{3, 1, -1}));
  QCOMPARE(link_->sent().size(), std::size_t(7));

  link_->Fail(link_->sent().size() + 1, signlink::Result::kTimeout);
  dlg->cancelButton()->click();
  QCOMPARE(boxes.messages().last().text, QStringLiteral("시간 초과 오류입니다."));
  QCOMPARE(boxes.messages().last().caption, QStringLiteral("통신실패"));
  QCOMPARE(dlg->focusWidget(), static_cast<QWidget*>(list));
}

void TestEventDialogs::grabs() {
  QDir().mkpath(EVENTS_GRAB_DIR);
  auto dlg = Open();
  const std::pair<const char*, int> events[] = {
      {"지금 즉시 대피하십시오", 0}, {"3층 회의실 변경", 7}, {"Server down", 16}};
  for (auto [t, entry] : events) {
    dlg->setEditRunner(Typing(QString::fromUtf8(t), entry));
    dlg->addButton()->click();
  }
  SelectRows(dlg->list(), {1});
  dlg->adjustSize();
  QVERIFY(dlg->grab().save(QStringLiteral(EVENTS_GRAB_DIR "/event_list.png")));

  CEventEditDlg edit;
  edit.setEvent(dlg->events().At(0));
  edit.pane()->edit()->selectAll();
  QTextCursor c = edit.pane()->edit()->textCursor();
  c.setPosition(3);
  c.setPosition(5, QTextCursor::KeepAnchor);
  edit.pane()->edit()->setTextCursor(c);
  edit.pane()->button(CTextPane::TextColourGroup, 2)->click();
  edit.show();
  edit.adjustSize();
  QVERIFY(edit.grab().save(QStringLiteral(EVENTS_GRAB_DIR "/event_edit.png")));
}

QTEST_MAIN(TestEventDialogs)
#include "test_event_dialogs.moc"
