#include "manager/editors/editor_controls.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "manager/editors/text_pane.h"
#include "manager/store/work_store.h"
#include "qtshared/message_box.h"
#include "shared/board_memory.h"
#include "shared/codes.h"
#include "sign/font_set.h"
#include "sign/qt/led_strip.h"

namespace {

void SetMinutes(QTimeEdit* picker, int minutes) {
  const QTime t(minutes / 60, minutes % 60);
  if (minutes >= 0 && t.isValid()) picker->setTime(t);  // counts past 23:59 are ignored
}

int MinutesOf(const QTimeEdit* picker) {
  if (!picker) return 0;  // an editor without a display window
  const QTime t = picker->time();
  return t.hour() * 60 + t.minute();
}

const sign::FontSet* gFonts = nullptr;
const sign::LocalClock* gClock = nullptr;

// The board fonts beside the program (in PREVIEW/font, where the previewer finds them),
// read once; null when they cannot be read.
const sign::FontSet* BoardFonts() {
  if (gFonts) return gFonts;
  static const sign::FontSet* loaded = [] {
    static sign::FontSet fonts;
    const std::string dir = QCoreApplication::applicationDirPath().toStdString() + "/PREVIEW/";
    fonts.Load(dir, [](const std::string&, const std::string&) {});
    return fonts.loaded() ? &fonts : nullptr;
  }();
  return loaded;
}

// The store's board, with out-of-range sizes replaced as the view replaces them (nothing is
// written back here).
preview::Board StoreBoard() {
  store::WorkStore& s = store::TheWorkStore();
  preview::Board b;
  const int tiers = s.Height(), modules = s.Width();
  b.tiers = (tiers == 0 || tiers > 2) ? 1 : tiers;
  b.modules = (modules < 2 || modules > 20) ? 6 : modules;
  b.connection = s.Connection() == 1;
  return b;
}

}  // namespace

void CTextItemDlg::SetPreviewFonts(const sign::FontSet* fonts) {
  gFonts = fonts;
}

void CTextItemDlg::SetPreviewClock(const sign::LocalClock* clock) {
  gClock = clock;
}

CTextItemDlg::CTextItemDlg(item::ItemKind kind, const QString& title, QWidget* parent)
    : QDialog(parent),
      column_(new QVBoxLayout(this)),
      kind_(kind),
      board_(StoreBoard()),
      restart_(new QTimer(this)) {
  setWindowTitle(title);
  restart_->setSingleShot(true);
  restart_->setInterval(0);
  connect(restart_, &QTimer::timeout, this, &CTextItemDlg::restartPreview);
}

void CTextItemDlg::setPreviewBoard(const preview::Board& board) {
  board_ = board;
  restartPreview();
}

void CTextItemDlg::itemChanged() {
  if (strip_) restart_->start();
}

void CTextItemDlg::setVisible(bool visible) {
  // The strip takes its board's size before the window is mapped: a window that grows just
  // after mapping may be placed by the window manager before it is centred.
  if (visible && restart_->isActive()) restartPreview();
  QDialog::setVisible(visible);
}

void CTextItemDlg::restartPreview() {
  restart_->stop();
  if (!strip_) return;
  if (kind_ == item::ItemKind::Temperature) {  // the previewer has no thermometer
    strip_->ShowNote(QStringLiteral("전광판이 직접 측정한 온도를 표시합니다"),
                     board_.modules * board::kModuleDots, board_.tiers * board::kModuleDots);
    return;
  }
  encode::FilePictures files;
  strip_->Play(preview::OneItemImage(currentItem(), board_, files));
}

CTextPane* CTextItemDlg::addPane(const QString& caption, std::size_t byteLimit) {
  auto* pane = new CTextPane(caption, this);
  pane->setByteLimit(byteLimit);
  connect(pane, &CTextPane::returnPressed, this, &CTextItemDlg::accept);
  panes_.push_back(pane);
  return pane;
}

QComboBox* CTextItemDlg::addList(const std::string_view* texts, int count, int defaultCode,
                                 const QString& name, const QString& label, int at) {
  auto* list = new QComboBox(this);
  for (int i = 0; i < count; ++i) {
    list->addItem(QString::fromUtf8(texts[i].data(), static_cast<qsizetype>(texts[i].size())));
  }
  list->setCurrentIndex(defaultCode);
  list->setObjectName(name);
  setLabel(list, label);
  lists_.emplace_back(list, at);
  return list;
}

CTextItemDlg::EffectLists CTextItemDlg::addEffectLists(const QString& prefix, int entryAt,
                                                       int holdAt, int exitAt) {
  auto name = [&](const QString& word) {
    return prefix.isEmpty() ? word.toLower() : prefix + word;
  };
  EffectLists l;
  l.entry = addList(item::kEntryEffectTexts.data(), item::kEntryEffectCount, 0, name("Entry"),
                    QStringLiteral("입장효과:"), entryAt);
  l.hold = addList(item::kHoldTexts.data(), item::kHoldCount, 2, name("Hold"),
                   QStringLiteral("유지시간:"), holdAt);
  l.exit = addList(item::kExitEffectTexts.data(), item::kExitEffectCount, 0, name("Exit"),
                   QStringLiteral("퇴장효과:"), exitAt);
  return l;
}

