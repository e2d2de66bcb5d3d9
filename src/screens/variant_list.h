#pragma once
// TPrehledVariant: the variants of one card, in key order within the key
// range the caller set on the variant table, and the command "F2 Nový" that
// appends a new variant through TEditaceVarianta. Esc closes the list.

#include <QDialog>

#include "controls/data_source.h"

class QPushButton;
class TData;
class TDBGrid;
class TKeyPreview;

class TPrehledVariant : public QDialog {
  Q_OBJECT

 public:
  TPrehledVariant(TData& data, QWidget* parent);
  ~TPrehledVariant() override;

  // Handlers.
  bool FormKeyDown(int key, Qt::KeyboardModifiers shift);
  void Button1Click();   // new variant

  TDataSource DataSkl0000;
  QPushButton* Button1;   // "F2 Nový"
  TDBGrid* DBGrid1;

 private:
  TData& data_;
  TKeyPreview* preview_;
};

// The index proposed for a new variant of a card with these indexes: the
// highest numeric index plus one, zero-filled to 2 digits ("01" for a card
// without variants, "02" after "01", "11" after "10"). Indexes that are not
// numbers do not count.
std::string NextVariantIndex(const std::vector<std::string>& indexes);
