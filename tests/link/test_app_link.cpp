// The manager's start-up and ReloadSettings bring up the links: the serial wrapper on the
// stored port with the protocol window attached, the TCP socket when the option is 1,
// and the link pane text of each.
#include <QTemporaryDir>
#include <QtTest>

#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/main_frame.h"
#include "manager/link/frame.h"
#include "manager/link/qt/sign_links.h"
#include "manager/store/work_store.h"
#include "qtshared/message_box.h"
#include "tests/support/signsim_process.h"

class AppLinkTest : public QObject {
  Q_OBJECT

 private:
  CBrellionApp* app() { return TheApp(); }
  QString Pane() { return app()->MainFrame()->LinkText(); }
  // Over the serial and the TCP link directly, and over the one the option selects.
  int Apply() {
    return static_cast<int>(app()->View()->Links().Protocol().SendAndWait(signlink::BuildApply()));
  }
  int TcpApply() {
    return static_cast<int>(app()->View()->Links().Tcp().SendAndWait(signlink::BuildApply()));
  }
  int LinkApply() { return static_cast<int>(app()->View()->Link().SendAndWait(signlink::BuildApply())); }

  QTemporaryDir dir_;
  SignSimProcess sim_;

 private slots:
  void initTestCase() {
    QVERIFY(sim_.Start());
    app()->SetProgramDirectory(dir_.path());
  }

  void serialStartOnTheStoredPort() {
    qputenv("BRELLION_COM1", sim_.pty_link().toUtf8());
    MessageRecorder boxes;
    QVERIFY(app()->InitInstance(false));
    QCOMPARE(TcpApply(), 9);  // no socket before the first connect
    QVERIFY(boxes.messages().isEmpty());
    QCOMPARE(Pane(), QStringLiteral("연결: COM1, 57600 bps"));
    QCOMPARE(Apply(), 0);
    QCOMPARE(LinkApply(), 0);
  }

  void missingPortWarnsAndShowsNoPort() {
    qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");
    MessageRecorder boxes;
    QVERIFY(app()->InitInstance(false));
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("경고"));
    QCOMPARE(boxes.messages()[0].text,
             QStringLiteral("통신 포트를 열지 못했습니다.\n설정값을 바꿔 다시 시도 하십시오."));
    QCOMPARE(boxes.messages()[0].icon, MsgIcon::Warning);
    QCOMPARE(Pane(), QStringLiteral("열린 포트가 없습니다."));
    QCOMPARE(Apply(), 4);
  }

  void reloadSwitchesBetweenTheLinks() {
    MessageRecorder boxes;
    store::TheWorkStore().SetTransmit(1);
    store::TheWorkStore().SetIpAddress(0x7F000001);
    store::TheWorkStore().SetTcpPort(static_cast<std::uint16_t>(sim_.tcp_port()));
    app()->View()->ReloadSettings();
    QCOMPARE(Pane(), QStringLiteral("[IP:127.0.0.1],   [PORT:%1]").arg(sim_.tcp_port()));
    QCOMPARE(LinkApply(), 0);

    qputenv("BRELLION_COM2", sim_.pty_link().toUtf8());
    store::TheWorkStore().SetTransmit(0);
    store::TheWorkStore().SetSerialPort(2);
    app()->View()->ReloadSettings();
    QCOMPARE(Pane(), QStringLiteral("연결: COM2, 57600 bps"));
    QCOMPARE(LinkApply(), 0);
    QVERIFY(boxes.messages().isEmpty());
    // The socket stays when the serial link is chosen.
    QCOMPARE(TcpApply(), 0);
  }

  void cleanupTestCase() {
    QVERIFY(sim_.Stop());
    QVERIFY(sim_.log().contains("tcp connection accepted"));
  }
};

int main(int argc, char** argv) {
  CBrellionApp app(argc, argv);
  AppLinkTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_app_link.moc"
