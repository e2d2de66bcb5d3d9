#pragma once
// TReportPreview: "Náhled před tiskem", the composed pages on the screen at
// the report's zoom (100 %: true size at the screen's resolution), with
// page navigation, and the two ways on from there: print, or save as HTML
// or PDF. What the buttons do is set by the report system.

#include <QDialog>
#include <functional>

#include "reports/report_document.h"

class QLabel;
class QPushButton;
class QScrollArea;

class TReportPreview : public QDialog {
  Q_OBJECT

 public:
  TReportPreview(const QString& title, const TReportDocument& doc, double zoomPercent, QWidget* parent = nullptr);

  void ShowPage(int index);   // 0 the first; kept within the pages
  int PageIndex() const { return page_; }
  int PageCount() const { return static_cast<int>(doc_.pages.size()); }
  // The page shown, as painted on the screen.
  QImage PageImage(int index) const;

  std::function<void()> OnPrint, OnSave;

  QPushButton *FirstButton, *PriorButton, *NextButton, *LastButton, *PrintButton, *SaveButton, *CloseButton;
  QLabel* PageLabel;
  QLabel* PageView;
  QScrollArea* Scroll;

 private:
  const TReportDocument& doc_;
  double zoom_;
  int page_ = -1;
};
