// The manager's window and list view through the seams: fake editors and file dialogs
// answer at once; boxes are recorded. The list rules are pinned in tests/list; here only
// that each command, key and menu reaches them.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <deque>

#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/app/main_frame.h"
#include "manager/editors/editor_controls.h"
#include "manager/editors/text_pane.h"
#include "manager/list/row_text.h"
#include "manager/store/work_store.h"
#include "qtshared/message_box.h"
#include "shared/cp949.h"

namespace {

item::ItemRecord Record(item::ItemKind kind, const char* a = "", const char* b = "") {
  item::ItemRecord r;
  r.header.setKind(kind);
  for (auto [at, v] : {std::pair{3, 4}, std::pair{7, 2}, std::pair{20, 9}}) r.header[at] = v;
  text::WriteTextQuarter(r.body.textA, *text::Utf8ToCp949(a));
  text::WriteTextQuarter(r.body.textB, *text::Utf8ToCp949(b));
  r.body.attrA[0] = 0x7C;
  return r;
}

// The record as the store keeps it: header and the quarters its kind writes.
item::ItemRecord Stored(item::ItemRecord r) {
  for (int q = 0; q < 4; ++q) {
    const auto id = item::QuarterId(q);
    if (!item::WritesQuarter(r.header.kind(), id)) r.body.quarter(id).fill(0);
  }
  return r;
}

template <class T>
std::optional<T> Take(std::deque<T>& q) {
  if (q.empty()) return std::nullopt;  // Cancel
  T front = q.front();
  q.pop_front();
  return front;
}

struct FakeEditors : ItemEditors {
  bool Handles(item::ItemKind) const override { return true; }
  std::optional<item::ItemRecord> Edit(item::ItemKind kind, const item::ItemRecord* existing,
                                       QWidget*) override {
    calls.push_back({kind, existing ? std::optional(*existing) : std::nullopt});
    return Take(answers);
  }
  std::deque<item::ItemRecord> answers;
  std::vector<std::pair<item::ItemKind, std::optional<item::ItemRecord>>> calls;
};

struct FakeDialogs : ProjectDialogs {
  std::optional<QString> OpenPath(QWidget*, const QString&) override { return Take(opens); }
  std::optional<QString> SavePath(QWidget*, const QString&) override { return Take(saves); }
  std::deque<QString> opens, saves;
};

// The boxes' texts, without the warning of the missing serial port every reload gives.
QStringList Texts(const MessageRecorder& boxes) {
  QStringList out;
  for (const MessageRequest& m : boxes.messages())
    if (m.caption != QStringLiteral("경고")) out << m.text;
  return out;
}

QStringList Contents(QTreeWidget* list) {
  QStringList out;
  for (int i = 0; i < list->topLevelItemCount(); ++i) out << list->topLevelItem(i)->text(1);
  return out;
}

// The texts A of a project file as read from disk.
QStringList Names(const QString& path) {
  store::WorkStore file;
  file.SetPath(path.toStdString());
  QStringList out;
  if (file.Open() != 0) return {"cannot open"};
  for (const auto& r : file.ReadList())
    out << QString::fromStdString(text::Cp949ToUtf8(text::ReadTextQuarter(r.body.textA)));
  return out;
}

}  // namespace

Q_DECLARE_METATYPE(item::ItemKind)

class AppTest : public QObject {
  Q_OBJECT

  QTemporaryDir* dir_ = nullptr;
  FakeEditors* editors_ = nullptr;
  FakeDialogs* dialogs_ = nullptr;

