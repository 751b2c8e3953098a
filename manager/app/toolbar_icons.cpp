#include "manager/app/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "manager/app/commands.h"

namespace {

void Label(QPainter& p, const QString& text, const QColor& colour, int pixelSize,
           QRect box = QRect(0, 0, 32, 32)) {
  QFont f = p.font();
  f.setBold(true);
  f.setPixelSize(pixelSize);
  p.setFont(f);
  p.setPen(colour);
  p.drawText(box, Qt::AlignCenter, text);
}

void Page(QPainter& p) {
  QPainterPath page;
  page.moveTo(7, 3);
  page.lineTo(20, 3);
  page.lineTo(26, 9);
  page.lineTo(26, 29);
  page.lineTo(7, 29);
  page.closeSubpath();
  p.setPen(QPen(QColor(60, 60, 60), 1.5));
  p.setBrush(Qt::white);
  p.drawPath(page);
  p.drawLine(20, 3, 20, 9);
  p.drawLine(20, 9, 26, 9);
}

// A curved arrow for undo (pointing left) and redo (mirrored).
void TurnArrow(QPainter& p, bool redo) {
  if (redo) p.setTransform(QTransform(-1, 0, 0, 1, 32, 0));
  p.setPen(QPen(QColor(40, 90, 200), 3.5, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  QPainterPath arc;
  arc.moveTo(10, 12);
  arc.cubicTo(24, 8, 30, 18, 22, 26);
  p.drawPath(arc);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 90, 200));
  p.drawPolygon(QPolygonF({QPointF(3, 12), QPointF(12, 5), QPointF(12, 19)}));
  p.resetTransform();
}

// A board module: dark plate with coloured text, the family look of the "add" buttons.
void Board(QPainter& p, const QString& text, const QColor& colour, int pixelSize = 14) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 30, 30));
  p.drawRoundedRect(QRectF(2, 5, 28, 22), 3, 3);
  Label(p, text, colour, pixelSize, QRect(2, 5, 28, 22));
}

void Clock(QPainter& p, const QColor& rim) {
  p.setPen(QPen(rim, 2.5));
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(16, 16), 12, 12);
  p.setPen(QPen(Qt::black, 2));
  p.drawLine(16, 16, 16, 8);
  p.drawLine(16, 16, 22, 19);
}

