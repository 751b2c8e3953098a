// The manager's windows for many signs: the start's warnings (its port, the sign book), the
// book in its dialog, and a send to a group of virtual signs with the failed one sent again.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/app/main_frame.h"
#include "manager/fleet/sign_book.h"
#include "manager/fleet/ui/fleet_dlg.h"
#include "manager/fleet/ui/sign_book_dlg.h"
#include "manager/fleet/ui/sign_edit_dlg.h"
#include "manager/link/qt/sign_links.h"
#include "manager/settings/run_dialog.h"
#include "manager/store/work_store.h"
#include "qtshared/message_box.h"
#include "shared/cp949.h"
#include "tests/support/signsim_process.h"

namespace {

CBrellionView* View() {
  return TheApp()->View();
}

QStringList Texts(const MessageRecorder& boxes) {
  QStringList out;
  for (const MessageRequest& m : boxes.messages()) out << m.caption + ": " + m.text;
  return out;
}

}  // namespace

class FleetUiTest : public QObject {
  Q_OBJECT
  QTemporaryDir* dir_ = nullptr;

  QString BookPath() const { return dir_->filePath("config/Brellion/signs.ini"); }
  void WriteBook(const QByteArray& text) {
    QVERIFY(QDir().mkpath(QFileInfo(BookPath()).path()));
    QFile f(BookPath());
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
  }

 private slots:
  void init() {
    dir_ = new QTemporaryDir;
    qputenv("XDG_CONFIG_HOME", dir_->filePath("config").toUtf8());
    TheApp()->SetProgramDirectory(dir_->path());
  }
  void cleanup() {
    store::CloseWorkStore();
    delete dir_;
  }

