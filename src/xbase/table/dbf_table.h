#pragma once
// The table object: how everything outside the storage engine reaches a
// table. It keeps one table file open with the index files it is given, shows
// one record at a time through field objects, walks the records in the
// current order, and edits, appends and deletes them under the locks the
// shops' programs respect. Dataset states, bookmarks, before/after events and
// the observers of data-aware controls live here too.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "xbase/cdx/index_set.h"
#include "xbase/dbf_file.h"
#include "xbase/dbf_handler.h"
#include "xbase/index_locks.h"
#include "xbase/lock_protocol.h"
#include "xbase/table/dataset_observer.h"
#include "xbase/table/field.h"

enum class TDataSetState { Inactive, Browse, Edit, Insert };
enum class TXbIntFields { asInteger, asLargeInt, asFloat };

class TDbfTable {
 public:
  using Event = std::function<void(TDbfTable&)>;

  TDbfTable();
  ~TDbfTable();
  TDbfTable(const TDbfTable&) = delete;
  TDbfTable& operator=(const TDbfTable&) = delete;

  // The alias list of every table object: name -> directory. LoadAliases
  // reads the section "Alias" of the given configuration file (the program
  // reads /etc/xbase.cfg at start); a missing file leaves the list empty.
  static void LoadAliases(const std::string& configFile);
  static void ClearAliases();

  // --- properties ---
  bool Active() const { return file_ != nullptr; }
  void SetActive(bool active) { active ? Open() : Close(); }
  void Open();
  void Close();

  const std::string& DatabaseName() const { return databaseName_; }
  void SetDatabaseName(const std::string& name);
  const std::string& TableName() const { return tableName_; }
  void SetTableName(const std::string& name);
  std::vector<std::string> IndexFiles;
  const std::string& IndexName() const { return indexName_; }
  void SetIndexName(const std::string& name);
  bool Exclusive = false;
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  TXbLockProtocol LockProtocol() const { return protocol_; }
  void SetLockProtocol(TXbLockProtocol protocol);
  bool TranslateASCII() const { return translate_; }
  void SetTranslateASCII(bool on);
  bool UseDeleted() const { return useDeleted_; }
  void SetUseDeleted(bool on);
  bool AutoFlush() const { return autoFlush_; }
  void SetAutoFlush(bool on);
  bool ExactCount = false;
  TXbIntFields LargeIntegerAs = TXbIntFields::asInteger;
  uint32_t UserID() const { return userId_; }
  void SetUserID(uint32_t id);

  // The directory DatabaseName stands for, with a trailing separator.
  std::string ResolvedDirectory() const;

  // --- field objects ---
  // Declares a field object (while closed). Data fields are bound by name at
  // open; without declared fields, one is made at open for every field.
  TField& AddField(const std::string& name, TFieldType type, int size = 0, TFieldKind kind = TFieldKind::Data);
  TField* FindField(const std::string& name) const;
  // "Field '%s' not found".
  TField& FieldByName(const std::string& name) const;
  const std::vector<std::unique_ptr<TField>>& Fields() const { return fields_; }

  // --- navigation ---
  void First();
  void Last();
  void Next();
  void Prior();
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  bool IsEmpty() const { return Active() && shown_ == 0 && state_ != TDataSetState::Insert; }
  long RecNo() const;
  void SetRecNo(long recno);
  long RecordCount();

  // Bookmarks: the record number right-aligned in 10 characters and a zero byte.
  std::string GetBookmark() const;
  void GotoBookmark(const std::string& bookmark);
  bool BookmarkValid(const std::string& bookmark) const;
  static int CompareBookmarks(const std::string& a, const std::string& b);

  // --- editing ---
  TDataSetState State() const { return state_; }
  void Edit();
  void Append();
  void Insert() { Append(); }
  void Post();
  void Cancel();
  void Delete();
  bool Modified() const { return modified_; }
  bool LockCurrentRecord();
  void UnlockRecords();
  // Posts a changed record, drops an unchanged edit or insert.
  void CheckBrowseMode();

  // --- ordered access ---
  // Opens an index file (".cdx" added without extension, the table's
  // directory without one): 0, or -1 when it is open already. Selects no tag.
  int OpenIndexFile(const std::string& path);
  // Closes an open index file; when the current tag is in it, the order
  // becomes natural first (the record shown stays).
  void CloseIndexFile(const std::string& path);
  // Closes every index file, builds one tag into `file` (created when
  // missing) and closes it again; natural order on the first record after.
  // duplicates 0: unique keys; order 0 ascending, 1 descending. Tag builds
  // report through OnStatus.
  void CreateIndexTag(const std::string& file, const std::string& tag, const std::string& keyExpr,
                      const std::string& forExpr, int duplicates, int order);
  // Same as setting IndexName on an open table object: an empty name is
  // natural order. "Cannot find index tag %s".
  void SelectTag(const std::string& tag);
  // The current tag's name, empty in natural order.
  std::string CurrentTagName() const;
  // Seeks in the current tag: SeekKey the first key not below `key`,
  // SeekLastKey the last key equal to it. exact: a longer index key that
  // begins with the search key counts as greater (else as equal). near: a
  // failed search stands on the first key above. Returns found.
  bool SeekKey(const std::string& key, bool exact = true, bool near = false);
  bool SeekLastKey(const std::string& key, bool exact = true, bool near = false);
  // Builds a key from values for the first fields of the current tag's key
  // expression and seeks it as a prefix.
  bool SeekKeyValues(const std::vector<TValue>& values);
  // Limits the current tag to keys from `low` to `high` (empty: open side;
  // both empty: no range).
  void SetKeyRange(const std::string& low, const std::string& high);
  // Re-reads the current record, marks the header for rewriting, flushes the
  // table and index files and re-reads the tag's nodes.
  void RefreshTable();