  CBrellionView* view() { return TheApp()->View(); }
  CMainFrame* frame() { return TheApp()->MainFrame(); }
  QTreeWidget* list() { return view()->List(); }
  store::WorkStore& store() { return store::TheWorkStore(); }
  QString Path(const QString& name) { return dir_->filePath(name); }
  QString StorePath() { return QString::fromStdString(store().Path()); }
  // Rows named by their text A, straight into the store, then shown.
  void Fill(int n, int height = 2) {
    for (int i = 0; i < n; ++i)
      store().AppendSlot(i, Record(item::ItemKind::OneLine, QByteArray::number(i).constData()));
    store().SetHeight(std::uint8_t(height));
    view()->ReloadSettings();
    view()->RefreshList();
  }
  void Trigger(int id) {
    view()->UpdateCommandStates();
    view()->Action(id)->trigger();
  }
  bool Enabled(int id) { return view()->Action(id)->isEnabled(); }
  void ShowActive() {
    frame()->show();
    frame()->activateWindow();  // the offscreen platform has no window manager to do it
    QVERIFY(QTest::qWaitForWindowActive(frame()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list()));
  }

 private slots:
  void init() {
    dir_ = new QTemporaryDir;
    TheApp()->SetProgramDirectory(dir_->path());
    QVERIFY(TheApp()->InitInstance(false));
    view()->SetItemEditors(std::unique_ptr<ItemEditors>(editors_ = new FakeEditors));
    view()->SetProjectDialogs(std::unique_ptr<ProjectDialogs>(dialogs_ = new FakeDialogs));
  }
  void cleanup() {
    store::CloseWorkStore();
    delete dir_;
  }

  // A restart repairs the stored settings into the view and starts with an empty list.
  void restartRepairsSettingsAndEmptiesTheList() {
    QCOMPARE(frame()->windowTitle(), QStringLiteral("전광판 제어기(128MB)"));  // nothing appended
    store().AppendSlot(0, Record(item::ItemKind::OneLine, "A"));
    store().SetWidth(9);
    store().SetHeight(3);
    store().SetSerialPort(25);
    QVERIFY(TheApp()->InitInstance(false));
    QCOMPARE(view()->Settings().width, 9);
    QCOMPARE(view()->Settings().height, 1);
    QCOMPARE(view()->SerialPortNumber(), 1);
    QCOMPARE(store().SerialPort(), 1);
    QCOMPARE(list()->topLevelItemCount(), 0);
    QVERIFY(store().ReadList().empty());
  }

