#pragma once
// An order in which a table's records are walked: natural (record-number)
// order, or the order of an index tag within its key range.

class XbDbfFile;

class XbRecordOrder {
 public:
  virtual ~XbRecordOrder() = default;
  // Each returns the record number of the entry reached, or 0 when the order
  // has no such entry (then the position is before the first or after the
  // last entry).
  virtual long First() = 0;
  virtual long Last() = 0;
  virtual long Next() = 0;
  virtual long Prior() = 0;
  // Places the order on the entry of record `recno`, whose bytes are
  // `record`; false when the order has no entry for it.
  virtual bool Place(long recno, const char* record) = 0;
};

// Record-number order over all records of the file.
class XbNaturalOrder : public XbRecordOrder {
 public:
  explicit XbNaturalOrder(XbDbfFile& file) : file_(file) {}
  long First() override;
  long Last() override;
  long Next() override;
  long Prior() override;
  bool Place(long recno, const char* record) override;

 private:
  XbDbfFile& file_;
  long current_ = 0;
};
