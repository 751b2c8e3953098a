#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>
#include <memory>
#include <vector>

#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/main_frame.h"
#include "manager/store/work_store.h"
#include "qtshared/message_box.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  return f.readAll();
}

void Poke(const QString& path, qint64 offset, QByteArray bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::ReadWrite));
  f.seek(offset);
  f.write(bytes);
}

}  // namespace

class AppTest : public QObject {
  Q_OBJECT

 private:
  std::vector<std::unique_ptr<QTemporaryDir>> dirs_;  // folders of data-driven rows
  CBrellionApp* app() { return TheApp(); }
  // Starts the manager on dir as its program directory.
  bool Start(const QString& dir) {
    app()->SetProgramDirectory(dir);
    return app()->InitInstance(false);
  }
  static QString Store(const QTemporaryDir& dir) {
    return dir.filePath(QStringLiteral("data.tmp"));
  }

 private slots:
  void freshStartCreatesTheStoreAndShowsDefaults() {
    QTemporaryDir dir;
    QVERIFY(Start(dir.path()));
    const QByteArray bytes = ReadAll(Store(dir));
    QCOMPARE(bytes.size(), 904672);
    // The repairs wrote back width 6, height 1 and port 1; all else stays zero.
    QCOMPARE(int(bytes[904640]), 6);
    QCOMPARE(int(bytes[904641]), 1);
    QCOMPARE(int(bytes[904646]), 1);
    QCOMPARE(bytes.count('\0'), bytes.size() - 3);

    CBrellionView* view = app()->View();
    QCOMPARE(view->Settings().width, 6);
    QCOMPARE(view->Settings().height, 1);
    QCOMPARE(view->SerialPortNumber(), 1);
    QCOMPARE(view->TransmitOption(), 0);
    QCOMPARE(app()->MainFrame()->LinkText(), QStringLiteral("열린 포트가 없습니다."));
    QCOMPARE(view->List()->topLevelItemCount(), 0);
  }

  void windowHasItsTitleMenusToolbarAndList() {
    QTemporaryDir dir;
    QVERIFY(Start(dir.path()));
    CMainFrame* frame = app()->MainFrame();
    QCOMPARE(frame->windowTitle(), QStringLiteral("전광판 제어기(128MB)"));
    QCOMPARE(frame->size(), QSize(1040, 800));

    QStringList menus;
    for (QAction* a : frame->menuBar()->actions()) menus << a->text();
    QCOMPARE(menus, (QStringList{"파일(&F)", "편집", "추가하기", "이벤트", "규격", "시각설정",
                                 "표출시간", "밝기", "연결", "미리보기", "뉴스", "전송옵션",
                                 "통신설정", "도움말(&H)"}));

    QStringList tips;
    for (QAction* a : frame->ToolBar()->actions()) tips << (a->isSeparator() ? "|" : a->toolTip());
    QCOMPARE(tips, (QStringList{"불러오기",
                                "저장하기",
                                "새로만들기",
                                "|",
                                "수정하기",
                                "삭제하기",
                                "잘라내기",
                                "붙여넣기",
                                "|",
                                "한줄문장추가",
                                "2줄문장추가",
                                "제목과 문장추가",
                                "비트맵추가",
                                "애니메이션추가",
                                "날짜/시각 표시",
                                "디데이",
                                "|",
                                "이벤트",
                                "|",
                                "미리보기",
                                "|",
                                "시각설정",
                                "포트설정",
                                "IP설정"}));
    for (QAction* a : frame->ToolBar()->actions()) {
      if (!a->isSeparator())
        QVERIFY2(!a->icon().isNull() && !a->statusTip().isEmpty(), qPrintable(a->toolTip()));
    }

    QTreeWidget* list = app()->View()->List();
    QCOMPARE(list->columnCount(), 8);
    QCOMPARE(list->headerItem()->text(1), QStringLiteral("내     용"));
    QCOMPARE(list->headerItem()->text(7), QStringLiteral("표출마감시간"));
    QCOMPARE(list->columnWidth(1), 350);
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(app()->View()->SendButton()->text(), QStringLiteral("전   송"));
  }

