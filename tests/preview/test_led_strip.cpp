// The strip under every item editor: it plays what the same engine plays from the item's
// memory image, and restarts on every change; and the editor dialogs around it.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
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
#include "sign/playback_engine.h"
#include "manager/store/work_store.h"
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

// Runs what changes post: the coalesced restart, then the layouts it asks for, level by level.
void Settle() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

// Types text into the pane (by default the first, if any), and lets the coalesced restart run.
void TypeAndSettle(QWidget* dlg, const QString& text, CTextPane* pane = nullptr) {
  if (!pane) pane = dlg->findChild<CTextPane*>();
  for (char32_t c : text.toStdU32String()) {
    const QString one = QString::fromUcs4(&c, 1);
    for (QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent key(t, 0, Qt::NoModifier, one);
      if (pane) QApplication::sendEvent(pane->edit(), &key);
    }
  }
  Settle();
}

template <class Dlg, class Values>
std::unique_ptr<CTextItemDlg> Opened(item::ItemRecord (*build)(const Values&), const char* file,
                                     QWidget* parent, int mode = 0) {
  Values v;
  v.path = std::string(BRELLION_TEST_DATA_DIR "/encode/") + file;
  if constexpr (requires { v.mode; }) v.mode = mode;
  const item::ItemRecord r = build(v);
  auto dlg = std::make_unique<Dlg>(parent);
  dlg->setModify(r.header, r.body);
  return dlg;
}

using MakeEditor = std::function<std::unique_ptr<CTextItemDlg>(QWidget* parent)>;

// Every editor with a strip; the temperature's strip shows a note instead.
std::vector<std::pair<const char*, MakeEditor>> Editors() {
  return {
      {"one_line", [](QWidget* p) { return std::make_unique<COneLineDlg>(p); }},
      {"two_line", [](QWidget* p) { return std::make_unique<CTwoLineDlg>(p); }},
      {"title_sentence", [](QWidget* p) { return std::make_unique<CTitleSentenceDlg>(p); }},
      {"dday", [](QWidget* p) { return std::make_unique<CDDayDlg>(p); }},
      {"bitmap scrolled",
       [](QWidget* p) {
         return Opened<CBitmapDlg>(editors::BuildBitmapItem, "magick_rich24.bmp", p, 1);
       }},
      {"animation",
       [](QWidget* p) {
         return Opened<CAnimationDlg>(editors::BuildAnimationItem, "magick_three.gif", p);
       }},
      {"event", [](QWidget* p) { return std::make_unique<CEventEditDlg>(p); }},
      {"datetime", [](QWidget* p) { return std::make_unique<CHoldTimeDlg>(false, p); }},
      {"temperature", [](QWidget* p) { return std::make_unique<CHoldTimeDlg>(true, p); }},
  };
}

bool IsTemperature(const CTextItemDlg& dlg) {
  return dlg.currentItem().header.kind() == std::uint8_t(item::ItemKind::Temperature);
}

