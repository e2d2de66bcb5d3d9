#pragma once
// The index files open on one table, kept current with its records.
//
// The set is the table file's record listener: before a record write it
// refuses a write that a tag it cannot keep current would need; after the
// write it updates the keys of every tag of every open index file. Index
// files occupy up to 63 places in the order they were opened; a tag is
// looked for in that order, and within a file in directory order.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/cdx/cdx_file.h"
#include "xbase/dbf_file.h"

class XbIndexSet : public XbRecordListener {
 public:
  static constexpr size_t kMaxFiles = 63;

  // Attaches itself to the table as its record listener.
  XbIndexSet(XbDbfFile& table, XbKeySourceFactory factory);
  ~XbIndexSet() override;
  XbIndexSet(const XbIndexSet&) = delete;
  XbIndexSet& operator=(const XbIndexSet&) = delete;

  // The full name of an index file of the table: ".cdx" added when the name
  // has no extension, the table's directory when it has none.
  std::string ResolveName(const std::string& name) const;

  // Opens an index file of the table (an open one of the same file name,
  // directory left aside, is returned as it is). Errors of XbCdxFile::Open.
  XbCdxFile& Open(const std::string& name);
  // As Open, creating the file when it does not exist.
  XbCdxFile& OpenOrCreate(const std::string& name);
  // The open index file of that file name (directory left aside), or nullptr.
  XbCdxFile* Find(const std::string& name) const;
  // Closes the index file of that file name; nothing when none is open.
  void Close(const std::string& name);
  void CloseAll();

  const std::vector<std::unique_ptr<XbCdxFile>>& Files() const { return files_; }
  // The first tag of that name (any case) among the open files, or nullptr.
  XbCdxTag* FindTag(std::string_view name) const;

  // Locker for every index file opened from now on and every open one.
  void SetLocker(XbIndexLocker* locker);
  void Flush();

  // XbRecordListener. Every record write and append is bracketed by the
  // index locks of every open file, taken in place order before anything is
  // written; when one cannot be had, those taken are given back and the
  // write fails ("Can not Lock file %s") with nothing written. Key upkeep
  // that cannot be written in one file is taken back in every file.
  void BeginWrite() override;
  void EndWrite() override;
  void BeforeUpdate(long recno, const char* before, const char* after) override;
  void BeforeAppend(const char* record) override;
  void RecordUpdated(long recno, const char* before, const char* after) override;
  void RecordAppended(long recno, const char* record) override;

 private:
  XbCdxFile& Add(std::unique_ptr<XbCdxFile> file);
  void UpdateKeys(long recno, const char* before, const char* after);

  XbDbfFile& table_;
  XbKeySourceFactory factory_;
  XbIndexLocker* locker_ = nullptr;
  std::vector<std::unique_ptr<XbCdxFile>> files_;
  std::vector<XbCdxFile*> locked_;  // files locked by BeginWrite
  int writeDepth_ = 0;              // BeginWrite calls not yet ended
};
