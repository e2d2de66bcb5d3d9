#include "reports/report_status_window.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

#include "reports/report_settings.h"

TReportStatusWindow::TReportStatusWindow(const QString& title, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(title);
  setModal(false);
  auto* column = new QVBoxLayout(this);
  StatusLabel = new QLabel(this);
  StatusLabel->setMinimumWidth(240);
  StatusLabel->setAlignment(Qt::AlignCenter);
  column->addWidget(StatusLabel);
}

void TReportStatusWindow::ShowPage(const QString& pattern, int page) {
  StatusLabel->setText(QString::fromStdString(StatusText(pattern.toStdString(), page)));
  if (!isVisible()) show();
  QCoreApplication::processEvents();
}
