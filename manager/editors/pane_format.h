#pragma once
// Character formats of the text panes: one format per TextAttribute, and the attribute
// a format stands for. The board font travels with each character as a format property,
// so reading attributes back never depends on which screen faces the machine has.

#include <QColor>
#include <QString>
#include <QTextCharFormat>
#include <QTextFormat>

#include "shared/codes.h"

// Format property holding the BoardFont code (int 0-3) of a character.
inline constexpr int kBoardFontProperty = QTextFormat::UserProperty + 0x949;

inline constexpr qreal kPanePointSize = 21.0;

// Installed face that stands for a board font on screen (the first present of a short
// list of free Korean faces; the default face when none is).
QString ScreenFace(item::BoardFont font);

QColor TextColourValue(item::TextColour c);
QColor BackColourValue(item::BackColour c);

// The whole look of one attribute: colours, face, bold, 21 points, not italic.
QTextCharFormat FormatFor(item::TextAttribute a);
// What each radio group sets: only its own property (the font group also bold, not italic).
QTextCharFormat TextColourFormat(item::TextColour c);
QTextCharFormat BackColourFormat(item::BackColour c);
QTextCharFormat FontFormat(item::BoardFont f);

// The attribute a format stands for. A colour the buttons cannot give maps to the nearest
// of the four; no colour set means the pane's red text on black; a character without the
// board font property is font 0.
item::TextAttribute AttributeOf(const QTextCharFormat& f);
