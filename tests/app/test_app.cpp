// The manager's window through its seams, against the virtual sign. The rules are pinned in
// tests/list, tests/link and tests/transfer; here only that commands, keys, menus and dialogs
// reach them.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/app/main_frame.h"
#include "manager/app/start_project.h"
#include "manager/editors/text_pane.h"
#include "manager/events/ui/event_edit_dlg.h"
#include "manager/events/ui/event_list_dlg.h"
#include "manager/link/qt/sign_links.h"
#include "manager/list/row_text.h"
#include "manager/settings/board_size_dlg.h"
#include "manager/settings/brightness_dlg.h"
#include "manager/settings/ip_settings_dlg.h"
#include "manager/settings/news_dlg.h"
#include "manager/settings/port_settings_dlg.h"
#include "manager/settings/run_dialog.h"
#include "manager/store/work_store.h"
#include "qtshared/message_box.h"
#include "shared/board_memory.h"
#include "shared/cp949.h"
#include "tests/support/signsim_process.h"
#include "tests/transfer/cli_files.h"

namespace {

using K = item::ItemKind;

item::ItemRecord Record(K kind, const QByteArray& a = {}, const QByteArray& b = {}) {
  item::ItemRecord r;
  r.header.setKind(kind);
  for (auto [at, v] : {std::pair{3, 4}, std::pair{7, 2}, std::pair{20, 9}}) r.header[at] = v;
  text::WriteTextQuarter(r.body.textA, *text::Utf8ToCp949(a.toStdString()));
  text::WriteTextQuarter(r.body.textB, *text::Utf8ToCp949(b.toStdString()));
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

// Each answers once, with Cancel (nothing) when no answer is set.
struct FakeEditors : ItemEditors {
  bool Handles(K) const override { return true; }
  std::optional<item::ItemRecord> Edit(K kind, const item::ItemRecord* existing,
                                       QWidget*) override {
    calls.push_back({kind, existing ? std::optional(*existing) : std::nullopt});
    return std::exchange(answer, std::nullopt);
  }
  std::optional<item::ItemRecord> answer;
  std::vector<std::pair<K, std::optional<item::ItemRecord>>> calls;
};

struct FakeDialogs : ProjectDialogs {
  std::optional<QString> OpenPath(QWidget*, const QString&) override {
    return std::exchange(open, std::nullopt);
  }
  std::optional<QString> SavePath(QWidget*, const QString&) override {
    return std::exchange(save, std::nullopt);
  }
  std::optional<QString> open, save;
};

// The boxes' texts, without the warning of the missing serial port every reload gives.
QStringList Texts(const MessageRecorder& boxes) {
  QStringList out;
  for (const MessageRequest& m : boxes.messages())
    if (m.caption != QStringLiteral("경고")) out << m.text;
  return out;
}
QString Last(const MessageRecorder& boxes) {
  return boxes.messages().isEmpty()
             ? "none"
             : boxes.messages().last().caption + ": " + boxes.messages().last().text;
}

// The texts A of a project file as read from disk (while the manager holds it).
QStringList Names(const QString& path) {
  store::WorkStore file;
  file.SetPath(path.toStdString());
  QStringList out;
  if (file.OpenReadOnly() != store::kOpened) return {"cannot open"};
  for (const auto& r : file.ReadList())
    out << QString::fromStdString(text::Cp949ToUtf8(text::ReadTextQuarter(r.body.textA)));
  return out;
}
void WriteProject(const QString& path, int items, int width = 6) {
  store::WorkStore file;
  file.SetPath(path.toStdString());
  QVERIFY(file.Open() == 0);
  for (int i = 0; i < items; ++i) file.AppendSlot(i, Record(K::OneLine, QByteArray::number(i)));
  file.SetWidth(std::uint8_t(width));
}
using cli_test::ReadAt;

void Choose(QDialog& d, const char* label, const char* entry) {
  for (auto* list : d.findChildren<QComboBox*>()) {
    auto* name = qobject_cast<QLabel*>(d.findChild<QFormLayout*>()->labelForField(list));
    if (name && name->text() == QString::fromUtf8(label))
      return list->setCurrentIndex(list->findText(QString::fromUtf8(entry)));
  }
  QFAIL(label);
}

std::function<void(CNewsDlg&)> Tick(const QStringList& names) {
  return [names](CNewsDlg& d) {
    for (int i = 0; i < 8; ++i) d.Box(i)->setChecked(names.contains(d.Box(i)->text()));
  };
}
}  // namespace

class ManagerTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;   // one per test: nothing carries over in the store
  std::unique_ptr<SignSimProcess> sim_;  // one per test: its ready file names one run's port
  FakeEditors* editors_ = nullptr;
  FakeDialogs* dialogs_ = nullptr;

