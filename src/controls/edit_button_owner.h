#pragma once
// The button part of an edit with a button: owns a TEditButton inside the
// edit's right edge, as high as the edit's inner area and ButtonWidth wide
// (0 while hidden), and narrows the edit's text area so that typed text
// ends a few pixels before the button. The layout is redone when the edit
// is shown or resized, when its font or style changes, and whenever the
// button's visibility or width changes.

#include "controls/control_events.h"

#include <QPixmap>

class QLineEdit;
class TEditButton;
class TButtonLayout;

class TEditButtonOwner {
 public:
  bool ButtonVisible() const { return visible_; }
  void SetButtonVisible(bool visible);
  // At least 15, at most the edit's width at the time of setting.
  int ButtonWidth() const { return width_; }
  void SetButtonWidth(int width);
  const QPixmap& Glyph() const;
  void SetGlyph(const QPixmap& glyph);
  int NumGlyphs() const;
  void SetNumGlyphs(int count);

  TEditButton* EditButton() const { return button_; }

  // Fired by a click on the button, with the edit as sender.
  TNotifyEvent OnClickButton;

 protected:
  // Creates the button (hidden) inside `edit`.
  explicit TEditButtonOwner(QLineEdit* edit);
  ~TEditButtonOwner();

  // Places the button and sets the edit's right text margin.
  void LayoutButton();

 private:
  friend class TButtonLayout;

  QLineEdit* edit_;
  TEditButton* button_;
  TButtonLayout* layout_;
  bool visible_ = false;
  int width_ = 15;
};
