#pragma once
// The record layout of every table the program reads or writes: file,
// directory, index file and tags, and each declared field with its kind,
// width, label and display formats. The data module binds its table objects
// from these declarations, the grids take their columns and titles from them,
// and the demo-data maker creates its files from them.

#include <string>
#include <vector>

// The value kind a table object gives a field.
enum class FieldKind { String, Float, Integer, Smallint, Boolean, Date };

// Where a table's file lies.
enum class TableDir { Data, Store, Import };

struct FieldDecl {
  std::string name;
  FieldKind kind = FieldKind::String;
  int width = 0;                // characters of a String field; for numbers the width of the demo files
  int decimals = 0;             // decimals of numbers in the demo files
  std::string label;            // column title and caption; empty: none
  std::string displayFormat;    // "#,##0.00", "dd.mm.yyyy", "Ano; Ne" or empty
  std::string editFormat;       // "###0.00" or empty
  int displayWidth = 0;         // characters shown in grids when declared, else 0
  bool calculated = false;      // computed for every record, not stored
  // Lookup fields (not stored): the value of `lookupResult` in the row of the
  // table object `lookupTable` whose `lookupKey` equals this table's `lookupSource`.
  std::string lookupTable, lookupKey, lookupResult, lookupSource;

  bool Stored() const { return !calculated && lookupTable.empty(); }
  // Field type letter and sizes of a demo file.
  char TypeLetter() const;
};

struct TagDecl {
  std::string name;
  std::string expression;
  bool unique = false;
  std::string label;  // what the index rebuild's progress window shows while it builds the tag
};

struct TableLayout {
  std::string object;           // the table object ("Sor0000", "Sortiment", ...)
  std::string file;             // file name; for store tables the part before the store code ("Sor")
  TableDir dir = TableDir::Data;
  std::string indexFile;        // the index file, same convention; empty: none
  std::vector<TagDecl> tags;    // tags the program builds (master tables) or selects (store tables)
  std::string selectedTag;      // the tag the program selects, empty: natural order
  std::vector<FieldDecl> fields;

  // The file of a store / import table for one store code ("Sor" + "0001" + ".dbf").
  std::string FileFor(const std::string& storeCode) const;
  std::string IndexFileFor(const std::string& storeCode) const;
  const FieldDecl* Find(const std::string& fieldName) const;
};

// Every table the program uses, in the order of the data module.
const std::vector<TableLayout>& AllTableLayouts();
// The layout of one table object; throws std::out_of_range for an unknown name.
const TableLayout& TableLayoutOf(const std::string& object);
