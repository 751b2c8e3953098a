// Each settings dialog run from its command: the controls, chosen by their labels, to the
// bytes the work store keeps and the frames the virtual sign receives over TCP/IP.
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
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
#include "tests/support/signsim_process.h"

namespace {

store::WorkStore& Store() {
  return store::TheWorkStore();
}
QByteArray Stored(std::size_t at, std::size_t n) {
  QByteArray bytes(qsizetype(n), '\x55');
  Store().Read(at, bytes.data(), n);
  return bytes;
}
QByteArray ReadAt(const QString& path, qint64 at, qint64 n) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) && f.seek(at) ? f.read(n) : "unreadable";
}

// Selects `entry` in the list labelled `label` of the dialog's form.
void Choose(QDialog& d, const char* label, const char* entry) {
  for (auto* list : d.findChildren<QComboBox*>()) {
    auto* name = qobject_cast<QLabel*>(d.findChild<QFormLayout*>()->labelForField(list));
    if (name && name->text() == QString::fromUtf8(label))
      return list->setCurrentIndex(list->findText(QString::fromUtf8(entry)));
  }
  QFAIL(label);
}

}  // namespace

class SettingsDialogsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<SignSimProcess> sim_;
  MessageRecorder boxes_;

  static CBrellionView* View() { return TheApp()->View(); }
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
  QString Last() const {
    const auto& m = boxes_.messages();
    return m.isEmpty() ? "none" : m.last().caption + ": " + m.last().text;
  }

 private slots:
  // A fresh store in a folder of the test's own, talking TCP/IP to a sign of its own.
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    sim_ = std::make_unique<SignSimProcess>();
    QVERIFY(sim_->Start());
    TheApp()->SetProgramDirectory(dir_->path());
    QVERIFY(TheApp()->InitInstance(false));
    Store().SetTransmit(1);
    Store().SetIpAddress(0x7F000001);
    Store().SetTcpPort(std::uint16_t(sim_->tcp_port()));
    View()->ReloadSettings();
    boxes_.clear();
  }
  void cleanup() {
    store::CloseWorkStore();
    sim_.reset();
    dir_.reset();
  }

  // The boxes stand in the stored order; the ticks are stored, then sent. Cancel does neither.
  void newsCategories() {
    const auto tick = [](const QStringList& names) {
      return [names](CNewsDlg& d) {
        for (int i = 0; i < 8; ++i) d.Box(i)->setChecked(names.contains(d.Box(i)->text()));
      };
    };
    Run<CNewsDlg>(cmd::kNews, tick({"정치", "기상"}));
    QCOMPARE(Stored(store::kNewsFlags, 8), QByteArray("\0\1\0\0\0\0\0\1", 8));
    QCOMPARE(Last(), QStringLiteral("전송완료: 뉴스항목설정 OK..."));
    Run<CNewsDlg>(cmd::kNews, tick({"사회", "문화", "스포츠", "경제", "국제", "과학/기술"}), true);
    QCOMPARE(Stored(store::kNewsFlags, 8), QByteArray("\0\1\0\0\0\0\0\1", 8));
    QVERIFY(sim_->Stop());
    QCOMPARE(sim_->log().count("tcp news"), 1);
    QVERIFY2(sim_->log().contains("tcp news 01000001"), qPrintable(sim_->log()));
  }

  // Levels are stored as indices (0 the brightest) and sent with the apply; the size is
  // stored and sent at once.
  void brightnessAndBoardSize() {
    Run<CBrightnessDlg>(cmd::kBrightLevels, [](CBrightnessDlg& d) {
      Choose(d, "주간 LED밝기값:", "10 (최대밝기)");
      Choose(d, "야간 LED밝기값:", "2");
    });
    QCOMPARE(Stored(store::kLevels, 2), QByteArray("\0\x08", 2));
    QCOMPARE(Last(), QStringLiteral("none"));
    View()->OnCommand(cmd::kBrightApply);
    Run<CBoardSizeDlg>(cmd::kBoardSize, [](CBoardSizeDlg& d) {
      Choose(d, "너비:", "20열");
      Choose(d, "높이:", "2단");
    });
    QCOMPARE(Stored(store::kWidth, 2), QByteArray("\x14\x02", 2));
    QCOMPARE(Last(), QStringLiteral("OK...: 규격 적용OK..."));
    QVERIFY(sim_->Stop());
    QCOMPARE(ReadAt(sim_->memory_file(), board::kWidth, 6), QByteArray("\x14\x02\0\0\0\x08", 6));
  }

  // The whole line reaches the serial link (which need not open); only the port is stored.
  void serialLine() {
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
    QCOMPARE(Store().SerialPort(), 3);
    Run<CPortSettingsDlg>(cmd::kPortSetup,
                          [](CPortSettingsDlg& d) { Choose(d, "Parity:", "Odd"); });
    QCOMPARE(View()->Links().Line().parity, 1);
  }

  // The typed address and port are stored and the link goes there; a bad address is refused
  // and the dialog stays open.
  void ipAddressAndPort() {
    Store().SetTcpPort(1);
    View()->ReloadSettings();
    const int port = sim_->tcp_port();
    Run<CIpSettingsDlg>(cmd::kIpSetup, [&](CIpSettingsDlg& d) {
      d.AddressEdit()->setText("127.0.0.256");
      d.accept();
      QVERIFY(!d.result());
      d.AddressEdit()->setText("127.0.0.1");
      d.PortEdit()->setText(QString::number(port));
    });
    QCOMPARE(Last(), QStringLiteral(": 0에서 255 사이의 숫자 네 개를 입력하십시오."));
    QCOMPARE(Stored(store::kIpAddress, 6),
             QByteArray("\x7F\0\0\x01", 4) + char(port >> 8) + char(port));
    View()->OnCommand(cmd::kSetClock);
    QCOMPARE(Last(), QStringLiteral("설정완료: 시각설정 완료"));
  }
};

int main(int argc, char** argv) {
  // No serial device: COM1 names one that does not exist, and the warning its opening
  // gives at each start is recorded instead of shown.
  qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");
  CBrellionApp app(argc, argv);
  SettingsDialogsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_settings_dialogs.moc"
