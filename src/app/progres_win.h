#pragma once
// TProgresWin: the small window long operations show while they walk a
// table. It has no logic: its users set the caption and the two texts, move
// the gauge and show it without making it modal (the operation goes on in
// its command handler and lets events run to repaint it).
//
// A tool window without title-bar buttons, client area 376 x 78, centred on
// the screen when first shown: DescLabel at (24, 16) sized to its text,
// Label1 at (128, 16) 225 pixels wide (longer text is cut off at its right
// edge; moved right of a description that would reach it, its right edge
// kept), Gauge1 at (24, 40) 329 x 25, a percent gauge from 0 to 100.

#include <QWidget>
#include <cstdint>

class QLabel;
class QProgressBar;

class TProgresWin : public QWidget {
  Q_OBJECT

 public:
  explicit TProgresWin(QWidget* owner = nullptr);

  QLabel* DescLabel;
  QLabel* Label1;
  QProgressBar* Gauge1;
  // Total count of the running tag build (set by the progress handlers).
  int32_t ProgressTotal = 0;

  void SetDescription(const QString& text);
  // The gauge position, kept within 0..100.
  void SetPosition(int percent);
  // Shows the window without making it modal; when shown already, nothing more.
  void ShowProgress();

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void PlaceLabels();
  bool placed_ = false;
};
