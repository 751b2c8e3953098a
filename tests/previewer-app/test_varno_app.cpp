#include <QAbstractButton>
#include <QMessageBox>
#include <QtTest>

#include "previewer/app/main_frame.h"
#include "previewer/app/playback_thread.h"
#include "previewer/app/varno_main.h"
#include "previewer/app/varno_view.h"
#include "qtshared/message_box.h"
#include "sign/logo_screen.h"
#include "sign/qt/led_surface.h"
#include "tests/support/preview_builder.h"
#include "tests/support/test_fonts.h"

using namespace sign;
using namespace varno;

using sign_test::PreviewBuilder;

namespace {

// Lays out a previewer folder in dir: preview.tmp of an empty program on `modules` x `tier`
// (none for 0 modules) and font/ when asked. The path ends in '/'; empty on failure.
QString Folder(const QTemporaryDir& dir, int modules, int tier, bool fonts) {
  const QString path = dir.path() + '/';
  if (modules && !PreviewBuilder(modules, tier).WriteFile((path + "preview.tmp").toStdString()))
    return {};
  if (fonts) sign_test::WriteTestFontFiles((path + "font").toStdString());
  return path;
}

}  // namespace

class VarnoAppTest : public QObject {
  Q_OBJECT

  QTemporaryDir settingsDir_;

 private slots:
  // The dot size outlives the window: in a folder of this run's own, not the machine's.
  void initTestCase() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
  }

  // A start that fails shows its real boxes, each with its caption alone and the Korean OK
  // the start installs, then ends: no preview; no font folder (the first font named).
  void failedStartsShowTheirBoxesThenEnd() {
    for (const auto& [modules, fonts, expected] :
         {std::tuple{
              0, true,
              QStringList{"파일없음", "preview.tmp파일이 없습니다\n실행할수 없습니다", "확인"}},
          {6, false,
           QStringList{"OPEN실패", "한글굴림체16 OPEN실패", "확인", "폰트파일없음",
                       "폰트파일없음\n실행할수 없습니다", "확인"}}}) {
      QTemporaryDir dir;
      QStringList seen;
      QTimer watcher;
      connect(&watcher, &QTimer::timeout, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen << box->windowTitle() << box->text();
        for (QAbstractButton* b : box->buttons()) seen << b->text();
        box->accept();
      });
      watcher.start(10);
      QCOMPARE(VarnoMain(*qApp, Folder(dir, modules, 1, fonts)), 0);
      QCOMPARE(seen, expected);
    }
  }

  void paintsEachDotAsAThreeByThreeSquare() {
    FrameBuffer f;  // 0x3F: colour bits clear, black whatever the rest
    for (auto [x, y, v] :
         {std::tuple{0, 0, 0x80}, {0, 1, 0x40}, {0, 2, 0xC0}, {0, 3, 0x3F}, {1, 0, 0xC1}})
      f.set(x, y, std::uint8_t(v));
    QImage img(4 * 3, 2 * 3, QImage::Format_RGB32);
    img.fill(Qt::blue);
    PaintLedImage(img, f, 4, 2);
    const QRgb r = qRgb(255, 0, 0), g = qRgb(0, 255, 0), y = qRgb(255, 255, 0), k = qRgb(0, 0, 0);
    const QRgb expected[2][4] = {{r, g, y, k}, {y, k, k, k}};
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 12; ++x) QCOMPARE(img.pixel(x, y), expected[y / 3][x / 3]);
  }

  void threadPacesFramesByTheirPeriod() {
    PreviewBuilder b(4, 1);
    b.OneLine("AB", 16, 0, 0, 15);  // speed code 0: 10 ms a frame
    FlashImage image;
    b.Load(image);
    std::atomic<int> frames{0};
    const SystemClock signClock;
    PlaybackThread thread(image, sign_test::TestFonts(), signClock,
                          [&](const QImage&) { ++frames; });
    QElapsedTimer clock;
    clock.start();
    thread.Begin();
    QTest::qWait(400);
    thread.Finish();
    const qint64 ms = clock.elapsed();
    QVERIFY(!thread.active());
    // Never faster than one frame a period (plus the first picture), and it does play.
    QVERIFY2(frames <= ms / 10 + 2 && frames >= 5, qPrintable(QString::number(frames)));
  }

  // A board wider than the window (24 modules on two tiers) plays its logo, painted again
  // whenever the view is asked: at the default 3 pixels a dot, smaller or the whole board
  // fitted, each dot one solid square of its colour; the choice outlives the window. Stop lets
  // go of the image and the fonts.
  void wideBoardsCanBeSeenWhole() {
    QCoreApplication::setOrganizationName(QStringLiteral("VarnoTest"));
    QSettings().clear();
    QTemporaryDir dir;
    const QString exe = Folder(dir, 24, 2, true);
    {
      MessageRecorder recorder;
      CMainFrame frame;
      frame.show();
      CVarnoView& view = *frame.view();
      QVERIFY(view.Start(exe));
      QTRY_VERIFY_WITH_TIMEOUT(view.framesShown() >= 3, 5000);
      const BoardGeometry g = MakeGeometry(24, 2, 0, false);
      FrameBuffer logo;
      DrawLogoScreen(logo, g);
      QImage expected(g.width * 3, g.rows * 3, QImage::Format_RGB32);
      PaintLedImage(expected, logo, g.width, g.rows);
      QCOMPARE(view.shownFrame(), expected);
      QVERIFY(view.FrameRect().width() > view.width());  // 1152 x 96 in a narrower view
      for (int dots : {3, 1, 2, 0}) {
        if (dots != 3) frame.findChild<QAction*>(QStringLiteral("viewDots%1").arg(dots))->trigger();
        QCOMPARE(view.dotPixels(), dots);
        const QRect r = view.FrameRect();
        const QImage native = view.shownFrame();
        if (dots) {
          QCOMPARE(r.size(), QSize(384 * dots, 32 * dots));
          const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
          for (int y = 0; y < r.height(); ++y)
            for (int x = 0; x < qMin(r.width(), shown.width()); x += 7)
              QCOMPARE(shown.pixel(x, y), native.pixel(x / dots * 3 + 1, y / dots * 3 + 1));
        } else {
          QVERIFY(r.width() <= view.width() && r.height() <= view.height());
          QVERIFY(r.width() >= view.width() - 1 || r.height() >= view.height() - 1);
          QVERIFY(qAbs(r.width() * 96 / 1152 - r.height()) <= 1);  // the board's shape
        }
      }
      frame.findChild<QAction*>(QStringLiteral("viewDots1"))->trigger();
      frame.findChild<QAction*>(QStringLiteral("fileExit"))->trigger();
      QTRY_VERIFY(!frame.isVisible());
      view.Stop();
      QVERIFY(!view.playing() && !view.imageOpen() && !view.fontsLoaded());
      QVERIFY(recorder.messages().isEmpty());
    }
    CMainFrame again;
    QCOMPARE(again.view()->dotPixels(), 1);
    QVERIFY(again.findChild<QAction*>(QStringLiteral("viewDots1"))->isChecked());
  }
};

QTEST_MAIN(VarnoAppTest)
#include "test_varno_app.moc"
