#pragma once
// An open compound index file: its tag directory, its tags in directory
// order, the creation of tags, the key upkeep of record writes, and the
// node store the tags read and write through.
//
// The file is a sequence of 512-byte blocks. At offset 0 lies the header of
// the tag directory, a tag whose keys are the tag names (10 characters) and
// whose record numbers are the offsets of the tags' 1024-byte headers. New
// headers and nodes always go to the end of the file; blocks that fall out
// of use are never reused.
//
// Everything read from the file is checked before it is used: a header or
// node that does not hold together makes the file "Index file %s is
// corrupted" (never a crash or an endless walk).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/cdx/cdx_builder.h"
#include "xbase/cdx/cdx_tag.h"
#include "xbase/cdx/index_lock.h"
#include "xbase/cdx/key_source.h"
#include "xbase/cdx/node_layout.h"
#include "xbase/cdx/tag_header.h"
#include "xbase/disk_file.h"

class XbDbfFile;

class XbCdxFile {
 public:
  // Opens the index file `path` (already resolved) of an open table, shared
  // and writable as the table is; tags get their key sources from `factory`
  // (which may be empty: the tags can then be walked but not kept current).
  // A file of 512 bytes or less receives an empty tag directory. When the
  // file has the table's name with the extension .cdx, the table's
  // structural-index flag is set. "File %s could not be found", "Index file
  // %s is corrupted", the read errors, and the factory's EDbfExpression.
  static std::unique_ptr<XbCdxFile> Open(const std::string& path, XbDbfFile& table, XbKeySourceFactory factory);
  // As Open, but a missing file is created first (opened without sharing),
  // under the name NewIndexFileName gives it; "Could not create file %s".
  static std::unique_ptr<XbCdxFile> OpenOrCreate(const std::string& path, XbDbfFile& table,
                                                 XbKeySourceFactory factory);
  ~XbCdxFile();
  XbCdxFile(const XbCdxFile&) = delete;
  XbCdxFile& operator=(const XbCdxFile&) = delete;

  void Close();
  const std::string& FileName() const { return disk_.Name(); }
  XbDbfFile& Table() const { return table_; }

  // The tags in directory order (by name).
  const std::vector<std::unique_ptr<XbCdxTag>>& Tags() const { return tags_; }
  // The tag of that name (any letter case, blanks around it ignored), or nullptr.
  XbCdxTag* FindTag(std::string_view name) const;
  // The tag directory itself (keys: tag names; record numbers: header offsets).
  XbCdxTag& Directory() const { return *directory_; }
  // The directory header's change counter, as the file holds it.
  uint32_t ChangeCounter() const;

  // Builds a tag over every record of the table and enters it in the
  // directory; a tag of the same name loses its directory entry first (its
  // blocks stay unused in the file, and pointers to it become invalid).
  // Key type and length come from the key expression's result. "Cannot find
  // index tag %s" for an empty name; "Sort key length must be 1-%d bytes, is
  // %d"; the factory's EDbfExpression.
  XbCdxTag& CreateTag(const std::string& name, const std::string& keyExpr, const std::string& filterExpr,
                      bool unique, bool descending, const XbBuildProgress& progress = {});

  // Rebuilds a tag from the table's records without moving it: the new tree
  // is written at the end of the file first, and only then does the tag's
  // header take its root, so a rebuild cut short leaves the tag as it was.
  // Every other byte of the header (expressions, flags, collation, what the
  // shops' programs put there) stays; the directory's change counter is
  // incremented. A tag the engine cannot keep current is refused with
  // "Index tag %s of file %s cannot be updated: %s". Pointers to the tag
  // become invalid; the rebuilt one is returned.
  XbCdxTag& RebuildTag(XbCdxTag& tag, const XbBuildProgress& progress = {});

  // Key upkeep after a record write (`before` nullptr for an append): each
  // tag the engine keeps current is updated; when any tag changed, the
  // directory's change counter is incremented. Nothing is written when no
  // key changed. When a write fails, the tags updated so far are put back
  // and the nodes held are dropped: the file holds the keys it had. Returns
  // what changed, for RevertKeys.
  using KeyChanges = std::vector<XbCdxTag::RecordKeys>;
  KeyChanges UpdateKeys(long recno, const char* before, const char* after);
  // Takes back the changes of an UpdateKeys (when another index file of the
  // table could not follow the same write).
  void RevertKeys(long recno, const KeyChanges& changes);
  // Raises EDbfError when the write would have to change a tag that the
  // engine cannot keep current (see XbCdxTag::Maintainable).
  void CheckWritable(long recno, const char* before, const char* after) const;

