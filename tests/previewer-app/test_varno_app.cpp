#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <chrono>

#include "tests/support/test_fonts.h"
#include "tests/support/preview_builder.h"
#include "previewer/app/main_frame.h"
#include "previewer/app/playback_thread.h"
#include "previewer/app/varno_main.h"
#include "previewer/app/varno_view.h"
#include "qtshared/message_box.h"
#include "sign/logo_screen.h"
#include "sign/qt/led_surface.h"

using namespace sign;
using namespace varno;

using sign_test::PreviewBuilder;

namespace {

// A folder laid out like the previewer's: preview.tmp and font/ as asked for.
struct ExeDir {
  QTemporaryDir dir;
  QString path() const { return dir.path() + QLatin1Char('/'); }
  void WritePreview(const PreviewBuilder& b) const {
    QVERIFY(b.WriteFile((path() + QStringLiteral("preview.tmp")).toStdString()));
  }
  void WriteFonts() const {
    sign_test::WriteTestFontFiles((path() + QStringLiteral("font")).toStdString());
  }
};

QImage ExpectedLogo(int modules, int tier) {
  const BoardGeometry g = MakeGeometry(modules, tier, 0, false);
  FrameBuffer f;
  DrawLogoScreen(f, g);
  QImage img(g.width * 3, g.rows * 3, QImage::Format_RGB32);
  PaintLedImage(img, f, g.width, g.rows);
  return img;
}

// The boxes shown so far, each as "caption: text".
QStringList Boxes(const MessageRecorder& recorder) {
  QStringList boxes;
  for (const MessageRequest& m : recorder.messages()) boxes << m.caption + ": " + m.text;
  return boxes;
}

}  // namespace

class VarnoAppTest : public QObject {
  Q_OBJECT

  QTemporaryDir settingsDir_;