  enum LocateOption { loCaseInsensitive = 1, loPartialKey = 2 };
  // Finds the first visible record whose named fields (separated by ";")
  // hold the values; shows it and returns true, else stays where it was.
  bool Locate(const std::string& fieldNames, const std::vector<TValue>& values, int options = 0);

  // --- for grids: reading other records than the one shown ---
  // The record numbers of the visible records of the current order and
  // range, first to last. Browse state only; the record shown stays shown.
  std::vector<long> VisibleRecordsInOrder();
  // Makes each of `recnos` readable through the field objects in turn (with
  // its calculated fields) and calls `visit` for it; then the record shown
  // is shown again. Browse state only; no events, no notifications. Records
  // are read from the file, so other programs' changes show.
  void VisitRecords(const std::vector<long>& recnos, const std::function<void(long recno)>& visit);

  // --- data-aware controls ---
  void AddObserver(TDataSetObserver* observer);
  void RemoveObserver(TDataSetObserver* observer);
  void DisableControls() { ++disabled_; }
  void EnableControls();
  bool ControlsDisabled() const { return disabled_ > 0; }

  // --- events ---
  Event BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeInsert, AfterInsert, BeforeEdit, AfterEdit,
      BeforePost, AfterPost, BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, BeforeScroll, AfterScroll,
      OnCalcFields, OnNewRecord;
  std::function<void(int stat1, int stat2, int stat3)> OnStatus;

  // --- for field objects and the ordered operations ---
  XbDbfFile& File();
  XbDbfHandler& Handler();
  // True while OnCalcFields runs: calculated fields may be written then.
  bool Calculating() const { return calculating_; }
  TValue CalculatedValue(const TField& field) const;
  void SetCalculatedValue(const TField& field, const TValue& value);
  // Called by field objects after a write.
  void FieldChanged(const TField& field);
  // "Cannot perform this operation on a closed dataset" / "... busy building an index".
  void CheckActive() const;

 private:
  void BindFields();
  void ShowEngineRecord();   // the engine's current record becomes the one shown
  void ShowNothing();
  // The engine's record when a move reached one, else none.
  void ShowReached(bool reached);
  // One move of the record shown with its events in their one order:
  // BeforeScroll, the move (which shows a record and sets the end flags),
  // AfterScroll, then the observers are told (scrolled, or `notice`). A move
  // that fails skips what follows it.
  void Scroll(const std::function<void()>& move,
              void (TDataSetObserver::*notice)() = &TDataSetObserver::DataSetScrolled);
  void ComputeCalculatedFields();
  void Notify(void (TDataSetObserver::*what)());
  void NotifyRecord(const TField* field);
  void SetState(TDataSetState state);
  void Fire(const Event& event) {
    if (event) event(*this);
  }
  void ReshowAfterMove(bool found, bool forward);
  void PlaceOnShown();
  // The record image holding `values` in the named fields, as Locate and
  // key building write them; the fields named are returned in order.
  std::string RecordWithValues(const std::string& fieldNames, const std::vector<TValue>& values,
                               std::vector<const XbField*>& named);
  long ScanFor(const std::vector<const XbField*>& named, const std::string& wanted, int options);
  void UseTag(XbCdxTag* tag);
  std::optional<std::string> SearchKey(const XbCdxTag& tag, const std::string& text) const;
  // Finds `key` in `tag` (hidden records stepped over forward, or backward
  // for the last key) and tells whether the key reached matches.
  bool FindInTag(XbCdxTag& tag, const std::string& key, bool exact, bool last, bool* atEnd);
  // The first steps of every seek: pending edits settled, a tag required
  // ("No index is assigned for Find operation"); false on an empty table.
  bool ReadyToSeek();
  bool Seek(const std::string& key, bool exact, bool near, bool last);
  XbCdxTag* TagForFields(const std::string& fieldNames);

  std::string databaseName_, tableName_, indexName_;
  bool readOnly_ = false, translate_ = true, useDeleted_ = false, autoFlush_ = false;
  TXbLockProtocol protocol_ = TXbLockProtocol::Default;
  uint32_t userId_ = 0;

  std::unique_ptr<XbDbfFile> file_;
  std::unique_ptr<XbDbfHandler> handler_;
  std::unique_ptr<XbProtocolIndexLocker> locker_;
  std::unique_ptr<XbIndexSet> indexes_;
  XbCdxTag* tag_ = nullptr;   // the current tag; natural order when null
  std::vector<std::unique_ptr<TField>> fields_;
  size_t declaredFields_ = 0;   // fields_ beyond this were made at open
  std::vector<TValue> calculated_;  // per field object, for calculated and lookup fields

  TDataSetState state_ = TDataSetState::Inactive;
  long shown_ = 0;             // record number shown, 0 none
  long beforeInsert_ = 0;      // record shown when the insert began
  bool eof_ = true, bof_ = true;
  bool modified_ = false;
  bool calculating_ = false;
  bool busy_ = false;
  int disabled_ = 0;
  std::vector<TDataSetObserver*> observers_;
};
