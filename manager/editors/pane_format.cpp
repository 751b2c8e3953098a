#include "manager/editors/pane_format.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>
#include <array>

namespace {

// The sign's four colours, in text colour order.
const std::array<QColor, 4> kColours = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(255, 255, 0),
                                        QColor(0, 0, 0)};

int NearestColour(const QColor& c) {
  int best = 0;
  long bestDist = -1;
  for (int i = 0; i < 4; ++i) {
    long dr = c.red() - kColours[i].red();
    long dg = c.green() - kColours[i].green();
    long db = c.blue() - kColours[i].blue();
    long d = dr * dr + dg * dg + db * db;
    if (bestDist < 0 || d < bestDist) best = i, bestDist = d;
  }
  return best;
}

QString FindFace(const QStringList& candidates) {
  const QStringList families = QFontDatabase::families();
  for (const QString& want : candidates) {
    for (const QString& have : families) {
      if (have.compare(want, Qt::CaseInsensitive) == 0) return have;
    }
  }
  return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

}  // namespace

QString ScreenFace(item::BoardFont font) {
  // A monospaced gothic, a brush face, an old-style serif and a bold rounded display face:
  // the same families the sign's own tables are drawn from.
  static const std::array<QString, 4> faces = {
      FindFace({"D2Coding", "NanumGothicCoding", "NanumGothic", "UnDotum"}),
      FindFace({"UnGungseo", "NanumMyeongjo", "UnBatang"}),
      FindFace({"NanumMyeongjo", "UnBatang"}),
      FindFace({"BM JUA_TTF", "BM JUA", "BM DoHyeon", "NanumSquareRound"}),
  };
  return faces[static_cast<std::size_t>(font)];
}

QColor TextColourValue(item::TextColour c) {
  return kColours[static_cast<std::size_t>(c)];
}

QColor BackColourValue(item::BackColour c) {
  static const std::array<QColor, 4> back = {kColours[3], kColours[0], kColours[1], kColours[2]};
  return back[static_cast<std::size_t>(c)];
}

QTextCharFormat TextColourFormat(item::TextColour c) {
  QTextCharFormat f;
  f.setForeground(TextColourValue(c));
  return f;
}

QTextCharFormat BackColourFormat(item::BackColour c) {
  QTextCharFormat f;
  f.setBackground(BackColourValue(c));
  return f;
}

QTextCharFormat FontFormat(item::BoardFont font) {
  QTextCharFormat f;
  f.setFontFamilies(QStringList{ScreenFace(font)});
  f.setFontWeight(QFont::Bold);
  f.setFontItalic(false);
  f.setProperty(kBoardFontProperty, static_cast<int>(font));
  return f;
}

QTextCharFormat FormatFor(item::TextAttribute a) {
  QTextCharFormat f = FontFormat(a.font);
  f.merge(TextColourFormat(a.text));
  f.merge(BackColourFormat(a.back));
  f.setFontPointSize(kPanePointSize);
  return f;
}

item::TextAttribute AttributeOf(const QTextCharFormat& f) {
  item::TextAttribute a;
  if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush) {
    a.text = static_cast<item::TextColour>(NearestColour(f.foreground().color()));
  }
  if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush) {
    static const std::array<item::BackColour, 4> byColour = {
        item::BackColour::Red, item::BackColour::Green, item::BackColour::Yellow,
        item::BackColour::Black};
    a.back = byColour[static_cast<std::size_t>(NearestColour(f.background().color()))];
  }
  bool ok = false;
  int font = f.property(kBoardFontProperty).toInt(&ok);
  if (ok && font >= 0 && font <= 3) a.font = static_cast<item::BoardFont>(font);
  return a;
}