 private slots:
  // The dot size outlives the window in QSettings; a folder of this run's own keeps runs
  // in other build trees on the machine from changing it under this one.
  void initTestCase() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
  }

  void missingPreviewEndsWithOneMessage() {
    ExeDir exe;
    exe.WriteFonts();
    MessageRecorder recorder;
    CVarnoView view;
    QVERIFY(!view.Start(exe.path()));
    QCOMPARE(Boxes(recorder),
             QStringList{"파일없음: preview.tmp파일이 없습니다\n실행할수 없습니다"});
    QVERIFY(recorder.messages()[0].owner == nullptr);
    QVERIFY(!view.fontsLoaded());
    QVERIFY(!view.playing());

    recorder.clear();
    QCOMPARE(VarnoMain(*qApp, exe.path()), 0);
    QCOMPARE(recorder.messages().size(), 1);
  }

  // The real box: its caption alone, and Qt's Korean OK that the start installs.
  void missingPreviewBoxShowsItsCaptionAndKoreanOk() {
    ExeDir exe;
    QString title;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      title = box->windowTitle();
      for (QAbstractButton* b : box->buttons()) buttons << b->text();
      box->accept();
    });
    QCOMPARE(VarnoMain(*qApp, exe.path()), 0);
    QCOMPARE(title, QStringLiteral("파일없음"));
    QCOMPARE(buttons, QStringList{"확인"});
  }

  void missingFontFolderReportsTheFirstFontThenEnds() {
    ExeDir exe;
    exe.WritePreview(PreviewBuilder(6, 1));
    MessageRecorder recorder;
    QCOMPARE(VarnoMain(*qApp, exe.path()), 0);
    QCOMPARE(Boxes(recorder), (QStringList{"OPEN실패: 한글굴림체16 OPEN실패",
                                           "폰트파일없음: 폰트파일없음\n실행할수 없습니다"}));
  }

  // Six modules on one tier paint 288 x 48 pixels; 24 on two tiers 1152 x 96, wider than
  // the window's first size.
  void playsTheLogoOfAnEmptyProgram_data() {
    QTest::addColumn<int>("modules");
    QTest::addColumn<int>("tier");
    QTest::addColumn<QSize>("size");
    QTest::newRow("one tier") << 6 << 1 << QSize(288, 48);
    QTest::newRow("two tiers") << 24 << 2 << QSize(1152, 96);
  }
  void playsTheLogoOfAnEmptyProgram() {
    QFETCH(int, modules);
    QFETCH(int, tier);
    QFETCH(QSize, size);
    ExeDir exe;
    exe.WritePreview(PreviewBuilder(modules, tier));
    exe.WriteFonts();
    MessageRecorder recorder;
    CMainFrame frame;
    QVERIFY(frame.view()->Start(exe.path()));
    frame.show();
    QTRY_VERIFY_WITH_TIMEOUT(frame.view()->framesShown() >= 3, 5000);
    QVERIFY(frame.view()->playing());
    const QImage shown = frame.view()->shownFrame();
    QCOMPARE(shown.size(), size);
    QCOMPARE(shown, ExpectedLogo(modules, tier));
    // The view paints the frame it holds whenever asked, e.g. when uncovered.
    const QImage grabbed = frame.view()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(grabbed.copy(QRect(QPoint(0, 0), size)), shown);
    if (!qEnvironmentVariableIsEmpty("VARNO_GRAB_DIR")) {
      frame.grab().save(qEnvironmentVariable("VARNO_GRAB_DIR") + QStringLiteral("/varno.png"));
    }
    frame.view()->Stop();
    QVERIFY(!frame.view()->playing());
    QVERIFY(!frame.view()->imageOpen());
    QVERIFY(!frame.view()->fontsLoaded());
    QVERIFY(recorder.messages().isEmpty());
  }

  void paintsEachDotAsAThreeByThreeSquare() {
    FrameBuffer f;
    f.set(0, 0, 0x80);
    f.set(0, 1, 0x40);
    f.set(0, 2, 0xC0);
    f.set(0, 3, 0x3F);  // colour bits clear: black whatever the rest
    f.set(1, 0, 0xC1);
    QImage img(4 * 3, 2 * 3, QImage::Format_RGB32);
    img.fill(Qt::blue);
    PaintLedImage(img, f, 4, 2);
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), yellow = qRgb(255, 255, 0);
    const QRgb black = qRgb(0, 0, 0),
               expected[2][4] = {{red, green, yellow, black}, {yellow, black, black, black}};
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 12; ++x) QCOMPARE(img.pixel(x, y), expected[y / 3][x / 3]);
    }
  }

  void threadPacesFramesByTheirPeriod() {
    PreviewBuilder b(4, 1);
    b.OneLine("AB", 16, 0, 0, 15);  // speed code 0: 10 ms a frame
    FlashImage image;
    b.Load(image);
    std::atomic<int> frames{0};
    const SystemClock clock;
    PlaybackThread thread(image, sign_test::TestFonts(), clock, [&](const QImage&) { ++frames; });
    const auto start = std::chrono::steady_clock::now();
    thread.Begin();
    QTest::qWait(400);
    thread.Finish();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    QVERIFY(!thread.active());
    // Never faster than one frame a period (plus the first picture), and it does play.
    QVERIFY2(frames <= ms / 10 + 2 && frames >= 5, qPrintable(QString::number(frames)));
  }

  // A board wider than the window: smaller dots or the whole board fitted, each dot still
  // one solid square of its colour; the choice outlives the window.
  void wideBoardsCanBeSeenWhole() {
    QCoreApplication::setOrganizationName(QStringLiteral("VarnoTest"));
    QSettings().clear();
    ExeDir exe;
    exe.WritePreview(PreviewBuilder(24, 2));
    exe.WriteFonts();
    {
      CMainFrame frame;
      frame.show();
      CVarnoView& view = *frame.view();
      QCOMPARE(view.dotPixels(), 3);  // the default
      QVERIFY(view.Start(exe.path()));
      QTRY_VERIFY_WITH_TIMEOUT(view.framesShown() >= 2, 5000);
      QVERIFY(view.FrameRect().width() > view.width());  // 1152 in a narrower view
      struct Case {
        const char* action;
        int dots;
      };
      for (const Case c : {Case{"viewDots1", 1}, Case{"viewDots2", 2}, Case{"viewDots0", 0}}) {
        frame.findChild<QAction*>(QLatin1String(c.action))->trigger();
        QCOMPARE(view.dotPixels(), c.dots);
        QDir().mkpath(VARNO_GRAB_DIR);
        frame.grab().save(QStringLiteral(VARNO_GRAB_DIR "/wide_%1.png").arg(QLatin1String(c.action)));
        const QRect r = view.FrameRect();
        const QImage native = view.shownFrame();
        if (c.dots) {
          QCOMPARE(r.size(), QSize(384 * c.dots, 32 * c.dots));
          // Every screen pixel shows the colour of the dot it belongs to.
          const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
          for (int y = 0; y < r.height(); y += 1) {
            for (int x = 0; x < r.width(); x += 7) {
              QCOMPARE(shown.pixel(x, y), native.pixel(x / c.dots * 3 + 1, y / c.dots * 3 + 1));
            }
          }
        } else {
          QVERIFY(r.width() <= view.width() && r.height() <= view.height());
          QVERIFY(r.width() >= view.width() - 1 || r.height() >= view.height() - 1);
          QVERIFY(qAbs(r.width() * 96 / 1152 - r.height()) <= 1);  // the board's shape
        }
      }
      frame.findChild<QAction*>(QStringLiteral("viewDots1"))->trigger();
      view.Stop();
    }
    CMainFrame again;
    QCOMPARE(again.view()->dotPixels(), 1);
    QVERIFY(again.findChild<QAction*>(QStringLiteral("viewDots1"))->isChecked());
    QSettings().clear();
  }

  // The menu's commands: the about box opens modally, exit closes the window.
  void menuCommandsAreWired() {
    CMainFrame frame;
    frame.show();
    bool aboutShown = false;
    QTimer::singleShot(0, [&] {
      auto* dlg = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
      aboutShown = dlg != nullptr;
      if (dlg != nullptr) dlg->accept();
    });
    frame.findChild<QAction*>(QStringLiteral("helpAbout"))->trigger();
    QVERIFY(aboutShown);
    frame.findChild<QAction*>(QStringLiteral("fileExit"))->trigger();
    QTRY_VERIFY(!frame.isVisible());
  }
};

QTEST_MAIN(VarnoAppTest)
#include "test_varno_app.moc"
