// The settings menus of the main view against the virtual sign over TCP/IP: dialogs are
// answered in place through the dialog seam, messages are recorded.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <array>

#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/app/main_frame.h"
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
#include "tests/support/signsim_process.h"

namespace {

// Answers every dialog with `answer` for its lifetime.
class DialogAnswer {
 public:
  explicit DialogAnswer(DialogRunner answer) { previous_ = SetDialogRunner(std::move(answer)); }
  ~DialogAnswer() { SetDialogRunner(std::move(previous_)); }

 private:
  DialogRunner previous_;
};

template <class Dlg>
DialogRunner Answer(std::function<void(Dlg&)> fill, bool confirm = true) {
  return [fill, confirm](QDialog& d) {
    auto* dlg = qobject_cast<Dlg*>(&d);
    if (!dlg) return false;
    fill(*dlg);
    if (!confirm) return false;
    dlg->accept();
    return dlg->result() == QDialog::Accepted;
  };
}

}  // namespace

class ViewSettingsTest : public QObject {
  Q_OBJECT

 private:
  CBrellionView* view() { return TheApp()->View(); }
  store::WorkStore& store() { return store::TheWorkStore(); }
  QString Pane() { return TheApp()->MainFrame()->LinkText(); }
  void Run(int id) { view()->OnCommand(id); }
  // What the sign holds at a board address.
  QByteArray SignBytes(std::uint32_t address, std::uint16_t n) {
    std::uint8_t out[16] = {};
    if (view()->Links().Tcp().SendAndRead(signlink::BuildMemoryRead(address, n), out, n) !=
        signlink::Result::kOk)
      return "failed";
    return QByteArray(reinterpret_cast<char*>(out), n);
  }
  void ExpectMessage(const MessageRecorder& boxes, const QString& text, const QString& caption) {
    QVERIFY(!boxes.messages().isEmpty());
    QCOMPARE(boxes.messages().last().text, text);
    QCOMPARE(boxes.messages().last().caption, caption);
  }

  QTemporaryDir dir_;
  SignSimProcess sim_;

 private slots:
  void initTestCase() {
    QVERIFY(sim_.Start());
    qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");
    store::WorkStore s;
    s.SetPath(dir_.filePath("data.tmp").toStdString());
    QCOMPARE(s.Open(), 0);
    s.SetTransmit(1);
    s.SetIpAddress(0x7F000001);
    s.SetTcpPort(static_cast<std::uint16_t>(sim_.tcp_port()));
    s.SetSerialPort(0);
    s.Close();
    TheApp()->SetProgramDirectory(dir_.path());
    MessageRecorder boxes;
    QVERIFY(TheApp()->InitInstance(false));
    QCOMPARE(boxes.messages().size(), 1);  // the missing COM1, opened whatever the option
    QCOMPARE(store().SerialPort(), 1);     // a stored 0 is COM1 and written back
    QCOMPARE(Pane(), QStringLiteral("[IP:127.0.0.1],   [PORT:%1]").arg(sim_.tcp_port()));
  }

  void brightnessThroughTheMenus() {
    MessageRecorder boxes;
    QVERIFY(view()->Action(cmd::kBrightMax)->isChecked());
    Run(cmd::kBrightDayNight);
    QVERIFY(view()->Action(cmd::kBrightDayNight)->isChecked());
    QVERIFY(!view()->Action(cmd::kBrightMax)->isChecked());
    QCOMPARE(store().BrightMode(), 1);
    {
      DialogAnswer a(Answer<CBrightnessDlg>([](CBrightnessDlg& d) {
        d.DayCombo()->setCurrentIndex(3);
        d.NightCombo()->setCurrentIndex(9);
      }));
      Run(cmd::kBrightLevels);
    }
    QCOMPARE(store().Levels(), 0x0309);
    QVERIFY(boxes.messages().isEmpty());  // the levels are only stored
    Run(cmd::kBrightApply);
    ExpectMessage(boxes, QStringLiteral("LED밝기 적용OK..."), QStringLiteral("OK..."));
    QCOMPARE(SignBytes(0x02000B, 3), QByteArray("\x01\x03\x09", 3));
  }

  void sizeThroughTheDialog() {
    MessageRecorder boxes;
    {
      DialogAnswer a(Answer<CBoardSizeDlg>([](CBoardSizeDlg& d) {
        QCOMPARE(d.WidthCombo()->currentText(), QStringLiteral("6열"));
        d.WidthCombo()->setCurrentIndex(18);
        d.HeightCombo()->setCurrentIndex(1);
      }));
      Run(cmd::kBoardSize);
    }
    ExpectMessage(boxes, QStringLiteral("규격 적용OK..."), QStringLiteral("OK..."));
    QCOMPARE(store().Width(), 20);
    QCOMPARE(store().Height(), 2);
    QCOMPARE(SignBytes(0x020008, 2), QByteArray("\x14\x02", 2));
  }

