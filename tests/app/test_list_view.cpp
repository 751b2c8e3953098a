// The main view's list and project commands, through the seams: a fake editor seam and
// fake file dialogs answer at once; message boxes are recorded.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>
#include <deque>

#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/app/main_frame.h"
#include "manager/editors/text_pane.h"
#include "manager/editors/editor_controls.h"
#include "manager/list/row_text.h"
#include "manager/store/work_store.h"
#include "qtshared/message_box.h"
#include "shared/cp949.h"

namespace {

item::ItemRecord Record(item::ItemKind kind, const char* a = "", const char* b = "",
                        std::initializer_list<std::pair<int, int>> bytes = {}) {
  item::ItemRecord r;
  r.header.setKind(kind);
  for (auto [at, v] : bytes) r.header[at] = std::uint8_t(v);
  text::WriteTextQuarter(r.body.textA, *text::Utf8ToCp949(a));
  text::WriteTextQuarter(r.body.textB, *text::Utf8ToCp949(b));
  r.body.attrA[0] = 0x7C;
  return r;
}

// The record as the store keeps it: header and the quarters its kind writes.
item::ItemRecord Stored(item::ItemRecord r) {
  for (int q = 0; q < 4; ++q) {
    if (!item::WritesQuarter(r.header.kind(), item::QuarterId(q))) {
      r.body.quarter(item::QuarterId(q)).fill(0);
    }
  }
  return r;
}

struct FakeEditors : ItemEditors {
  struct Call {
    item::ItemKind kind;
    std::optional<item::ItemRecord> existing;
  };
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
  std::vector<Call> calls;
};

struct FakeDialogs : ProjectDialogs {
  std::optional<QString> OpenPath(QWidget*, const QString&) override { return Take(opens); }
  std::optional<QString> SavePath(QWidget*, const QString&) override { return Take(saves); }
  // An empty queue answers Cancel.
  static std::optional<QString> Take(std::deque<QString>& q) {
    if (q.empty()) return std::nullopt;
    const QString path = q.front();
    q.pop_front();
    return path;
  }
  std::deque<QString> opens, saves;
};

qint64 FileSize(const QString& path) {
  return QFileInfo(path).size();
}

// The boxes' texts, without the warning of the serial port that every reload of the
// settings gives here (the tests run without a serial device).
QStringList Texts(const MessageRecorder& boxes) {
  QStringList out;
  for (const MessageRequest& m : boxes.messages()) {
    if (m.caption != QStringLiteral("경고")) out << m.text;
  }
  return out;
}

// The texts in column 1 of the rows.
QStringList Contents(QTreeWidget* list) {
  QStringList out;
  for (int i = 0; i < list->topLevelItemCount(); ++i) out << list->topLevelItem(i)->text(1);
  return out;
}

}  // namespace

class ListViewTest : public QObject {
  Q_OBJECT

  QTemporaryDir* dir_ = nullptr;
  FakeEditors* editors_ = nullptr;
  FakeDialogs* dialogs_ = nullptr;

  CBrellionView* view() { return TheApp()->View(); }
  QTreeWidget* list() { return view()->List(); }
  store::WorkStore& store() { return store::TheWorkStore(); }
  QString Path(const QString& name) { return dir_->filePath(name); }
  QString StorePath() { return QString::fromStdString(store().Path()); }

