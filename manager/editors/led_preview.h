#pragma once
// Shows a picture as the sign will: the red and green planes as red, green and yellow
// dots on black, scaled to fit the widget and centred. Dots of at least 4 pixels are drawn
// round, with the unlit ones dimly, like the LED modules; smaller ones as plain pixels.

#include <QWidget>

#include "manager/encode/planes.h"

class CLedPreview : public QWidget {
  Q_OBJECT
 public:
  explicit CLedPreview(QWidget* parent = nullptr);

  void setPlanes(encode::Planes planes);
  void clear() { setPlanes({}); }
  const encode::Planes& planes() const { return planes_; }

  // Colours of a lit dot by its planes (the strip's and the previewer's), and of an unlit one.
  static QColor DotColour(bool red, bool green);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  encode::Planes planes_;
};
