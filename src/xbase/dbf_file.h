#pragma once
// An open table file: the header image, the record buffers, the current
// record, field access, and the writes that keep the header current for the
// other programs on the same file.
//
// The engine never creates or restructures a table; it reads and writes
// records of an existing file, appends records and marks records deleted.
// The record count always comes from the file size, never from the header,
// so records that other programs append are seen at the next refresh.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/date.h"
#include "xbase/dbf_header.h"
#include "xbase/disk_file.h"
#include "xbase/scope_guard.h"

// Told about every record the file writes, so that index files stay current.
// `before` is the record as last read or written, `after` the record now on
// disk; both are record-length bytes.
class XbRecordListener {
 public:
  virtual ~XbRecordListener() = default;
  // Around every update and append: called before anything is written (index
  // locks are taken here, so a failure leaves the file untouched) and after
  // the last step, also when a step failed.
  virtual void BeginWrite() {}
  virtual void EndWrite() {}
  // Asked before a record is written, while nothing is written yet; an
  // exception refuses the write (an index file that could not follow it).
  virtual void BeforeUpdate(long recno, const char* before, const char* after) {}
  virtual void BeforeAppend(const char* record) {}
  virtual void RecordUpdated(long recno, const char* before, const char* after) = 0;
  virtual void RecordAppended(long recno, const char* record) = 0;
};

class XbDbfFile {
 public:
  struct Options {
    bool shared = true;         // negation of the table object's Exclusive
    bool writable = true;       // negation of ReadOnly
    bool useDeleted = true;     // deleted records are shown (UseDeleted)
    bool autoFlush = false;     // flush after every write
    bool translate = true;      // character fields are converted OEM <-> ANSI
    uint32_t userId = 0;        // written into the header
    TXbLockProtocol protocol = TXbLockProtocol::Default;
  };

  enum class Move { Current, First, Last, Next, Previous };

  XbDbfFile() = default;
  XbDbfFile(const XbDbfFile&) = delete;
  XbDbfFile& operator=(const XbDbfFile&) = delete;
  ~XbDbfFile();

  // Opens an existing table; a name without extension gets ".DBF". Raises
  // EDbfError with the texts of the layer.
  void Open(const std::string& name, const Options& options);
  // Writes a dirty header, then closes.
  void Close();
  bool IsOpen() const { return file_.IsOpen(); }

  const std::string& FileName() const { return file_.Name(); }
  // The file name without directory and extension, upper case ("SOR0000").
  const std::string& TableName() const { return tableName_; }
  const Options& GetOptions() const { return options_; }
  // The flags that may change while the file is open (translation, deleted
  // records shown, flushing, user number, lock protocol); sharing and write
  // access stay as opened.
  Options& MutableOptions() { return options_; }
  uint8_t Version() const { return header_.Version(); }
  int HeaderLength() const { return header_.HeaderLength(); }
  int RecordLength() const { return header_.RecordLength(); }
  const XbDbfHeader& Header() const { return header_; }
  // Table flags of header byte 28 as held (bit 0: structural index).
  uint8_t TableFlags() const { return tableFlags_; }
  void SetTableFlags(uint8_t flags);