void Draw(QPainter& p, int id) {
  const QColor red(220, 30, 30), green(30, 170, 60), yellow(240, 200, 0);
  switch (id) {
    case cmd::kLoad: {  // an opening folder
      p.setPen(QPen(QColor(150, 110, 0), 1.5));
      p.setBrush(QColor(250, 210, 90));
      p.drawRect(QRectF(3, 9, 20, 17));
      QPolygonF flap({QPointF(7, 14), QPointF(29, 14), QPointF(24, 26), QPointF(3, 26)});
      p.setBrush(QColor(255, 230, 140));
      p.drawPolygon(flap);
      break;
    }
    case cmd::kSave:  // a diskette
      p.setPen(QPen(QColor(20, 50, 120), 1.5));
      p.setBrush(QColor(60, 110, 200));
      p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(9, 4, 14, 9));
      p.setBrush(QColor(200, 200, 200));
      p.drawRect(QRectF(8, 18, 16, 10));
      break;
    case cmd::kNew:
      Page(p);
      break;
    case cmd::kUndo:
    case cmd::kRedo:
      TurnArrow(p, id == cmd::kRedo);
      break;
    case cmd::kModify:  // a pencil over a page
      Page(p);
      p.setPen(QPen(QColor(200, 120, 0), 4, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(12, 24, 26, 10);
      break;
    case cmd::kDelete:
      p.setPen(QPen(red, 4, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(8, 8, 24, 24);
      p.drawLine(24, 8, 8, 24);
      break;
    case cmd::kCut:  // scissors
      p.setPen(QPen(Qt::black, 2));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(10, 24), 4, 4);
      p.drawEllipse(QPointF(22, 24), 4, 4);
      p.drawLine(12, 21, 22, 4);
      p.drawLine(20, 21, 10, 4);
      break;
    case cmd::kPaste:  // a clipboard
      p.setPen(QPen(QColor(90, 60, 20), 1.5));
      p.setBrush(QColor(190, 140, 70));
      p.drawRoundedRect(QRectF(5, 5, 22, 25), 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(9, 10, 14, 17));
      p.setBrush(QColor(120, 120, 120));
      p.drawRect(QRectF(12, 3, 8, 5));
      break;
    case cmd::kAddOneLine:
      Board(p, QStringLiteral("가"), red, 16);
      break;
    case cmd::kAddTwoLine:
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(30, 30, 30));
      p.drawRoundedRect(QRectF(2, 3, 28, 26), 3, 3);
      Label(p, QStringLiteral("가"), red, 11, QRect(2, 3, 28, 13));
      Label(p, QStringLiteral("나"), green, 11, QRect(2, 16, 28, 13));
      break;
    case cmd::kAddTitle:
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(30, 30, 30));
      p.drawRoundedRect(QRectF(2, 3, 28, 26), 3, 3);
      Label(p, QStringLiteral("제목"), yellow, 10, QRect(2, 3, 28, 13));
      p.setPen(QPen(green, 2));
      p.drawLine(6, 22, 26, 22);
      break;
    case cmd::kAddBitmap: {  // a picture: sky, sun and a hill
      p.setPen(QPen(Qt::black, 1));
      p.setBrush(QColor(140, 200, 255));
      p.drawRect(QRectF(3, 6, 26, 20));
      p.setBrush(yellow);
      p.drawEllipse(QPointF(22, 12), 3, 3);
      p.setBrush(green);
      p.drawPolygon(QPolygonF({QPointF(3, 26), QPointF(12, 14), QPointF(20, 26)}));
      break;
    }
    case cmd::kAddAnimation:  // a film strip
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(40, 40, 40));
      p.drawRect(QRectF(6, 2, 20, 28));
      p.setBrush(Qt::white);
      for (int y = 4; y < 30; y += 5) {
        p.drawRect(QRectF(7, y, 2, 3));
        p.drawRect(QRectF(23, y, 2, 3));
      }
      p.setBrush(QColor(140, 200, 255));
      p.drawRect(QRectF(11, 5, 10, 9));
      p.drawRect(QRectF(11, 18, 10, 9));
      break;
    case cmd::kAddDateTime:
      Clock(p, green);
      break;
    case cmd::kAddDDay:
      Board(p, QStringLiteral("D-1"), yellow, 11);
      break;
    case cmd::kAddEvent:
      p.setPen(Qt::NoPen);
      p.setBrush(red);
      p.drawPolygon(QPolygonF({QPointF(16, 3), QPointF(30, 28), QPointF(2, 28)}));
      Label(p, QStringLiteral("!"), Qt::white, 16, QRect(0, 8, 32, 22));
      break;
    case cmd::kPreview:  // a screen with the board on it
      p.setPen(QPen(QColor(60, 60, 60), 2));
      p.setBrush(QColor(20, 20, 20));
      p.drawRect(QRectF(3, 5, 26, 18));
      p.drawLine(16, 23, 16, 27);
      p.drawLine(10, 28, 22, 28);
      Label(p, QStringLiteral("ABC"), red, 9, QRect(3, 5, 26, 18));
      break;
    case cmd::kSetClock: {  // the clock with a setting arrow: sends the time to the sign
      Clock(p, QColor(40, 90, 200));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(220, 30, 30));
      p.drawPolygon(QPolygonF({QPointF(20, 24), QPointF(31, 24), QPointF(25.5, 31)}));
      break;
    }
    case cmd::kPortSetup:
      Board(p, QStringLiteral("COM"), green, 9);
      break;
    case cmd::kIpSetup:
      Board(p, QStringLiteral("IP"), QColor(120, 180, 255), 13);
      break;
    default:
      break;
  }
}

}  // namespace

QIcon ToolbarIcon(int commandId) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  Draw(p, commandId);
  p.end();
  return QIcon(pixmap);
}
