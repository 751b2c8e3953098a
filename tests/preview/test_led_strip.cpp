// The strip under every item editor: it plays what the same engine plays from the item's
// memory image, and restarts on every change; and the dialogs around it.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <functional>
#include <memory>

#include "manager/editors/animation_dlg.h"
#include "manager/editors/bitmap_dlg.h"
#include "manager/editors/core/picture_items.h"
#include "manager/editors/dday_dlg.h"
#include "manager/editors/hold_time_dlg.h"
#include "manager/editors/one_line_dlg.h"
#include "manager/editors/text_pane.h"
#include "manager/editors/title_sentence_dlg.h"
#include "manager/editors/two_line_dlg.h"
#include "manager/events/ui/event_edit_dlg.h"
#include "manager/store/work_store.h"
#include "sign/playback_engine.h"
#include "sign/qt/led_strip.h"
#include "tests/support/test_fonts.h"

namespace {

const sign::FixedClock kClock(sign::LocalTime{2026, 12, 7, 9, 41, 5});

// The frames an engine plays from the dialog's item now, one per new frame.
std::vector<sign::FrameBuffer> Expected(const CTextItemDlg& dlg, int count) {
  encode::FilePictures files;
  sign::FlashImage image;
  image.OpenMemory(preview::OneItemImage(dlg.currentItem(), dlg.previewBoard(), files));
  sign::PlaybackEngine engine(image, sign_test::TestFonts(), kClock);
  engine.Start();
  std::vector<sign::FrameBuffer> frames;
  for (int guard = 0; int(frames.size()) < count && guard < 100 * count; ++guard)
    if (engine.Step()) frames.push_back(engine.front());
  return frames;
}

// Types text into the first pane, if any, and lets the coalesced restart run.
void TypeAndSettle(QWidget* dlg, const QString& text) {
  auto* pane = dlg->findChild<CTextPane*>();
  for (char32_t c : text.toStdU32String()) {
    const QString one = QString::fromUcs4(&c, 1);
    for (QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent key(t, 0, Qt::NoModifier, one);
      if (pane) QApplication::sendEvent(pane->edit(), &key);
    }
  }
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();  // the restart, then layouts
}

template <class Dlg, class Values>
std::unique_ptr<CTextItemDlg> Opened(item::ItemRecord (*build)(const Values&), const char* file,
                                     int mode = 0) {
  Values v;
  v.path = std::string(BRELLION_TEST_DATA_DIR "/encode/") + file;
  if constexpr (requires { v.mode; }) v.mode = mode;
  const item::ItemRecord r = build(v);
  auto dlg = std::make_unique<Dlg>();
  dlg->setModify(r.header, r.body);
  return dlg;
}

std::vector<std::pair<const char*, std::function<std::unique_ptr<CTextItemDlg>()>>> Editors() {
  return {
      {"one_line", [] { return std::make_unique<COneLineDlg>(); }},
      {"two_line", [] { return std::make_unique<CTwoLineDlg>(); }},
      {"title_sentence", [] { return std::make_unique<CTitleSentenceDlg>(); }},
      {"dday", [] { return std::make_unique<CDDayDlg>(); }},
      {"bitmap scrolled",
       [] { return Opened<CBitmapDlg>(editors::BuildBitmapItem, "magick_rich24.bmp", 1); }},
      {"animation",
       [] { return Opened<CAnimationDlg>(editors::BuildAnimationItem, "magick_three.gif"); }},
      {"event", [] { return std::make_unique<CEventEditDlg>(); }},
      {"datetime", [] { return std::make_unique<CHoldTimeDlg>(false); }},
  };
}

}  // namespace

class LedStripTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    CTextItemDlg::SetPreviewFonts(&sign_test::TestFonts());
    CTextItemDlg::SetPreviewClock(&kClock);
  }

  // Every editor, on a one- and a two-tier board: the strip shows, frame for frame, what
  // the engine plays from the item's memory image; then every list, picker and radio button
  // restarts it at the first frame of the item as it now stands. The temperature, which the
  // previewer cannot show, keeps a note in its place.
  void everyEditorPlaysItsItemAndEveryControlRestartsIt() {
    for (const preview::Board board : {preview::Board{8, 1, false}, preview::Board{12, 2, false}}) {
      for (const auto& [name, make] : Editors()) {
        const QByteArray where = QByteArray(name) + " " + QByteArray::number(board.tiers);
        std::unique_ptr<CTextItemDlg> dlg = make();
        QVERIFY2(dlg->strip(), where);
        dlg->strip()->SetPaused(true);
        dlg->setPreviewBoard(board);
        for (CTextPane* pane : dlg->findChildren<CTextPane*>()) pane->setStyledText({{U'가', {}}});
        TypeAndSettle(dlg.get(), QStringLiteral("가나 AB"));
        sign::LedStrip& strip = *dlg->strip();
        QCOMPARE(strip.image().size(), QSize(board.modules, board.tiers) * 16 * 3);
        const std::vector<sign::FrameBuffer> want = Expected(*dlg, 60);
        QCOMPARE(int(want.size()), 60);
        for (std::size_t f = 0; f < want.size(); ++f) {
          QVERIFY2(f == 0 || strip.Advance(), where);
          QVERIFY2(*strip.frame() == want[f], where + " frame " + QByteArray::number(int(f)));
        }
        for (QWidget* w : dlg->findChildren<QWidget*>()) {
          auto* list = qobject_cast<QComboBox*>(w);
          auto* picker = qobject_cast<QDateTimeEdit*>(w);
          auto* radio = qobject_cast<QRadioButton*>(w);
          if (!list && !picker && !(radio && !radio->isChecked())) continue;
          const long before = strip.restarts();
          if (list) list->setCurrentIndex((list->currentIndex() + 1) % list->count());
          if (picker) picker->setDateTime(picker->dateTime().addDays(3).addSecs(60));
          if (radio) radio->parentWidget()->parentWidget()->findChild<QTextEdit*>()->selectAll();
          if (radio) radio->click();  // on the whole text
          TypeAndSettle(dlg.get(), {});
          QVERIFY2(strip.restarts() == before + 1 && *strip.frame() == Expected(*dlg, 1).at(0),
                   where + " " + w->metaObject()->className() + " " + w->objectName().toUtf8());
        }
      }
    }
    CHoldTimeDlg temperature(true);
    TypeAndSettle(&temperature, {});
    QVERIFY(!temperature.strip()->frame() && temperature.strip()->note().contains("온도"));
  }

  // The pause button offers to play while paused, and then plays on.
  void pausedItOffersToPlayAndPlaysOn() {
    COneLineDlg dlg;
    auto* pause = dlg.findChild<QToolButton*>("ledPause");
    dlg.strip()->SetPaused(true);
    QCOMPARE(pause->text(), QStringLiteral("재생"));
    TypeAndSettle(&dlg, QStringLiteral("가나다 ABC"));
    const long before = dlg.strip()->framesPainted();
    pause->click();  // then the dialog's timer plays it on
    QCOMPARE(pause->text(), QStringLiteral("일시정지"));
    QTRY_VERIFY_WITH_TIMEOUT(dlg.strip()->framesPainted() > before + 6, 3000);
  }

  // On a 20 x 2 board with the panes' notes shown, each editor opens centred over the main
  // window with what it tells the window manager settled before it maps, holds its buttons
  // inside and its lists in two columns. Its strip shows a 12-module board whole, and
  // scrolls a board wider than the screen.
  void dialogsFitTheirControls() {
    QTemporaryDir dir;
    store::TheWorkStore().SetPath(dir.filePath("data.tmp").toStdString());
    QCOMPARE(store::OpenWorkStore(), 0);
    store::TheWorkStore().SetWidth(20);
    store::TheWorkStore().SetHeight(2);
    QWidget main;
    main.setGeometry(100, 200, 600, 400);  // centred on the small test screen
    main.show();
    const QRect screen = main.screen()->availableGeometry();
    for (const auto& [name, make] : Editors()) {
      std::unique_ptr<CTextItemDlg> dlg = make();
      dlg->setParent(&main, dlg->windowFlags());
      dlg->show();
      const std::pair shown{dlg->geometry(), dlg->minimumSize()};
      TypeAndSettle(dlg.get(), {});
      QVERIFY2(std::pair(dlg->geometry(), dlg->minimumSize()) == shown, name);
      const QRect f = dlg->frameGeometry();
      QVERIFY2(screen.contains(f.topLeft()) &&
                   qAbs(f.center().y() - main.frameGeometry().center().y()) <= 1,
               name);

      for (CTextPane* pane : dlg->findChildren<CTextPane*>())
        pane->setStyledText(StyledText(1100, {U'가', {}}));  // past what is stored
      TypeAndSettle(dlg.get(), QStringLiteral("가个"));      // past the limit, and not in CP949
      QSet<int> columns;
      for (const QWidget* w : dlg->findChildren<QWidget*>()) {
        if (qobject_cast<const QComboBox*>(w) || qobject_cast<const QDateTimeEdit*>(w))
          columns.insert(w->mapTo(dlg.get(), QPoint()).x());
        if (qobject_cast<const QAbstractButton*>(w) && w->isVisibleTo(dlg.get()))
          QVERIFY2(dlg->rect().contains(QRect(w->mapTo(dlg.get(), QPoint()), w->size())), name);
      }
      QVERIFY2(columns.size() <= 2, name);
      const QScrollBar* bar = dlg->strip()->findChild<QScrollArea*>()->horizontalScrollBar();
      QVERIFY2(dlg->strip()->minimumSizeHint().width() <= screen.width() && bar->maximum() > 0,
               name);
      dlg->setPreviewBoard({12, 2, false});
      TypeAndSettle(dlg.get(), {});
      QVERIFY2(bar->maximum() == 0, name);
    }
    store::CloseWorkStore();
  }
};

QTEST_MAIN(LedStripTest)
#include "test_led_strip.moc"
