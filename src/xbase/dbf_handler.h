#pragma once
// The engine behind one table object: the table file, the order it is walked
// in, and which records are hidden. Moves skip hidden records (records marked
// deleted while deleted records are not shown) in the direction of travel.

#include <memory>

#include "xbase/dbf_file.h"
#include "xbase/record_order.h"

class XbDbfHandler {
 public:
  explicit XbDbfHandler(XbDbfFile& file);

  XbDbfFile& File() { return file_; }
  const XbDbfFile& File() const { return file_; }

  // The order walked; natural order when none is given.
  void SetOrder(std::unique_ptr<XbRecordOrder> order);
  XbRecordOrder& Order() { return *order_; }
  bool NaturalOrder() const { return natural_; }

  void SetUseDeleted(bool useDeleted) { useDeleted_ = useDeleted; }
  bool UseDeleted() const { return useDeleted_; }
  bool Hidden() const { return !useDeleted_ && file_.IsDeleted(); }

  // Moves to the first / last / next / previous visible record of the order.
  // True when one was reached; false leaves the end (or beginning) state set.
  bool First();
  bool Last();
  bool Next();
  bool Prior();
  // Goes straight to a record number (a deleted record too) and places the
  // order on it; false when the order has no entry for it (or the number is
  // one past the last record). "Record number %d is not in table %s".
  bool GoToRecord(long recno);
  // Places the order on the record just written: the working buffer holds
  // what the file now has, so nothing is read. False when the order has no
  // entry for it (a filter or range that leaves it out).
  bool PlaceWritten();
  // Reads an existing record from the file itself (past the read-ahead
  // window) and places the order on it, as GoToRecord does.
  bool ReloadRecord(long recno);

  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  long RecNo() const { return file_.RecNo(); }

 private:
  // Reads `recno` (0: none) and skips on with `step` while it is hidden.
  bool Arrive(long recno, long (XbRecordOrder::*step)());

  XbDbfFile& file_;
  std::unique_ptr<XbRecordOrder> order_;
  bool natural_ = true;
  bool useDeleted_ = false;
  bool eof_ = false;
  bool bof_ = true;
};
