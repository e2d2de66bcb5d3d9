#pragma once
// TSorEdit: the dialog through which a card of the master catalogue is
// created (new-card mode) or changed (edit mode). It only collects values:
// it checks the card number, looks up the five codes in their code lists
// and turns its three pages; the command that opened it writes the card.
//
// Tab order: "Storno", "Zapiš", then the fields of the pages in order, so
// Tab from the last field of "Ceny" goes to "Storno". Leaving "Počet kusů v
// základním balení" turns to "Ostatní údaje", leaving "Pozn." to "Ceny". A
// code field left with Tab or Enter whose code is empty or not in its table
// opens its list; its button opens the list on the code's row.

#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;
class TData;
class TEditOrvet;
class TKeyPreview;
enum class TCodeTable;

class TSorEdit : public QDialog {
  Q_OBJECT

 public:
  enum class Mode { NewCard, Edit };

  TSorEdit(TData& data, QWidget* parent);
  ~TSorEdit() override;

  // Set by the caller before the dialog is shown. Edit mode disables the
  // number and the VAT rate, hides the purchase price and shows
  // "Varianty NC " instead.
  Mode mode() const { return mode_; }
  void SetMode(Mode mode);

  // Handlers.
  void FormActivate();
  bool FormKeyDown(int key, Qt::KeyboardModifiers shift);
  void EditOrvet1Exit();    // the card number check
  void EditOrvet4Exit();    // to "Ostatní údaje"
  void EditOrvet12Exit();   // to "Ceny"
  void CodeClickButton(TEditOrvet* field);   // EditOrvet2ClickButton and its siblings
  void CodeTabExit(TEditOrvet* field);       // EditOrvet2TabExit and its siblings
  void Button1Click();      // "Varianty NC "

  // The edit of the field EditOrvet<n> (1 to 24).
  TEditOrvet* Edit(int n) const { return edits_.at(n); }

  QTabWidget* PageControl1;
  QPushButton* StornoButton;
  QPushButton* ZapisButton;
  QPushButton* Button1;   // "Varianty NC "
  QCheckBox *SkladovaPolozka, *Vyrazeno, *Komisni;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TEditOrvet* AddField(QWidget* page, int n, int row, const char* label, int type, int maxLength, int width,
                       const char* text);
  QCheckBox* AddCheck(QWidget* page, const char* name, int row, const char* caption);
  TCodeTable CodeTableOf(TEditOrvet* field) const;
  bool IsUnit(TEditOrvet* field) const;

  TData& data_;
  Mode mode_ = Mode::NewCard;
  std::array<TEditOrvet*, 25> edits_{};
  std::array<QLabel*, 25> captions_{};
  TKeyPreview* preview_;
};
