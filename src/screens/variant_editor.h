#pragma once
// TEditaceVarianta: the editor of a new variant of a card. The variant is
// an appended row of the variant table in insert state; the editor shows
// its purchase price and note for editing, its currency, rate and opening
// stock disabled, and the proposed variant index in a field of its own.
// "Zapiš" writes the index into SKL_IND and closes with OK, unless the index
// is empty or one the card already has (a repeated index would be stored but
// never shown: the variant tag keeps one row per key); "Storno" and Esc
// close with Cancel. Posting or cancelling the row is the caller's.

#include <QDialog>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class TData;
class TDbFieldLink;
class TDBEditOrvet;
class TEditOrvet;

class TEditaceVarianta : public QDialog {
  Q_OBJECT

 public:
  // `existing`: the indexes the card has (trailing blanks removed).
  TEditaceVarianta(TData& data, std::set<std::string> existing, QWidget* parent);
  ~TEditaceVarianta() override;

  // Handlers.
  void Button1Click();   // "Storno"
  void Button2Click();   // "Zapiš"

  TEditOrvet* EditOrvet1;   // "Varianta skladové ceny "
  TDBEditOrvet *DBEditOrvet2, *DBEditOrvet3, *DBEditOrvet4, *DBEditOrvet5, *DBEditOrvet6;
  QPushButton* Button1;   // "Storno"
  QPushButton* Button2;   // "Zapiš"

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TDBEditOrvet* BoundEdit(const char* name, const char* label, const char* field, int top, int width);

  TData& data_;
  std::set<std::string> existing_;
  std::vector<std::unique_ptr<TDbFieldLink>> links_;
};