  void startRepairsStoredSettings() {
    QTemporaryDir dir;
    QVERIFY(Start(dir.path()));
    store::CloseWorkStore();
    Poke(Store(dir), 904646, QByteArray(1, char(25)));      // port
    Poke(Store(dir), 904644, QByteArray::fromHex("030c"));  // day 3, night 12
    Poke(Store(dir), 904653, QByteArray(1, char(2)));       // transmit
    Poke(Store(dir), 904640, QByteArray::fromHex("0903"));  // width 9, height 3
    QVERIFY(Start(dir.path()));
    const QByteArray bytes = ReadAll(Store(dir));
    QCOMPARE(int(bytes[904646]), 1);
    QCOMPARE(int(bytes[904644]), 0);
    QCOMPARE(int(bytes[904645]), 0);
    QCOMPARE(int(bytes[904653]), 2);  // read as RS-232, not written back
    QCOMPARE(int(bytes[904641]), 1);
    QCOMPARE(int(bytes[904640]), 9);
    QCOMPARE(app()->View()->TransmitOption(), 0);
    QCOMPARE(app()->View()->Settings().width, 9);
    QCOMPARE(app()->MainFrame()->LinkText(), QStringLiteral("열린 포트가 없습니다."));
  }

  void tcpOptionShowsTheStoredAddress() {
    QTemporaryDir dir;
    QVERIFY(Start(dir.path()));
    store::TheWorkStore().SetTransmit(1);
    store::TheWorkStore().SetIpAddress(0xC0A8000A);
    store::TheWorkStore().SetTcpPort(5000);
    app()->View()->ReloadSettings();
    QCOMPARE(app()->MainFrame()->LinkText(), QStringLiteral("[IP:192.168.0.10],   [PORT:5000]"));
  }

  void restartStartsEmptyAndKeepsSettings() {
    QTemporaryDir dir;
    QVERIFY(Start(dir.path()));
    item::ItemRecord r;
    r.body.textA[0] = 'A';
    store::TheWorkStore().AppendSlot(0, r);
    store::TheWorkStore().WriteItem(100, r);
    store::TheWorkStore().SetWidth(14);
    store::TheWorkStore().SetHeight(2);
    QVERIFY(Start(dir.path()));
    QCOMPARE(app()->View()->List()->topLevelItemCount(), 0);
    QVERIFY(store::TheWorkStore().ReadList().empty());
    QVERIFY(store::TheWorkStore().ReadList(100, 10).empty());
    QCOMPARE(app()->View()->Settings().width, 14);
    QCOMPARE(app()->View()->Settings().height, 2);
  }