  // Rows named by their text A, straight into the store, then shown.
  void Fill(int n, int height = 2) {
    for (int i = 0; i < n; ++i) {
      store().AppendSlot(i, Record(item::ItemKind::OneLine, QByteArray::number(i).constData()));
    }
    store().SetHeight(std::uint8_t(height));
    view()->ReloadSettings();
    view()->RefreshList();
  }
  // The rows must always show what the store holds.
  void CheckRowsMatchStore() {
    const auto records = store().ReadList();
    QCOMPARE(list()->topLevelItemCount(), int(records.size()));
    for (int i = 0; i < int(records.size()); ++i) {
      const msglist::RowText row = msglist::ItemRowText(records[std::size_t(i)]);
      for (int c = 0; c < msglist::kColumnCount; ++c) {
        QCOMPARE(list()->topLevelItem(i)->text(c), QString::fromStdString(row[std::size_t(c)]));
      }
    }
  }
  void Trigger(int id) {
    view()->UpdateCommandStates();
    view()->Action(id)->trigger();
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

  void addsEveryKind_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("added");
    using K = item::ItemKind;
    QTest::newRow("one-line") << cmd::kAddOneLine << int(K::OneLine) << QByteArray("가A") << QByteArray() << true;
    QTest::newRow("one-line empty") << cmd::kAddOneLine << int(K::OneLine) << QByteArray() << QByteArray() << false;
    QTest::newRow("two-line") << cmd::kAddTwoLine << int(K::TwoLine) << QByteArray("up") << QByteArray("down") << true;
    QTest::newRow("two-line one text") << cmd::kAddTwoLine << int(K::TwoLine) << QByteArray("up") << QByteArray() << false;
    QTest::newRow("title") << cmd::kAddTitle << int(K::TitleSentence) << QByteArray("t") << QByteArray("s") << true;
    QTest::newRow("bitmap") << cmd::kAddBitmap << int(K::Bitmap) << QByteArray("/p/a.bmp") << QByteArray() << true;
    QTest::newRow("bitmap no file") << cmd::kAddBitmap << int(K::Bitmap) << QByteArray() << QByteArray() << false;
    QTest::newRow("animation") << cmd::kAddAnimation << int(K::Animation) << QByteArray("C:\\b.gif") << QByteArray() << true;
    QTest::newRow("date/time") << cmd::kAddDateTime << int(K::DateTime) << QByteArray() << QByteArray() << true;
    QTest::newRow("d-day empty") << cmd::kAddDDay << int(K::DDay) << QByteArray() << QByteArray() << true;
    QTest::newRow("temperature") << cmd::kAddTemperature << int(K::Temperature) << QByteArray() << QByteArray() << true;
  }
  void addsEveryKind() {
    QFETCH(int, command);
    QFETCH(int, kind);
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, added);
    Fill(2);
    const auto r = Record(item::ItemKind(kind), a.constData(), b.constData(),
                          {{3, 4}, {7, 2}, {16, 1}, {20, 9}, {25, 8}, {28, 30}});
    editors_->answers = {r};
    MessageRecorder boxes;
    Trigger(command);
    QCOMPARE(int(editors_->calls.size()), 1);
    QCOMPARE(int(editors_->calls[0].kind), kind);
    QVERIFY(!editors_->calls[0].existing);
    QVERIFY(boxes.messages().isEmpty());
    QCOMPARE(list()->topLevelItemCount(), added ? 3 : 2);
    QCOMPARE(store().ReadRecord(2), added ? Stored(r) : item::ItemRecord{});
    CheckRowsMatchStore();
    if (added) QCOMPARE(view()->SelectedRows(), std::vector<int>{2});
    // Cancel adds nothing.
    Trigger(command);
    QCOMPARE(list()->topLevelItemCount(), added ? 3 : 2);
  }

  void enableRulesFollowBoardAndSelection() {
    Fill(3, 1);
    for (int id : {cmd::kAddTwoLine, cmd::kAddTitle}) QVERIFY(!view()->Action(id)->isEnabled());
    for (int id : {cmd::kModify, cmd::kDelete, cmd::kCut, cmd::kPaste}) {
      QVERIFY(!view()->Action(id)->isEnabled());
    }
    view()->SelectRows({0, 2});
    QVERIFY(view()->Action(cmd::kDelete)->isEnabled());
    QVERIFY(!view()->Action(cmd::kModify)->isEnabled());
    list()->topLevelItem(2)->setSelected(false);  // the selection signal updates the states
    QVERIFY(view()->Action(cmd::kModify)->isEnabled());
    QVERIFY(view()->Action(cmd::kCut)->isEnabled());
    QVERIFY(!view()->Action(cmd::kPaste)->isEnabled());
    // The toolbar shows the same actions.
    QVERIFY(TheApp()->MainFrame()->ToolBar()->actions().contains(view()->Action(cmd::kAddTwoLine)));
    store().SetHeight(2);
    view()->ReloadSettings();
    QVERIFY(view()->Action(cmd::kAddTwoLine)->isEnabled());
    QVERIFY(view()->Action(cmd::kAddTitle)->isEnabled());
  }

  void fullListRefusesBeforeAnyEditor() {
    Fill(100);
    MessageRecorder boxes;
    const int adds[] = {cmd::kAddOneLine, cmd::kAddTwoLine, cmd::kAddTitle, cmd::kAddBitmap,
                        cmd::kAddAnimation, cmd::kAddDateTime, cmd::kAddDDay, cmd::kAddTemperature};
    for (int id : adds) Trigger(id);
    QVERIFY(editors_->calls.empty());
    QCOMPARE(boxes.messages().size(), 8);
    for (const MessageRequest& m : boxes.messages()) {
      QCOMPARE(m.text, QStringLiteral("더이상 추가할수 없습니다"));
      QCOMPARE(m.caption, QStringLiteral("더이상 추가안됨"));
    }
    view()->SelectRows({99});
    Trigger(cmd::kCut);
    editors_->answers = {Record(item::ItemKind::DateTime)};
    Trigger(cmd::kAddDateTime);
    view()->SelectRows({0});
    boxes.clear();
    Trigger(cmd::kPaste);
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(boxes.messages()[0].text, QStringLiteral("더이상 삽입할수 없습니다"));
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("Brellion"));
    QCOMPARE(int(store().ReadRecord(99).header.kind()), int(item::ItemKind::DateTime));
    QVERIFY(store().ReadList(100, 10).empty());
  }

  void deleteCutAndPasteRows() {
    Fill(8);
    view()->SelectRows({2, 5});
    Trigger(cmd::kDelete);
    QCOMPARE(Contents(list()), (QStringList{"0", "1", "3", "4", "6", "7"}));
    QCOMPARE(store().ReadRecord(6), item::ItemRecord{});
    QCOMPARE(store().ReadRecord(7), item::ItemRecord{});
    CheckRowsMatchStore();

    view()->SelectRows({0});
    Trigger(cmd::kCut);
    QVERIFY(view()->CutPresent());
    QCOMPARE(Contents(list()), (QStringList{"1", "3", "4", "6", "7"}));
    view()->SelectRows({3});
    Trigger(cmd::kPaste);
    Trigger(cmd::kPaste);  // the selection stayed on "6"
    QCOMPARE(Contents(list()), (QStringList{"1", "3", "4", "0", "0", "6", "7"}));
    QCOMPARE(view()->SelectedRows(), std::vector<int>{5});
    CheckRowsMatchStore();
  }

  void modifyAndActivation() {
    Fill(1);
    const auto temp = Record(item::ItemKind::Temperature, "", "", {{3, 1}});
    const auto unknown = Record(item::ItemKind(9), "??");
    store().AppendSlot(1, temp);
    store().WriteRecord(2, unknown);
    view()->RefreshList();
    QCOMPARE(list()->topLevelItemCount(), 3);
    QCOMPARE(list()->topLevelItem(2)->text(0), QStringLiteral("알수없음(9)"));

    // Enter on the first row: the editor gets the stored record and its answer is written.
    view()->SelectRows({0});
    const auto changed = Record(item::ItemKind::OneLine, "changed", "", {{1, 5}});
    editors_->answers = {changed};
    const item::ItemRecord before = store().ReadRecord(0);
    Trigger(cmd::kModify);
    QCOMPARE(editors_->calls.back().existing, std::optional(before));
    QCOMPARE(store().ReadRecord(0), changed);
    QCOMPARE(list()->topLevelItem(0)->text(1), QStringLiteral("changed"));

    // Two quick clicks on the temperature row open its editor; an empty answer changes nothing.
    TheApp()->MainFrame()->show();
    QVERIFY(QTest::qWaitForWindowExposed(TheApp()->MainFrame()));
    const QRect rect = list()->visualItemRect(list()->topLevelItem(1));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(int(editors_->calls.back().kind), int(item::ItemKind::Temperature));
    QCOMPARE(editors_->calls.back().existing, std::optional(Stored(temp)));

    // The unknown kind opens nothing; 수정 says why; it can be deleted.
    MessageRecorder boxes;
    const auto calls = editors_->calls.size();
    view()->SelectRows({2});
    view()->ActivateSelection();
    QVERIFY(boxes.messages().isEmpty());
    Trigger(cmd::kModify);
    QCOMPARE(editors_->calls.size(), calls);
    QCOMPARE(boxes.messages().size(), 1);
    Trigger(cmd::kDelete);
    QCOMPARE(list()->topLevelItemCount(), 2);
  }

  void contextMenuGreysAndRunsWithMessages() {
    QVERIFY(!view()->CreateListContextMenu());  // nothing selected
    Fill(3);
    view()->SelectRows({0, 1});
    std::unique_ptr<QMenu> menu(view()->CreateListContextMenu());
    QVERIFY(menu);
    QStringList entries;
    for (QAction* a : menu->actions()) {
      entries << (a->isSeparator() ? QStringLiteral("|") : a->text().section('\t', 0, 0) +
                                                               (a->isEnabled() ? "" : "(grey)"));
    }
    QCOMPARE(entries, (QStringList{"수정", "삭제", "|", "잘라내기", "붙여넣기(grey)"}));
    // 수정 on two rows is not grey here: it answers with its message.
    MessageRecorder boxes;
    menu->actions()[0]->trigger();
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(boxes.messages()[0].text, QStringLiteral("수정할곳의 Item만 선택하세요..."));
    menu->actions()[3]->trigger();
    QCOMPARE(boxes.messages().last().text, QStringLiteral("잘라내기 할곳의 Item만 선택하세요..."));
    menu->actions()[4]->trigger();  // grey: nothing runs
    QCOMPARE(boxes.messages().size(), 2);
    QCOMPARE(list()->topLevelItemCount(), 3);
    // With a cut item and one row selected nothing is grey.
    view()->SelectRows({0});
    Trigger(cmd::kCut);
    view()->SelectRows({1});
    menu.reset(view()->CreateListContextMenu());
    for (QAction* a : menu->actions()) QVERIFY(a->isEnabled());
    menu->actions()[4]->trigger();
    QCOMPARE(Contents(list()), (QStringList{"1", "0", "2"}));
  }

  void saveMakesTheProjectTheStore() {
    Fill(2);
    const QString project = Path("show.dat");
    dialogs_->saves = {project};
    MessageRecorder boxes;
    Trigger(cmd::kSave);
    QCOMPARE(FileSize(project), 904672);
    QCOMPARE(StorePath(), project);
    // Edits land in the project at once.
    editors_->answers = {Record(item::ItemKind::DDay, "d")};
    Trigger(cmd::kAddDDay);
    store::WorkStore check;
    check.SetPath(project.toStdString());
    QCOMPARE(check.Open(), 0);
    QCOMPARE(int(check.ReadList().size()), 3);
    check.Close();
    // A second Save and the closing window ask nothing.
    Trigger(cmd::kSave);
    TheApp()->MainFrame()->close();
    QVERIFY(boxes.messages().isEmpty());
    QVERIFY(dialogs_->saves.empty());
  }

  void failedSaveKeepsTheList() {
    Fill(2);
    dialogs_->saves = {Path("missing/show.dat")};
    MessageRecorder boxes;
    Trigger(cmd::kSave);
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(boxes.messages()[0].text, QStringLiteral("파일을 오픈할수 없습니다"));
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("파일오픈실패"));
    QCOMPARE(StorePath(), Path("data.tmp"));
    QCOMPARE(Contents(list()), (QStringList{"0", "1"}));
    QCOMPARE(int(store().ReadList().size()), 2);

    // A ".dat" that cannot be opened (a folder) keeps the list too.
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder.dat")));
    boxes.clear();
    dialogs_->opens = {Path("folder.dat")};
    Trigger(cmd::kLoad);  // the prompt is answered No
    QCOMPARE(Texts(boxes), (QStringList{"작업한 내용을 저장하시겠습니까?", "파일을 오픈할수 없습니다"}));
    QCOMPARE(StorePath(), Path("data.tmp"));
    QCOMPARE(Contents(list()), (QStringList{"0", "1"}));

    // Closing the window offers the scratch list once more; Yes copies it, which stays scratch.
    boxes.clear();
    boxes.setAnswer(MsgResult::Yes);
    dialogs_->saves = {Path("at-close.dat")};
    TheApp()->MainFrame()->close();
    QCOMPARE(Texts(boxes), QStringList{"작업한 내용을 저장하시겠습니까?"});
    QCOMPARE(FileSize(Path("at-close.dat")), 904672);
    QCOMPARE(StorePath(), Path("data.tmp"));
  }

  void loadChecksAndSavePrompt() {
    Fill(2);
    // A foreign file and the scratch store itself are refused; the list stays.
    QFile foreign(Path("foreign.dat"));
    QVERIFY(foreign.open(QIODevice::WriteOnly));
    foreign.write(QByteArray(100, 'x'));
    foreign.close();
    MessageRecorder boxes(MsgResult::No);
    dialogs_->opens = {Path("data.tmp"), Path("foreign.dat")};
    Trigger(cmd::kLoad);
    Trigger(cmd::kLoad);
    QStringList texts;
    for (const MessageRequest& m : boxes.messages()) texts << m.text;
    QCOMPARE(texts, (QStringList{"작업한 내용을 저장하시겠습니까?", "오픈할수 없는 파일입니다",
                                 "작업한 내용을 저장하시겠습니까?",
                                 "프로젝트 파일의 크기가 맞지 않습니다\n904672바이트여야 하는데 "
                                 "100바이트입니다"}));
    QCOMPARE(boxes.messages()[0].buttons, MsgButtons::YesNo);
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("저장"));
    QCOMPARE(StorePath(), Path("data.tmp"));
    QCOMPARE(list()->topLevelItemCount(), 2);

    // Yes: the scratch list is copied first; then a project in capitals loads with its settings.
    store::WorkStore other;
    other.SetPath(Path("OTHER.DAT").toStdString());
    QCOMPARE(other.Open(), 0);
    other.AppendSlot(0, Record(item::ItemKind::DateTime));
    other.SetWidth(12);
    other.SetHeight(1);
    other.Close();
    view()->SelectRows({0});
    Trigger(cmd::kCut);
    boxes.clear();
    boxes.setAnswer(MsgResult::Yes);
    dialogs_->saves = {Path("copy.dat")};
    dialogs_->opens = {Path("OTHER.DAT")};
    Trigger(cmd::kLoad);
    QCOMPARE(Texts(boxes), QStringList{"작업한 내용을 저장하시겠습니까?"});
    QCOMPARE(FileSize(Path("copy.dat")), 904672);
    QCOMPARE(StorePath(), Path("OTHER.DAT"));
    QCOMPARE(list()->topLevelItem(0)->text(0), QStringLiteral("시각표시"));
    QCOMPARE(view()->Settings().width, 12);
    QVERIFY(!view()->CutPresent());
    QVERIFY(!view()->Action(cmd::kAddTwoLine)->isEnabled());

    // New returns to data.tmp, empty, with its own settings; a project asks nothing.
    boxes.clear();
    Trigger(cmd::kNew);
    QVERIFY(Texts(boxes).isEmpty());
    QCOMPARE(StorePath(), Path("data.tmp"));
    QCOMPARE(list()->topLevelItemCount(), 0);
    QCOMPARE(view()->Settings().width, 6);
  }

  void commandLineProjectLoadsWithoutPrompt() {
    Fill(1);
    store::WorkStore project;
    project.SetPath(Path("show.dat").toStdString());
    QCOMPARE(project.Open(), 0);
    for (int i = 0; i < 3; ++i) project.AppendSlot(i, Record(item::ItemKind::OneLine, "p"));
    project.Close();
    MessageRecorder boxes;
    QVERIFY(view()->LoadProject(Path("show.dat")));
    QVERIFY(Texts(boxes).isEmpty());
    QCOMPARE(list()->topLevelItemCount(), 3);
    CheckRowsMatchStore();
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
    item::ItemHeader header;
    item::ItemBody body;
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* dlg = qobject_cast<CTextItemDlg*>(QApplication::activeModalWidget());
      QVERIFY(dlg);
      const auto paneList = dlg->findChildren<CTextPane*>();
      QCOMPARE(int(paneList.size()), panes);
      for (CTextPane* pane : paneList) QTest::keyClicks(pane->edit(), "Ab");
      int i = 1;
      for (QComboBox* box : dlg->findChildren<QComboBox*>()) box->setCurrentIndex(i++ % box->count());
      dlg->accept();
      header = dlg->header();
      body = dlg->body();
      seen = true;
    });
    Trigger(command);
    QVERIFY(seen);
    const item::ItemRecord stored = store().ReadRecord(0);
    QCOMPARE(stored, Stored({header, body}));
    QCOMPARE(text::ReadTextQuarter(stored.body.textA), std::string(panes ? "Ab" : ""));
    QCOMPARE(int(stored.header.kind()), kind);
    if (command == cmd::kAddTwoLine) QCOMPARE(int(stored.header[item::hdr::kSentenceSpeed]), 0);
  }

  // A list of every kind and the row menu, grabbed for a look (LIST_GRAB_DIR).
  void grabEveryKindAndTheMenu() {
    const std::pair<item::ItemKind, const char*> rows[] = {
        {item::ItemKind::OneLine, "어서 오십시오 Welcome"},
        {item::ItemKind::TwoLine, "위 문장"},
        {item::ItemKind::TitleSentence, "공지"},
        {item::ItemKind::Bitmap, "C:\\그림\\간판.bmp"},
        {item::ItemKind::Animation, "/home/op/run.gif"},
        {item::ItemKind::DateTime, ""},
        {item::ItemKind::DDay, "수능까지"},
        {item::ItemKind::Temperature, ""},
        {item::ItemKind(12), "damaged"},
    };
    int slot = 0;
    for (auto [kind, a] : rows) {
      store().WriteRecord(slot++, Record(kind, a, "아랫 문장", {{1, 3}, {2, 1}, {3, 4}, {7, 2},
                                                             {8, 2}, {11, 5}, {13, 6}, {25, 9},
                                                             {26, 30}, {27, 18}}));
    }
    view()->RefreshList();
    QCOMPARE(list()->topLevelItemCount(), 9);
    CMainFrame* frame = TheApp()->MainFrame();
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    view()->SelectRows({3});
    QDir().mkpath(LIST_GRAB_DIR);
    QVERIFY(frame->grab().save(LIST_GRAB_DIR "/main_window.png"));
    std::unique_ptr<QMenu> menu(view()->CreateListContextMenu());
    menu->popup(list()->viewport()->mapToGlobal(list()->visualItemRect(list()->topLevelItem(3)).center()));
    QVERIFY(QTest::qWaitForWindowExposed(menu.get()));
    QVERIFY(menu->grab().save(LIST_GRAB_DIR "/list_menu.png"));
    menu->close();
  }

  // One session by keyboard alone in a shown window; the project file is read from disk
  // after every key.
  void keyboardOnlySession() {
    const QString project = Path("show.dat");
    {
      store::WorkStore file;
      file.SetPath(project.toStdString());
      QCOMPARE(file.Open(), 0);
      for (int i = 0; i < 4; ++i) {
        file.AppendSlot(i, Record(item::ItemKind::OneLine, QByteArray::number(i).constData()));
      }
    }
    view()->SetItemEditors(MakeDialogEditors());
    QVERIFY(view()->LoadProject(project));
    CMainFrame* frame = TheApp()->MainFrame();
    frame->show();
    frame->activateWindow();
    // The offscreen platform has no window manager to give the activation back.
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list()));

    auto names = [](const QString& path) {
      store::WorkStore file;
      file.SetPath(path.toStdString());
      QStringList out;
      if (file.Open() != 0) return out;
      for (const auto& r : file.ReadList()) {
        out << QString::fromStdString(text::Cp949ToUtf8(text::ReadTextQuarter(r.body.textA)));
      }
      return out;
    };
    auto key = [](Qt::Key k, Qt::KeyboardModifiers mods = {}) {
      QTest::keyClick(QApplication::focusWidget(), k, mods);
    };

    key(Qt::Key_Home);
    key(Qt::Key_Down);
    QCOMPARE(view()->SelectedRows(), std::vector<int>{1});
    key(Qt::Key_Delete);
    QCOMPARE(names(project), (QStringList{"0", "2", "3"}));
    key(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(names(project), (QStringList{"0", "3"}));
    key(Qt::Key_End);
    key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(names(project), (QStringList{"0", "2", "3"}));
    key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(names(project), (QStringList{"0", "2", "2", "3"}));

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
    QCOMPARE(names(project), (QStringList{"0K", "2", "2", "3"}));
    // The offscreen platform has no window manager to give the activation back.
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list()));

    // A project is already saved: Ctrl+S asks nothing; Ctrl+N returns to the scratch store.
    MessageRecorder boxes;
    key(Qt::Key_S, Qt::ControlModifier);
    key(Qt::Key_N, Qt::ControlModifier);
    QVERIFY(Texts(boxes).isEmpty());
    QCOMPARE(StorePath(), Path("data.tmp"));
    QCOMPARE(list()->topLevelItemCount(), 0);
    QCOMPARE(names(project), (QStringList{"0K", "2", "2", "3"}));
    dialogs_->saves = {Path("empty.dat")};
    key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(FileSize(Path("empty.dat")), 904672);
    QCOMPARE(StorePath(), Path("empty.dat"));
    dialogs_->opens = {project};
    key(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(StorePath(), project);
    QCOMPARE(Contents(list()), (QStringList{"0K", "2", "2", "3"}));
    frame->close();
    QVERIFY(Texts(boxes).isEmpty());
  }
};

int main(int argc, char** argv) {
  qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");
  MessageRecorder portWarnings;
  CBrellionApp app(argc, argv);
  ListViewTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_list_view.moc"
