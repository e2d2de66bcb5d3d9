#include "xbase/dbf_file.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "xbase/errors.h"
#include "xbase/file_names.h"
#include "xbase/platform.h"
#include "xbase/scope_guard.h"

XbDbfFile::~XbDbfFile() {
  try {
    Close();
  } catch (const Exception&) {
    // A destructor cannot report; an explicit Close() does.
  }
}

void XbDbfFile::Open(const std::string& name, const Options& options) {
  if (IsOpen()) Close();
  std::string path = name;
  if (!HasExtension(path)) path += ".DBF";
  // A DOS network name ("\\server\...") or a name with a colon beyond the
  // drive letter is taken as given; anything else is resolved here.
  bool asGiven = path.find("\\\\") != std::string::npos ||
                 (path.size() > 2 && path.find(':', 2) != std::string::npos);
  if (!asGiven) path = ResolveFileName(path);

  options_ = options;
  file_.Open(path, options.shared, options.writable);
  tableName_ = TableBaseName(path);
  {
    // A file whose header cannot be read is not kept open.
    XbOnFailure close([this] { file_.Close(); });
    if (file_.ReadAt(0, header_.image.data(), XbDbfHeader::kSize) < XbDbfHeader::kSize)
      ThrowDbf(msg::kReadError, {path});
    if (!XbDbfHeader::AcceptedVersion(header_.Version())) ThrowDbf(msg::kHeaderInvalid, {path});
    if (header_.Encrypted()) throw EDbfEncryption(FormatMessage("Table %s is encrypted", {path}));
    int area = header_.DescriptorAreaLength();
    // A header too short for even one terminator, or records of no length,
    // cannot be read: every record offset would be wrong.
    if (area < 0 || header_.RecordLength() < 1) ThrowDbf(msg::kHeaderInvalid, {path});
    std::vector<uint8_t> descriptors(static_cast<size_t>(area));
    if (file_.ReadAt(XbDbfHeader::kSize, descriptors.data(), descriptors.size()) < descriptors.size())
      ThrowDbf(msg::kReadError, {path});
    fields_ = ParseDescriptors(descriptors.data(), descriptors.size());
    for (const XbField& f : fields_)
      if (f.length < 1 || f.offset + f.length > header_.RecordLength()) ThrowDbf(msg::kHeaderInvalid, {path});
  }
  tableFlags_ = header_.Flags();
  CountFromSize();
  recno_ = 0;
  eof_ = false;
  bof_ = true;
  size_t len = static_cast<size_t>(header_.RecordLength()) + 1;
  buffer_.assign(len, ' ');
  before_.assign(len, ' ');
  changed_.assign(fields_.size(), false);
  recordChanged_ = false;
  headerDirty_ = false;
  readAhead_ = false;
  windowCount_ = 0;
  RefreshHeader();
}

void XbDbfFile::Close() {
  if (!IsOpen()) return;
  XbOnExit close([this] { file_.Close(); });
  if (headerDirty_) {
    RefreshHeader();
    WriteHeader();
  }
}

void XbDbfFile::SetTableFlags(uint8_t flags) {
  if (flags != tableFlags_) {
    tableFlags_ = flags;
    headerDirty_ = true;
  }
}

void XbDbfFile::CountFromSize() {
  size_ = file_.Size();
  uint64_t hl = header_.HeaderLength();
  count_ = size_ <= hl ? 0 : static_cast<long>((size_ - hl) / header_.RecordLength());
}

void XbDbfFile::RefreshHeader() {
  if (!file_.Shared()) return;
  XbDbfHeader fresh;
  if (file_.ReadAt(0, fresh.image.data(), XbDbfHeader::kSize) < XbDbfHeader::kSize)
    ThrowDbf(msg::kReadError, {file_.Name()});
  // The lengths decide where every record lies; they are kept as opened.
  std::copy(header_.image.begin() + 8, header_.image.begin() + 12, fresh.image.begin() + 8);
  fresh.image[0] = header_.image[0];
  header_ = fresh;
  CountFromSize();
}

void XbDbfFile::WriteHeader() {
  if (!file_.Writable() || !headerDirty_) return;
  XbLocalTime clock = LocalTime(Platform().Now());
  const std::tm& now = clock.tm;
  // The year is stored as years since 1900, as every dBase reader expects.
  header_.image[1] = static_cast<uint8_t>(now.tm_year);
  header_.image[2] = static_cast<uint8_t>(now.tm_mon + 1);
  header_.image[3] = static_cast<uint8_t>(now.tm_mday);
  header_.Put32(4, static_cast<uint32_t>(count_));
  header_.image[15] = 0;
  uint32_t stamp = ((static_cast<uint32_t>(now.tm_hour) * 64 + now.tm_min) * 64 + now.tm_sec) * 1024 +
                   static_cast<uint32_t>(clock.millis);
  header_.Put32(16, stamp);
  header_.Put32(20, options_.userId);
  header_.image[28] = tableFlags_;
  // The version byte is left alone; the lengths go back exactly as opened.
  file_.WriteAt(1, header_.image.data() + 1, XbDbfHeader::kSize - 1);
  headerDirty_ = false;
}

