// The event editor and list on the offscreen platform: what they hand to the event rules,
// the store and the in-process sign. The editor is answered in place through the list's
// edit runner.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

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
  for (int c = 0; c < list->columnCount(); ++c) out << list->topLevelItem(row)->text(c);
  return out;
}

void Select(QTreeWidget* list, std::initializer_list<int> rows = {}) {
  list->clearSelection();
  for (int r : rows) list->topLevelItem(r)->setSelected(true);
}

// With rows selected: whether the context menu's action named text is enabled; triggers it
// when asked to.
bool Menu(CEventListDlg& dlg, std::initializer_list<int> rows, const char* text,
          bool trigger = false) {
  Select(dlg.list(), rows);
  const std::unique_ptr<QMenu> menu = dlg.contextMenu();
  for (QAction* a : menu->actions()) {
    if (a->text() != QString::fromUtf8(text)) continue;
    if (trigger) a->trigger();
    return a->isEnabled();
  }
  return false;
}

}  // namespace

class TestEventDialogs : public QObject {
  Q_OBJECT
 private slots:
  void editorHandsCodesAndTextToTheEvent() {
    CEventEditDlg d;
    const QString typed = QString(2046, 'a') + QStringLiteral("가나다");  // no limit while typing
    Paste(d.pane(), typed);
    QCOMPARE(d.pane()->plainText(), typed);
    QVERIFY(
        d.pane()->note().contains(QStringLiteral("2047바이트를 넘는 부분은 저장되지 않습니다")));
    d.pane()->setStyledText({});
    Paste(d.pane(), QStringLiteral("가A"));
    const std::pair<const char*, int> codes[] = {
        {"entry", 16}, {"speed", 4}, {"hold", 9}, {"exit", 15}};
    for (auto [name, index] : codes) d.findChild<QComboBox*>(name)->setCurrentIndex(index);
    d.pane()->edit()->selectAll();
    d.pane()->button(CTextPane::TextColourGroup, 2)->click();
    d.accept();
    const item::ItemRecord e = d.event();
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(e.header.bytes.data()), 6),
             QByteArray("\0\x10\x04\x09\x0F\0", 6));
    QCOMPARE(text::ReadTextQuarter(e.body.textA), std::string("\xB0\xA1") + "A");
    QCOMPARE(int(e.body.attrA[0]) + int(e.body.attrA[2]), 2 * 0x80);
  }

  void listReachesTheStoreAndTheSign() {
    QTemporaryDir dir;
    store::WorkStore store;
    store.SetPath(dir.filePath("data.tmp").toStdString());
    QCOMPARE(store.Open(), 0);
    fakes::SimSignLink link;
    MessageRecorder boxes;
    QString opened, typed;  // the text the editor was opened with, the text typed into it
    int entry = 0;
    const auto typing = [&](CEventEditDlg& e) {
      opened = e.pane()->plainText();
      e.pane()->setStyledText({});
      Paste(e.pane(), typed);
      e.findChild<QComboBox*>("entry")->setCurrentIndex(entry);
      e.accept();
      return e.result();
    };
    const auto last = [&boxes] {
      return boxes.messages().last().text + "|" + boxes.messages().last().caption;
    };
    {
      CEventListDlg dlg(store, link, nullptr);
      dlg.show();
      QTreeWidget* list = dlg.list();
      dlg.setEditRunner(typing);
      for (entry = 0; entry < 10; ++entry) {
        typed = QStringLiteral("긴급 %1").arg(entry);
        dlg.addButton()->click();
      }
      QVERIFY(boxes.messages().isEmpty());
      opened = "not run";
      dlg.addButton()->click();
      QCOMPARE(opened, QStringLiteral("not run"));  // the editor does not even open
      QCOMPARE(last(), QStringLiteral("더이상 이벤트를 추가할수 없습니다|더이상 추가안됨"));

      std::tie(typed, entry) = std::pair(QStringLiteral("바뀜"), 6);
      QVERIFY(QTest::qWaitForWindowExposed(&dlg));
      const QRect r = list->visualItemRect(list->topLevelItem(2));
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
      QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
      QCOMPARE(opened, QStringLiteral("긴급 2"));
      QCOMPARE(Cells(list, 2), (QStringList{"1줄문장", "바뀜", "7", "3초", "1", "1"}));

      // Cut row 0, paste it before row 1, delete row 2: 긴급 1, 긴급 0, 긴급 3...
      Select(list);
      QVERIFY(!dlg.contextMenu());  // no row selected: no menu
      QVERIFY(!Menu(dlg, {0}, "붙여넣기"));
      Menu(dlg, {0}, "잘라내기", true);
      QVERIFY(Menu(dlg, {1}, "붙여넣기", true));
      Menu(dlg, {2}, "삭제", true);
      QCOMPARE(list->topLevelItemCount(), 9);
      QCOMPARE(Cells(list, 1)[1] + Cells(list, 2)[1], QStringLiteral("긴급 0긴급 3"));

      // Send and cancel: their messages, the frames of the selected row, focus back on the list.
      Select(list);
      dlg.sendButton()->click();
      QCOMPARE(last(), QStringLiteral("선택된 Item이 없습니다.|"));
      Select(list, {1});
      dlg.cancelButton()->setFocus();
      dlg.sendButton()->click();
      QCOMPARE(last(), QStringLiteral("Event 전송완료했습니다|Event전송완료"));
      const auto frames = events::EventFrames(dlg.events().At(1));
      QCOMPARE(link.sent(), std::vector<signlink::Frame>(frames.begin(), frames.end()));
      QCOMPARE(dlg.focusWidget(), static_cast<QWidget*>(list));
      dlg.cancelButton()->click();
      QCOMPARE(last(), QStringLiteral("이벤트모드 취소OK...|이벤트 취소"));
    }
    CEventListDlg reopened(store, link, nullptr);  // the cut does not outlive the dialog
    QVERIFY(!Menu(reopened, {0}, "붙여넣기"));
    store.Close();
  }
};

QTEST_MAIN(TestEventDialogs)
#include "test_event_dialogs.moc"
