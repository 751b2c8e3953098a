// The message list: adding items of every kind, modify, delete, cut and paste, the row
// context menu and activation. Rules live in manager/list; rows are read from the store.
#include <QAction>
#include <QDropEvent>
#include <QKeySequence>
#include <QMenu>
#include <QTreeWidget>
#include <algorithm>
#include <memory>

#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/list/row_text.h"
#include "manager/store/work_store.h"
#include "qtshared/message_box.h"

namespace {

QString Utf8(const std::string& s) {
  return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

struct AddCommand {
  int id;
  item::ItemKind kind;
};
constexpr AddCommand kAddCommands[] = {
    {cmd::kAddOneLine, item::ItemKind::OneLine},
    {cmd::kAddTwoLine, item::ItemKind::TwoLine},
    {cmd::kAddTitle, item::ItemKind::TitleSentence},
    {cmd::kAddBitmap, item::ItemKind::Bitmap},
    {cmd::kAddAnimation, item::ItemKind::Animation},
    {cmd::kAddDateTime, item::ItemKind::DateTime},
    {cmd::kAddDDay, item::ItemKind::DDay},
    {cmd::kAddTemperature, item::ItemKind::Temperature},
};

}  // namespace

void CBrellionView::InstallListCommands() {
  using msglist::ListCommand;
  for (const AddCommand& c : kAddCommands) {
    Install(c.id, {.run = [this, kind = c.kind] { OnAdd(kind); },
                   .enabled = [this, kind = c.kind] {
                     return editors_->Handles(kind) &&
                            msglist::IsEnabled(msglist::AddCommandOf(kind), ListStateNow());
                   }});
  }
  auto rule = [this](ListCommand c) {
    return [this, c] { return msglist::IsEnabled(c, ListStateNow()); };
  };
  Install(cmd::kModify, {.run = [this] { OnModify(false); }, .enabled = rule(ListCommand::Modify)});
  Install(cmd::kDelete, {.run = [this] { OnDelete(); }, .enabled = rule(ListCommand::Delete)});
  Install(cmd::kCut, {.run = [this] { OnCut(); }, .enabled = rule(ListCommand::Cut)});
  Install(cmd::kPaste, {.run = [this] { OnPaste(); }, .enabled = rule(ListCommand::Paste)});
  Install(cmd::kCopy, {.run = [this] { OnCopy(); }, .enabled = rule(ListCommand::Copy)});
  const auto move = [this](msglist::Plan (*plan)(int, std::vector<int>)) {
    return [this, plan] { RunPlan(plan(list_->topLevelItemCount(), SelectedRows())); };
  };
  Install(cmd::kMoveUp, {.run = move(msglist::PlanMoveUp), .enabled = rule(ListCommand::MoveUp)});
  Install(cmd::kMoveDown,
          {.run = move(msglist::PlanMoveDown), .enabled = rule(ListCommand::MoveDown)});
  Install(cmd::kUndo, {.run = [this] { ShowReplayed(history_.Undo(store::TheWorkStore())); },
                       .enabled = [this] { return history_.CanUndo(); }});
  Install(cmd::kRedo, {.run = [this] { ShowReplayed(history_.Redo(store::TheWorkStore())); },
                       .enabled = [this] { return history_.CanRedo(); }});

  // The keypad key first: the menus then show "Enter"; both keys modify.
  Action(cmd::kModify)->setShortcuts({QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)});
  Action(cmd::kDelete)->setShortcut(QKeySequence::Delete);
  Action(cmd::kCut)->setShortcut(QKeySequence::Cut);
  Action(cmd::kPaste)->setShortcut(QKeySequence::Paste);
  Action(cmd::kCopy)->setShortcut(QKeySequence::Copy);
  Action(cmd::kUndo)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  const QKeySequence redoKeys[] = {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z};
  Action(cmd::kRedo)->setShortcuts({redoKeys[0], redoKeys[1]});
  Action(cmd::kMoveUp)->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Up));
  Action(cmd::kMoveDown)->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Down));

  // Rows are dragged within the list only; the drop moves them through the store.
  list_->setDragDropMode(QAbstractItemView::InternalMove);
  list_->setDropIndicatorShown(true);
  list_->viewport()->installEventFilter(this);

  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    ShowListContextMenu(list_->viewport()->mapToGlobal(pos));
  });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { ActivateSelection(); });
  connect(list_, &QTreeWidget::itemSelectionChanged, this, &CBrellionView::UpdateCommandStates);
}