void XbDbfFile::RecordNotInTable(long recno) const {
  ThrowDbf(msg::kRecordNotInTable, {std::to_string(recno), file_.Name()});
}

void XbDbfFile::SetReadAhead(bool on) {
  readAhead_ = on;
  windowCount_ = 0;
}

void XbDbfFile::FillWindow(long recno) {
  size_t len = header_.RecordLength();
  long perWindow = std::max<long>(1, 32768 / static_cast<long>(len));
  long want = std::min(perWindow, count_ - recno + 1);
  window_.resize(static_cast<size_t>(want) * len);
  size_t got = file_.ReadAt(RecordOffset(recno), window_.data(), window_.size());
  windowFirst_ = recno;
  windowCount_ = static_cast<long>(got / len);
}

void XbDbfFile::UpdateWindow(long recno, const char* record) {
  if (windowCount_ == 0 || recno < windowFirst_ || recno >= windowFirst_ + windowCount_) return;
  size_t len = header_.RecordLength();
  std::memcpy(window_.data() + static_cast<size_t>(recno - windowFirst_) * len, record, len);
}

void XbDbfFile::ReadRecord(long recno, bool fromFile) {
  size_t len = header_.RecordLength();
  if (readAhead_ && !fromFile) {
    if (recno < windowFirst_ || recno >= windowFirst_ + windowCount_) FillWindow(recno);
    if (recno < windowFirst_ || recno >= windowFirst_ + windowCount_) ThrowDbf(msg::kReadError, {file_.Name()});
    std::memcpy(buffer_.data(), window_.data() + static_cast<size_t>(recno - windowFirst_) * len, len);
  } else if (file_.ReadAt(RecordOffset(recno), buffer_.data(), len) < len) {
    ThrowDbf(msg::kReadError, {file_.Name()});
  }
  if (fromFile) UpdateWindow(recno, buffer_.data());
  recno_ = recno;
  eof_ = bof_ = false;
  std::memcpy(before_.data(), buffer_.data(), len);
  std::fill(changed_.begin(), changed_.end(), false);
  recordChanged_ = false;
}

void XbDbfFile::GoTo(long recno) {
  if (recno > count_) RefreshHeader();
  if (recno > count_ + 1 || recno <= 0) RecordNotInTable(recno);
  if (recno == count_ + 1) {
    eof_ = true;
    if (count_ == 0) bof_ = true;
    return;
  }
  ReadRecord(recno);
}

void XbDbfFile::ReadFromFile(long recno) {
  if (recno > count_) RefreshHeader();
  if (recno > count_ || recno <= 0) RecordNotInTable(recno);
  ReadRecord(recno, true);
}

void XbDbfFile::GoTo(Move move) {
  if (count_ == 0 && move != Move::Next) RefreshHeader();
  if (count_ == 0) {
    eof_ = bof_ = true;
    return;
  }
  switch (move) {
    case Move::Current: GoTo(recno_); break;
    case Move::First: GoTo(1L); break;
    case Move::Last: GoTo(count_); break;
    case Move::Next: GoTo(recno_ + 1); break;
    case Move::Previous:
      if (recno_ <= 1) {
        bof_ = true;
        return;
      }
      GoTo(recno_ - 1);
      break;
  }
}

namespace {
// Index upkeep that fails on a key expression leaves the record written (the
// tags keep the keys they had); any other failure (a write the system
// refused) takes the record write back.
template <class Upkeep, class TakeBack>
void KeepIndexesCurrent(Upkeep upkeep, TakeBack takeBack) {
  try {
    upkeep();
  } catch (const EDbfExpression&) {
    throw;
  } catch (...) {
    try {
      takeBack();
    } catch (...) {
      // The first failure is the one reported.
    }
    throw;
  }
}
}  // namespace

void XbDbfFile::Update() {
  if (recno_ <= 0 || recno_ > count_) {
    Append();
    return;
  }
  auto writeLocks = HoldWriteLocks();
  if (listener_) listener_->BeforeUpdate(recno_, before_.data(), buffer_.data());
  WriteRecord();
  if (listener_)
    KeepIndexesCurrent([this] { listener_->RecordUpdated(recno_, before_.data(), buffer_.data()); },
                       [this] { PutRecordBack(RecordOffset(recno_)); });
  AfterWrite();
}

