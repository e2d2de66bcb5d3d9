#pragma once
// TSorHle: the search of the main window's catalogue. The user chooses a
// key (name, card number, price A, supplier's code, manufacturer's code)
// and types its beginning; the search switches Sor0000 to the key's tag
// and stands on the first card whose key is not below the text (on the
// last card when there is none). Nothing is filtered: the main grid shows
// the whole catalogue in the chosen order at the card found.

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;
class TData;
class TKeyPreview;
class TVEdit;

class TSorHle : public QDialog {
  Q_OBJECT

 public:
  TSorHle(TData& data, QWidget* parent);
  ~TSorHle() override;

  // Handlers.
  void FormActivate();
  bool FormKeyDown(int key, Qt::KeyboardModifiers shift);
  void BitBtn1Click();                 // the search
  void VEdit1KeyDown(int& key);
  bool PriceIsANumber() const;
  void RadioButtonKeyDown(int key);    // RadioButton1KeyDown, 4 and 5

  QRadioButton *RadioButton1, *RadioButton2, *RadioButton3, *RadioButton4, *RadioButton5;
  TVEdit* VEdit1;
  QLabel* Label1;
  QPushButton* BitBtn1;   // "&Hledej"
  QPushButton* BitBtn2;   // "Storno"

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TData& data_;
  TKeyPreview* preview_;
};

// The main window's "F5 Hledej": the search dialog over `mainWindow`.
void SearchCommand(TData& data, QWidget* mainWindow);