  // The real box of a store that cannot be made: its caption alone and Qt's Korean OK.
  void storeThatCannotBeMadeIsFatal() {
    QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("blocked/data.tmp")));
    TheApp()->SetProgramDirectory(Path("blocked"));
    const MessageHandler recorder = SetMessageHandler(nullptr);
    QStringList seen;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      seen << box->windowTitle() << box->text();
      for (QAbstractButton* b : box->buttons()) seen << b->text();
      box->accept();
    });
    QVERIFY(!TheApp()->InitInstance(false));
    SetMessageHandler(recorder);
    QCOMPARE(seen,
             (QStringList{"실행할수 없음", "파일을 만들수 없습니다\n실행할수 없습니다", "확인"}));
  }

  // Whole percentages that stop at 100; totals beyond 16 bits still fill the bar in step.
  void progressShowsWholePercentages() {
    const struct {
      int total, steps;
      QString text;
    } rows[] = {
        {3, 1, "33 %"}, {3, 2, "66 %"}, {3, 4, "100 %"}, {0, 1, "0 %"}, {100000, 50000, "50 %"}};
    for (const auto& r : rows) {
      frame()->BeginProgress(r.total);
      for (int i = 0; i < r.steps; ++i) frame()->StepProgress();
      QCOMPARE(frame()->PercentText(), r.text);
      QCOMPARE(frame()->ProgressPosition(), std::min(r.steps, r.total));
    }
    const QProgressBar* bar = frame()->ProgressBar();
    QVERIFY(qAbs(double(bar->value() - bar->minimum()) / (bar->maximum() - bar->minimum()) - 0.5) <
            0.001);
    frame()->EndProgress();
    QCOMPARE(frame()->PercentText(), QString());
  }

  void addCommandsReachTheirEditor_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<item::ItemKind>("kind");
    QTest::addColumn<QByteArray>("text");  // A|B
    using K = item::ItemKind;
    QTest::newRow("one-line") << cmd::kAddOneLine << K::OneLine << QByteArray("가A|");
    QTest::newRow("one-line empty: not added") << cmd::kAddOneLine << K::OneLine << QByteArray("|");
    QTest::newRow("two-line") << cmd::kAddTwoLine << K::TwoLine << QByteArray("up|down");
    QTest::newRow("title") << cmd::kAddTitle << K::TitleSentence << QByteArray("t|s");
    QTest::newRow("bitmap") << cmd::kAddBitmap << K::Bitmap << QByteArray("/p/a.bmp|");
    QTest::newRow("animation") << cmd::kAddAnimation << K::Animation << QByteArray("C:\\b.gif|");
    QTest::newRow("date/time") << cmd::kAddDateTime << K::DateTime << QByteArray("|");
    QTest::newRow("d-day") << cmd::kAddDDay << K::DDay << QByteArray("|");
    QTest::newRow("temperature") << cmd::kAddTemperature << K::Temperature << QByteArray("|");
  }
  void addCommandsReachTheirEditor() {
    QFETCH(int, command);
    QFETCH(item::ItemKind, kind);
    QFETCH(QByteArray, text);
    Fill(2);
    const auto r = Record(kind, text.split('|')[0].constData(), text.split('|')[1].constData());
    const bool added = QByteArray(QTest::currentDataTag()).indexOf("not added") < 0;
    editors_->answers = {r};
    MessageRecorder boxes;
    Trigger(command);
    Trigger(command);  // cancelled: adds nothing
    QCOMPARE(int(editors_->calls.size()), 2);
    QVERIFY(editors_->calls[0].first == kind && !editors_->calls[0].second);
    QVERIFY(boxes.messages().isEmpty());
    QCOMPARE(store().ReadRecord(2), added ? Stored(r) : item::ItemRecord{});
    QCOMPARE(list()->topLevelItemCount(), added ? 3 : 2);
    QCOMPARE(view()->SelectedRows(), added ? std::vector<int>{2} : std::vector<int>{});
    if (!added) return;
    const msglist::RowText row = msglist::ItemRowText(Stored(r));
    for (int c = 0; c < msglist::kColumnCount; ++c)
      QCOMPARE(list()->topLevelItem(2)->text(c), QString::fromStdString(row[std::size_t(c)]));
  }

  void enableRulesReachTheActions() {
    Fill(3, 1);
    for (int id : {cmd::kAddTwoLine, cmd::kAddTitle, cmd::kModify, cmd::kDelete, cmd::kPaste})
      QVERIFY(!Enabled(id));
    view()->SelectRows({0, 2});
    QVERIFY(Enabled(cmd::kDelete) && !Enabled(cmd::kModify));
    list()->topLevelItem(2)->setSelected(false);  // the selection signal updates the states
    QVERIFY(Enabled(cmd::kModify) && !Enabled(cmd::kPaste));
    store().SetHeight(2);
    view()->ReloadSettings();
    QVERIFY(Enabled(cmd::kAddTwoLine) && Enabled(cmd::kAddTitle));
  }

  void fullListRefusesBeforeTheEditor() {
    Fill(100);
    MessageRecorder boxes;
    Trigger(cmd::kAddTemperature);
    QVERIFY(editors_->calls.empty());
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(boxes.messages()[0].caption + ": " + boxes.messages()[0].text,
             QStringLiteral("더이상 추가안됨: 더이상 추가할수 없습니다"));
    QVERIFY(store().ReadList(100, 10).empty());
  }

  // A double click hands the editor the stored record; an unknown kind opens nothing and
  // 수정 says why.
  void doubleClickModifiesAndUnknownKindRefuses() {
    Fill(1);
    store().WriteRecord(1, Record(item::ItemKind(9), "??"));
    view()->RefreshList();
    editors_->answers = {Record(item::ItemKind::OneLine, "changed")};
    frame()->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame()));
    const QPoint at = list()->visualItemRect(list()->topLevelItem(0)).center();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(editors_->calls.size(), 1u);
    QCOMPARE(editors_->calls[0].second,
             std::optional(Stored(Record(item::ItemKind::OneLine, "0"))));
    QCOMPARE(Contents(list()), (QStringList{"changed", "??"}));
    MessageRecorder boxes;
    view()->SelectRows({1});
    Trigger(cmd::kModify);
    QCOMPARE(editors_->calls.size(), 1u);
    QCOMPARE(boxes.messages().size(), 1);
  }

  void contextMenuGreysAndRuns() {
    QVERIFY(!view()->CreateListContextMenu());  // nothing selected
    Fill(3);
    view()->SelectRows({0, 1});
    std::unique_ptr<QMenu> menu(view()->CreateListContextMenu());
    QStringList entries;
    for (QAction* a : menu->actions())
      entries << a->text().section('\t', 0, 0) + (a->isEnabled() ? "" : "(grey)");
    QCOMPARE(entries, (QStringList{"수정", "삭제", "", "잘라내기", "붙여넣기(grey)"}));
    MessageRecorder boxes;
    menu->actions()[0]->trigger();  // 수정 on two rows answers with its message
    menu->actions()[4]->trigger();  // grey: nothing runs
    QCOMPARE(Texts(boxes), QStringList{"수정할곳의 Item만 선택하세요..."});
    view()->SelectRows({0});
    Trigger(cmd::kCut);
    view()->SelectRows({1});
    menu.reset(view()->CreateListContextMenu());
    menu->actions()[4]->trigger();
    QCOMPARE(Contents(list()), (QStringList{"1", "0", "2"}));
  }

  // Save and load that cannot open their file keep the list. Load asks first; Yes copies
  // the scratch list, then the project comes with its settings and the cut item goes.
  void projectCommands() {
    Fill(2);
    MessageRecorder boxes;  // answers the prompt with Ok: not Yes
    dialogs_->saves = {Path("missing/show.dat")};
    Trigger(cmd::kSave);
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder.dat")));
    dialogs_->opens = {Path("folder.dat")};
    Trigger(cmd::kLoad);
    const QString prompt = QStringLiteral("작업한 내용을 저장하시겠습니까?");
    QCOMPARE(Texts(boxes),
             (QStringList{"파일을 오픈할수 없습니다", prompt, "파일을 오픈할수 없습니다"}));
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("파일오픈실패"));
    QVERIFY(boxes.messages()[1].buttons == MsgButtons::YesNo);
    QCOMPARE(boxes.messages()[1].caption, QStringLiteral("저장"));
    QCOMPARE(StorePath(), Path("data.tmp"));
    QCOMPARE(Contents(list()), (QStringList{"0", "1"}));
    {
      store::WorkStore other;
      other.SetPath(Path("OTHER.DAT").toStdString());
      QCOMPARE(other.Open(), 0);
      other.AppendSlot(0, Record(item::ItemKind::DateTime));
      other.SetWidth(12);
      other.SetHeight(1);
    }
    view()->SelectRows({0});
    Trigger(cmd::kCut);
    boxes.clear();
    boxes.setAnswer(MsgResult::Yes);
    dialogs_->saves = {Path("copy.dat")};
    dialogs_->opens = {Path("OTHER.DAT")};
    Trigger(cmd::kLoad);
    QCOMPARE(Texts(boxes), QStringList{prompt});
    QCOMPARE(Names(Path("copy.dat")), QStringList{"1"});
    QCOMPARE(StorePath(), Path("OTHER.DAT"));
    QCOMPARE(list()->topLevelItem(0)->text(0), QStringLiteral("시각표시"));
    QCOMPARE(view()->Settings().width, 12);
    QVERIFY(!view()->CutPresent() && !Enabled(cmd::kAddTwoLine));
  }

  // Closing offers the scratch list once more; Yes copies it, which stays scratch.
  void closeOffersTheScratchList() {
    Fill(2);
    MessageRecorder boxes(MsgResult::Yes);
    dialogs_->saves = {Path("at-close.dat")};
    frame()->close();
    QCOMPARE(Texts(boxes), QStringList{"작업한 내용을 저장하시겠습니까?"});
    QCOMPARE(Names(Path("at-close.dat")), (QStringList{"0", "1"}));
    QCOMPARE(StorePath(), Path("data.tmp"));
  }

  // Each add command opens its own editor; what the editor leaves reaches the store.
  void realEditorsReachTheStore() {
    const std::pair<int, item::ItemKind> rows[] = {
        {cmd::kAddOneLine, item::ItemKind::OneLine},
        {cmd::kAddTwoLine, item::ItemKind::TwoLine},
        {cmd::kAddTitle, item::ItemKind::TitleSentence},
        {cmd::kAddDDay, item::ItemKind::DDay},
        {cmd::kAddDateTime, item::ItemKind::DateTime},
        {cmd::kAddTemperature, item::ItemKind::Temperature}};
    Fill(0);
    view()->SetItemEditors(MakeDialogEditors());
    int slot = 0;
    for (auto [command, kind] : rows) {
      item::ItemRecord shown;
      QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CTextItemDlg*>(QApplication::activeModalWidget());
        if (!dlg) return;
        for (CTextPane* pane : dlg->findChildren<CTextPane*>())
          QTest::keyClicks(pane->edit(), "Ab");
        for (QComboBox* box : dlg->findChildren<QComboBox*>()) box->setCurrentIndex(1);
        dlg->accept();
        shown = {dlg->header(), dlg->body()};
      });
      Trigger(command);
      const item::ItemRecord stored = store().ReadRecord(slot++);
      QCOMPARE(stored, Stored(shown));
      QVERIFY2(stored.header.kind() == std::uint8_t(kind), qPrintable(QString::number(command)));
    }
  }

  // One session by keyboard alone in a shown window; the project is read from disk after
  // every key. Loading it from the command line asks nothing.
  void keyboardOnlySession() {
    const QString project = Path("show.dat");
    {
      store::WorkStore file;
      file.SetPath(project.toStdString());
      QCOMPARE(file.Open(), 0);
      for (int i = 0; i < 4; ++i)
        file.AppendSlot(i, Record(item::ItemKind::OneLine, QByteArray::number(i).constData()));
    }
    MessageRecorder boxes;
    QVERIFY(view()->LoadProject(project));
    ShowActive();
    auto key = [](Qt::Key k, Qt::KeyboardModifiers mods = {}) {
      QTest::keyClick(QApplication::focusWidget(), k, mods);
    };
    key(Qt::Key_Home);
    key(Qt::Key_Down);
    key(Qt::Key_Delete);
    QCOMPARE(Names(project), (QStringList{"0", "2", "3"}));
    key(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(Names(project), (QStringList{"0", "3"}));
    key(Qt::Key_End);
    key(Qt::Key_V, Qt::ControlModifier);
    key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Names(project), (QStringList{"0", "2", "2", "3"}));
    key(Qt::Key_Home);
    editors_->answers = {Record(item::ItemKind::OneLine, "0K")};
    key(Qt::Key_Return);
    QCOMPARE(Names(project), (QStringList{"0K", "2", "2", "3"}));
    // A project is already saved: Ctrl+S asks nothing; Ctrl+N returns to the scratch store.
    key(Qt::Key_S, Qt::ControlModifier);
    key(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(StorePath(), Path("data.tmp"));
    QCOMPARE(list()->topLevelItemCount(), 0);
    QCOMPARE(view()->Settings().width, 6);
    dialogs_->saves = {Path("empty.dat")};
    key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(StorePath(), Path("empty.dat"));
    QCOMPARE(Names(Path("empty.dat")), QStringList{});
    dialogs_->opens = {project};
    key(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(Contents(list()), (QStringList{"0K", "2", "2", "3"}));
    Trigger(cmd::kExit);
    QVERIFY(!frame()->isVisible());
    QVERIFY(Texts(boxes).isEmpty());
  }
};

int main(int argc, char** argv) {
  // No serial device: COM1 names one that does not exist, and the warning its opening
  // gives at each start is recorded instead of shown.
  qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");
  MessageRecorder portWarnings;
  CBrellionApp app(argc, argv);
  AppTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_app.moc"