  long RecordCount() const { return count_; }
  long RecNo() const { return recno_; }
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }

  // Positioning: fills the working buffer. "Record number %d is not in table %s".
  void GoTo(long recno);
  void GoTo(Move move);
  // Reads an existing record from the file itself, never from the read-ahead
  // window (whose copy it renews): what an edit starts from under its lock.
  void ReadFromFile(long recno);

  // Record buffers (record-length bytes each).
  char* Buffer() { return buffer_.data(); }
  const char* Buffer() const { return buffer_.data(); }
  const char* BeforeImage() const { return before_.data(); }
  bool IsDeleted() const { return buffer_[0] == '*'; }
  bool RecordChanged() const { return recordChanged_; }
  bool FieldChanged(int number) const { return changed_[number - 1]; }

  // Fields.
  const std::vector<XbField>& Fields() const { return fields_; }
  // The field of that name (trailing blanks ignored, any case), or nullptr.
  const XbField* FindField(std::string_view name) const;
  // As FindField; "There is no field name %s" when there is none.
  const XbField& FieldByName(std::string_view name) const;
  const XbField& Field(int number) const { return fields_.at(number - 1); }

  // Field values of the working buffer. Text is as stored (OEM bytes).
  std::string_view RawField(const XbField& f) const;
  double GetNumber(const XbField& f) const;       // "Invalid numeric value in field %s"
  bool GetLogical(const XbField& f) const;
  std::optional<XbDate> GetDate(const XbField& f) const;  // no value: blank or invalid

  void PutText(const XbField& f, std::string_view oemText);
  void PutNumber(const XbField& f, double value);          // N, F only
  void PutNumberText(const XbField& f, std::string_view text);
  void PutLogical(const XbField& f, bool value);
  void PutLogicalText(const XbField& f, std::string_view text);
  void PutDate(const XbField& f, const std::optional<XbDate>& date);

  // A new record: all blank, numbers 0; everything marked changed.
  void BlankRecord();
  void Delete();
  void Recall();

  // Writes the working buffer back as record RecNo() (appends when that is
  // no record of the file). A write that fails (a full disk, a refused
  // write, index upkeep that could not be written) puts the record back as
  // it was; the working buffer keeps the change, so it can be posted again.
  void Update();
  // Appends the working buffer as a new last record. When a step fails, the
  // record is taken back: the file is cut to its former size, ends with the
  // end-of-file byte again and its header holds the former count; the index
  // files hold no key of it. Record number and count stay as before.
  void Append();

  // Locks. A table file holds one locked region at a time (with a count).
  // The record lock is one attempt, never waiting; the caller retries.
  bool LockRecord(long recno);
  void UnlockRecord() { file_.Unlock(); }
  // Whether an index file is open; the Default protocol's record locks
  // depend on it.
  void SetIndexOpen(bool open) { indexOpen_ = open; }

  // The read-ahead window of natural order: reads inside a window of 32768
  // bytes (whole records, at least one) are served from memory; any other
  // read refills it from the wanted record on. Every write updates its copy.
  void SetReadAhead(bool on);
  bool ReadAhead() const { return readAhead_; }

  // Header upkeep.
  void RefreshHeader();
  void WriteHeader();
  void MarkHeaderDirty() { headerDirty_ = true; }
  bool HeaderDirty() const { return headerDirty_; }
  void Flush() { file_.Flush(); }

  void SetListener(XbRecordListener* listener) { listener_ = listener; }
  // Takes the locks of a write (the listener's BeginWrite) until the guard
  // returned is left, however it is left (EndWrite). Every write takes them
  // itself; held around several writes and reads, they are taken again
  // without asking the operating system.
  [[nodiscard]] auto HoldWriteLocks() {
    if (listener_) listener_->BeginWrite();
    return XbOnExit([this] {
      if (listener_) listener_->EndWrite();
    });
  }
  XbDiskFile& DiskFile() { return file_; }
  const XbDiskFile& DiskFile() const { return file_; }

 private:
  uint64_t RecordOffset(long recno) const {
    return static_cast<uint64_t>(header_.HeaderLength()) +
           static_cast<uint64_t>(header_.RecordLength()) * static_cast<uint64_t>(recno - 1);
  }
  // What an append changes, to take it back when it fails.
  struct AppendUndo {
    uint64_t size;  // the file size before the append
    long count, recno;
    bool eof, bof;
  };
  void CountFromSize();
  void WriteRecord();
  void PutRecordBack(uint64_t offset);
  void AppendRecord(const AppendUndo& undo);
  void CutAppended(const AppendUndo& undo, bool headerWritten);
  void TakeBackAppended(const AppendUndo& undo, const XbLockRegion& appendLock);
  void AfterWrite();
  void ReadRecord(long recno, bool fromFile = false);
  void FillWindow(long recno);
  void UpdateWindow(long recno, const char* record);
  void MarkChanged(const XbField& f);
  void FillField(const XbField& f, std::string_view text, bool alignRight);
  std::string FieldLabel(const XbField& f) const;  // TABLE->FIELD
  [[noreturn]] void RecordNotInTable(long recno) const;

  XbDiskFile file_;
  Options options_;
  std::string tableName_;
  XbDbfHeader header_;
  uint8_t tableFlags_ = 0;
  std::vector<XbField> fields_;
  long count_ = 0;
  uint64_t size_ = 0;  // the file size as last seen (kept current by appends)
  long recno_ = 0;
  bool eof_ = false;
  bool bof_ = true;
  bool headerDirty_ = false;
  bool indexOpen_ = false;
  bool readAhead_ = false;
  std::vector<char> window_;
  long windowFirst_ = 0;   // record number of the window's first record
  long windowCount_ = 0;   // records held
  bool recordChanged_ = false;
  std::vector<bool> changed_;
  std::vector<char> buffer_, before_;
  XbRecordListener* listener_ = nullptr;
};
