#include "manager/fleet/ui/sign_book_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "manager/fleet/jobs.h"
#include "manager/fleet/ui/fleet_run.h"
#include "manager/fleet/ui/sign_edit_dlg.h"
#include "manager/settings/dialog_buttons.h"
#include "manager/settings/run_dialog.h"
#include "qtshared/message_box.h"
#include "shared/file_io.h"

namespace {

enum Column { kName, kLink, kSize, kGroups, kCheck };

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QString Joined(const std::vector<std::string>& parts) {
  QStringList out;
  for (const std::string& p : parts) out << Q(p);
  return out.join(QStringLiteral(", "));
}

}  // namespace

CSignBookDlg::CSignBookDlg(fleet::BookRead read, std::string path, QWidget* parent)
    : QDialog(parent),
      book_(std::move(read.book)),
      path_(std::move(path)),
      hadProblems_(!read.problems.empty()) {
  setWindowTitle(QStringLiteral("전광판 목록"));
  rows_ = new QTreeWidget(this);
  rows_->setObjectName(QStringLiteral("signs"));
  rows_->setRootIsDecorated(false);
  rows_->setUniformRowHeights(true);
  rows_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  rows_->setAllColumnsShowFocus(true);
  rows_->setHeaderLabels({QStringLiteral("이름"), QStringLiteral("연결"), QStringLiteral("크기"),
                          QStringLiteral("그룹"), QStringLiteral("확인 결과")});
  for (auto [column, width] : {std::pair{kName, 140}, {kLink, 170}, {kSize, 50}, {kGroups, 140}})
    rows_->setColumnWidth(column, width);
  rows_->setMinimumSize(760, 280);

  auto* add = new QPushButton(QStringLiteral("추가"), this);
  change_ = new QPushButton(QStringLiteral("수정"), this);
  delete_ = new QPushButton(QStringLiteral("삭제"), this);
  check_ = new QPushButton(QStringLiteral("연결 확인"), this);
  connect(add, &QPushButton::clicked, this, &CSignBookDlg::AddSign);
  connect(change_, &QPushButton::clicked, this, &CSignBookDlg::ChangeSign);
  connect(delete_, &QPushButton::clicked, this, &CSignBookDlg::DeleteSigns);
  connect(check_, &QPushButton::clicked, this, &CSignBookDlg::CheckSigns);
  connect(rows_, &QTreeWidget::itemDoubleClicked, this, &CSignBookDlg::ChangeSign);
  const auto updateButtons = [this] {
    const std::size_t n = SelectedRows().size();
    change_->setEnabled(n == 1);
    delete_->setEnabled(n > 0);
    check_->setEnabled(n > 0);
  };
  connect(rows_, &QTreeWidget::itemSelectionChanged, this, updateButtons);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {add, change_, delete_, check_}) buttons->addWidget(b);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  if (const std::string why = fleet::ReadFailureText(path_, read);
      !why.empty() && read.error == 0) {
    auto* problems = new QLabel(Q(why), this);
    problems->setObjectName(QStringLiteral("problems"));
    problems->setStyleSheet(QStringLiteral("color: #b00000"));
    problems->setWordWrap(true);
    layout->addWidget(problems);
  }
  layout->addWidget(rows_, 1);
  layout->addLayout(buttons);
  auto* file = new QLabel(Q(path_), this);
  file->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(file);
  layout->addWidget(DialogButtons(this, QStringLiteral("확인"), QStringLiteral("취소")));
  ShowRows();
  updateButtons();
}

// The checks still running are cancelled and awaited by their run.
CSignBookDlg::~CSignBookDlg() = default;

std::vector<int> CSignBookDlg::SelectedRows() const {
  std::vector<int> rows;
  for (int i = 0; i < rows_->topLevelItemCount(); ++i)
    if (rows_->topLevelItem(i)->isSelected()) rows.push_back(i);
  return rows;
}

