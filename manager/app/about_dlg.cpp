#include "manager/app/about_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

QIcon BrellionIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(25, 25, 25));
  p.drawRoundedRect(QRectF(1, 6, 30, 20), 3, 3);
  // A few lit dots in the board's three colours.
  const QColor colours[] = {QColor(230, 30, 30), QColor(30, 200, 60), QColor(240, 210, 0)};
  for (int i = 0; i < 6; ++i) {
    for (int j = 0; j < 3; ++j) {
      p.setBrush(colours[(i + j) % 3]);
      p.drawEllipse(QPointF(5.5 + i * 4.2, 11 + j * 5), 1.6, 1.6);
    }
  }
  p.end();
  return QIcon(pixmap);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Brellion 정보"));
  auto* icon = new QLabel(this);
  icon->setPixmap(BrellionIcon().pixmap(32, 32));
  auto* text = new QLabel(QStringLiteral("Brellion 버전 15.8"), this);
  text->setObjectName(QStringLiteral("versionText"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addSpacing(12);
  row->addWidget(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
  setFixedSize(sizeHint());
}
