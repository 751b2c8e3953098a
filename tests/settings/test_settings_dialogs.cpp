// The settings dialogs run from their commands, their controls chosen by their labels: what
// the work store keeps and what reaches the virtual sign over TCP/IP.
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

CBrellionView* View() {
  return TheApp()->View();
}

// Runs command `id`, confirming its dialog of type Dlg after `fill` unless `cancel`.
template <class Dlg>
void Run(int id, std::function<void(Dlg&)> fill, bool cancel = false) {
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

// Selects `entry` in the list labelled `label` of the dialog's form.
void Choose(QDialog& d, const char* label, const char* entry) {
  for (auto* list : d.findChildren<QComboBox*>()) {
    auto* name = qobject_cast<QLabel*>(d.findChild<QFormLayout*>()->labelForField(list));
    if (name && name->text() == QString::fromUtf8(label))
      return list->setCurrentIndex(list->findText(QString::fromUtf8(entry)));
  }
  QFAIL(label);
}

// Ticks the news boxes of these categories only.
std::function<void(CNewsDlg&)> Tick(const QStringList& names) {
  return [names](CNewsDlg& d) {
    for (int i = 0; i < 8; ++i) d.Box(i)->setChecked(names.contains(d.Box(i)->text()));
  };
}

}  // namespace

class SettingsDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  // A fresh store talking TCP/IP to a port where nothing listens until the IP dialog names
  // the sign's. Cancel stores and sends nothing; a bad address keeps the dialog open.
  void eachDialogToTheStoreAndTheSign() {
    QTemporaryDir dir;
    SignSimProcess sim;
    QVERIFY(sim.Start());
    TheApp()->SetProgramDirectory(dir.path());
    QVERIFY(TheApp()->InitInstance(false));
    store::WorkStore& store = store::TheWorkStore();
    store.SetTransmit(1);
    View()->ReloadSettings();
    MessageRecorder boxes;
    const int port = sim.tcp_port();
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
    store.Read(store::kSettingsOffset, settings.data(), 23);
    QCOMPARE(settings, QByteArray("\x14\x02\0\0\0\x08\x03\x7F\0\0\x01", 11) + char(port >> 8) +
                           char(port) + QByteArray("\x01\0\0\x01\0\0\0\0\0\x01", 10));
    QStringList texts;
    for (const MessageRequest& m : boxes.messages()) texts << m.caption + ": " + m.text;
    QCOMPARE(texts.mid(0, 4), (QStringList{": 0에서 255 사이의 숫자 네 개를 입력하십시오.",
                                           "OK...: LED밝기 적용OK...", "OK...: 규격 적용OK...",
                                           "전송완료: 뉴스항목설정 OK..."}));
    store::CloseWorkStore();
    QVERIFY(sim.Stop());
    QCOMPARE(sim.log().count("tcp news"), 1);
    QVERIFY2(sim.log().contains("tcp news 01000001"), qPrintable(sim.log()));
    QFile memory(sim.memory_file());
    QVERIFY(memory.open(QIODevice::ReadOnly) && memory.seek(board::kWidth));
    QCOMPARE(memory.read(6), QByteArray("\x14\x02\0\0\0\x08", 6));
  }
};

int main(int argc, char** argv) {
  // No serial device: COM1 names one that does not exist, and the warning its opening
  // gives at each start is recorded instead of shown.
  qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");
  MessageRecorder portWarnings;
  CBrellionApp app(argc, argv);
  SettingsDialogsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_settings_dialogs.moc"
