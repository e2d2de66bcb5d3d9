#pragma once
// Opening a code list: its table object is opened before the list is shown
// and closed after the list is gone; the chosen code is read from the
// table's current row when the list closed with OK in pick mode.

#include <QPoint>
#include <functional>
#include <optional>
#include <string>

#include "screens/code_family.h"

class QWidget;
class TData;
class TDbfTable;

// Holds the code table of a member open for one command.
class TCodeTableOpen {
 public:
  TCodeTableOpen(TData& data, TCodeTable table);
  ~TCodeTableOpen();
  TDbfTable& Table() const { return table_; }

 private:
  TDbfTable& table_;
};

struct TCodeListShow {
  bool pickMode = false;
  // Right of the left edge and below the top of the window `over`; none:
  // the list stands where a dialog over `over` stands by default.
  std::optional<QPoint> offset;
};

// Shows the list of an open code table modally over `over`. The code of
// the chosen row after OK in pick mode, none otherwise.
std::optional<std::string> ShowCodeList(TData& data, TCodeTable table, QWidget* over, const TCodeListShow& how);

// The menu items of the main window: "Druhy sortimnetu" (kinds, pick mode)
// and "Skupiny sortimentu" (groups, not pick mode), 160 right and 50 below
// the main window's top left corner.
void KindsListCommand(TData& data, QWidget* mainWindow);
void GroupsListCommand(TData& data, QWidget* mainWindow);
