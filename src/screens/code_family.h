#pragma once
// The five code lists a card refers to (groups, kinds, subgroups,
// manufacturers, units) and how the members of the family differ: table
// object, key column, captions, columns, the editor's labelled fields, the
// code check, and which errors of a new or changed entry are reported.

#include <string>
#include <vector>

#include "controls/db_grid.h"

enum class TCodeTable { Groups, Kinds, Subgroups, Makers, Units };

// When the code edit of an entry editor insists on 3 characters.
enum class TCodeCheck {
  Always,           // every time the code edit is left
  UnlessCancelling, // not while the "Storno" button has the focus
  None,
};

struct TCodeEditorField {
  std::string label;
  std::string field;
  int width;   // pixels
};

struct TCodeFamilyMember {
  TCodeTable table;
  std::string object;      // the table object of TData ("SortiSkup", ...)
  std::string keyField;    // the code column a picker reads ("SSK_SKU", ...)
  std::string listClass, listCaption;
  std::vector<TDBGridColumn> columns;
  bool resizableColumns;
  bool toolbar;            // "F2 Nový" and "F4 Oprava"; none for the units
  bool toolbarTabStop;     // the toolbar buttons take part in the Tab order
  std::string editorClass, editorCaption;
  std::vector<TCodeEditorField> editorFields;   // the code first
  TCodeCheck codeCheck;
  bool reportsNewEntryErrors, reportsChangeErrors;
};

const TCodeFamilyMember& CodeFamilyMember(TCodeTable table);
