#pragma once
// The small button that stands inside an edit's right edge. It never takes
// the focus, shows the arrow cursor and draws a picture (glyph) that may hold
// several images side by side: normal, disabled, pressed.

#include <QAbstractButton>
#include <QPixmap>

class TEditButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit TEditButton(QWidget* parent);

  // The picture; a null pixmap stands for the default three-dot picture.
  const QPixmap& Glyph() const { return glyph_; }
  void SetGlyph(const QPixmap& glyph);
  // How many images of equal width the glyph holds (1 to 4).
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int count);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // The image to draw in the button's present state.
  QPixmap CurrentImage() const;

  QPixmap glyph_;
  int numGlyphs_ = 1;
};

// The picture of a button given none ("EditBtn"): three dots.
const QPixmap& DefaultEditButtonGlyph();
