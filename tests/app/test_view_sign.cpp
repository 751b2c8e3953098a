// The view's commands that talk to the virtual sign: the settings menus (dialogs answered in
// place through the dialog seam), the send button and 미리보기 -> 보기. Boxes are recorded.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/app/main_frame.h"
#include "manager/app/preview_progress_dlg.h"
#include "manager/link/frame.h"
#include "manager/link/qt/sign_links.h"
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

namespace {

CBrellionView* View() {
  return TheApp()->View();
}
store::WorkStore& Store() {
  return store::TheWorkStore();
}
QString Pane() {
  return TheApp()->MainFrame()->LinkText();
}

// Runs command `id`, answering its dialog of type Dlg after `fill` (Cancel unless confirm).
template <class Dlg>
void RunWith(int id, std::function<void(Dlg&)> fill, bool confirm = true) {
  DialogRunner previous = SetDialogRunner([&](QDialog& d) {
    auto* dlg = qobject_cast<Dlg*>(&d);
    if (!dlg) return false;
    fill(*dlg);
    if (confirm) dlg->accept();
    return confirm && dlg->result() == QDialog::Accepted;
  });
  TheApp()->View()->OnCommand(id);
  SetDialogRunner(std::move(previous));
}

QString Last(const MessageRecorder& boxes) {
  if (boxes.messages().isEmpty()) return "none";
  return boxes.messages().last().caption + ": " + boxes.messages().last().text;
}

QByteArray ReadAt(const QString& path, qint64 at, qint64 n) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly) || !f.seek(at)) return {};
  return f.read(n);
}

bool WaitFor(const std::function<bool()>& done) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < 5000) QTest::qWait(10);
  return done();
}

}  // namespace

class ViewSettingsTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  SignSimProcess sim_;

  // What the sign holds at a board address.
  QByteArray SignBytes(std::uint32_t address, std::uint16_t n) {
    std::uint8_t out[16] = {};
    if (View()->Links().Tcp().SendAndRead(signlink::BuildMemoryRead(address, n), out, n) !=
        signlink::Result::kOk)
      return "failed";
    return QByteArray(reinterpret_cast<char*>(out), n);
  }
  static void Run(int id) { View()->OnCommand(id); }

 private slots:
  void initTestCase() {
    QVERIFY(sim_.Start());
    MessageRecorder boxes;
    store::WorkStore s;
    s.SetPath(dir_.filePath("data.tmp").toStdString());
    QCOMPARE(s.Open(), 0);
    s.SetTransmit(1);
    s.SetIpAddress(0x7F000001);
    s.SetTcpPort(static_cast<std::uint16_t>(sim_.tcp_port()));
    s.Close();
    TheApp()->SetProgramDirectory(dir_.path());
    QVERIFY(TheApp()->InitInstance(false));
    QCOMPARE(boxes.messages().size(), 1);  // the missing COM1, opened whatever the option
    QCOMPARE(Pane(), QStringLiteral("[IP:127.0.0.1],   [PORT:%1]").arg(sim_.tcp_port()));
  }

  // The mode pair's check marks, the levels dialog and the apply command reach store,
  // sign and boxes; choosing the mode already chosen writes nothing.
  void brightnessThroughTheMenus() {
    MessageRecorder boxes;
    QVERIFY(View()->Action(cmd::kBrightMax)->isChecked());
    Run(cmd::kBrightDayNight);
    QVERIFY(View()->Action(cmd::kBrightDayNight)->isChecked());
    QVERIFY(!View()->Action(cmd::kBrightMax)->isChecked());
    QCOMPARE(Store().BrightMode(), 1);
    Store().SetBrightMode(0);
    Run(cmd::kBrightDayNight);
    QCOMPARE(Store().BrightMode(), 0);
    Store().SetBrightMode(1);
    RunWith<CBrightnessDlg>(cmd::kBrightLevels, [](CBrightnessDlg& d) {
      d.DayCombo()->setCurrentIndex(3);
      d.NightCombo()->setCurrentIndex(9);
    });
    QCOMPARE(Store().Levels(), 0x0309);
    QVERIFY(boxes.messages().isEmpty());  // the levels are only stored
    Run(cmd::kBrightApply);
    QCOMPARE(Last(boxes), QStringLiteral("OK...: LED밝기 적용OK..."));
    QCOMPARE(SignBytes(0x02000B, 3), QByteArray("\x01\x03\x09", 3));
  }

  void sizeReachesStoreAndSign() {
    MessageRecorder boxes;
    RunWith<CBoardSizeDlg>(cmd::kBoardSize, [](CBoardSizeDlg& d) {
      d.WidthCombo()->setCurrentIndex(18);
      d.HeightCombo()->setCurrentIndex(1);
    });
    QCOMPARE(Last(boxes), QStringLiteral("OK...: 규격 적용OK..."));
    QCOMPARE(SignBytes(0x020008, 2), QByteArray("\x14\x02", 2));
    QCOMPARE(Store().Width(), 20);
    QCOMPARE(Store().Height(), 2);
  }

  // A stored non-zero flag goes back as 1; Cancel sends and stores nothing.
  void newsFlags() {
    MessageRecorder boxes;
    Store().SetNewsFlags({7, 0, 0, 0, 0, 0, 0, 0});
    RunWith<CNewsDlg>(cmd::kNews, [](CNewsDlg&) {});
    QCOMPARE(Store().NewsFlags()[0], 1);
    QCOMPARE(Last(boxes), QStringLiteral("전송완료: 뉴스항목설정 OK..."));
    RunWith<CNewsDlg>(
        cmd::kNews, [](CNewsDlg& d) { d.Box(7)->setChecked(true); }, false);
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(Store().NewsFlags()[7], 0);
  }

  // Stored and reconnected; a port out of range is refused and the dialog stays open.
  void ipDialogStoresAndReconnects() {
    MessageRecorder boxes;
    RunWith<CIpSettingsDlg>(cmd::kIpSetup, [](CIpSettingsDlg& d) {
      d.AddressEdit()->setText(QStringLiteral("192.168.0.10"));
      d.PortEdit()->setText(QStringLiteral("5000"));
    });
    QCOMPARE(Store().IpAddress(), 0xC0A8000Au);
    QCOMPARE(Pane(), QStringLiteral("[IP:192.168.0.10],   [PORT:5000]"));
    RunWith<CIpSettingsDlg>(cmd::kIpSetup,
                            [](CIpSettingsDlg& d) { d.PortEdit()->setText("70000"); });
    QCOMPARE(boxes.messages().size(), 1);
    QVERIFY(boxes.messages()[0].text.contains(QStringLiteral("65535")));
    QCOMPARE(Store().TcpPort(), 5000);
  }

  // The missing COM1 warns once on the switch; a size the sign does not take is still stored.
  void serialOptionWithoutASign() {
    MessageRecorder boxes;
    Run(cmd::kTransmitSerial);
    Run(cmd::kTransmitSerial);
    QCOMPARE(Store().Transmit(), 0);
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(Pane(), QStringLiteral("열린 포트가 없습니다."));
    RunWith<CBoardSizeDlg>(cmd::kBoardSize,
                           [](CBoardSizeDlg& d) { d.WidthCombo()->setCurrentIndex(0); });
    QCOMPARE(Last(boxes), QStringLiteral("전송실패: 전광판과의 연결상태를 확인해주세요!..."));
    QCOMPARE(Store().Width(), 2);
  }

  // The baud rate chosen in the dialog lasts until the next start, which opens at 57600.
  void portDialogThenRestartAt57600() {
    qputenv("BRELLION_COM2", sim_.pty_link().toUtf8());
    MessageRecorder boxes;
    RunWith<CPortSettingsDlg>(cmd::kPortSetup, [](CPortSettingsDlg& d) {
      d.PortCombo()->setCurrentIndex(1);
      d.BaudCombo()->setCurrentIndex(d.BaudCombo()->findText(QStringLiteral("9600")));
    });
    QCOMPARE(Store().SerialPort(), 2);
    QCOMPARE(Pane(), QStringLiteral("연결: COM2, 9600 bps"));
    QVERIFY(TheApp()->InitInstance(false));
    QCOMPARE(Pane(), QStringLiteral("연결: COM2, 57600 bps"));
    Run(cmd::kSetClock);
    QCOMPARE(Last(boxes), QStringLiteral("설정완료: 시각설정 완료"));
  }

  void cleanupTestCase() {
    QVERIFY(sim_.Stop());
    QVERIFY(sim_.log().contains("pty clock-set"));
  }
};

class ViewTransferTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  // One simulator per test: its ready file names the port of one run only.
  std::unique_ptr<SignSimProcess> sim_;

  // A fresh start with `items` one-line items, talking TCP to the simulator when it runs.
  bool Start(int items, const QStringList& simOptions = {}) {
    if (!simOptions.isEmpty() && !sim_->Start(simOptions)) return false;
    TheApp()->SetProgramDirectory(dir_.path());
    if (!TheApp()->InitInstance(false)) return false;
    for (int i = 0; i < items; ++i) {
      item::ItemRecord r;
      r.header.setKind(item::ItemKind::OneLine);
      text::WriteTextQuarter(r.body.textA, "item " + std::to_string(i));
      Store().AppendSlot(i, r);
    }
    View()->RefreshList();
    if (simOptions.isEmpty()) return true;
    Store().SetTransmit(1);
    Store().SetIpAddress(0x7F000001);
    Store().SetTcpPort(static_cast<std::uint16_t>(sim_->tcp_port()));
    View()->ReloadSettings();
    return true;
  }
  QByteArray SignItemCount() {
    return sim_->Stop() ? ReadAt(sim_->memory_file(), board::kItemCount, 2) : "not stopped";
  }

 private slots:
  void init() { sim_ = std::make_unique<SignSimProcess>(); }
  void cleanup() {
    sim_.reset();
    TheApp()->MainFrame()->hide();
    store::CloseWorkStore();
  }

  void sendWritesTheListAndSaysSo() {
    QVERIFY(Start(3, {"--rows", "1"}));
    MessageRecorder boxes;
    View()->SendButton()->click();
    QCOMPARE(Last(boxes), QStringLiteral("전송완료: 전송 완료 했습니다"));
    QCOMPARE(TheApp()->MainFrame()->ProgressPosition(), 9);
    QCOMPARE(TheApp()->MainFrame()->PercentText(), QString());  // ended
    QCOMPARE(SignItemCount(), QByteArray("\0\x03", 2));
  }

  // While frames go out slowly, sign commands are off and the button cancels.
  void sendCanBeCancelledBetweenFrames() {
    QVERIFY(Start(20, {"--rows", "1", "--fault", "late", "--late-ms", "100"}));
    MessageRecorder boxes;
    bool busy = false, sendOn = false;
    QString text;
    QTimer::singleShot(450, [&] {
      busy = View()->SignBusy();
      text = View()->SendButton()->text();
      sendOn = View()->SendButton()->isEnabled();
      View()->SendButton()->click();
    });
    View()->SendButton()->click();
    QVERIFY(busy && sendOn);
    QCOMPARE(text, QStringLiteral("취   소"));
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("전송취소"));
    QVERIFY(!View()->SignBusy());
    QCOMPARE(View()->SendButton()->text(), QStringLiteral("전   송"));
    QCOMPARE(SignItemCount(), QByteArray("\0\0", 2));
  }

  // Closing the window in the middle of a download stops it between frames, then closes.
  void closingWaitsForTheDownload() {
    QVERIFY(Start(20, {"--rows", "1", "--fault", "late", "--late-ms", "100"}));
    CMainFrame* frame = TheApp()->MainFrame();
    frame->show();
    MessageRecorder boxes(MsgResult::No);
    bool openWhileBusy = false;
    QTimer::singleShot(350, [&] {
      frame->close();
      openWhileBusy = frame->isVisible() && View()->SignBusy();
    });
    View()->SendButton()->click();
    QVERIFY(openWhileBusy);
    QVERIFY(WaitFor([&] { return !frame->isVisible(); }));
    QCOMPARE(boxes.messages().first().caption, QStringLiteral("전송취소"));
  }

  void previewWritesTheFileAndStartsThePreviewer() {
    QVERIFY(Start(2));
    const QString folder = dir_.path() + "/PREVIEW/";
    MessageRecorder boxes;
    // No previewer beside the manager: the file is written, the start fails.
    View()->Action(cmd::kPreview)->trigger();
    QCOMPARE(Last(boxes), QStringLiteral("미리보기: 미리보기실패"));
    QCOMPARE(QFileInfo(folder + "preview.tmp").size(), qint64(board::kMemorySize));
    QCOMPARE(ReadAt(folder + "preview.tmp", board::kItemCount, 2), QByteArray("\0\x02", 2));

    QFile varno(folder + "Varno");  // a previewer that notes where it runs
    QVERIFY(varno.open(QIODevice::WriteOnly));
    varno.write("#!/bin/sh\npwd > started.txt\n");
    varno.close();
    varno.setPermissions(varno.permissions() | QFileDevice::ExeOwner);
    View()->Action(cmd::kPreview)->trigger();
    QCOMPARE(boxes.messages().size(), 1);
    QVERIFY(WaitFor([&] { return QFileInfo(folder + "started.txt").size() > 0; }));
    QCOMPARE(QDir(ReadAt(folder + "started.txt", 0, 4096).trimmed()).canonicalPath(),
             QDir(folder).canonicalPath());
  }

  void previewProgressStopsAt100() {
    CPreviewProgressDlg dlg;
    dlg.Create(3);
    dlg.Step();
    QCOMPARE(dlg.PercentText(), QStringLiteral("33 %   진행중입니다..."));
    for (int i = 0; i < 3; ++i) dlg.Step();
    QCOMPARE(dlg.PercentText(), QStringLiteral("100 %   진행중입니다..."));
  }
};

int main(int argc, char** argv) {
  // No serial device at COM1: the warning each start gives is recorded, not shown.
  qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");
  MessageRecorder portWarnings;
  CBrellionApp app(argc, argv);
  ViewSettingsTest settings;
  ViewTransferTest transfer;
  return QTest::qExec(&settings, argc, argv) | QTest::qExec(&transfer, argc, argv);
}

#include "test_view_sign.moc"
