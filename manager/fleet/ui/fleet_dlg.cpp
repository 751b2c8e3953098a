#include "manager/fleet/ui/fleet_dlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "manager/fleet/ui/fleet_run.h"
#include "qtshared/message_box.h"

namespace {

enum Column { kName, kLink, kProgress, kResult };

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

bool Ended(fleet::SignState s) {
  return s != fleet::SignState::kWaiting && s != fleet::SignState::kRunning;
}

}  // namespace

CFleetDlg::CFleetDlg(const fleet::BookRead& read, const std::string& bookPath, const QString& title,
                     const QString& startText, std::vector<Choice> choices, QWidget* parent)
    : QDialog(parent),
      signs_(read.book.signs),
      last_(signs_.size(), fleet::SignState::kWaiting),
      choices_(std::move(choices)) {
  setWindowTitle(title);
  groups_ = new QListWidget(this);
  groups_->setObjectName(QStringLiteral("groups"));
  for (const std::string& g : read.book.Groups())
    (new QListWidgetItem(Q(g), groups_))->setCheckState(Qt::Unchecked);
  connect(groups_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    ChooseGroup(item->text(), item->checkState() == Qt::Checked);
  });

  rows_ = new QTreeWidget(this);
  rows_->setObjectName(QStringLiteral("signs"));
  rows_->setRootIsDecorated(false);
  rows_->setUniformRowHeights(true);
  rows_->setSelectionMode(QAbstractItemView::NoSelection);
  rows_->setHeaderLabels({QStringLiteral("전광판"), QStringLiteral("연결"), QStringLiteral("진행"),
                          QStringLiteral("결과")});
  for (auto [column, width] : {std::pair{kName, 150}, {kLink, 160}, {kProgress, 110}})
    rows_->setColumnWidth(column, width);
  for (const fleet::Sign& s : signs_) {
    auto* item = new QTreeWidgetItem(rows_, {Q(s.name), Q(fleet::AddressText(s.address))});
    item->setCheckState(kName, Qt::Unchecked);
  }

  choice_ = new QComboBox(this);
  for (const Choice& c : choices_) choice_->addItem(c.label);
  start_ = new QPushButton(startText, this);
  start_->setObjectName(QStringLiteral("start"));
  cancel_ = new QPushButton(QStringLiteral("취소"), this);
  resend_ = new QPushButton(QStringLiteral("실패한 전광판 다시 전송"), this);
  auto* close = new QPushButton(QStringLiteral("닫기"), this);
  connect(start_, &QPushButton::clicked, this, &CFleetDlg::Start);
  connect(cancel_, &QPushButton::clicked, this, &CFleetDlg::Cancel);
  connect(resend_, &QPushButton::clicked, this, &CFleetDlg::ResendFailed);
  connect(close, &QPushButton::clicked, this, &CFleetDlg::reject);

  auto* groupPane = new QWidget(this);
  auto* groupLayout = new QVBoxLayout(groupPane);
  groupLayout->setContentsMargins(0, 0, 0, 0);
  groupLayout->addWidget(new QLabel(QStringLiteral("그룹:"), groupPane));
  groupLayout->addWidget(groups_, 1);
  auto* split = new QSplitter(this);
  split->addWidget(groupPane);
  split->addWidget(rows_);
  split->setStretchFactor(1, 1);
  split->setSizes({150, 600});

  auto* buttons = new QHBoxLayout;
  // Named choices (the events) are offered, even one, so the operator sees what goes.
  const bool chooser = !choices_.empty() && !choices_.front().label.isEmpty();
  if (chooser) buttons->addWidget(choice_, 1);
  choice_->setVisible(chooser);
  for (QPushButton* b : {start_, cancel_, resend_}) buttons->addWidget(b);
  buttons->addStretch(chooser ? 0 : 1);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  if (const std::string why = fleet::ReadFailureText(bookPath, read); !why.empty()) {
    auto* problems = new QLabel(Q(why), this);
    problems->setStyleSheet(QStringLiteral("color: #b00000"));
    problems->setWordWrap(true);
    layout->addWidget(problems);
  }
  layout->addWidget(split, 1);
  layout->addLayout(buttons);
  resize(820, 460);
  UpdateButtons();
}

CFleetDlg::~CFleetDlg() {
  delete run_;  // joins its workers before the rows go
}

void CFleetDlg::ChooseGroup(const QString& group, bool chosen) {
  const std::string name = group.toStdString();
  for (std::size_t i = 0; i < signs_.size(); ++i) {
    const auto& g = signs_[i].groups;
    if (std::find(g.begin(), g.end(), name) != g.end())
      rows_->topLevelItem(static_cast<int>(i))
          ->setCheckState(kName, chosen ? Qt::Checked : Qt::Unchecked);
  }
}

