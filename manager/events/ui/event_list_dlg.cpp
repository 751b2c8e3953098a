#include "manager/events/ui/event_list_dlg.h"

#include <QAction>
#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "manager/events/event_send.h"
#include "manager/events/ui/event_edit_dlg.h"
#include "qtshared/message_box.h"

namespace {

struct Column {
  const char* title;
  int width;
};
constexpr Column kColumns[] = {{"구분", 100},    {"내     용", 390}, {"입장효과", 80},
                               {"유지시간", 80}, {"퇴장효과", 80},  {"속도", 50}};

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

CEventListDlg::CEventListDlg(store::WorkStore& store, signlink::SignLink& link,
                             events::Progress* progress, QWidget* parent)
    : QDialog(parent), events_(store), link_(link), progress_(progress),
      runEditor_([](CEventEditDlg& dlg) { return dlg.exec(); }) {
  setWindowTitle(QStringLiteral("이벤트 목록"));

  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("eventList"));
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setAllColumnsShowFocus(true);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  QStringList titles;
  for (const Column& c : kColumns) titles << QString::fromUtf8(c.title);
  list_->setHeaderLabels(titles);
  list_->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list_->header()->setStretchLastSection(false);
  int width = 0;
  for (int i = 0; i < list_->columnCount(); ++i) {
    list_->setColumnWidth(i, kColumns[i].width);
    width += kColumns[i].width;
  }
  list_->setMinimumSize(width + 2 * list_->frameWidth() + 4, 240);

  add_ = new QPushButton(QStringLiteral("추가하기"), this);
  send_ = new QPushButton(QStringLiteral("이벤트 적용"), this);
  cancel_ = new QPushButton(QStringLiteral("이벤트 취소"), this);
  close_ = new QPushButton(QStringLiteral("닫기"), this);
  for (QPushButton* b : {add_, send_, cancel_, close_}) b->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add_);
  buttons->addStretch(1);
  buttons->addWidget(send_);
  buttons->addWidget(cancel_);
  buttons->addSpacing(16);
  buttons->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);

  connect(add_, &QPushButton::clicked, this, &CEventListDlg::onAdd);
  connect(send_, &QPushButton::clicked, this, &CEventListDlg::onSend);
  connect(cancel_, &QPushButton::clicked, this, &CEventListDlg::onCancelEvent);
  connect(close_, &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] {
    if (!selectedRows().empty()) onModify();
  });
  connect(list_, &QWidget::customContextMenuRequested, this, [this] {
    if (std::unique_ptr<QMenu> menu = contextMenu()) menu->exec(QCursor::pos());
  });

  showRows();
}

CEventListDlg::~CEventListDlg() = default;

std::vector<int> CEventListDlg::selectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& i : list_->selectionModel()->selectedRows()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void CEventListDlg::showRow(int row) {
  const std::vector<std::string> cells = events::RowTexts(events_.At(row));
  QTreeWidgetItem* item = list_->topLevelItem(row);
  if (!item) item = new QTreeWidgetItem(list_);
  for (int c = 0; c < int(cells.size()); ++c) item->setText(c, Q(cells[c]));
}

void CEventListDlg::showRows() {
  list_->clear();
  for (int r = 0; r < events_.Count(); ++r) showRow(r);
}

void CEventListDlg::showMessage(const events::Message& m, bool failure) {
  ShowMessage(this, Q(m.text), Q(m.caption), MsgButtons::Ok,
              failure ? MsgIcon::Warning : MsgIcon::Information);
}

bool CEventListDlg::refused(const events::Refusal& r) {
  if (r) showMessage(*r, true);
  return r.has_value();
}

std::unique_ptr<QMenu> CEventListDlg::contextMenu() {
  if (selectedRows().empty()) return nullptr;
  auto menu = std::make_unique<QMenu>(this);
  menu->setObjectName(QStringLiteral("EventList"));
  connect(menu->addAction(QStringLiteral("수정")), &QAction::triggered, this, &CEventListDlg::onModify);
  connect(menu->addAction(QStringLiteral("삭제")), &QAction::triggered, this, &CEventListDlg::onDelete);
  menu->addSeparator();
  QAction* cut = menu->addAction(QStringLiteral("잘라내기"));
  QAction* paste = menu->addAction(QStringLiteral("붙여넣기"));
  connect(cut, &QAction::triggered, this, &CEventListDlg::onCut);
  connect(paste, &QAction::triggered, this, &CEventListDlg::onPaste);
  cut->setEnabled(events_.Count() > 0);
  paste->setEnabled(events_.Count() > 0 && events_.HasCut());
  return menu;
}

void CEventListDlg::onAdd() {
  if (refused(events_.CheckAdd())) return;
  CEventEditDlg dlg(this);
  if (runEditor_(dlg) != QDialog::Accepted) return;
  if (events_.Add(dlg.event())) showRow(events_.Count() - 1);
}

void CEventListDlg::onModify() {
  int row = -1;
  if (refused(events_.CheckModify(selectedRows(), &row))) return;
  CEventEditDlg dlg(this);
  dlg.setEvent(events_.At(row));
  if (runEditor_(dlg) != QDialog::Accepted) return;
  if (events_.Modify(row, dlg.event())) showRow(row);
}

void CEventListDlg::onDelete() {
  if (!refused(events_.Delete(selectedRows()))) showRows();
}

void CEventListDlg::onCut() {
  if (!refused(events_.Cut(selectedRows()))) showRows();
}

void CEventListDlg::onPaste() {
  if (!refused(events_.Paste(selectedRows()))) showRows();
}

void CEventListDlg::setSending(bool sending) {
  // The exchanges keep the window responsive; a second send must not start inside one.
  sending_ = sending;
  for (QPushButton* b : {add_, send_, cancel_, close_}) b->setEnabled(!sending);
}

void CEventListDlg::onSend() {
  if (sending_) return;
  int row = -1;
  if (refused(events_.CheckSend(selectedRows(), &row))) return;
  setSending(true);
  const events::Outcome out = events::SendEvent(link_, events_.At(row), progress_);
  setSending(false);
  showMessage(out.message, out.result != signlink::Result::kOk);
  list_->setFocus();
}

void CEventListDlg::onCancelEvent() {
  if (sending_) return;
  setSending(true);
  const events::Outcome out = events::CancelEvent(link_);
  setSending(false);
  showMessage(out.message, out.result != signlink::Result::kOk);
  list_->setFocus();
}
