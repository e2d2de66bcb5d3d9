#pragma once
// Key preview of a dialog: the dialog sees every key press meant for one of
// its controls before the control does, once per press, and may swallow it.

#include <QObject>
#include <functional>

class QWidget;

class TKeyPreview : public QObject {
 public:
  // `handler` gets the key and its modifiers; true swallows the key (do so
  // for every key the form acts on).
  using Handler = std::function<bool(int key, Qt::KeyboardModifiers shift)>;
  TKeyPreview(QWidget* form, Handler handler);
  ~TKeyPreview() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* form_;
  Handler handler_;
};
