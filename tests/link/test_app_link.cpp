// The manager's start-up with its stored serial port missing: one warning, the pane says
// so, and the link reports the port closed. The links' switching is in the app's tests.
#include <QTemporaryDir>
#include <QtTest>

#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/main_frame.h"
#include "manager/link/frame.h"
#include "manager/link/qt/sign_links.h"
#include "qtshared/message_box.h"

class AppLinkTest : public QObject {
  Q_OBJECT

 private slots:
  void missingPortWarnsAndShowsNoPort() {
    QTemporaryDir dir;
    TheApp()->SetProgramDirectory(dir.path());
    qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");
    MessageRecorder boxes;
    QVERIFY(TheApp()->InitInstance(false));
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("경고"));
    QCOMPARE(boxes.messages()[0].text,
             QStringLiteral("통신 포트를 열지 못했습니다.\n설정값을 바꿔 다시 시도 하십시오."));
    QCOMPARE(boxes.messages()[0].icon, MsgIcon::Warning);
    QCOMPARE(TheApp()->MainFrame()->LinkText(), QStringLiteral("열린 포트가 없습니다."));
    QCOMPARE(static_cast<int>(TheApp()->View()->Link().SendAndWait(signlink::BuildApply())), 4);
  }
};

int main(int argc, char** argv) {
  CBrellionApp app(argc, argv);
  AppLinkTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_app_link.moc"