// Every way the operator can change the item: each list to its next entry, each picker a
// few days and a minute on, each radio button of each pane on the whole text.
std::vector<std::function<void()>> Changes(QWidget* dlg) {
  std::vector<std::function<void()>> out;
  for (auto* list : dlg->findChildren<QComboBox*>())
    out.push_back([list] { list->setCurrentIndex((list->currentIndex() + 1) % list->count()); });
  for (auto* picker : dlg->findChildren<QDateTimeEdit*>())
    out.push_back([picker] { picker->setDateTime(picker->dateTime().addDays(3).addSecs(60)); });
  for (auto* pane : dlg->findChildren<CTextPane*>()) {
    for (auto g : {CTextPane::TextColourGroup, CTextPane::BackColourGroup, CTextPane::FontGroup}) {
      for (int i : {1, 2, 3}) {
        out.push_back([pane, g, i] {
          pane->edit()->selectAll();
          pane->button(g, i)->click();
        });
      }
    }
  }
  return out;
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
        std::unique_ptr<CTextItemDlg> dlg = make(nullptr);
        QVERIFY2(dlg->strip(), where);
        if (IsTemperature(*dlg)) continue;  // everyControlRestartsTheStrip
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
  // The pause button offers to play while paused.
  void changesRestartAtOnceAndItPlaysOn() {
    COneLineDlg dlg;
    auto* pause = dlg.findChild<QToolButton*>("ledPause");
    QCOMPARE(pause->text(), QStringLiteral("일시정지"));
    dlg.strip()->SetPaused(true);
    QCOMPARE(pause->text(), QStringLiteral("재생"));
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
    pause->click();  // then the dialog's timer plays it on
    QCOMPARE(pause->text(), QStringLiteral("일시정지"));
    QTRY_VERIFY_WITH_TIMEOUT(dlg.strip()->framesPainted() > before + 6, 3000);
  }

  // Every list, picker and radio button of every editor restarts the strip at the first
  // frame of the item as it now stands; the temperature, which the previewer cannot show,
  // keeps a note in the strip's place.
  void everyControlRestartsTheStrip() {
    for (const auto& [name, make] : Editors()) {
      std::unique_ptr<CTextItemDlg> dlg = make(nullptr);
      sign::LedStrip& strip = *dlg->strip();
      strip.SetPaused(true);
      for (CTextPane* pane : dlg->findChildren<CTextPane*>()) TypeAndSettle(dlg.get(), "가A", pane);
      const std::vector<std::function<void()>> changes = Changes(dlg.get());
      QVERIFY2(changes.size() >= 3, name);
      for (std::size_t i = 0; i < changes.size(); ++i) {
        const QByteArray where = QByteArray(name) + " change " + QByteArray::number(int(i));
        const long before = strip.restarts();
        changes[i]();
        Settle();
        QVERIFY2(strip.restarts() == before + 1, where);
        if (IsTemperature(*dlg)) {
          QVERIFY2(!strip.frame() && strip.note().contains(QStringLiteral("온도")), where);
        } else {
          QVERIFY2(*strip.frame() == Expected(*dlg, 1).at(0), where);
        }
      }
    }
  }

  // On a 20 x 2 board, with every pane showing its longest note, each editor opens centred
  // over the main window at the size it keeps once its strip plays, with every button
  // inside it and its lists in two columns; a 12-module board shows whole, a board wider
  // than the screen scrolls.
  void dialogsFitTheirControls() {
    QTemporaryDir dir;
    store::WorkStore& store = store::TheWorkStore();
    store.SetPath(dir.filePath("data.tmp").toStdString());
    QCOMPARE(store::OpenWorkStore(), 0);
    store.SetWidth(20);
    store.SetHeight(2);
    QString refused;  // Chinese characters code page 949 lacks, more than a line's worth
    for (char32_t c = U'\u4E00'; refused.size() < 100; ++c)
      if (Cp949Width(c) == 0) refused += QString::fromUcs4(&c, 1);
    QWidget main;
    main.setGeometry(20, 60, 560, 420);
    main.show();
    for (const auto& [name, make] : Editors()) {
      std::unique_ptr<CTextItemDlg> dlg = make(&main);
      // What the window manager is told (size and the least size) is settled before the
      // window maps: hints changed just after mapping may land it at the screen's corner.
      dlg->show();
      const std::pair shown{dlg->geometry(), dlg->minimumSize()};
      Settle();
      QVERIFY2(std::pair(dlg->geometry(), dlg->minimumSize()) == shown, name);
      // Centred over the main window as far as the screen lets it (the test screen is small).
      const QRect frame = dlg->frameGeometry(), screen = main.screen()->availableGeometry();
      const QPoint over = main.frameGeometry().center();
      auto centred = [](int centre, int size, int low, int high) {
        return std::clamp(centre - size / 2, low, std::max(low, high + 1 - size));
      };
      QVERIFY2(qAbs(frame.left() - centred(over.x(), frame.width(), screen.left(), screen.right())) <= 1 &&
                   qAbs(frame.top() - centred(over.y(), frame.height(), screen.top(), screen.bottom())) <= 1,
               name);

      for (CTextPane* pane : dlg->findChildren<CTextPane*>()) {
        pane->setStyledText(StyledText(1100, {U'가', {}}));  // past what is stored
        QInputMethodEvent composed;  // one insertion: the note names all it refused
        composed.setCommitString(QStringLiteral("가") + refused);
        QApplication::sendEvent(pane->edit(), &composed);
        Settle();
        QVERIFY2(pane->note().count('\n') >= 1 && pane->note().contains(refused.right(1)), name);
      }
      for (const QAbstractButton* b : dlg->findChildren<QAbstractButton*>()) {
        if (!b->isVisibleTo(dlg.get())) continue;
        QVERIFY2(dlg->rect().contains(QRect(b->mapTo(dlg.get(), QPoint()), b->size())),
                 QByteArray(name) + " " + b->text().toUtf8());
      }
      QSet<int> columns;  // the lists and pickers line up in two columns
      for (const QWidget* w : dlg->findChildren<QWidget*>())
        if (qobject_cast<const QComboBox*>(w) || qobject_cast<const QDateTimeEdit*>(w))
          columns.insert(w->mapTo(dlg.get(), QPoint()).x());
      QVERIFY2(columns.size() <= 2, name);
      const QScrollBar* bar = dlg->strip()->findChild<QScrollArea*>()->horizontalScrollBar();
      QVERIFY2(dlg->strip()->minimumSizeHint().width() <= main.screen()->availableGeometry().width() &&
                   bar->maximum() > 0,
               name);
      dlg->setPreviewBoard({12, 2, false});
      Settle();
      QVERIFY2(bar->maximum() == 0, name);
    }
    store::CloseWorkStore();
  }
};

QTEST_MAIN(LedStripTest)
#include "test_led_strip.moc"
