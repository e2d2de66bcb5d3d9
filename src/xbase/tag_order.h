#pragma once
// The order of one index tag, within its key range, as a record order.

#include "xbase/cdx/cdx_tag.h"
#include "xbase/record_order.h"

class XbTagOrder : public XbRecordOrder {
 public:
  explicit XbTagOrder(XbCdxTag& tag) : tag_(tag) {}
  long First() override { return tag_.First(); }
  long Last() override { return tag_.Last(); }
  long Next() override { return tag_.Next(); }
  long Prior() override { return tag_.Previous(); }
  bool Place(long recno, const char* record) override { return tag_.GoToRecord(record, recno); }
  XbCdxTag& Tag() { return tag_; }

 private:
  XbCdxTag& tag_;
};
