// The send button and 미리보기 -> 보기 in the running manager, against the virtual sign.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/app/main_frame.h"
#include "manager/app/preview_progress_dlg.h"
#include "manager/store/work_store.h"
#include "qtshared/message_box.h"
#include "shared/board_memory.h"
#include "shared/cp949.h"
#include "tests/support/signsim_process.h"

namespace {

QByteArray ReadAt(const QString& path, qint64 at, qint64 n) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly) || !f.seek(at)) return {};
  return f.read(n);
}

item::ItemRecord OneLine(const std::string& text) {
  item::ItemRecord r;
  r.header.setKind(item::ItemKind::OneLine);
  text::WriteTextQuarter(r.body.textA, text);
  return r;
}

bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QTest::qWait(10);
  return done();
}

}  // namespace

class ViewTransferTest : public QObject {
  Q_OBJECT

 private:
  CBrellionApp* app() { return TheApp(); }
  CBrellionView* view() { return app()->View(); }
  // Starts the manager in dir with `items` one-line items, talking TCP to the simulator.
  bool Start(const QTemporaryDir& dir, int items) {
    app()->SetProgramDirectory(dir.path());
    if (!app()->InitInstance(false)) return false;
    store::WorkStore& store = store::TheWorkStore();
    for (int i = 0; i < items; ++i) store.AppendSlot(i, OneLine("item " + std::to_string(i)));
    view()->RefreshList();
    if (sim->tcp_port() > 0) {  // the preview tests need no sign
      store.SetTransmit(1);
      store.SetIpAddress(0x7F000001);
      store.SetTcpPort(static_cast<std::uint16_t>(sim->tcp_port()));
      view()->ReloadSettings();
    }
    return true;
  }
  // One simulator per test: its ready file names the port of one run only.
  std::unique_ptr<SignSimProcess> sim;

 private slots:
  void init() { sim = std::make_unique<SignSimProcess>(); }
  void cleanup() {
    sim.reset();
    if (app()->MainFrame()) app()->MainFrame()->hide();
  }

  void sendWritesTheListAndSaysSo() {
    QVERIFY(sim->Start({"--rows", "1"}));
    QTemporaryDir dir;
    QVERIFY(Start(dir, 3));
    MessageRecorder boxes;
    QPushButton* send = view()->SendButton();
    QVERIFY(send->isEnabled());
    QCOMPARE(send->text(), QStringLiteral("전   송"));
    send->click();
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(boxes.messages()[0].text, QStringLiteral("전송 완료 했습니다"));
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("전송완료"));
    QCOMPARE(app()->MainFrame()->ProgressTotal(), 9);
    QCOMPARE(app()->MainFrame()->ProgressPosition(), 9);
    QCOMPARE(app()->MainFrame()->PercentText(), QString());  // ended
    QVERIFY(send->isEnabled());
    QVERIFY(sim->Stop());
    QCOMPARE(ReadAt(sim->memory_file(), board::kItemCount, 2), QByteArray("\0\x03", 2));
  }

  // While frames go out slowly, sign commands are off and the button cancels.
  void sendCanBeCancelledBetweenFrames() {
    QVERIFY(sim->Start({"--rows", "1", "--fault", "late", "--late-ms", "100"}));
    QTemporaryDir dir;
    QVERIFY(Start(dir, 20));
    MessageRecorder boxes;
    bool busy = false, sendOff = true;
    QString text;
    QTimer::singleShot(450, [&] {
      busy = view()->SignBusy();
      text = view()->SendButton()->text();
      sendOff = !view()->SendButton()->isEnabled();
      view()->SendButton()->click();
    });
    view()->SendButton()->click();
    QVERIFY(busy);
    QCOMPARE(text, QStringLiteral("취   소"));
    QVERIFY(!sendOff);
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("전송취소"));
    QVERIFY(!view()->SignBusy());
    QCOMPARE(view()->SendButton()->text(), QStringLiteral("전   송"));
    QVERIFY(sim->Stop());
    QCOMPARE(ReadAt(sim->memory_file(), board::kItemCount, 2), QByteArray("\0\0", 2));
  }

  // Closing the window in the middle of a download stops it between frames, then closes.
  void closingWaitsForTheDownload() {
    QVERIFY(sim->Start({"--rows", "1", "--fault", "late", "--late-ms", "100"}));
    QTemporaryDir dir;
    QVERIFY(Start(dir, 20));
    CMainFrame* frame = app()->MainFrame();
    frame->show();
    MessageRecorder boxes(MsgResult::No);
    bool openWhileBusy = false;
    QTimer::singleShot(350, [&] {
      frame->close();
      openWhileBusy = frame->isVisible() && view()->SignBusy();
    });
    view()->SendButton()->click();
    QVERIFY(openWhileBusy);
    QVERIFY(WaitFor([&] { return !frame->isVisible(); }));
    QCOMPARE(boxes.messages().first().caption, QStringLiteral("전송취소"));
  }

  void previewWritesTheFileAndStartsThePreviewer() {
    QTemporaryDir dir;
    QVERIFY(Start(dir, 2));
    const QString folder = dir.path() + "/PREVIEW/";
    MessageRecorder boxes;
    // No previewer beside the manager: the file is written, the start fails.
    view()->Action(cmd::kPreview)->trigger();
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(boxes.messages()[0].text, QStringLiteral("미리보기실패"));
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("미리보기"));
    QCOMPARE(QFileInfo(folder + "preview.tmp").size(), qint64(board::kMemorySize));
    QCOMPARE(ReadAt(folder + "preview.tmp", board::kItemCount, 2), QByteArray("\0\x02", 2));
    QCOMPARE(ReadAt(folder + "preview.tmp", board::kWidth, 2), QByteArray("\x06\x01", 2));

    // A previewer that notes where it runs.
    QFile varno(folder + "Varno");
    QVERIFY(varno.open(QIODevice::WriteOnly));
    varno.write("#!/bin/sh\npwd > started.txt\n");
    varno.close();
    varno.setPermissions(varno.permissions() | QFileDevice::ExeOwner);
    boxes.clear();
    view()->Action(cmd::kPreview)->trigger();
    QCOMPARE(boxes.messages().size(), 0);
    QVERIFY(WaitFor([&] { return QFileInfo(folder + "started.txt").size() > 0; }));
    QCOMPARE(QDir(ReadAt(folder + "started.txt", 0, 4096).trimmed()).canonicalPath(),
             QDir(folder).canonicalPath());
  }

  void progressDialogCountsWholePercentages() {
    CPreviewProgressDlg dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("진행률"));
    dlg.Create(3);
    QStringList seen;
    for (int i = 0; i < 4; ++i) {
      dlg.Step();
      seen << dlg.PercentText();
    }
    QCOMPARE(seen, (QStringList{"33 %   진행중입니다...", "66 %   진행중입니다...",
                                "100 %   진행중입니다...", "100 %   진행중입니다..."}));
    QCOMPARE(dlg.Bar()->value(), 3);
    QStringList texts;
    for (const QLabel* l : dlg.findChildren<QLabel*>()) texts << l->text();
    QVERIFY(texts.contains(QStringLiteral("미리보기 파일을 만드는 중입니다.")));
    QVERIFY(texts.contains(QStringLiteral("잠시 기다려 주세요...")));
  }
};

int main(int argc, char** argv) {
  qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");
  MessageRecorder portWarnings;
  CBrellionApp app(argc, argv);
  ViewTransferTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_view_transfer.moc"
