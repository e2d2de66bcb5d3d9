#include "controls/edit_button_owner.h"

#include "controls/edit_button.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QStyleOptionFrame>

#include <algorithm>

// Watches the edit for the events after which the button must be laid out
// again.
class TButtonLayout : public QObject {
 public:
  TButtonLayout(QLineEdit* edit, TEditButtonOwner* owner) : QObject(edit), owner_(owner) {
    edit->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::FontChange:
      case QEvent::StyleChange:
        owner_->LayoutButton();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  TEditButtonOwner* owner_;
};

TEditButtonOwner::TEditButtonOwner(QLineEdit* edit)
    : edit_(edit), button_(new TEditButton(edit)) {
  button_->hide();
  QObject::connect(button_, &QAbstractButton::clicked, edit, [this] {
    if (OnClickButton) OnClickButton(edit_);
  });
  layout_ = new TButtonLayout(edit, this);
}

// The watcher goes with the owner, so that no late event of the edit reaches
// a destroyed owner.
TEditButtonOwner::~TEditButtonOwner() { delete layout_; }

void TEditButtonOwner::SetButtonVisible(bool visible) {
  visible_ = visible;
  LayoutButton();
}

void TEditButtonOwner::SetButtonWidth(int width) {
  width_ = std::max(width, 15);
  if (width_ > edit_->width()) width_ = edit_->width();
  LayoutButton();
}

const QPixmap& TEditButtonOwner::Glyph() const { return button_->Glyph(); }

void TEditButtonOwner::SetGlyph(const QPixmap& glyph) {
  button_->SetGlyph(glyph);
  LayoutButton();
}

int TEditButtonOwner::NumGlyphs() const { return button_->NumGlyphs(); }

void TEditButtonOwner::SetNumGlyphs(int count) {
  button_->SetNumGlyphs(count);
  LayoutButton();
}

void TEditButtonOwner::LayoutButton() {
  // The inner area: the edit less its frame, as the style draws it.
  QStyleOptionFrame frame;
  frame.initFrom(edit_);
  frame.rect = edit_->rect();
  frame.lineWidth =
      edit_->hasFrame() ? edit_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, edit_) : 0;
  frame.midLineWidth = 0;
  frame.state |= QStyle::State_Sunken;
  const QRect inner = edit_->style()->subElementRect(QStyle::SE_LineEditContents, &frame, edit_);

  const int width = visible_ ? std::min(width_, inner.width()) : 0;
  button_->setGeometry(inner.right() + 1 - width, inner.top(), width, inner.height());
  button_->setVisible(visible_);

  // A quarter of the smaller character height of the system font and the
  // edit's font: the gap between the text and the button.
  const int height = std::min(QFontMetrics(QApplication::font()).height(), edit_->fontMetrics().height());
  const int gap = std::max(height / 4, 1);
  QMargins margins = edit_->textMargins();
  margins.setRight(visible_ ? width + gap : 0);
  edit_->setTextMargins(margins);
  edit_->update();
}
