#pragma once
// TDBNavigator: the record navigator of a table object, four buttons in a
// row: first, previous, next and last record. First and previous are off at
// the beginning of the table, next and last at its end, all four while the
// table is closed. A click takes the input focus for the navigator as a
// whole (Tab does not stop here); exited() is its exit event: the focus went
// from the navigator to another control of the same window.

#include <QWidget>
#include <array>

class QAbstractButton;
class TDataSource;

class TDBNavigator : public QWidget {
  Q_OBJECT

 public:
  enum Button { nbFirst, nbPrior, nbNext, nbLast };
  static constexpr int kButtonWidth = 26;
  static constexpr int kButtonHeight = 25;

  explicit TDBNavigator(TDataSource& source, QWidget* parent = nullptr);

  QAbstractButton* ButtonOf(Button button) const { return buttons_[button]; }
  // What a click on the button does.
  void BtnClick(Button button);

 signals:
  void exited();
  // A move failed with this text.
  void errorOccurred(const QString& text);

 private:
  void UpdateButtons();
  void FocusChanged(QWidget* old, QWidget* now);
  bool Contains(const QWidget* widget) const;

  TDataSource& source_;
  std::array<QAbstractButton*, 4> buttons_{};
};
