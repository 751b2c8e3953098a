// The manager's window and list view through the seams: fake editors and file dialogs
// answer at once; message boxes are recorded. The list rules themselves are pinned in
// tests/list; here only that each command, key and menu reaches them.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
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
  const std::pair<int, int> bytes[] = {{3, 4}, {7, 2}, {16, 1}, {20, 9}, {25, 8}};
  for (auto [at, v] : bytes) r.header[at] = std::uint8_t(v);
  text::WriteTextQuarter(r.body.textA, *text::Utf8ToCp949(a));
  text::WriteTextQuarter(r.body.textB, *text::Utf8ToCp949(b));
  r.body.attrA[0] = 0x7C;
  return r;
}

// The record as the store keeps it: header and the quarters its kind writes.
item::ItemRecord Stored(item::ItemRecord r) {
  for (int q = 0; q < 4; ++q) {
    if (!item::WritesQuarter(r.header.kind(), item::QuarterId(q))) r.body.quarter(item::QuarterId(q)).fill(0);
  }
  return r;
}

struct FakeEditors : ItemEditors {
  bool Handles(item::ItemKind) const override { return true; }
  std::optional<item::ItemRecord> Edit(item::ItemKind kind, const item::ItemRecord* existing,
                                       QWidget*) override {
    calls.push_back({kind, existing ? std::optional(*existing) : std::nullopt});
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<std::optional<item::ItemRecord>> answers;
  std::vector<std::pair<item::ItemKind, std::optional<item::ItemRecord>>> calls;
};

// An empty queue answers Cancel.
struct FakeDialogs : ProjectDialogs {
  std::optional<QString> OpenPath(QWidget*, const QString&) override { return Take(opens); }
  std::optional<QString> SavePath(QWidget*, const QString&) override { return Take(saves); }
  static std::optional<QString> Take(std::deque<QString>& q) {
    if (q.empty()) return std::nullopt;
    const QString path = q.front();
    q.pop_front();
    return path;
  }
  std::deque<QString> opens, saves;
};

// The boxes' texts, without the warning of the missing serial port every reload gives here.
QStringList Texts(const MessageRecorder& boxes) {
  QStringList out;
  for (const MessageRequest& m : boxes.messages()) {
    if (m.caption != QStringLiteral("경고")) out << m.text;
  }
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
  if (file.Open() != 0) return out;
  for (const auto& r : file.ReadList()) out << QString::fromStdString(text::Cp949ToUtf8(text::ReadTextQuarter(r.body.textA)));
  return out;
}

}  // namespace

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
    for (int i = 0; i < n; ++i) store().AppendSlot(i, Record(item::ItemKind::OneLine, QByteArray::number(i).constData()));
    store().SetHeight(std::uint8_t(height));
    view()->ReloadSettings();
    view()->RefreshList();
  }
  void CheckRowsMatchStore() {
    const auto records = store().ReadList();
    QCOMPARE(list()->topLevelItemCount(), int(records.size()));
    for (int i = 0; i < int(records.size()); ++i) {
      const msglist::RowText row = msglist::ItemRowText(records[std::size_t(i)]);
      for (int c = 0; c < msglist::kColumnCount; ++c)
        QCOMPARE(list()->topLevelItem(i)->text(c), QString::fromStdString(row[std::size_t(c)]));
    }
  }
  void Trigger(int id) {
    view()->UpdateCommandStates();
    view()->Action(id)->trigger();
  }
  void ShowActive() {
    frame()->show();
    frame()->activateWindow();  // the offscreen platform has no window manager to do it
    QVERIFY(QTest::qWaitForWindowActive(frame()));
  }

 private slots:
  void init() {
    dir_ = new QTemporaryDir;
    TheApp()->SetProgramDirectory(dir_->path());
    QVERIFY(TheApp()->InitInstance(false));
    editors_ = new FakeEditors;
    dialogs_ = new FakeDialogs;
    view()->SetItemEditors(std::unique_ptr<ItemEditors>(editors_));
    view()->SetProjectDialogs(std::unique_ptr<ProjectDialogs>(dialogs_));
  }
  void cleanup() {
    store::CloseWorkStore();
    delete dir_;
  }

  // A restart repairs the stored settings into the view and starts with an empty list.
  void restartRepairsSettingsAndEmptiesTheList() {
    QCOMPARE(frame()->windowTitle(), QStringLiteral("전광판 제어기(128MB)"));  // no display name appended
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
    QString title, text;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      title = box->windowTitle();
      text = box->text();
      for (QAbstractButton* b : box->buttons()) buttons << b->text();
      box->accept();
    });
    const bool started = TheApp()->InitInstance(false);
    SetMessageHandler(recorder);
    QVERIFY(!started);
    QCOMPARE(title, QStringLiteral("실행할수 없음"));
    QCOMPARE(text, QStringLiteral("파일을 만들수 없습니다\n실행할수 없습니다"));
    QCOMPARE(buttons, QStringList{"확인"});
  }

  void progressShowsWholePercentages() {
    CMainFrame* f = frame();
    QStringList seen;
    f->BeginProgress(3);
    for (int i = 0; i < 4; ++i) {
      f->StepProgress();
      seen << f->PercentText();
    }
    QCOMPARE(seen, (QStringList{"33 %", "66 %", "100 %", "100 %"}));
    QCOMPARE(f->ProgressPosition(), 3);
    f->BeginProgress(0);
    f->StepProgress();
    QCOMPARE(f->PercentText(), QStringLiteral("0 %"));
    // Totals beyond 16 bits still fill the bar in step.
    f->BeginProgress(100000);
    for (int i = 0; i < 50000; ++i) f->StepProgress();
    QCOMPARE(f->PercentText(), QStringLiteral("50 %"));
    const QProgressBar* bar = f->ProgressBar();
    QVERIFY(qAbs(double(bar->value() - bar->minimum()) / (bar->maximum() - bar->minimum()) - 0.5) < 0.001);
    f->EndProgress();
    QCOMPARE(f->PercentText(), QString());
  }

  void aboutBoxAndExit() {
    frame()->show();
    QString title, text;
    QTimer::singleShot(0, [&] {
      auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(dlg);
      title = dlg->windowTitle();
      text = dlg->findChild<QLabel*>(QStringLiteral("versionText"))->text();
      dlg->accept();
    });
    Trigger(cmd::kAbout);
    QCOMPARE(title, QStringLiteral("Brellion 정보"));
    QCOMPARE(text, QStringLiteral("Brellion 버전 15.8"));
    Trigger(cmd::kExit);
    QVERIFY(!frame()->isVisible());
  }

  void addCommandsReachTheirEditor_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("added");
    using K = item::ItemKind;
    QTest::newRow("one-line") << cmd::kAddOneLine << int(K::OneLine) << QByteArray("가A") << QByteArray() << true;
    QTest::newRow("one-line empty") << cmd::kAddOneLine << int(K::OneLine) << QByteArray() << QByteArray() << false;
    QTest::newRow("two-line") << cmd::kAddTwoLine << int(K::TwoLine) << QByteArray("up") << QByteArray("down") << true;
    QTest::newRow("title") << cmd::kAddTitle << int(K::TitleSentence) << QByteArray("t") << QByteArray("s") << true;
    QTest::newRow("bitmap") << cmd::kAddBitmap << int(K::Bitmap) << QByteArray("/p/a.bmp") << QByteArray() << true;
    QTest::newRow("animation") << cmd::kAddAnimation << int(K::Animation) << QByteArray("C:\\b.gif") << QByteArray() << true;
    QTest::newRow("date/time") << cmd::kAddDateTime << int(K::DateTime) << QByteArray() << QByteArray() << true;
    QTest::newRow("d-day") << cmd::kAddDDay << int(K::DDay) << QByteArray() << QByteArray() << true;
    QTest::newRow("temperature") << cmd::kAddTemperature << int(K::Temperature) << QByteArray() << QByteArray() << true;
  }
  void addCommandsReachTheirEditor() {
    QFETCH(int, command);
    QFETCH(int, kind);
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, added);
    Fill(2);
    const auto r = Record(item::ItemKind(kind), a.constData(), b.constData());
    editors_->answers = {r};
    MessageRecorder boxes;
    Trigger(command);
    Trigger(command);  // cancelled: adds nothing
    QCOMPARE(int(editors_->calls.size()), 2);
    QCOMPARE(int(editors_->calls[0].first), kind);
    QVERIFY(!editors_->calls[0].second);
    QVERIFY(boxes.messages().isEmpty());
    QCOMPARE(store().ReadRecord(2), added ? Stored(r) : item::ItemRecord{});
    CheckRowsMatchStore();
    QCOMPARE(view()->SelectedRows(), added ? std::vector<int>{2} : std::vector<int>{});
  }

  void enableRulesReachTheActions() {
    Fill(3, 1);
    for (int id : {cmd::kAddTwoLine, cmd::kAddTitle, cmd::kModify, cmd::kDelete, cmd::kCut, cmd::kPaste})
      QVERIFY(!view()->Action(id)->isEnabled());
    view()->SelectRows({0, 2});
    QVERIFY(view()->Action(cmd::kDelete)->isEnabled());
    QVERIFY(!view()->Action(cmd::kModify)->isEnabled());
    list()->topLevelItem(2)->setSelected(false);  // the selection signal updates the states
    QVERIFY(view()->Action(cmd::kModify)->isEnabled());
    QVERIFY(!view()->Action(cmd::kPaste)->isEnabled());
    store().SetHeight(2);
    view()->ReloadSettings();
    QVERIFY(view()->Action(cmd::kAddTwoLine)->isEnabled());
    QVERIFY(view()->Action(cmd::kAddTitle)->isEnabled());
  }

  void fullListRefusesBeforeTheEditor() {
    Fill(100);
    MessageRecorder boxes;
    Trigger(cmd::kAddTemperature);
    QVERIFY(editors_->calls.empty());
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(boxes.messages()[0].text, QStringLiteral("더이상 추가할수 없습니다"));
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("더이상 추가안됨"));
    QVERIFY(store().ReadList(100, 10).empty());
  }

  void modifyDoubleClickAndUnknownKind() {
    Fill(1);
    const auto temp = Record(item::ItemKind::Temperature);
    store().AppendSlot(1, temp);
    store().WriteRecord(2, Record(item::ItemKind(9), "??"));
    view()->RefreshList();
    QCOMPARE(list()->topLevelItem(2)->text(0), QStringLiteral("알수없음(9)"));

    view()->SelectRows({0});
    const auto changed = Record(item::ItemKind::OneLine, "changed");
    editors_->answers = {changed};
    const item::ItemRecord before = store().ReadRecord(0);
    Trigger(cmd::kModify);
    QCOMPARE(editors_->calls.back().second, std::optional(before));
    QCOMPARE(store().ReadRecord(0), Stored(changed));
    QCOMPARE(list()->topLevelItem(0)->text(1), QStringLiteral("changed"));

    frame()->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame()));
    const QPoint at = list()->visualItemRect(list()->topLevelItem(1)).center();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(int(editors_->calls.back().first), int(item::ItemKind::Temperature));
    QCOMPARE(editors_->calls.back().second, std::optional(Stored(temp)));

    // The unknown kind opens nothing; activation is silent, 수정 says why.
    MessageRecorder boxes;
    const auto calls = editors_->calls.size();
    view()->SelectRows({2});
    view()->ActivateSelection();
    QVERIFY(boxes.messages().isEmpty());
    Trigger(cmd::kModify);
    QCOMPARE(editors_->calls.size(), calls);
    QCOMPARE(boxes.messages().size(), 1);
  }

  void contextMenuGreysAndRunsWithMessages() {
    QVERIFY(!view()->CreateListContextMenu());  // nothing selected
    Fill(3);
    view()->SelectRows({0, 1});
    std::unique_ptr<QMenu> menu(view()->CreateListContextMenu());
    QStringList entries;
    for (QAction* a : menu->actions())
      entries << (a->isSeparator() ? "|" : a->text().section('\t', 0, 0) + (a->isEnabled() ? "" : "(grey)"));
    QCOMPARE(entries, (QStringList{"수정", "삭제", "|", "잘라내기", "붙여넣기(grey)"}));
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

  void projectFailuresKeepTheList() {
    Fill(2);
    MessageRecorder boxes;
    dialogs_->saves = {Path("missing/show.dat")};
    Trigger(cmd::kSave);
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder.dat")));
    dialogs_->opens = {Path("folder.dat")};
    Trigger(cmd::kLoad);  // the prompt is answered with the recorder's Ok: not Yes
    QCOMPARE(Texts(boxes), (QStringList{"파일을 오픈할수 없습니다", "작업한 내용을 저장하시겠습니까?",
                                        "파일을 오픈할수 없습니다"}));
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("파일오픈실패"));
    QCOMPARE(StorePath(), Path("data.tmp"));
    QCOMPARE(Contents(list()), (QStringList{"0", "1"}));
    // Closing offers the scratch list once more; Yes copies it, which stays scratch.
    boxes.clear();
    boxes.setAnswer(MsgResult::Yes);
    dialogs_->saves = {Path("at-close.dat")};
    frame()->close();
    QCOMPARE(Texts(boxes), QStringList{"작업한 내용을 저장하시겠습니까?"});
    QCOMPARE(Names(Path("at-close.dat")), (QStringList{"0", "1"}));
    QCOMPARE(StorePath(), Path("data.tmp"));
  }

  void loadCopiesTheScratchListFirstAndTakesTheSettings() {
    Fill(2);
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
    MessageRecorder boxes(MsgResult::Yes);
    dialogs_->saves = {Path("copy.dat")};
    dialogs_->opens = {Path("OTHER.DAT")};
    Trigger(cmd::kLoad);
    QCOMPARE(Texts(boxes), QStringList{"작업한 내용을 저장하시겠습니까?"});
    QCOMPARE(boxes.messages()[0].buttons, MsgButtons::YesNo);
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("저장"));
    QCOMPARE(Names(Path("copy.dat")), QStringList{"1"});
    QCOMPARE(StorePath(), Path("OTHER.DAT"));
    QCOMPARE(list()->topLevelItem(0)->text(0), QStringLiteral("시각표시"));
    QCOMPARE(view()->Settings().width, 12);
    QVERIFY(!view()->CutPresent());
    QVERIFY(!view()->Action(cmd::kAddTwoLine)->isEnabled());
  }

  // The real editors, answered by typing and choosing: their header and body reach the store.
  void textEditorsReachTheStore_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("panes");
    QTest::addColumn<int>("kind");
    QTest::newRow("one-line") << cmd::kAddOneLine << 1 << 0;
    QTest::newRow("two-line") << cmd::kAddTwoLine << 2 << 1;
    QTest::newRow("title") << cmd::kAddTitle << 2 << 2;
    QTest::newRow("d-day") << cmd::kAddDDay << 1 << 6;
    QTest::newRow("date/time") << cmd::kAddDateTime << 0 << 5;
    QTest::newRow("temperature") << cmd::kAddTemperature << 0 << 7;
  }
  void textEditorsReachTheStore() {
    QFETCH(int, command);
    QFETCH(int, panes);
    QFETCH(int, kind);
    Fill(0);
    view()->SetItemEditors(MakeDialogEditors());
    item::ItemRecord shown;
    int paneCount = -1;
    QTimer::singleShot(0, [&] {
      auto* dlg = qobject_cast<CTextItemDlg*>(QApplication::activeModalWidget());
      if (!dlg) return;
      const auto paneList = dlg->findChildren<CTextPane*>();
      paneCount = int(paneList.size());
      for (CTextPane* pane : paneList) QTest::keyClicks(pane->edit(), "Ab");
      int i = 1;
      for (QComboBox* box : dlg->findChildren<QComboBox*>()) box->setCurrentIndex(i++ % box->count());
      dlg->accept();
      shown = {dlg->header(), dlg->body()};
    });
    Trigger(command);
    QCOMPARE(paneCount, panes);
    const item::ItemRecord stored = store().ReadRecord(0);
    QCOMPARE(stored, Stored(shown));
    QCOMPARE(text::ReadTextQuarter(stored.body.textA), std::string(panes ? "Ab" : ""));
    QCOMPARE(int(stored.header.kind()), kind);
    if (command == cmd::kAddTwoLine) QCOMPARE(int(stored.header[item::hdr::kSentenceSpeed]), 0);
  }

  // One session by keyboard alone in a shown window; the project is read from disk after
  // every key. Loading it from the command line asks nothing.
  void keyboardOnlySession() {
    const QString project = Path("show.dat");
    {
      store::WorkStore file;
      file.SetPath(project.toStdString());
      QCOMPARE(file.Open(), 0);
      for (int i = 0; i < 4; ++i) file.AppendSlot(i, Record(item::ItemKind::OneLine, QByteArray::number(i).constData()));
    }
    MessageRecorder boxes;
    view()->SetItemEditors(MakeDialogEditors());
    QVERIFY(view()->LoadProject(project));
    ShowActive();
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list()));
    auto key = [](Qt::Key k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(QApplication::focusWidget(), k, mods); };

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

    // Enter opens the one-line editor on row 0; typing there and Enter again store it.
    key(Qt::Key_Home);
    bool edited = false;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!dialog) return;
      poll.stop();
      QWidget* pane = dialog->findChild<CTextPane*>()->edit();
      QTest::keyClick(pane, Qt::Key_End);
      QTest::keyClicks(pane, "K");
      QTest::keyClick(pane, Qt::Key_Return);
      edited = true;
    });
    poll.start();
    key(Qt::Key_Return);
    QVERIFY(edited);
    QCOMPARE(Names(project), (QStringList{"0K", "2", "2", "3"}));
    ShowActive();
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list()));

    // A project is already saved: Ctrl+S asks nothing; Ctrl+N returns to the scratch store.
    key(Qt::Key_S, Qt::ControlModifier);
    key(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(StorePath(), Path("data.tmp"));
    QCOMPARE(list()->topLevelItemCount(), 0);
    QCOMPARE(view()->Settings().width, 6);
    dialogs_->saves = {Path("empty.dat")};
    key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(StorePath(), Path("empty.dat"));
    QCOMPARE(QFileInfo(Path("empty.dat")).size(), qint64(904672));
    dialogs_->opens = {project};
    key(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(StorePath(), project);
    QCOMPARE(Contents(list()), (QStringList{"0K", "2", "2", "3"}));
    frame()->close();
    QVERIFY(Texts(boxes).isEmpty());
  }
};

int main(int argc, char** argv) {
  // No serial device here: COM1 names one that does not exist, and the warning its opening
  // gives at each start is recorded instead of shown.
  qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");
  MessageRecorder portWarnings;
  CBrellionApp app(argc, argv);
  AppTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_app.moc"
