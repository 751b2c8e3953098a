// The strip under every item editor: it plays what the same engine plays from the item's
// memory image, and restarts on every change.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QTest>
#include <QTextEdit>
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
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
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
      {"temperature", [] { return std::make_unique<CHoldTimeDlg>(true); }},
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
  // the engine plays from the item's memory image.
  void everyEditorPlaysItsItem() {
    for (const preview::Board board : {preview::Board{8, 1, false}, preview::Board{12, 2, false}}) {
      for (const auto& [name, make] : Editors()) {
        const QByteArray where = QByteArray(name) + " " + QByteArray::number(board.tiers);
        std::unique_ptr<CTextItemDlg> dlg = make();
        QVERIFY2(dlg->strip(), where);
        dlg->strip()->SetPaused(true);
        dlg->setPreviewBoard(board);
        TypeAndSettle(dlg.get(), QStringLiteral("가나 AB"));
        sign::LedStrip& strip = *dlg->strip();
        QCOMPARE(strip.image().size(), QSize(board.modules, board.tiers) * 16 * 3);
        const std::vector<sign::FrameBuffer> want = Expected(*dlg, 60);
        QCOMPARE(int(want.size()), 60);
        for (std::size_t f = 0; f < want.size(); ++f) {
          QVERIFY2(f == 0 || strip.Advance(), where);
          QVERIFY2(*strip.frame() == want[f], where + " frame " + QByteArray::number(int(f)));
        }
      }
    }
  }

  // A new entry effect starts the strip over with that effect's first frame; so does text.
  void changesRestartAtOnceAndItPlaysOn() {
    COneLineDlg dlg;
    dlg.strip()->SetPaused(true);
    TypeAndSettle(&dlg, QStringLiteral("가나다 ABC"));
    for (int i = 0; i < 30; ++i) dlg.strip()->Advance();
    for (int effect : {1, 5, 12}) {
      dlg.findChild<QComboBox*>("entry")->setCurrentIndex(effect);
      TypeAndSettle(&dlg, {});
      const std::vector<sign::FrameBuffer> want = Expected(dlg, 2);
      QVERIFY2(*dlg.strip()->frame() == want[0], QByteArray::number(effect));
      QVERIFY(dlg.strip()->Advance());
      QVERIFY(*dlg.strip()->frame() == want[1]);
    }
    const long before = dlg.strip()->framesPainted();
    TypeAndSettle(&dlg, QStringLiteral("X"));
    QCOMPARE(dlg.strip()->framesPainted(), before + 1);
    QVERIFY(*dlg.strip()->frame() == Expected(dlg, 1)[0]);
    dlg.strip()->SetPaused(false);  // then the dialog's timer plays it on
    QTRY_VERIFY_WITH_TIMEOUT(dlg.strip()->framesPainted() > before + 6, 3000);
  }
};

QTEST_MAIN(LedStripTest)
#include "test_led_strip.moc"
