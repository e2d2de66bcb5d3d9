#pragma once
// TReportStatusWindow: "Stav přípravy tisku", the small window that shows,
// while the pages are produced, which page is being printed or generated
// ("Tisknu stranu %p", "Generuji stranu %p"). Not modal: the report keeps
// running and lets events run to repaint it.

#include <QDialog>

class QLabel;

class TReportStatusWindow : public QDialog {
  Q_OBJECT

 public:
  TReportStatusWindow(const QString& title, QWidget* parent = nullptr);
  // Sets the status text with the page number for %p, shows the window and
  // lets pending events run.
  void ShowPage(const QString& pattern, int page);

  QLabel* StatusLabel;
};