  // Data to the disk; every tag drops the nodes it holds, and the node
  // cache is emptied.
  void Flush();

  // --- The node cache. Nodes read or written while the index lock is held
  // are kept between operations. Every writer of the file (the shops'
  // programs and this engine) changes the header's bytes 4-11, the free list
  // and the change counter, whenever it changes a tag; so when the lock is
  // taken those 8 bytes are read, and when they differ from what was seen
  // last every node held is dropped. Without the lock held no node is taken
  // from the cache. The lock protocol reports its real locks here.
  void IndexLockTaken();
  void IndexLockGiven();
  size_t CachedNodes() const { return cachedNodes_; }

  // Index-file locking (a later concern); the locker is told about every
  // write and every read from a root.
  void SetLocker(XbIndexLocker* locker) { locker_ = locker; }
  XbIndexLocker* Locker() const { return locker_; }
  class Lock {
   public:
    Lock(XbCdxFile& file, XbIndexAccess access) : file_(file), access_(access) {
      if (file_.locker_) file_.locker_->Lock(file_, access_);
    }
    ~Lock() {
      if (file_.locker_) file_.locker_->Unlock(file_, access_);
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    XbCdxFile& file_;
    XbIndexAccess access_;
  };

  // The open file itself (its locks belong to the lock protocol).
  XbDiskFile& Disk() { return disk_; }

  // --- The node store of the tags, the builder and the checker.
  uint64_t Size() const { return disk_.Size(); }
  // Reads and checks the node at `offset` ("Index file %s is corrupted").
  cdx::XbCdxNode ReadNode(uint32_t offset, const cdx::KeyFormat& format) const;
  // The same node, shared with the node cache instead of copied.
  std::shared_ptr<const cdx::XbCdxNode> ReadSharedNode(uint32_t offset, const cdx::KeyFormat& format) const;
  // Writes a node at its offset; a leaf with the widths its record numbers
  // and `highestRecno` need.
  void WriteNode(cdx::XbCdxNode node, const cdx::KeyFormat& format, uint64_t highestRecno);
  // Rewrites only the right-neighbour link of the node at `offset`.
  void WriteRightLink(uint32_t offset, uint32_t right);
  // A new block at the end of the file.
  uint32_t AllocateBlock();
  // Cuts the file back to `end` after new blocks could not all be written
  // (under the index lock: nobody else writes the file meanwhile).
  void GiveBackBlocks(uint32_t end);
  void WriteBlocks(uint32_t offset, const uint8_t* data, size_t size);
  // Reads and checks the tag header at `offset`.
  cdx::XbCdxTagHeader ReadHeader(uint32_t offset) const;
  [[noreturn]] void Corrupted() const;

 private:
  XbCdxFile(XbDbfFile& table, XbKeySourceFactory factory);
  void OpenPath(const std::string& path, bool shared);
  void WriteEmptyDirectory();
  void LoadTags();
  void MarkStructural();
  void RemoveDirectoryEntries(const std::string& name);
  void CountChange();
  void ForgetAllNodes();

  XbDiskFile disk_;
  XbDbfFile& table_;
  XbKeySourceFactory factory_;
  std::unique_ptr<XbCdxTag> directory_;
  std::vector<std::unique_ptr<XbCdxTag>> tags_;
  uint64_t nextFree_ = 0;
  XbIndexLocker* locker_ = nullptr;

  void RememberNode(std::shared_ptr<const cdx::XbCdxNode> node) const;
  void ForgetNode(uint32_t offset) const;
  void DropCache() const;
  // The nodes held, by block number (offset / 512): one step from an offset
  // to its node, which every descent takes at every level.
  mutable std::vector<std::shared_ptr<const cdx::XbCdxNode>> cache_;
  mutable size_t cachedNodes_ = 0;
  int lockDepth_ = 0;             // levels of the index lock held
  bool stampKnown_ = false;
  uint8_t stamp_[8] = {};         // header bytes 4-11 as last seen under the lock
};
