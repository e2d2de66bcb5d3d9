#include "xbase/dbf_handler.h"

long XbNaturalOrder::First() {
  file_.RefreshHeader();
  current_ = file_.RecordCount() > 0 ? 1 : 0;
  return current_;
}

long XbNaturalOrder::Last() {
  file_.RefreshHeader();
  current_ = file_.RecordCount();
  return current_;
}

long XbNaturalOrder::Next() {
  if (current_ + 1 > file_.RecordCount()) file_.RefreshHeader();
  if (current_ + 1 > file_.RecordCount()) {
    current_ = file_.RecordCount() + 1;
    return 0;
  }
  return ++current_;
}

long XbNaturalOrder::Prior() {
  if (current_ <= 1) {
    current_ = 0;
    return 0;
  }
  if (current_ > file_.RecordCount() + 1) current_ = file_.RecordCount() + 1;
  return --current_;
}

bool XbNaturalOrder::Place(long recno, const char*) {
  current_ = recno;
  return true;
}

XbDbfHandler::XbDbfHandler(XbDbfFile& file) : file_(file) { SetOrder(nullptr); }

void XbDbfHandler::SetOrder(std::unique_ptr<XbRecordOrder> order) {
  natural_ = order == nullptr;
  order_ = natural_ ? std::make_unique<XbNaturalOrder>(file_) : std::move(order);
}

bool XbDbfHandler::Arrive(long recno, long (XbRecordOrder::*step)()) {
  while (recno != 0) {
    file_.GoTo(recno);
    if (!Hidden()) {
      eof_ = bof_ = false;
      return true;
    }
    recno = (order_.get()->*step)();
  }
  return false;
}

bool XbDbfHandler::First() {
  bool found = Arrive(order_->First(), &XbRecordOrder::Next);
  eof_ = bof_ = !found;
  return found;
}

bool XbDbfHandler::Last() {
  bool found = Arrive(order_->Last(), &XbRecordOrder::Prior);
  eof_ = bof_ = !found;
  return found;
}

bool XbDbfHandler::Next() {
  if (Arrive(order_->Next(), &XbRecordOrder::Next)) return true;
  eof_ = true;
  return false;
}

bool XbDbfHandler::Prior() {
  if (Arrive(order_->Prior(), &XbRecordOrder::Prior)) return true;
  bof_ = true;
  return false;
}

bool XbDbfHandler::GoToRecord(long recno) {
  file_.GoTo(recno);
  if (file_.Eof()) {
    eof_ = true;
    return false;
  }
  eof_ = bof_ = false;
  return order_->Place(recno, file_.Buffer());
}

bool XbDbfHandler::ReloadRecord(long recno) {
  file_.ReadFromFile(recno);
  eof_ = bof_ = false;
  return order_->Place(recno, file_.Buffer());
}

bool XbDbfHandler::PlaceWritten() {
  long recno = file_.RecNo();
  if (recno <= 0) return false;
  return order_->Place(recno, file_.Buffer());
}