  void storeThatCannotBeMadeIsFatal_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("untouched");
    dirs_.push_back(std::make_unique<QTemporaryDir>());
    const QTemporaryDir* dir = dirs_.back().get();
    // A folder where the store file should be: it can be neither opened nor created, even
    // for a user who may write anywhere.
    const QString blocked = dir->filePath(QStringLiteral("blocked"));
    QDir().mkpath(blocked + QStringLiteral("/data.tmp"));
    QTest::newRow("folder in the way") << blocked << blocked;
    // A store path of 1025 bytes: cut at 1023 it would have named "data.t".
    QString deep = dir->filePath(QStringLiteral("deep"));
    while (deep.size() + 9 < 1025)
      deep += QLatin1Char('/') + QString(qMin(200, 1015 - deep.size()), 'd');
    QDir().mkpath(deep);
    QTest::newRow("path too long") << deep << deep;
  }
  void storeThatCannotBeMadeIsFatal() {
    QFETCH(QString, folder);
    QFETCH(QString, untouched);
    const QStringList before = QDir(untouched).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    MessageRecorder boxes;
    QVERIFY(!Start(folder));
    QCOMPARE(boxes.messages().size(), 1);
    QCOMPARE(boxes.messages()[0].text, QStringLiteral("파일을 만들수 없습니다\n실행할수 없습니다"));
    QCOMPARE(boxes.messages()[0].caption, QStringLiteral("실행할수 없음"));
    QCOMPARE(boxes.messages()[0].buttons, MsgButtons::Ok);
    QCOMPARE(QDir(untouched).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
  }

  // The real box: its caption alone and the Korean OK button of Qt's translations.
  void fatalBoxShowsItsCaptionAndKoreanOk() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("data.tmp")));
    const MessageHandler recorder = SetMessageHandler(nullptr);
    QString title;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      title = box->windowTitle();
      for (QAbstractButton* b : box->buttons()) buttons << b->text();
      box->accept();
    });
    const bool started = Start(dir.path());
    SetMessageHandler(recorder);
    QVERIFY(!started);
    QCOMPARE(title, QStringLiteral("실행할수 없음"));
    QCOMPARE(buttons, QStringList{"확인"});
  }

  void progressShowsWholePercentages() {
    QTemporaryDir dir;
    QVERIFY(Start(dir.path()));
    CMainFrame* f = app()->MainFrame();
    QStringList seen;
    f->BeginProgress(4);
    QCOMPARE(f->PercentText(), QStringLiteral("0 %"));
    for (int i = 0; i < 5; ++i) {
      f->StepProgress();
      seen << f->PercentText();
    }
    QCOMPARE(seen, (QStringList{"25 %", "50 %", "75 %", "100 %", "100 %"}));
    QCOMPARE(f->ProgressPosition(), 4);

    seen.clear();
    f->BeginProgress(3);
    for (int i = 0; i < 3; ++i) {
      f->StepProgress();
      seen << f->PercentText();
    }
    QCOMPARE(seen, (QStringList{"33 %", "66 %", "100 %"}));

    f->BeginProgress(0);
    f->StepProgress();
    QCOMPARE(f->PercentText(), QStringLiteral("0 %"));
    QCOMPARE(f->ProgressPosition(), 0);

    // Totals beyond 16 bits still fill the bar in step.
    f->BeginProgress(100000);
    for (int i = 0; i < 50000; ++i) f->StepProgress();
    QCOMPARE(f->PercentText(), QStringLiteral("50 %"));
    QProgressBar* bar = f->ProgressBar();
    QVERIFY(qAbs(double(bar->value() - bar->minimum()) / (bar->maximum() - bar->minimum()) - 0.5) <
            0.001);

    f->EndProgress();
    QCOMPARE(f->PercentText(), QString());
    QCOMPARE(bar->value(), bar->minimum());
  }

  void aboutBoxAndExit() {
    QTemporaryDir dir;
    QVERIFY(Start(dir.path()));
    CMainFrame* frame = app()->MainFrame();
    frame->show();
    QString title, text;
    QTimer::singleShot(0, [&] {
      auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(dlg);
      title = dlg->windowTitle();
      text = dlg->findChild<QLabel*>(QStringLiteral("versionText"))->text();
      dlg->accept();
    });
    app()->View()->Action(57664)->trigger();
    QCOMPARE(title, QStringLiteral("Brellion 정보"));
    QCOMPARE(text, QStringLiteral("Brellion 버전 15.8"));

    // Exit closes the window.
    QVERIFY(frame->isVisible());
    app()->View()->Action(57665)->trigger();
    QVERIFY(!frame->isVisible());
  }
};

int main(int argc, char** argv) {
  // These tests expect no serial device: COM1 names one that does not exist, and the
  // warning its opening gives at each start is recorded instead of shown.
  qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");
  MessageRecorder portWarnings;
  CBrellionApp app(argc, argv);
  AppTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_app.moc"