void CFleetDlg::Start() {
  if (run_ || choices_.empty()) return;
  std::vector<fleet::Sign> targets;
  runRows_.clear();
  for (std::size_t i = 0; i < signs_.size(); ++i) {
    QTreeWidgetItem* item = rows_->topLevelItem(static_cast<int>(i));
    if (item->checkState(kName) != Qt::Checked) continue;
    targets.push_back(signs_[i]);
    runRows_.push_back(static_cast<int>(i));
    last_[i] = fleet::SignState::kWaiting;
    // A row's bar appears when its sign first takes part in a run.
    auto* bar = static_cast<QProgressBar*>(rows_->itemWidget(item, kProgress));
    if (!bar) {
      bar = new QProgressBar(rows_);
      bar->setRange(0, 100);
      bar->setMaximumHeight(16);
      rows_->setItemWidget(item, kProgress, bar);
    }
    bar->setValue(0);
    item->setText(kResult, QStringLiteral("기다리는 중"));
    item->setForeground(kResult, QBrush());
    item->setToolTip(kResult, QString());
  }
  if (targets.empty()) {
    ShowMessage(this, QStringLiteral("보낼 전광판을 고르십시오"), windowTitle());
    return;
  }
  QStringList devices;
  for (const fleet::Sign& s : targets)
    if (const std::string key = fleet::DeviceKey(s.address); !key.empty()) devices << Q(key);
  emit RunStarting(devices);
  const Choice& choice = choices_[static_cast<std::size_t>(std::max(0, choice_->currentIndex()))];
  run_ = new CFleetRun(std::move(targets), choice.job(), this);
  connect(run_, &CFleetRun::Updated, this, &CFleetDlg::OnUpdate);
  connect(run_, &CFleetRun::Finished, this, &CFleetDlg::OnFinished);
  UpdateButtons();
}

void CFleetDlg::Cancel() {
  if (run_) run_->Cancel();
}

void CFleetDlg::ResendFailed() {
  if (run_) return;
  for (std::size_t i = 0; i < signs_.size(); ++i) {
    const bool failed = Ended(last_[i]) && last_[i] != fleet::SignState::kSucceeded;
    rows_->topLevelItem(static_cast<int>(i))
        ->setCheckState(kName, failed ? Qt::Checked : Qt::Unchecked);
  }
  Start();
}

void CFleetDlg::reject() {
  if (!run_) {
    QDialog::reject();
    return;
  }
  closeWhenDone_ = true;
  Cancel();
}

void CFleetDlg::OnUpdate(const fleet::Update& u) {
  const int row = runRows_[u.index];
  QTreeWidgetItem* item = rows_->topLevelItem(row);
  last_[static_cast<std::size_t>(row)] = u.state;
  auto* bar = static_cast<QProgressBar*>(rows_->itemWidget(item, kProgress));
  if (u.state == fleet::SignState::kRunning) {
    bar->setValue(u.percent);
    item->setText(kResult, QStringLiteral("보내는 중"));
    return;
  }
  if (u.outcome.ok) bar->setValue(100);
  QString text = Q(u.outcome.text);
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  item->setText(kResult, text);
  item->setToolTip(kResult, Q(u.outcome.caption) + QStringLiteral(": ") + Q(u.outcome.text));
  item->setForeground(kResult, u.outcome.ok ? QBrush(QColor(0, 128, 0)) : QBrush(Qt::red));
}

void CFleetDlg::OnFinished() {
  run_->deleteLater();  // it is still inside the signal that brought us here
  run_ = nullptr;
  UpdateButtons();
  emit RunFinished();
  if (closeWhenDone_) QDialog::reject();
}

void CFleetDlg::UpdateButtons() {
  const bool idle = run_ == nullptr;
  start_->setEnabled(idle);
  cancel_->setEnabled(!idle);
  resend_->setEnabled(idle && std::any_of(last_.begin(), last_.end(), [](fleet::SignState s) {
                        return Ended(s) && s != fleet::SignState::kSucceeded;
                      }));
  groups_->setEnabled(idle);
  choice_->setEnabled(idle);
  for (int i = 0; i < rows_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = rows_->topLevelItem(i);
    item->setFlags(idle ? item->flags() | Qt::ItemIsUserCheckable
                        : item->flags() & ~Qt::ItemIsUserCheckable);
  }
}