msglist::ListState CBrellionView::ListStateNow() const {
  msglist::ListState state = msglist::StateOf(list_->topLevelItemCount(), SelectedRows());
  state.cutPresent = cut_.present;
  state.boardHeight = settings_.height;
  return state;
}

void CBrellionView::Show(const msglist::Message& m) {
  ShowMessage(this, Utf8(m.text), Utf8(m.caption));
}

bool CBrellionView::AskYesNo(const msglist::Message& m) {
  return ShowMessage(this, Utf8(m.text), Utf8(m.caption), MsgButtons::YesNo) == MsgResult::Yes;
}

void CBrellionView::RefreshList() {
  const std::vector<item::ItemRecord> records = store::TheWorkStore().ReadList();
  const QSignalBlocker quiet(list_);
  const int rows = int(records.size());
  while (list_->topLevelItemCount() > rows) {
    delete list_->takeTopLevelItem(list_->topLevelItemCount() - 1);
  }
  QList<QTreeWidgetItem*> added;
  for (int i = 0; i < rows; ++i) {
    QTreeWidgetItem* row = list_->topLevelItem(i);
    if (!row) {
      row = new QTreeWidgetItem;
      // Dropped rows go between rows, never onto one.
      row->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled);
      added.append(row);
    }
    const msglist::RowText text = msglist::ItemRowText(records[std::size_t(i)]);
    for (int c = 0; c < msglist::kColumnCount; ++c) row->setText(c, Utf8(text[std::size_t(c)]));
  }
  list_->addTopLevelItems(added);
  UpdateCommandStates();
}

std::vector<int> CBrellionView::SelectedRows() const {
  std::vector<int> rows;
  for (QTreeWidgetItem* it : list_->selectedItems()) rows.push_back(list_->indexOfTopLevelItem(it));
  std::sort(rows.begin(), rows.end());
  return rows;
}

void CBrellionView::SelectRows(const std::vector<int>& rows) {
  {
    const QSignalBlocker quiet(list_);
    list_->clearSelection();
    bool first = true;
    for (int r : rows) {
      QTreeWidgetItem* row = list_->topLevelItem(r);
      if (!row) continue;
      if (first) {
        // The keyboard goes on from the first selected row.
        list_->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
        list_->scrollToItem(row);
        first = false;
      }
      row->setSelected(true);
    }
  }
  list_->viewport()->update();
  UpdateCommandStates();
}

void CBrellionView::RunPlan(const msglist::Plan& plan, const item::ItemRecord& edited) {
  const std::vector<int> before = SelectedRows();
  msglist::Applied applied = msglist::Apply(store::TheWorkStore(), plan, edited, cut_);
  if (applied.error != 0) Show(msglist::WriteFailed(applied.error));
  applied.change.selectBefore = before;
  history_.Record(applied.change);
  RefreshList();
  SelectRows(applied.error != 0 ? before : plan.selectAfter);
}

void CBrellionView::ShowReplayed(const std::optional<std::vector<int>>& select) {
  if (!select) Show(msglist::WriteFailed(store::TheWorkStore().LastError()));
  const std::vector<int> rows = select ? *select : SelectedRows();
  RefreshList();
  SelectRows(rows);
}

void CBrellionView::OnAdd(item::ItemKind kind) {
  const msglist::Plan plan = msglist::PlanAdd(list_->topLevelItemCount());
  if (plan.refused) return Show(plan.message);
  const std::optional<item::ItemRecord> record = editors_->Edit(kind, nullptr, this);
  if (!record || !msglist::HasContent(*record)) return;
  RunPlan(plan, *record);
}

void CBrellionView::OnModify(bool fromActivation) {
  std::vector<int> selected = SelectedRows();
  if (fromActivation) {
    const int row = msglist::ActivationRow(selected);
    if (row < 0) return;
    selected = {row};
  }
  const msglist::Plan plan = msglist::PlanModify(list_->topLevelItemCount(), selected);
  if (plan.refused) return Show(plan.message);
  const item::ItemRecord current = store::TheWorkStore().ReadRecord(plan.ops.front().slot);
  const std::uint8_t kind = current.header.kind();
  if (!msglist::HasEditor(kind)) {
    if (!fromActivation) Show(msglist::UneditableKindMessage(kind));
    return;
  }
  const std::optional<item::ItemRecord> record =
      editors_->Edit(static_cast<item::ItemKind>(kind), &current, this);
  if (!record || !msglist::HasContent(*record)) return;
  RunPlan(plan, *record);
}

