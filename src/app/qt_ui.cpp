#include "app/qt_ui.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>

#include "app/progres_win.h"

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

// --- progress window ---

TProgresWinView::TProgresWinView(QWidget* owner) : window_(new TProgresWin(owner)) {}
TProgresWinView::~TProgresWinView() { delete window_.data(); }

void TProgresWinView::SetCaption(const std::string& text) {
  if (window_) window_->setWindowTitle(Q(text));
}
void TProgresWinView::SetDescription(const std::string& text) {
  if (window_) window_->SetDescription(Q(text));
}
void TProgresWinView::SetLabel(const std::string& text) {
  if (window_) window_->Label1->setText(Q(text));
}
void TProgresWinView::SetPosition(int percent) {
  if (window_) window_->SetPosition(percent);
}
void TProgresWinView::Show() {
  if (window_) window_->ShowProgress();
}
void TProgresWinView::Close() {
  if (window_) window_->close();
}

// --- services ---

QtUi::~QtUi() {
  if (busy_) QApplication::restoreOverrideCursor();
}

int QtUi::ShowBox(int icon, const std::string& text, int buttons) {
  QMessageBox box(static_cast<QMessageBox::Icon>(icon), QString::fromUtf8(kApplicationTitle), Q(text),
                  QMessageBox::StandardButtons(buttons), owner_);
  return box.exec();
}

void QtUi::Message(const std::string& text) { ShowBox(QMessageBox::Information, text, QMessageBox::Ok); }

void QtUi::Error(const std::string& text) { ShowBox(QMessageBox::Critical, text, QMessageBox::Ok); }

bool QtUi::Confirm(const std::string& text) {
  return ShowBox(QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool QtUi::ConfirmAt(const std::string& text, int dx, int dy) {
  QMessageBox box(QMessageBox::Question, QString::fromUtf8(kApplicationTitle), Q(text),
                  QMessageBox::Ok | QMessageBox::Cancel, owner_);
  if (owner_) box.move(owner_->frameGeometry().topLeft() + QPoint(dx, dy));
  return box.exec() == QMessageBox::Ok;
}

std::unique_ptr<ProgressView> QtUi::CreateProgressWindow() { return std::make_unique<TProgresWinView>(owner_); }

void QtUi::ProcessEvents() { QCoreApplication::processEvents(); }

void QtUi::SetBusyCursor(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
}

std::optional<LoginInput> QtUi::ShowLoginDialog() {
  if (!LoginDialog) return std::nullopt;
  return LoginDialog();
}

int QtUi::Exec() {
  if (quitRequested_) return 0;
  return QApplication::exec();
}