  // The stored serial port missing and a hand-edited book with a wrong line: the start
  // warns of each once, names the line, and goes on with the port closed.
  void startWarnsOfTheMissingPortAndTheWrongLine() {
    WriteBook("[sign 본점]\ntcp = 10.0.0.1:5000\n\n[sign 창고]\ntcp = 10.0.0.2\n");
    MessageRecorder boxes;
    QVERIFY(TheApp()->InitInstance(false));
    const QStringList texts = Texts(boxes);
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts[0], "경고: 통신 포트를 열지 못했습니다.\n설정값을 바꿔 다시 시도 하십시오.");
    QCOMPARE(boxes.messages()[0].icon, MsgIcon::Warning);
    QVERIFY2(texts[1].startsWith("전광판 목록:") && texts[1].contains("5번째 줄: tcp는"),
             qPrintable(texts[1]));
    QCOMPARE(TheApp()->MainFrame()->LinkText(), QStringLiteral("열린 포트가 없습니다."));
  }

  // Add, a refused clash of names, change of the groups, delete: "확인" writes a file that
  // reads back as the dialog showed it.
  void bookDialogWritesWhatReadsBack() {
    QVERIFY(TheApp()->InitInstance(false));
    MessageRecorder boxes;
    int edit = 0;
    fleet::SignBook shown;
    const DialogRunner previous = SetDialogRunner([&](QDialog& d) {
      if (auto* e = qobject_cast<CSignEditDlg*>(&d)) {
        switch (edit++) {
          case 0:
            e->NameEdit()->setText(" 본점 ");
            e->HostEdit()->setText("10.0.0.5");
            e->SizeBox()->setChecked(true);
            e->WidthBox()->setCurrentIndex(10);
            e->HeightBox()->setCurrentIndex(1);
            e->NewGroupsEdit()->setText("매장, 1층");
            break;
          case 1:
            e->NameEdit()->setText("본점");
            e->SerialButton()->setChecked(true);
            e->DeviceBox()->setEditText("com3");
            e->accept();  // refused: the name is taken
            e->NameEdit()->setText("창고");
            e->GroupList()->item(0)->setCheckState(Qt::Checked);
            break;
          case 2:
            e->GroupList()->item(1)->setCheckState(Qt::Unchecked);
            break;
          default:
            e->NameEdit()->setText("지워질 것");
            e->HostEdit()->setText("gone.example");
        }
        e->accept();
        return e->result() == QDialog::Accepted;
      }
      auto* book = qobject_cast<CSignBookDlg*>(&d);
      if (!book) return false;
      book->AddSign();
      book->AddSign();
      book->Rows()->setCurrentItem(book->Rows()->topLevelItem(0));
      book->ChangeSign();
      book->AddSign();  // and selected alone
      book->DeleteSigns();
      shown = book->Book();
      book->accept();
      return book->result() == QDialog::Accepted;
    });
    View()->OnCommand(cmd::kSignBook);
    SetDialogRunner(previous);
    QCOMPARE(Texts(boxes), QStringList{"전광판: 같은 이름의 전광판이 이미 있습니다: 본점"});
    const fleet::BookRead r = fleet::ReadSignBook(BookPath().toStdString());
    QCOMPARE(r.book.signs.size(), std::size_t(2));
    QVERIFY(r.book.signs == shown.signs);
    const fleet::Sign& front = r.book.signs[0];
    QCOMPARE(
        front.name + " " + fleet::AddressText(front.address) + " " + fleet::SizeText(front.size),
        std::string("본점 10.0.0.5:5000 12x2"));
    QVERIFY(front.groups == std::vector<std::string>{"매장"});
    QCOMPARE(r.book.signs[1].address.device, std::string("COM3"));
    QVERIFY(r.book.signs[1].groups == std::vector<std::string>{"매장"});
  }

  // A group chosen, each sign its own result; the other model fails alone and is the only
  // one sent again. The window is not modal and the view's sign commands wait meanwhile;
  // the view lends its own serial port to a sign on that device for the run.
  void sendToAGroupAndResendTheFailed() {
    SignSimProcess good, other, serial;
    QVERIFY(good.Start({"--rows", "1"}) && other.Start({"--model", "OTHER", "--rows", "1"}) &&
            serial.Start({"--rows", "1"}));
    qputenv("BRELLION_COM1", serial.pty_link().toUtf8());
    WriteBook(QStringLiteral("[sign 좋은]\ntcp = 127.0.0.1:%1\ngroups = 매장\n"
                             "[sign 혼자]\ntcp = 127.0.0.1:1\n"
                             "[sign 다른]\ntcp = 127.0.0.1:%2\ngroups = 매장\n"
                             "[sign 직렬]\nserial = COM1\ngroups = 매장\n")
                  .arg(good.tcp_port())
                  .arg(other.tcp_port())
                  .toUtf8());
    QVERIFY(TheApp()->InitInstance(false));
    QVERIFY(View()->Links().SerialOpen());
    item::ItemRecord r;
    r.header.setKind(item::ItemKind::OneLine);
    text::WriteTextQuarter(r.body.textA, "fleet");
    store::TheWorkStore().AppendSlot(0, r);
    View()->RefreshList();
    View()->Action(cmd::kFleetSend)->trigger();
    CFleetDlg* dlg = View()->FleetDialog();
    QVERIFY(dlg && dlg->isVisible() && !dlg->isModal());
    dlg->GroupList()->item(0)->setCheckState(Qt::Checked);
    dlg->Start();
    QVERIFY(dlg->Running() && !View()->Action(cmd::kSetClock)->isEnabled());
    QTRY_VERIFY(!dlg->Running());
    QVERIFY(View()->Action(cmd::kSetClock)->isEnabled() && View()->Links().SerialOpen());
    const auto result = [dlg](int row) { return dlg->Rows()->topLevelItem(row)->text(3); };
    const QString done = QStringLiteral("전송 완료 했습니다");
    QCOMPARE((QStringList{result(0), result(1), result(2), result(3)}),
             (QStringList{done, QString(), "전광판모델이 다릅니다", done}));
    dlg->ResendFailed();
    QTRY_VERIFY(!dlg->Running());
    QCOMPARE(dlg->Rows()->topLevelItem(0)->checkState(0), Qt::Unchecked);
    QCOMPARE(dlg->Rows()->topLevelItem(2)->checkState(0), Qt::Checked);
    QVERIFY(good.Stop() && other.Stop() && serial.Stop());
    qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");
    QCOMPARE(good.log().count("memory-read addr 0x020000 len 8"), 1);
    QCOMPARE(other.log().count("memory-read addr 0x020000 len 8"), 2);
  }
};

int main(int argc, char** argv) {
  qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");
  MessageRecorder portWarnings;
  CBrellionApp app(argc, argv);
  FleetUiTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_fleet_ui.moc"