void CBrellionView::ActivateSelection() {
  OnModify(true);
  UpdateCommandStates();
}

void CBrellionView::OnDelete() {
  const msglist::Plan plan = msglist::PlanDelete(list_->topLevelItemCount(), SelectedRows());
  if (plan.refused) return Show(plan.message);
  RunPlan(plan);
}

void CBrellionView::OnCut() {
  const msglist::Plan plan = msglist::PlanCut(list_->topLevelItemCount(), SelectedRows());
  if (plan.refused) return Show(plan.message);
  if (!plan.ops.empty()) RunPlan(plan);
}

void CBrellionView::OnPaste() {
  const msglist::Plan plan =
      msglist::PlanPaste(list_->topLevelItemCount(), SelectedRows(), cut_.present);
  if (plan.refused) return Show(plan.message);
  RunPlan(plan);
}

void CBrellionView::OnCopy() {
  const msglist::Plan plan = msglist::PlanCopy(list_->topLevelItemCount(), SelectedRows());
  if (plan.refused) return Show(plan.message);
  if (!plan.ops.empty()) RunPlan(plan);
}

void CBrellionView::MoveSelectionTo(int target) {
  const msglist::Plan plan = msglist::PlanMove(list_->topLevelItemCount(), SelectedRows(), target);
  if (!plan.ops.empty()) RunPlan(plan);
  UpdateCommandStates();
}

int CBrellionView::DropRow(const QPoint& pos) const {
  QTreeWidgetItem* row = list_->itemAt(pos);
  if (!row) return list_->topLevelItemCount();
  const int index = list_->indexOfTopLevelItem(row);
  return pos.y() < list_->visualItemRect(row).center().y() ? index : index + 1;
}

bool CBrellionView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != list_->viewport() || event->type() != QEvent::Drop) {
    return QWidget::eventFilter(watched, event);
  }
  auto* drop = static_cast<QDropEvent*>(event);
  if (drop->source() != list_) return true;  // rows of another window are not ours to move
  // No move action for the drag: the list would remove the dragged rows itself.
  drop->setDropAction(Qt::IgnoreAction);
  drop->accept();
  MoveSelectionTo(DropRow(drop->position().toPoint()));
  return true;
}

QMenu* CBrellionView::CreateListContextMenu() {
  const msglist::ContextMenuRule rule = msglist::ContextMenuFor(ListStateNow());
  if (!rule.opens) return nullptr;
  auto* menu = new QMenu(QStringLiteral("ListCtrl"), this);
  menu->setObjectName(QStringLiteral("ListCtrl"));
  // The entries run their commands with the commands' own checks and messages; the
  // shortcut is shown beside the text but bound only to the main menu's action.
  auto add = [&](int id, void (CBrellionView::*handler)(), bool grey) {
    QAction* main = Action(id);
    QString text = main->text();
    if (!main->shortcut().isEmpty()) {
      text += QLatin1Char('\t') + main->shortcut().toString(QKeySequence::NativeText);
    }
    QAction* a = menu->addAction(text, this, [this, handler] {
      (this->*handler)();
      UpdateCommandStates();
    });
    a->setData(id);
    a->setEnabled(!grey);
  };
  add(cmd::kModify, &CBrellionView::OnModifyFromMenu, false);
  add(cmd::kDelete, &CBrellionView::OnDelete, false);
  menu->addSeparator();
  add(cmd::kCut, &CBrellionView::OnCut, rule.cutGrey);
  add(cmd::kCopy, &CBrellionView::OnCopy, rule.cutGrey);
  add(cmd::kPaste, &CBrellionView::OnPaste, rule.pasteGrey);
  return menu;
}

void CBrellionView::ShowListContextMenu(const QPoint& globalPos) {
  std::unique_ptr<QMenu> menu(CreateListContextMenu());
  if (menu) menu->exec(globalPos);
}