void XbDbfFile::WriteRecord() {
  headerDirty_ = true;
  const uint64_t offset = RecordOffset(recno_);
  {
    // Part of the record may have reached the file: the record as it was
    // goes back (nothing to do when not a byte was written).
    XbOnFailure partial([this, offset] {
      if (file_.LastWritten() > 0) PutRecordBack(offset);
    });
    file_.WriteAt(offset, buffer_.data(), header_.RecordLength());
  }
  UpdateWindow(recno_, buffer_.data());
  XbOnFailure putBack([this, offset] { PutRecordBack(offset); });
  RefreshHeader();
  WriteHeader();
}

void XbDbfFile::PutRecordBack(uint64_t offset) {
  // The before-image is the record as read under the record lock, so it is
  // what the file held before this write.
  UpdateWindow(recno_, before_.data());
  file_.WriteAt(offset, before_.data(), header_.RecordLength());
}

bool XbDbfFile::LockRecord(long recno) {
  return file_.Lock(RecordLockRegion(options_.protocol, recno, indexOpen_, header_.HeaderLength(),
                                     header_.RecordLength()));
}

void XbDbfFile::Append() {
  auto writeLocks = HoldWriteLocks();
  if (listener_) listener_->BeforeAppend(buffer_.data());
  // The append lock keeps other writers from taking the same record number.
  // Another program may hold it for a moment: it is tried like an index lock.
  // A region this table already holds (a record lock) would never give way.
  XbLockRegion region = AppendLockRegion(options_.protocol);
  bool holdsOther = file_.Shared() && file_.LockCount() > 0 && !(file_.LockedRegion() == region);
  if (holdsOther || !LockWithRetry(file_, region)) ThrowDbf(msg::kCanNotLock, {file_.Name()});
  AppendUndo undo{};
  {
    XbOnExit unlock([this] { file_.Unlock(); });
    headerDirty_ = true;
    RefreshHeader();
    undo = AppendUndo{size_, count_, recno_, eof_, bof_};
    AppendRecord(undo);
  }
  eof_ = bof_ = false;
  if (listener_)
    KeepIndexesCurrent([this] { listener_->RecordAppended(recno_, buffer_.data()); },
                       [&] { TakeBackAppended(undo, region); });
  AfterWrite();
}

void XbDbfFile::AppendRecord(const AppendUndo& undo) {
  size_t len = header_.RecordLength();
  buffer_[0] = ' ';
  long recno = count_ + 1;
  const uint64_t offset = RecordOffset(recno);
  buffer_[len] = 0x1A;
  {
    XbOnFailure partial([&] {
      if (file_.LastWritten() > 0) CutAppended(undo, false);
    });
    XbOnExit unmark([this, len] { buffer_[len] = ' '; });
    file_.WriteAt(offset, buffer_.data(), len + 1);
  }
  count_ = recno;
  recno_ = recno;
  size_ = std::max(size_, offset + len + 1);
  XbOnFailure takeBack([&] { CutAppended(undo, true); });
  WriteHeader();
}

void XbDbfFile::CutAppended(const AppendUndo& undo, bool headerWritten) {
  count_ = undo.count;
  recno_ = undo.recno;
  eof_ = undo.eof;
  bof_ = undo.bof;
  size_ = undo.size;
  // Every step is tried: what can be put back is.
  try {
    file_.Truncate(undo.size);
    // The byte after the last whole record was the end-of-file mark, which
    // the record overwrote.
    const uint64_t end = RecordOffset(undo.count + 1);
    if (undo.size > end) {
      const char eofMark = 0x1A;
      file_.WriteAt(end, &eofMark, 1);
    }
  } catch (...) {
  }
  if (!headerWritten) return;
  try {
    // The header is read afresh and written with the former count.
    headerDirty_ = true;
    RefreshHeader();
    count_ = undo.count;
    WriteHeader();
  } catch (...) {
  }
}

void XbDbfFile::TakeBackAppended(const AppendUndo& undo, const XbLockRegion& appendLock) {
  // The append lock was given up after the header write. Under it again the
  // record is cut off only while it is still the last one of the file;
  // when another program appended after it (one that keeps no index of
  // this table), it stays.
  if (!LockWithRetry(file_, appendLock)) return;
  XbOnExit unlock([this] { file_.Unlock(); });
  const uint64_t end = RecordOffset(recno_) + header_.RecordLength() + 1;
  if (file_.Shared() && file_.Size() != end) return;
  CutAppended(undo, true);
}

void XbDbfFile::AfterWrite() {
  if (options_.autoFlush) file_.Flush();
  std::memcpy(before_.data(), buffer_.data(), header_.RecordLength());
  std::fill(changed_.begin(), changed_.end(), false);
  recordChanged_ = false;
}

void XbDbfFile::Delete() {
  buffer_[0] = '*';
  recordChanged_ = true;
  Update();
}

void XbDbfFile::Recall() {
  buffer_[0] = ' ';
  recordChanged_ = true;
  Update();
}