  static CBrellionView* View() { return TheApp()->View(); }
  static CMainFrame* Frame() { return TheApp()->MainFrame(); }
  static QTreeWidget* List() { return View()->List(); }
  static store::WorkStore& Store() { return store::TheWorkStore(); }
  static QString StorePath() { return QString::fromStdString(Store().Path()); }
  static QString Pane() { return Frame()->LinkText(); }
  static bool Enabled(int id) { return View()->Action(id)->isEnabled(); }
  static void Trigger(int id) {
    View()->UpdateCommandStates();
    View()->Action(id)->trigger();
  }
  static QStringList Contents() {
    QStringList out;
    for (int i = 0; i < List()->topLevelItemCount(); ++i) out << List()->topLevelItem(i)->text(1);
    return out;
  }
  // Runs command `id`, confirming its dialog of type Dlg after `fill` unless `cancel`.
  template <class Dlg>
  static void Run(int id, std::function<void(Dlg&)> fill, bool cancel = false) {
    DialogRunner previous = SetDialogRunner([&](QDialog& d) {
      auto* dlg = qobject_cast<Dlg*>(&d);
      if (!dlg) return false;
      fill(*dlg);
      cancel ? dlg->reject() : dlg->accept();
      return dlg->result() == QDialog::Accepted;
    });
    View()->OnCommand(id);
    SetDialogRunner(std::move(previous));
  }

