#include "controls/edit_button.h"

#include <QPainter>
#include <QStyleOptionButton>

#include <algorithm>

TEditButton::TEditButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::ArrowCursor);
}

void TEditButton::SetGlyph(const QPixmap& glyph) {
  glyph_ = glyph;
  update();
}

void TEditButton::SetNumGlyphs(int count) {
  numGlyphs_ = std::clamp(count, 1, 4);
  update();
}

QSize TEditButton::sizeHint() const { return {15, 15}; }

QPixmap TEditButton::CurrentImage() const {
  const bool own = !glyph_.isNull();
  const QPixmap& source = own ? glyph_ : DefaultEditButtonGlyph();
  const int count = own ? numGlyphs_ : 1;
  const int width = source.width() / count;
  auto image = [&](int index) { return source.copy(index * width, 0, width, source.height()); };

  if (!isEnabled()) {
    if (count > 1) return image(1);
    QStyleOption option;
    option.initFrom(this);
    return style()->generatedIconPixmap(QIcon::Disabled, image(0), &option);
  }
  if (isDown() && count > 2) return image(2);
  return image(0);
}

void TEditButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionButton option;
  option.initFrom(this);
  option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
  style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);

  const QPixmap image = CurrentImage();
  QPoint at((width() - image.width()) / 2, (height() - image.height()) / 2);
  if (isDown()) at += QPoint(1, 1);
  painter.drawPixmap(at, image);
}

const QPixmap& DefaultEditButtonGlyph() {
  static const QPixmap glyph = [] {
    QPixmap pixmap(8, 2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    for (int x = 0; x < 8; x += 3) painter.fillRect(x, 0, 2, 2, Qt::black);
    return pixmap;
  }();
  return glyph;
}