QComboBox* CTextItemDlg::addSpeedList(int at) {
  return addList(item::kSpeedTexts.data(), item::kSpeedCount, 0, QStringLiteral("speed"),
                 QStringLiteral("속도:"), at);
}

void CTextItemDlg::addDisplayWindow() {
  for (QTimeEdit** picker : {&start_, &end_}) {
    *picker = new QTimeEdit(QTime(0, 0), this);
    (*picker)->setDisplayFormat(QStringLiteral("HH:mm"));
  }
  start_->setObjectName("start");
  end_->setObjectName("end");
  setLabel(start_, QStringLiteral("표출시작시간:"));
  setLabel(end_, QStringLiteral("표출마감시간:"));
}

QGridLayout* CTextItemDlg::grid(std::initializer_list<QWidget*> controls, bool withDisplayWindow) {
  auto* grid = new QGridLayout;
  std::vector<QWidget*> cells(controls);
  if (withDisplayWindow) {
    if (cells.size() % 2) cells.push_back(nullptr);  // the window starts a row
    cells.push_back(start_);
    cells.push_back(end_);
  }
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (!cells[i]) continue;
    const int row = static_cast<int>(i / 2), column = static_cast<int>(i % 2) * 2;
    auto* label = new QLabel(labels_.value(cells[i]), this);
    label->setBuddy(cells[i]);
    gridLabels_.push_back(label);
    grid->addWidget(label, row, column);
    grid->addWidget(cells[i], row, column + 1);
    grid->setColumnStretch(column + 1, 1);
  }
  grids_.push_back(grid);
  return grid;
}

void CTextItemDlg::alignGrids() {
  int labelWidth = 0;
  for (const QLabel* label : gridLabels_)
    labelWidth = std::max(labelWidth, label->sizeHint().width());
  for (QGridLayout* g : grids_) {
    g->setColumnMinimumWidth(0, labelWidth);
    g->setColumnMinimumWidth(2, labelWidth);
  }
}

void CTextItemDlg::restartOnEveryChange() {
  for (auto* list : findChildren<QComboBox*>()) {
    connect(list, &QComboBox::currentIndexChanged, this, &CTextItemDlg::itemChanged);
  }
  for (auto* picker : findChildren<QDateTimeEdit*>()) {
    connect(picker, &QDateTimeEdit::dateTimeChanged, this, &CTextItemDlg::itemChanged);
  }
  for (CTextPane* pane : panes_) {
    connect(pane->edit(), &QTextEdit::textChanged, this, &CTextItemDlg::itemChanged);
  }
}

void CTextItemDlg::addOkCancel() {
  alignGrids();
  restartOnEveryChange();
  strip_ = new sign::LedStrip(BoardFonts(), gClock, this);
  column_->addWidget(strip_);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
  box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  column_->addWidget(box);
  itemChanged();
}

void CTextItemDlg::setModify(const item::ItemHeader& header, const item::ItemBody& body) {
  modify_ = true;
  restore(header, body);
}

int CTextItemDlg::startMinutes() const {
  return MinutesOf(start_);
}

int CTextItemDlg::endMinutes() const {
  return MinutesOf(end_);
}

void CTextItemDlg::setWindowMinutes(int start, int end) {
  if (!start_) return;  // an editor without a display window
  SetMinutes(start_, start);
  SetMinutes(end_, end);
}

void CTextItemDlg::finish(const item::ItemHeader& header, const item::ItemBody& body) {
  header_ = header;
  body_ = body;
  QDialog::accept();
}

void CTextItemDlg::restore(const item::ItemHeader& header, const item::ItemBody& body) {
  for (auto [list, at] : lists_) {
    const int code = header[at];
    if (code < list->count()) list->setCurrentIndex(code);  // else left as it is
  }
  setWindowMinutes(header.startMinutes(), header.endMinutes());
  readExtra(header);
  for (int i = 0; i < int(panes_.size()); ++i) {
    panes_[i]->setQuarters(body.quarter(item::QuarterId(2 * i)),
                           body.quarter(item::QuarterId(2 * i + 1)));
  }
}

void CTextItemDlg::accept() {
  for (CTextPane* pane : panes_) {
    if (pane->byteLimit() == kNoLimit || pane->textBytes() <= pane->byteLimit()) continue;
    ShowMessage(this, QStringLiteral("%1바이트 이하로 입력하십시오.").arg(pane->byteLimit()),
                QString(), MsgButtons::Ok, MsgIcon::Warning);
    pane->edit()->setFocus();
    return;
  }
  const item::ItemRecord r = currentItem();
  finish(r.header, r.body);
}

item::ItemRecord CTextItemDlg::currentItem() const {
  item::ItemRecord r;
  item::ItemHeader& header = r.header;
  header.setKind(kind_);
  for (auto [list, at] : lists_) {
    header[at] = static_cast<std::uint8_t>(std::max(0, list->currentIndex()));
  }
  if (start_) {  // without pickers the window bytes stay 0
    header.setStartMinutes(MinutesOf(start_));
    header.setEndMinutes(MinutesOf(end_));
  }
  writeExtra(header);
  item::ItemBody& body = r.body;
  for (int i = 0; i < int(panes_.size()); ++i) {
    panes_[i]->writeQuarters(body.quarter(item::QuarterId(2 * i)),
                             body.quarter(item::QuarterId(2 * i + 1)));
  }
  return r;
}