  void choosingTheChosenModeWritesNothing() {
    store().SetWindowMode(1);  // the view still holds 0
    Run(cmd::kWindowAlways);
    QCOMPARE(store().WindowMode(), 1);
    Run(cmd::kWindowOnly);
    QVERIFY(view()->Action(cmd::kWindowOnly)->isChecked());
    store().SetConnection(0);
    Run(cmd::kConnectO);
    QCOMPARE(store().Connection(), 1);
    MessageRecorder boxes;
    Run(cmd::kConnectApply);
    ExpectMessage(boxes, QStringLiteral("연결설정 OK..."), QStringLiteral("OK..."));
    QCOMPARE(SignBytes(0x020011, 1), QByteArray("\x01", 1));
  }

  void newsFlags() {
    MessageRecorder boxes;
    std::array<std::uint8_t, 8> flags{7, 0, 0, 0, 0, 0, 0, 0};
    store().SetNewsFlags(flags);
    {
      DialogAnswer a(Answer<CNewsDlg>([](CNewsDlg& d) { QVERIFY(d.Box(0)->isChecked()); }));
      Run(cmd::kNews);
    }
    QCOMPARE(store().NewsFlags()[0], 1);  // a stored non-zero byte goes back as 1
    ExpectMessage(boxes, QStringLiteral("뉴스항목설정 OK..."), QStringLiteral("전송완료"));
    {
      DialogAnswer a(Answer<CNewsDlg>([](CNewsDlg& d) { d.Box(7)->setChecked(true); }, false));
      Run(cmd::kNews);
    }
    QCOMPARE(boxes.messages().size(), 1);  // cancelled: nothing sent
    QCOMPARE(store().NewsFlags()[7], 0);   // and nothing stored
  }

  void ipDialogStoresAndReconnects() {
    MessageRecorder boxes;
    {
      DialogAnswer a(Answer<CIpSettingsDlg>([](CIpSettingsDlg& d) {
        d.AddressEdit()->setText(QStringLiteral("192.168.0.10"));
        d.PortEdit()->setText(QStringLiteral("5000"));
      }));
      Run(cmd::kIpSetup);
    }
    QByteArray ip(4, 0);
    store().Read(store::kIpAddress, ip.data(), 4);
    QCOMPARE(ip, QByteArray("\xC0\xA8\x00\x0A", 4));
    QCOMPARE(store().TcpPort(), 5000);
    QCOMPARE(Pane(), QStringLiteral("[IP:192.168.0.10],   [PORT:5000]"));
    {
      // Out-of-range entries are refused and the dialog stays open.
      DialogAnswer a(Answer<CIpSettingsDlg>([](CIpSettingsDlg& d) {
        d.AddressEdit()->setText(QStringLiteral("127.0.0.1"));
        d.PortEdit()->setText(QStringLiteral("70000"));
      }));
      Run(cmd::kIpSetup);
    }
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(store().TcpPort(), 5000);
    QVERIFY(boxes.messages()[0].text.contains(QStringLiteral("65535")));
  }

  void serialOptionAndSizeStoredWithoutASign() {
    MessageRecorder boxes;
    Run(cmd::kTransmitSerial);
    QCOMPARE(store().Transmit(), 0);
    QCOMPARE(boxes.messages().size(), 1);  // the port is reopened and still missing
    QCOMPARE(Pane(), QStringLiteral("열린 포트가 없습니다."));
    Run(cmd::kTransmitSerial);  // already on RS-232: no reopen, no warning
    QCOMPARE(boxes.messages().size(), 1);
    {
      DialogAnswer a(Answer<CBoardSizeDlg>([](CBoardSizeDlg& d) {
        d.WidthCombo()->setCurrentIndex(0);
        d.HeightCombo()->setCurrentIndex(0);
      }));
      Run(cmd::kBoardSize);
    }
    ExpectMessage(boxes, QStringLiteral("전광판과의 연결상태를 확인해주세요!..."),
                  QStringLiteral("전송실패"));
    QCOMPARE(store().Width(), 2);
    QCOMPARE(store().Height(), 1);
  }

  void portDialogThenRestartAt57600() {
    qputenv("BRELLION_COM2", sim_.pty_link().toUtf8());
    MessageRecorder boxes;
    {
      DialogAnswer a(Answer<CPortSettingsDlg>([](CPortSettingsDlg& d) {
        QCOMPARE(d.BaudCombo()->currentText(), QStringLiteral("57600"));
        d.PortCombo()->setCurrentIndex(1);
        d.BaudCombo()->setCurrentIndex(d.BaudCombo()->findText(QStringLiteral("9600")));
      }));
      Run(cmd::kPortSetup);
    }
    QVERIFY(boxes.messages().isEmpty());
    QCOMPARE(store().SerialPort(), 2);
    QCOMPARE(Pane(), QStringLiteral("연결: COM2, 9600 bps"));
    QVERIFY(TheApp()->InitInstance(false));
    QCOMPARE(Pane(), QStringLiteral("연결: COM2, 57600 bps"));
    // The model check and the clock over the serial link.
    Run(cmd::kSetClock);
    ExpectMessage(boxes, QStringLiteral("시각설정 완료"), QStringLiteral("설정완료"));
  }

  void cleanupTestCase() {
    QVERIFY(sim_.Stop());
    QVERIFY(sim_.log().contains("pty clock-set"));
  }
};

int main(int argc, char** argv) {
  CBrellionApp app(argc, argv);
  ViewSettingsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_view_settings.moc"