void CSignBookDlg::ShowRows() {
  // A check result stays with its sign's name across edits.
  QHash<QString, std::pair<QString, QBrush>> checks;
  for (int i = 0; i < rows_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = rows_->topLevelItem(i);
    checks.insert(item->text(kName), {item->text(kCheck), item->foreground(kCheck)});
  }
  rows_->clear();
  for (const fleet::Sign& s : book_.signs) {
    auto* item = new QTreeWidgetItem(rows_, {Q(s.name), Q(fleet::AddressText(s.address)),
                                             Q(fleet::SizeText(s.size)), Joined(s.groups)});
    const auto check = checks.value(item->text(kName));
    item->setText(kCheck, check.first);
    item->setForeground(kCheck, check.second);
  }
}

void CSignBookDlg::ShowCheck(const std::string& name, const QString& text, bool failed) {
  for (int i = 0; i < rows_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = rows_->topLevelItem(i);
    if (item->text(kName) != Q(name)) continue;
    item->setText(kCheck, text);
    item->setForeground(kCheck, failed ? QBrush(Qt::red) : QBrush());
  }
}

bool CSignBookDlg::EditSign(int row, fleet::Sign sign) {
  CSignEditDlg dlg(book_, row, sign, this);
  if (!RunDialog(dlg)) return false;
  if (row < 0) {
    book_.signs.push_back(dlg.Sign());
  } else {
    book_.signs[static_cast<std::size_t>(row)] = dlg.Sign();
  }
  ShowRows();
  return true;
}

void CSignBookDlg::AddSign() {
  fleet::Sign fresh;
  fresh.address.port = 5000;
  if (EditSign(-1, fresh))
    rows_->setCurrentItem(rows_->topLevelItem(rows_->topLevelItemCount() - 1));
}

void CSignBookDlg::ChangeSign() {
  const std::vector<int> rows = SelectedRows();
  if (rows.size() != 1) return;
  if (EditSign(rows.front(), book_.signs[static_cast<std::size_t>(rows.front())]))
    rows_->setCurrentItem(rows_->topLevelItem(rows.front()));
}

void CSignBookDlg::DeleteSigns() {
  const std::vector<int> rows = SelectedRows();
  for (auto it = rows.rbegin(); it != rows.rend(); ++it)
    book_.signs.erase(book_.signs.begin() + *it);
  ShowRows();
}

void CSignBookDlg::CheckSigns() {
  std::vector<fleet::Sign> signs;
  for (int row : SelectedRows()) signs.push_back(book_.signs[static_cast<std::size_t>(row)]);
  if (signs.empty()) return;
  if (checkRun_) checkRun_->Cancel();  // its results would mix with these
  for (const fleet::Sign& s : signs) ShowCheck(s.name, QStringLiteral("확인 중..."), false);
  auto* run = new CFleetRun(signs, fleet::ModelCheckJob(), this);
  checkRun_ = run;
  connect(run, &CFleetRun::Updated, this, [this, run](const fleet::Update& u) {
    if (u.state == fleet::SignState::kRunning || run != checkRun_) return;
    ShowCheck(run->Signs()[u.index].name, Q(u.outcome.text), !u.outcome.ok);
  });
  connect(run, &CFleetRun::Finished, run, &QObject::deleteLater);
}

void CSignBookDlg::accept() {
  if (hadProblems_ &&
      ShowMessage(this,
                  QStringLiteral("목록 파일의 잘못된 곳에 있던 전광판은 저장하면 없어집니다.\n"
                                 "저장할까요?"),
                  windowTitle(), MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
    return;
  if (const int error = fleet::WriteSignBook(path_, book_); error != 0) {
    ShowMessage(this,
                QStringLiteral("전광판 목록을 저장하지 못했습니다\n%1\n%2")
                    .arg(Q(path_), Q(fileio::FailureReason(error))),
                windowTitle(), MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  QDialog::accept();
}