  QString Path(const QString& name) { return dir_->filePath(name); }
  // Rows named by their text A, straight into the store, then shown.
  void Fill(int n, int height = 2) {
    for (int i = 0; i < n; ++i) Store().AppendSlot(i, Record(K::OneLine, QByteArray::number(i)));
    Store().SetHeight(std::uint8_t(height));
    View()->ReloadSettings();
    View()->RefreshList();
  }
  // A fresh start with `items` one-line items and the fake editors and file dialogs. With
  // simulator options the simulator runs and the store talks TCP/IP, to the simulator when
  // `aim`, else to no address.
  bool Start(int items, const QStringList& simOptions = {}, bool aim = true) {
    if (!simOptions.isEmpty() && !sim_->Start(simOptions)) return false;
    TheApp()->SetProgramDirectory(dir_->path());
    if (!TheApp()->InitInstance(false)) return false;
    View()->SetItemEditors(std::unique_ptr<ItemEditors>(editors_ = new FakeEditors));
    View()->SetProjectDialogs(std::unique_ptr<ProjectDialogs>(dialogs_ = new FakeDialogs));
    for (int i = 0; i < items; ++i) Store().AppendSlot(i, Record(K::OneLine, "item"));
    View()->RefreshList();
    if (simOptions.isEmpty()) return true;
    Store().SetTransmit(1);
    if (aim) {
      Store().SetIpAddress(0x7F000001);
      Store().SetTcpPort(static_cast<std::uint16_t>(sim_->tcp_port()));
    }
    View()->ReloadSettings();
    return true;
  }
  const QStringList slow_{"--rows", "1", "--fault", "late", "--late-ms", "100"};

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    sim_ = std::make_unique<SignSimProcess>();
    QVERIFY(Start(0));
  }
  void cleanup() {
    sim_.reset();
    Frame()->hide();
    store::CloseWorkStore();
    dir_.reset();
  }

  // The real box of a store that cannot be made: its caption alone and Qt's Korean OK.
  void storeThatCannotBeMadeIsFatal() {
    QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("blocked/data.tmp")));
    TheApp()->SetProgramDirectory(Path("blocked"));
    const MessageHandler recorder = SetMessageHandler(nullptr);
    QStringList seen;
    QTimer::singleShot(0, [&seen] {
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

  // Whole percentages up to 100, none for nothing to do; totals past 16 bits fill in step.
  void progressShowsWholePercentages() {
    for (auto [total, steps, text] :
         {std::tuple{3, 4, "100 %"}, {0, 1, "0 %"}, {100000, 50000, "50 %"}}) {
      Frame()->BeginProgress(total);
      for (int i = 0; i < steps; ++i) Frame()->StepProgress();
      QCOMPARE(Frame()->PercentText(), QString(text));
    }
    const QProgressBar* bar = Frame()->ProgressBar();
    QVERIFY(qAbs(double(bar->value()) / bar->maximum() - 0.5) < 0.001 && bar->minimum() == 0);
  }

  // The real editor table: each add opens its own dialog; the one hold-time dialog makes
  // the date/time and the temperature item each as asked.
  void addCommandsOpenTheirDialogs() {
    Fill(0);
    View()->SetItemEditors(MakeDialogEditors());
    QStringList opened;
    for (int id : {cmd::kAddOneLine, cmd::kAddTwoLine, cmd::kAddTitle, cmd::kAddBitmap,
                   cmd::kAddAnimation, cmd::kAddDDay, cmd::kAddDateTime, cmd::kAddTemperature}) {
      QTimer::singleShot(0, [&opened] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dlg) return;
        opened << dlg->metaObject()->className();
        opened.last() == "CHoldTimeDlg" ? dlg->accept() : dlg->reject();
      });
      Trigger(id);
    }
    QCOMPARE(opened, (QStringList{"COneLineDlg", "CTwoLineDlg", "CTitleSentenceDlg", "CBitmapDlg",
                                  "CAnimationDlg", "CDDayDlg", "CHoldTimeDlg", "CHoldTimeDlg"}));
    QVERIFY(Store().ReadRecord(0).header.kind() == std::uint8_t(K::DateTime));
    QVERIFY(Store().ReadRecord(1).header.kind() == std::uint8_t(K::Temperature));
  }

  // The enable rule reaches the actions. An add hands the editor no record; what comes back
  // is stored and shown selected, a missing text is not, and Cancel adds nothing. A full list
  // refuses before any editor opens.
  void enableRulesAddAndTheFullList() {
    Fill(3, 1);
    for (int id : {cmd::kAddTwoLine, cmd::kAddTitle, cmd::kModify, cmd::kDelete, cmd::kPaste})
      QVERIFY(!Enabled(id));
    View()->SelectRows({0, 2});
    QVERIFY(Enabled(cmd::kDelete) && !Enabled(cmd::kModify));
    List()->topLevelItem(2)->setSelected(false);  // the selection signal updates the states
    QVERIFY(Enabled(cmd::kModify) && !Enabled(cmd::kPaste));
    Fill(0);  // two tiers
    QVERIFY(Enabled(cmd::kAddTwoLine) && Enabled(cmd::kAddTitle));
    MessageRecorder boxes;
    const auto r = Record(K::TwoLine, "up", "dn");
    for (const auto& answer : {Record(K::TwoLine, "up"), r}) {
      editors_->answer = answer;
      Trigger(cmd::kAddTwoLine);
    }
    Trigger(cmd::kAddTwoLine);  // cancelled
    QCOMPARE(int(editors_->calls.size()), 3);
    QVERIFY(editors_->calls[0].first == K::TwoLine && !editors_->calls[0].second);
    QCOMPARE(List()->topLevelItemCount(), 4);
    QCOMPARE(Store().ReadRecord(3), Stored(r));
    QCOMPARE(View()->SelectedRows(), std::vector<int>{3});
    const msglist::RowText text = msglist::ItemRowText(Stored(r));
    for (int c = 0; c < msglist::kColumnCount; ++c)
      QCOMPARE(List()->topLevelItem(3)->text(c), QString::fromStdString(text[std::size_t(c)]));
    editors_->answer = Record(K::TwoLine, "up");  // a modify that empties a line changes nothing
    Trigger(cmd::kModify);
    QCOMPARE(Store().ReadRecord(3), Stored(r));
    QVERIFY(boxes.messages().isEmpty());
    Fill(100);
    Trigger(cmd::kAddTemperature);
    QCOMPARE(int(editors_->calls.size()), 4);
    QCOMPARE(Last(boxes), QStringLiteral("더이상 추가안됨: 더이상 추가할수 없습니다"));
  }

  // A project named at start that does not exist is named in a box, not made; the start
  // goes on with the scratch store.
  void missingStartProjectIsNamedNotMade() {
    MessageRecorder boxes;
    QVERIFY(!OpenStartProject(*View(), Path("없는파일.dat")) &&
            !QFile::exists(Path("없는파일.dat")));
    QVERIFY(Texts(boxes) ==
            QStringList{Path("없는파일.dat") + "\n파일이 없습니다. 작업 파일로 시작합니다."});
    QCOMPARE(StorePath(), Path("data.tmp"));
  }

  // Closing offers the scratch list; Yes copies it, which stays scratch. A save that cannot
  // open its file keeps the list. Load asks first; Yes copies the scratch list, then the
  // project comes with its settings and the cut item goes. Save then does nothing; New
  // returns to the scratch store, emptied.
  void closeSaveAndLoad() {
    Fill(2);
    MessageRecorder boxes(MsgResult::Yes);
    dialogs_->save = Path("at-close.dat");
    Frame()->close();
    QCOMPARE(Texts(boxes), QStringList{"작업한 내용을 저장하시겠습니까?"});
    QCOMPARE(Names(Path("at-close.dat")), (QStringList{"0", "1"}));
    dialogs_->save = Path("missing/show.dat");
    Trigger(cmd::kSave);
    QCOMPARE(Last(boxes), QStringLiteral("저장실패: 저장할수 없습니다\n파일이나 폴더가 없습니다"));
    QCOMPARE(Contents(), (QStringList{"0", "1"}));  // still the scratch store's
    WriteProject(Path("OTHER.DAT"), 1, 12);
    View()->SelectRows({0});
    Trigger(cmd::kCut);
    boxes.clear();
    dialogs_->save = Path("copy.dat");
    dialogs_->open = Path("OTHER.DAT");
    Trigger(cmd::kLoad);
    QCOMPARE(Texts(boxes), QStringList{"작업한 내용을 저장하시겠습니까?"});
    QVERIFY(boxes.messages()[0].buttons == MsgButtons::YesNo &&
            boxes.messages()[0].caption == QStringLiteral("저장"));
    QCOMPARE(Names(Path("copy.dat")), QStringList{"1"});
    QCOMPARE(StorePath(), Path("OTHER.DAT"));
    QCOMPARE(View()->Settings().width, 12);
    QVERIFY(!View()->CutPresent());
    dialogs_->save = Path("moved.dat");
    Trigger(cmd::kSave);
    QCOMPARE(StorePath(), Path("OTHER.DAT"));
    Trigger(cmd::kNew);
    QVERIFY(Contents().isEmpty() && Store().ReadList().empty());
  }

  // One session by keyboard in a shown window; the project is read from disk after every
  // key. Loading it from the command line asks nothing. Then the mouse: a double click hands
  // the editor the stored record; the row menu greys what cannot run and its commands answer.
  void shownWindowSession() {
    const QString project = Path("show.dat");
    WriteProject(project, 4);
    MessageRecorder boxes;
    QVERIFY(View()->LoadProject(project));
    Frame()->show();
    Frame()->activateWindow();  // the offscreen platform has no window manager to do it
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(List()));
    auto key = [](QKeyCombination k) {
      QTest::keyClick(QApplication::focusWidget(), k.key(), k.keyboardModifiers());
    };
    const Qt::KeyboardModifier ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
    editors_->answer = Record(K::OneLine, "0K");
    for (const auto& [keys, names] :
         {std::pair{std::vector<QKeyCombination>{Qt::Key_Home, Qt::Key_Down, Qt::Key_Delete},
                    QStringList{"0", "2", "3"}},
          {{ctrl | Qt::Key_X}, {"0", "3"}},
          {{Qt::Key_End, ctrl | Qt::Key_V, ctrl | Qt::Key_V}, {"0", "2", "2", "3"}},
          {{Qt::Key_Home, Qt::Key_Return}, {"0K", "2", "2", "3"}},
          {{Qt::Key_Delete}, {"2", "2", "3"}},
          {{ctrl | Qt::Key_Z}, {"0K", "2", "2", "3"}},
          {{alt | Qt::Key_Down}, {"2", "0K", "2", "3"}},
          {{ctrl | Qt::Key_C, ctrl | Qt::Key_V}, {"2", "0K", "0K", "2", "3"}},
          {{ctrl | Qt::Key_Z, ctrl | Qt::Key_Z}, {"0K", "2", "2", "3"}},
          {{ctrl | Qt::Key_Y, ctrl | Qt::ShiftModifier | Qt::Key_Z},
           {"2", "0K", "0K", "2", "3"}}}) {
      for (QKeyCombination k : keys) key(k);
      QCOMPARE(Names(project), names);
    }
    key(ctrl | Qt::Key_N);  // a project asks nothing; its history stays with it
    QCOMPARE(StorePath(), Path("data.tmp"));
    QVERIFY(!Enabled(cmd::kUndo) && !Enabled(cmd::kRedo));
    dialogs_->save = Path("empty.dat");
    key(ctrl | Qt::Key_S);
    QCOMPARE(StorePath(), Path("empty.dat"));
    dialogs_->open = project;
    key(ctrl | Qt::Key_O);
    QCOMPARE(Contents(), (QStringList{"2", "0K", "0K", "2", "3"}));
    QVERIFY(Texts(boxes).isEmpty());
    editors_->answer = Record(K::OneLine, "changed");
    const QPoint at = List()->visualItemRect(List()->topLevelItem(0)).center();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(editors_->calls.back().second, std::optional(Stored(Record(K::OneLine, "2"))));
    QCOMPARE(Contents(), (QStringList{"changed", "0K", "0K", "2", "3"}));
    View()->SelectRows({0, 1});
    std::unique_ptr<QMenu> menu(View()->CreateListContextMenu());
    QVERIFY(menu->actions()[0]->isEnabled() && !menu->actions()[5]->isEnabled());
    menu->actions()[0]->trigger();  // 수정 on two rows answers with its message
    menu->actions()[5]->trigger();  // grey: nothing runs
    QCOMPARE(Texts(boxes), QStringList{"수정할곳의 Item만 선택하세요..."});
    // Rows dropped lower land there, still selected.
    View()->SelectRows({0, 1});
    View()->MoveSelectionTo(3);
    QCOMPARE(Names(Path("show.dat")), (QStringList{"0K", "changed", "0K", "2", "3"}));
    QCOMPARE(View()->SelectedRows(), (std::vector<int>{1, 2}));
    Trigger(cmd::kExit);
    QVERIFY(!Frame()->isVisible());
  }

  // A start on the data.tmp another manager holds ends with the message before touching a
  // byte of it (the item slots are not cleared, no setting is repaired).
  void startOnAHeldStoreLeavesIt() {
    Fill(2);
    Store().SetHeight(3);
    const QByteArray before = ReadAt(StorePath(), 0, 904672);
    store::CloseWorkStore();
    store::WorkStore other;
    other.SetPath(StorePath().toStdString());
    QVERIFY(other.Open() == store::kOpened);
    MessageRecorder boxes;
    QVERIFY(!TheApp()->InitInstance(false));
    QCOMPARE(Last(boxes), QStringLiteral("실행할수 없음: 다른 Brellion이 이 작업 파일을 사용하고 "
                                         "있습니다\n실행할수 없습니다"));
    QCOMPARE(ReadAt(Path("data.tmp"), 0, 904672), before);
  }

  // 이벤트 추가 (on the tool bar) opens the event list modally; an event sent from it goes
  // over the view's link and steps the frame's progress.
  void sendAndEventThroughTheMenus() {
    QVERIFY(Start(3, {"--rows", "1"}));
    MessageRecorder boxes;
    QVERIFY(Frame()->findChild<QToolBar*>()->actions().contains(View()->Action(cmd::kAddEvent)));
    QString progress;  // total/position while the message shows
    QTimer::singleShot(0, this, [&] {
      auto* dlg = qobject_cast<CEventListDlg*>(QApplication::activeModalWidget());
      if (!dlg) return;
      dlg->setEditRunner([](CEventEditDlg& e) {
        e.pane()->setStyledText({{U'G', {}}, {U'O', {}}});
        e.accept();
        return e.result();
      });
      dlg->addButton()->click();
      dlg->list()->topLevelItem(0)->setSelected(true);
      dlg->sendButton()->click();
      progress =
          QStringLiteral("%1/%2").arg(Frame()->ProgressTotal()).arg(Frame()->ProgressPosition());
      dlg->closeButton()->click();
    });
    Trigger(cmd::kAddEvent);
    QCOMPARE(progress, QStringLiteral("3/3"));
    QCOMPARE(Frame()->ProgressBar()->value(), 0);  // emptied again
    QCOMPARE(Texts(boxes), QStringList{"Event 전송완료했습니다"});
  }

  // The settings dialogs, controls chosen by their labels, and the brightness mode's check
  // marks, on a store talking TCP/IP to no address until the IP dialog names the sign's.
  // Cancel stores and sends nothing; a bad address keeps the dialog open.
  void eachDialogToTheStoreAndTheSign() {
    QVERIFY(Start(0, {"--rows", "1"}, false));
    MessageRecorder boxes;
    const int port = sim_->tcp_port();
    Run<CIpSettingsDlg>(cmd::kIpSetup, [&](CIpSettingsDlg& d) {
      d.AddressEdit()->setText("127.0.0.256");
      d.accept();
      QVERIFY(!d.result());
      d.AddressEdit()->setText("127.0.0.1");
      d.PortEdit()->setText(QString::number(port));
    });
    Run<CBrightnessDlg>(cmd::kBrightLevels, [](CBrightnessDlg& d) {
      Choose(d, "주간 LED밝기값:", "10 (최대밝기)");
      Choose(d, "야간 LED밝기값:", "2");
    });
    QVERIFY(View()->Action(cmd::kBrightMax)->isChecked());
    View()->OnCommand(cmd::kBrightDayNight);
    QVERIFY(View()->Action(cmd::kBrightDayNight)->isChecked() &&
            !View()->Action(cmd::kBrightMax)->isChecked());
    View()->OnCommand(cmd::kBrightApply);
    Run<CBoardSizeDlg>(cmd::kBoardSize, [](CBoardSizeDlg& d) {
      Choose(d, "너비:", "20열");
      Choose(d, "높이:", "2단");
    });
    Run<CNewsDlg>(cmd::kNews, Tick({"정치", "기상"}));
    Run<CNewsDlg>(cmd::kNews, Tick({"사회", "문화", "스포츠", "경제", "국제", "과학/기술"}), true);
    // The whole serial line reaches the link, which need not open; only the port is stored.
    Run<CPortSettingsDlg>(cmd::kPortSetup, [](CPortSettingsDlg& d) {
      for (auto [label, entry] : {std::pair{"Port:", "COM3"},
                                  {"Baud Rate:", "9600"},
                                  {"Data Bits:", "7"},
                                  {"Parity:", "Even"},
                                  {"Stop Bits:", "2"}})
        Choose(d, label, entry);
      d.FlowBox(1)->setChecked(true);
    });
    const signlink::SerialLine line = View()->Links().Line();
    QCOMPARE(std::tuple(line.port, line.baud, line.dataBits, line.parity, line.stopBits,
                        int(line.flowBits)),
             std::tuple(3, 9600, 7, 2, 2, 2));
    Run<CPortSettingsDlg>(cmd::kPortSetup,
                          [](CPortSettingsDlg& d) { Choose(d, "Parity:", "Odd"); });
    QCOMPARE(View()->Links().Line().parity, 1);

    QByteArray settings(23, '\x55');
    Store().Read(store::kSettingsOffset, settings.data(), 23);
    QCOMPARE(settings, QByteArray("\x14\x02\0\x01\0\x08\x03\x7F\0\0\x01", 11) + char(port >> 8) +
                           char(port) + QByteArray("\x01\0\0\x01\0\0\0\0\0\x01", 10));
    QStringList texts;
    for (const MessageRequest& m : boxes.messages()) texts << m.caption + ": " + m.text;
    QCOMPARE(texts.mid(0, 4), (QStringList{": 0에서 255 사이의 숫자 네 개를 입력하십시오.",
                                           "OK...: LED밝기 적용OK...", "OK...: 규격 적용OK...",
                                           "전송완료: 뉴스항목설정 OK..."}));
    QVERIFY(sim_->Stop());
    QCOMPARE(sim_->log().count("tcp news"), 1);
    QVERIFY2(sim_->log().contains("tcp news 01000001"), qPrintable(sim_->log()));
    QCOMPARE(ReadAt(sim_->memory_file(), board::kWidth, 6), QByteArray("\x14\x02\0\x01\0\x08", 6));
  }

  // The missing COM1 warns once on the switch; a size the sign does not take is still stored.
  // The baud rate chosen in the dialog lasts until the next start, which opens at 57600.
  void portDialogThenRestartAt57600() {
    QVERIFY(Start(0, {"--rows", "1"}));
    qputenv("BRELLION_COM2", sim_->pty_link().toUtf8());
    MessageRecorder boxes;
    View()->OnCommand(cmd::kTransmitSerial);
    View()->OnCommand(cmd::kTransmitSerial);
    QVERIFY(Store().Transmit() == 0 && boxes.messages().size() == 1);
    QCOMPARE(Pane(), QStringLiteral("열린 포트가 없습니다."));
    Run<CBoardSizeDlg>(cmd::kBoardSize,
                       [](CBoardSizeDlg& d) { d.WidthCombo()->setCurrentIndex(0); });
    QCOMPARE(Last(boxes), QStringLiteral("전송실패: 전광판과의 연결상태를 확인해주세요!..."));
    QCOMPARE(Store().Width(), 2);
    Run<CPortSettingsDlg>(cmd::kPortSetup, [](CPortSettingsDlg& d) {
      d.PortCombo()->setCurrentIndex(1);
      d.BaudCombo()->setCurrentIndex(d.BaudCombo()->findText(QStringLiteral("9600")));
    });
    QCOMPARE(Store().SerialPort(), 2);
    QCOMPARE(Pane(), QStringLiteral("연결: COM2, 9600 bps"));
    QVERIFY(TheApp()->InitInstance(false));
    QCOMPARE(Pane(), QStringLiteral("연결: COM2, 57600 bps"));
    View()->OnCommand(cmd::kSetClock);
    QCOMPARE(Last(boxes), QStringLiteral("설정완료: 시각설정 완료"));
    QVERIFY(sim_->Stop() && sim_->log().contains("pty clock-set"));
  }

  // While frames go out slowly the button cancels; so does closing the window, which then
  // closes. The sign keeps its old count.
  void sendCanBeCancelledBetweenFrames() {
    QVERIFY(Start(20, slow_));
    Frame()->show();
    MessageRecorder boxes(MsgResult::No);
    QString during;
    QTimer::singleShot(450, [&] {
      during = View()->SendButton()->text() + (View()->SignBusy() ? " busy" : "") +
               (View()->SendButton()->isEnabled() ? " enabled" : "");
      View()->SendButton()->click();
    });
    View()->SendButton()->click();
    QCOMPARE(during, QStringLiteral("취   소 busy enabled"));
    QVERIFY(boxes.messages().size() == 1 && !View()->SignBusy());
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("전송취소"));
    QCOMPARE(View()->SendButton()->text(), QStringLiteral("전   송"));
    boxes.clear();
    bool openWhileBusy = false;
    QTimer::singleShot(350, [&] {
      Frame()->close();
      openWhileBusy = Frame()->isVisible() && View()->SignBusy();
    });
    View()->SendButton()->click();
    QVERIFY(openWhileBusy);
    QTRY_VERIFY(!Frame()->isVisible());
    QCOMPARE(boxes.messages().first().caption, QStringLiteral("전송취소"));
    QVERIFY(sim_->Stop());
    QCOMPARE(ReadAt(sim_->memory_file(), board::kItemCount, 2), QByteArray("\0\0", 2));
  }

  // "전송 후 확인" lasts into the next start and makes the send read everything back, the
  // progress covering both; a read that fails then fails the send.
  void verifyAfterSendIsKeptAndReadsBack() {
    QVERIFY(Start(3, {"--rows", "1", "--fault", "badsum:37"}));
    QVERIFY(!View()->Action(cmd::kVerifyAfterSend)->isChecked());
    Trigger(cmd::kVerifyAfterSend);
    QVERIFY(Start(3));  // the settings of the store point at the simulator still
    QVERIFY(View()->Action(cmd::kVerifyAfterSend)->isChecked());
    MessageRecorder boxes;
    View()->SendButton()->click();
    QCOMPARE(Last(boxes), QStringLiteral("전송완료: 전송 완료 했습니다"));
    QVERIFY(Frame()->ProgressPosition() == 18 && Frame()->PercentText().isEmpty());  // ended
    View()->SendButton()->click();  // frame 37: the first read after the second apply
    QCOMPARE(Last(boxes),
             QStringLiteral("전송확인실패: 보낸 내용을 전광판에서 읽지 못했습니다\n") +
                 QString::fromStdString(signlink::ResultText(signlink::Result::kChecksum)));
    Trigger(cmd::kVerifyAfterSend);
  }

  // 전광판에서 가져오기 asks for the name, reads and opens the project as the store with the
  // link it was read over; a read that fails writes nothing and keeps the store.
  void pullOpensTheSignsProgramAsTheStore() {
    QVERIFY(Start(3, {"--rows", "1", "--fault", "badsum:26"}));
    MessageRecorder boxes(MsgResult::No);
    View()->SendButton()->click();
    dialogs_->save = dir_->filePath("pulled.dat");
    Trigger(cmd::kPullFromSign);
    QCOMPARE(Texts(boxes), (QStringList{"전송 완료 했습니다", "작업한 내용을 저장하시겠습니까?",
                                        "전광판에서 3개 항목을 가져왔습니다"}));
    QCOMPARE(StorePath(), dir_->filePath("pulled.dat"));
    QCOMPARE(Contents(), (QStringList{"item", "item", "item"}));
    QCOMPARE(int(Store().Transmit()), 1);
    dialogs_->save = dir_->filePath("pulled.dat");  // the store itself: refused before reading
    Trigger(cmd::kPullFromSign);
    QCOMPARE(Last(boxes),
             QStringLiteral("가져오기실패: 지금 작업 중인 프로젝트에는 가져올 수 없습니다"));
    dialogs_->save = dir_->filePath("second.dat");
    Trigger(cmd::kPullFromSign);  // frame 26: its first body read
    QCOMPARE(Last(boxes),
             QStringLiteral("가져오기실패: 전광판에서 읽지 못했습니다\n") +
                 QString::fromStdString(signlink::ResultText(signlink::Result::kChecksum)));
    QVERIFY(!QFile::exists(dir_->filePath("second.dat")));
    QCOMPARE(StorePath(), dir_->filePath("pulled.dat"));
    QCOMPARE(Contents(), (QStringList{"item", "item", "item"}));
  }

  void previewWritesTheFileAndStartsThePreviewer() {
    QVERIFY(Start(2));
    const QString folder = dir_->path() + "/PREVIEW/";
    MessageRecorder boxes;
    View()->Action(cmd::kPreview)->trigger();  // no previewer beside the manager
    QCOMPARE(Last(boxes), QStringLiteral("미리보기: 미리보기실패"));
    QCOMPARE(QFileInfo(folder + "preview.tmp").size(), qint64(board::kMemorySize));
    QCOMPARE(ReadAt(folder + "preview.tmp", board::kWidth, 8),
             QByteArray("\x06\x01\0\0\0\0\0\x02", 8));
    QFile varno(folder + "Varno");  // a previewer that notes where it runs
    QVERIFY(varno.open(QIODevice::WriteOnly));
    varno.write("#!/bin/sh\npwd > started.txt\n");
    varno.close();
    varno.setPermissions(varno.permissions() | QFileDevice::ExeOwner);
    View()->Action(cmd::kPreview)->trigger();
    QCOMPARE(boxes.messages().size(), 1);
    QTRY_VERIFY(QFileInfo(folder + "started.txt").size() > 0);
    QCOMPARE(QDir(ReadAt(folder + "started.txt", 0, 4096).trimmed()).canonicalPath(),
             QDir(folder).canonicalPath());
  }
};

int main(int argc, char** argv) {
  // No serial device: COM1 names one that does not exist, and the warning its opening
  // gives at each start is recorded instead of shown.
  qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");
  QTemporaryDir preferences;  // the operator's choices kept between runs
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, preferences.path());
  MessageRecorder portWarnings;
  CBrellionApp app(argc, argv);
  ManagerTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_app.moc"
