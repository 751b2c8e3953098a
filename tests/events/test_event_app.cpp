// "이벤트 추가" in the running manager: the list dialog opens modally, and an event sent
// from it goes over the view's link (the virtual sign on COM1) and steps the main frame's
// progress display.
#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/app/main_frame.h"
#include "manager/editors/text_pane.h"
#include "manager/events/ui/event_edit_dlg.h"
#include "manager/events/ui/event_list_dlg.h"
#include "qtshared/message_box.h"
#include "tests/support/signsim_process.h"

class EventAppTest : public QObject {
  Q_OBJECT
 private slots:
  void addEventOpensTheListAndSendsOverTheLink() {
    SignSimProcess sim;
    QVERIFY(sim.Start());
    qputenv("BRELLION_COM1", sim.pty_link().toUtf8());
    QTemporaryDir dir;
    TheApp()->SetProgramDirectory(dir.path());
    QVERIFY(TheApp()->InitInstance(false));
    CMainFrame* frame = TheApp()->MainFrame();
    QAction* add = TheApp()->View()->Action(cmd::kAddEvent);
    QVERIFY(frame->findChild<QToolBar*>()->actions().contains(add));
    MessageRecorder boxes;
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
      progress = QStringLiteral("%1/%2").arg(frame->ProgressTotal()).arg(frame->ProgressPosition());
      dlg->closeButton()->click();
    });
    add->trigger();
    QCOMPARE(progress, QStringLiteral("3/3"));
    QCOMPARE(frame->ProgressBar()->value(), 0);  // emptied again
    QCOMPARE(boxes.messages().size(), qsizetype(1));
    QCOMPARE(boxes.messages()[0].text, QStringLiteral("Event 전송완료했습니다"));
    QVERIFY(sim.Stop());
    QCOMPARE(sim.log().count(QStringLiteral("pty event-block")), 3);
    QCOMPARE(sim.log().count(QStringLiteral("pty event-start")), 1);
  }
};

int main(int argc, char** argv) {
  CBrellionApp app(argc, argv);
  EventAppTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_event_app.moc"
