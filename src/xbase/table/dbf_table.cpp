#include "xbase/table/dbf_table.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>

#include "xbase/ascii.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/cdx/cdx_messages.h"
#include "xbase/errors.h"
#include "xbase/field_codec.h"
#include "xbase/file_names.h"
#include "xbase/ini_file.h"
#include "xbase/platform.h"

namespace {

const char* const kClosed = "Cannot perform this operation on a closed dataset";
const char* const kOpen = "Cannot perform this operation on an open dataset";
const char* const kBusy = "Table is busy building an index";
const char* const kEmpty = "Cannot perform this operation on an empty dataset";

[[noreturn]] void DbError(const std::string& message) { throw EDatabaseError(message); }


// The alias list: upper-case name -> (name, directory).
std::map<std::string, std::pair<std::string, std::string>>& Aliases() {
  static std::map<std::string, std::pair<std::string, std::string>> aliases;
  return aliases;
}

bool IsDefaultDirectory(const std::string& name) { return AsciiUpper(name) == "DEFAULT DIRECTORY"; }

bool FileExists(const std::string& path) { return Platform().IsRegularFile(path); }

// The value type a table file's field gets.
std::optional<TFieldType> DescribedType(const XbField& f, TXbIntFields largeAs) {
  switch (f.type) {
    case 'C': return TFieldType::String;
    case 'L': return TFieldType::Boolean;
    case 'D': return TFieldType::Date;
    case 'M': return TFieldType::Memo;
    case 'B':
    case 'G': return TFieldType::Blob;
    case 'I': return TFieldType::Integer;
    case 'T': return TFieldType::DateTime;
    case 'Y': return TFieldType::Currency;
    case 'N':
    case 'F':
      if (f.decimals > 0) return TFieldType::Float;
      if (f.length < 5) return TFieldType::Smallint;
      if (f.length < 10) return TFieldType::Integer;
      return largeAs == TXbIntFields::asLargeInt ? TFieldType::Largeint
             : largeAs == TXbIntFields::asFloat  ? TFieldType::Float
                                                 : TFieldType::Integer;
    default: return std::nullopt;
  }
}

}  // namespace

TDbfTable::TDbfTable() = default;

TDbfTable::~TDbfTable() {
  try {
    Close();
  } catch (const Exception&) {
  }
}

void TDbfTable::LoadAliases(const std::string& configFile) {
  IniFile ini(configFile);
  for (const auto& [name, dir] : ini.Section("Alias")) Aliases()[AsciiUpper(name)] = {name, dir};
}

void TDbfTable::ClearAliases() { Aliases().clear(); }

// --- properties ---

void TDbfTable::SetDatabaseName(const std::string& name) {
  if (name == databaseName_) return;
  if (Active()) DbError(kOpen);
  std::string value = name;
  if (!IsDefaultDirectory(value)) {
    if (!value.empty() && value.back() == '\\') value.pop_back();
    if (Aliases().find(AsciiUpper(value)) == Aliases().end()) Aliases()[AsciiUpper(value)] = {value, value};
  }
  databaseName_ = value;
}

void TDbfTable::SetTableName(const std::string& name) {
  if (name == tableName_) return;
  if (Active()) DbError(kOpen);
  tableName_ = name;
  IndexFiles.clear();
}

void TDbfTable::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  // An open file without write access stays read-only.
  if (Active() && !readOnly && !file_->DiskFile().Writable()) readOnly_ = true;
}

void TDbfTable::SetLockProtocol(TXbLockProtocol protocol) {
  protocol_ = protocol;
  if (Active()) file_->MutableOptions().protocol = protocol;
}

void TDbfTable::SetTranslateASCII(bool on) {
  translate_ = on;
  if (Active()) file_->MutableOptions().translate = on;
}

void TDbfTable::SetUseDeleted(bool on) {
  useDeleted_ = on;
  if (Active()) {
    file_->MutableOptions().useDeleted = on;
    handler_->SetUseDeleted(on);
  }
}

void TDbfTable::SetAutoFlush(bool on) {
  autoFlush_ = on;
  if (Active()) file_->MutableOptions().autoFlush = on;
}

void TDbfTable::SetUserID(uint32_t id) {
  userId_ = id;
  if (Active()) file_->MutableOptions().userId = id;
}

void TDbfTable::SetIndexName(const std::string& name) {
  if (Active()) SelectTag(name);
  else indexName_ = name;
}

std::string TDbfTable::ResolvedDirectory() const {
  std::string dir;
  if (IsDefaultDirectory(databaseName_)) {
    dir = ProgramDirectory();
  } else {
    auto it = Aliases().find(AsciiUpper(databaseName_));
    dir = it != Aliases().end() ? it->second.second : databaseName_;
  }
  dir = NativePath(dir);
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

// --- opening and closing ---

void TDbfTable::Open() {
  if (Active()) return;
  Fire(BeforeOpen);
  if (tableName_.empty()) DbError("Table name missing");
  if (!HasExtension(tableName_)) tableName_ += ".DBF";
  std::string path = ResolveFileName(ResolvedDirectory() + tableName_);
  if (!FileExists(path)) DbError(FormatMessage("Cannot find file %s", {path}));

  XbDbfFile::Options o;
  o.shared = !Exclusive;
  o.writable = !readOnly_;
  o.useDeleted = useDeleted_;
  o.autoFlush = autoFlush_;
  o.translate = translate_;
  o.userId = userId_;
  o.protocol = protocol_;
  auto file = std::make_unique<XbDbfFile>();
  file->Open(path, o);
  file_ = std::move(file);
  handler_ = std::make_unique<XbDbfHandler>(*file_);
  handler_->SetUseDeleted(useDeleted_);
  locker_ = std::make_unique<XbProtocolIndexLocker>(*file_);
  indexes_ = std::make_unique<XbIndexSet>(*file_, ExpressionKeySources(*file_));
  indexes_->SetLocker(locker_.get());
  tag_ = nullptr;
  try {
    BindFields();
    // The index files given, then the tag named (natural order without any).
    for (const std::string& entry : IndexFiles) {
      std::string name = indexes_->ResolveName(entry);
      if (!FileExists(name)) DbError(FormatMessage("Cannot find file %s", {name}));
      indexes_->Open(name);
    }
    file_->SetIndexOpen(!indexes_->Files().empty());
    if (!IndexFiles.empty() && !codec::Trim(indexName_).empty()) {
      XbCdxTag* tag = indexes_->FindTag(codec::Trim(indexName_));
      if (!tag) ThrowDbf(msg::kCannotFindTag, {indexName_});
      UseTag(tag);
    }
  } catch (...) {
    fields_.resize(declaredFields_);
    tag_ = nullptr;
    indexes_.reset();
    locker_.reset();
    handler_.reset();
    file_.reset();
    throw;
  }
  state_ = TDataSetState::Browse;
  modified_ = false;
  if (handler_->First()) {
    ShowEngineRecord();
  } else {
    ShowNothing();
  }
  bof_ = true;
  Fire(AfterOpen);
  Notify(&TDataSetObserver::StateChanged);
  Notify(&TDataSetObserver::DataSetChanged);
}

void TDbfTable::BindFields() {
  const TXbIntFields largeAs = LargeIntegerAs;
  if (declaredFields_ == 0) {
    for (const XbField& f : file_->Fields()) {
      std::optional<TFieldType> type = DescribedType(f, largeAs);
      if (!type) continue;
      fields_.push_back(std::make_unique<TField>(*this, f.name, *type, f.type == 'C' ? f.length : 0, TFieldKind::Data));
      fields_.back()->Bind(&f);
    }
  } else {
    for (size_t i = 0; i < declaredFields_; ++i) {
      TField& field = *fields_[i];
      field.Bind(nullptr);
      if (field.FieldKind() != TFieldKind::Data) continue;
      const XbField* f = file_->FindField(field.FieldName());
      std::optional<TFieldType> type = f ? DescribedType(*f, largeAs) : std::nullopt;
      if (!type) DbError(FormatMessage("Field '%s' not found", {field.FieldName()}));
      if (!SameKind(field.DataType(), *type))
        DbError(FormatMessage("Type mismatch for field '%s', expecting: %s actual: %s",
                              {field.FieldName(), FieldTypeName(field.DataType()), FieldTypeName(*type)}));
      field.Bind(f);
    }
  }
  calculated_.assign(fields_.size(), TValue());
}

void TDbfTable::Close() {
  if (!Active()) return;
  Fire(BeforeClose);
  std::unique_ptr<XbDbfFile> file = std::move(file_);
  tag_ = nullptr;
  handler_.reset();
  indexes_.reset();
  locker_.reset();
  for (auto& f : fields_) f->Bind(nullptr);
  fields_.resize(declaredFields_);
  state_ = TDataSetState::Inactive;
  shown_ = 0;
  eof_ = bof_ = true;
  modified_ = false;
  busy_ = false;
  file->Close();
  Fire(AfterClose);
  Notify(&TDataSetObserver::StateChanged);
  Notify(&TDataSetObserver::DataSetChanged);
}

void TDbfTable::CheckActive() const {
  if (!Active()) DbError(kClosed);
  if (busy_) DbError(kBusy);
}

XbDbfFile& TDbfTable::File() {
  if (!Active()) DbError(kClosed);
  return *file_;
}

XbDbfHandler& TDbfTable::Handler() {
  if (!Active()) DbError(kClosed);
  return *handler_;
}

// --- field objects ---

TField& TDbfTable::AddField(const std::string& name, TFieldType type, int size, TFieldKind kind) {
  if (Active()) DbError(kOpen);
  fields_.push_back(std::make_unique<TField>(*this, name, type, size, kind));
  declaredFields_ = fields_.size();
  return *fields_.back();
}

TField* TDbfTable::FindField(const std::string& name) const {
  std::string wanted = AsciiUpper(name);
  for (const auto& f : fields_)
    if (AsciiUpper(f->FieldName()) == wanted) return f.get();
  return nullptr;
}

TField& TDbfTable::FieldByName(const std::string& name) const {
  if (TField* f = FindField(name)) return *f;
  DbError(FormatMessage("Field '%s' not found", {name}));
}

TValue TDbfTable::CalculatedValue(const TField& field) const {
  for (size_t i = 0; i < fields_.size() && i < calculated_.size(); ++i)
    if (fields_[i].get() == &field) return calculated_[i];
  return TValue();
}

void TDbfTable::SetCalculatedValue(const TField& field, const TValue& value) {
  for (size_t i = 0; i < fields_.size() && i < calculated_.size(); ++i)
    if (fields_[i].get() == &field) calculated_[i] = value;
}

void TDbfTable::FieldChanged(const TField& field) {
  if (calculating_) return;
  modified_ = true;
  NotifyRecord(&field);
}

void TDbfTable::ComputeCalculatedFields() {
  std::fill(calculated_.begin(), calculated_.end(), TValue());
  if (!OnCalcFields) return;
  calculating_ = true;
  try {
    OnCalcFields(*this);
  } catch (...) {
    calculating_ = false;
    throw;
  }
  calculating_ = false;
}

// --- showing records ---

void TDbfTable::ShowEngineRecord() {
  shown_ = handler_->RecNo();
  eof_ = bof_ = false;
  ComputeCalculatedFields();
}

void TDbfTable::ShowNothing() {
  shown_ = 0;
  eof_ = bof_ = true;
  std::fill(calculated_.begin(), calculated_.end(), TValue());
}

void TDbfTable::ReshowAfterMove(bool found, bool forward) {
  if (found) {
    ShowEngineRecord();
    return;
  }
  // Nothing further that way: stay on the record shown, with the end (or
  // beginning) state set.
  if (shown_ != 0) {
    handler_->GoToRecord(shown_);
    ComputeCalculatedFields();
  }
  if (forward) eof_ = true;
  else bof_ = true;
}

void TDbfTable::PlaceOnShown() {
  // Every operation leaves the engine on the record shown; only when the
  // file stands elsewhere is the order placed again.
  if (handler_->RecNo() != shown_ || handler_->Eof()) handler_->GoToRecord(shown_);
}

void TDbfTable::First() {
  CheckActive();
  CheckBrowseMode();
  Fire(BeforeScroll);
  if (handler_->First()) ShowEngineRecord();
  else ShowNothing();
  bof_ = true;
  Fire(AfterScroll);
  Notify(&TDataSetObserver::DataSetScrolled);
}

void TDbfTable::Last() {
  CheckActive();
  CheckBrowseMode();
  Fire(BeforeScroll);
  if (handler_->Last()) ShowEngineRecord();
  else ShowNothing();
  eof_ = true;
  Fire(AfterScroll);
  Notify(&TDataSetObserver::DataSetScrolled);
}

void TDbfTable::Next() {
  CheckActive();
  CheckBrowseMode();
  if (eof_) return;
  Fire(BeforeScroll);
  if (shown_ == 0) {
    ShowNothing();
  } else {
    PlaceOnShown();
    ReshowAfterMove(handler_->Next(), true);
  }
  Fire(AfterScroll);
  Notify(&TDataSetObserver::DataSetScrolled);
}

void TDbfTable::Prior() {
  CheckActive();
  CheckBrowseMode();
  if (bof_) return;
  Fire(BeforeScroll);
  if (shown_ == 0) {
    ShowNothing();
  } else {
    PlaceOnShown();
    ReshowAfterMove(handler_->Prior(), false);
  }
  Fire(AfterScroll);
  Notify(&TDataSetObserver::DataSetScrolled);
}

long TDbfTable::RecNo() const {
  if (!Active()) DbError(kClosed);
  return state_ == TDataSetState::Insert ? 0 : shown_;
}

void TDbfTable::SetRecNo(long recno) {
  CheckActive();
  CheckBrowseMode();
  Fire(BeforeScroll);
  handler_->GoToRecord(recno);
  if (handler_->Eof()) {
    // One past the last record: the end of the table.
    if (handler_->Last()) ShowEngineRecord();
    else ShowNothing();
    eof_ = true;
  } else {
    ShowEngineRecord();
  }
  Fire(AfterScroll);
  Notify(&TDataSetObserver::DataSetScrolled);
}

long TDbfTable::RecordCount() {
  if (!Active()) DbError(kClosed);
  if (!ExactCount) return file_->RecordCount();
  CheckActive();
  long count = 0;
  for (bool more = handler_->First(); more; more = handler_->Next()) ++count;
  if (shown_ != 0) handler_->GoToRecord(shown_);
  return count;
}

// --- bookmarks ---

std::string TDbfTable::GetBookmark() const {
  std::string number = std::to_string(shown_);
  std::string mark(10 - std::min<size_t>(10, number.size()), ' ');
  mark += number;
  mark += '\0';
  return mark;
}

namespace {
// The record number of a bookmark, or -1 when it holds no number.
long BookmarkNumber(const std::string& bookmark) {
  std::string digits;
  for (char c : bookmark) {
    if (c == '\0') break;
    if (c != ' ') digits += c;
  }
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return -1;
  return std::strtol(digits.c_str(), nullptr, 10);
}
}  // namespace

bool TDbfTable::BookmarkValid(const std::string& bookmark) const {
  if (!Active()) return false;
  long n = BookmarkNumber(bookmark);
  return n >= 1 && n <= file_->RecordCount();
}

void TDbfTable::GotoBookmark(const std::string& bookmark) {
  CheckActive();
  long n = BookmarkNumber(bookmark);
  std::string invalid = "Bookmark is invalid for table " + tableName_;
  if (n < 1) DbError(invalid);
  CheckBrowseMode();
  Fire(BeforeScroll);
  try {
    handler_->GoToRecord(n);
  } catch (const EDbfError&) {
    DbError(invalid);
  }
  if (handler_->Eof()) DbError(invalid);
  ShowEngineRecord();
  Fire(AfterScroll);
  Notify(&TDataSetObserver::DataSetScrolled);
}

int TDbfTable::CompareBookmarks(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return a.empty() == b.empty() ? 0 : (a.empty() ? -1 : 1);
  int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// --- editing ---

void TDbfTable::SetState(TDataSetState state) {
  if (state == state_) return;
  state_ = state;
  Notify(&TDataSetObserver::StateChanged);
}

void TDbfTable::CheckBrowseMode() {
  if (state_ == TDataSetState::Edit || state_ == TDataSetState::Insert) {
    if (modified_) Post();
    else Cancel();
  }
}

void TDbfTable::Edit() {
  CheckActive();
  if (state_ == TDataSetState::Edit || state_ == TDataSetState::Insert) return;
  if (shown_ == 0) {
    Append();
    return;
  }
  Fire(BeforeEdit);
  // The record lock comes first and the record is read from the file under
  // it, so the edit starts from what the file holds and no other program
  // can write the record between that read and our post. A lock this table
  // object holds already (LockRecordWithRetry) nests.
  if (!file_->LockRecord(shown_)) {
    handler_->GoToRecord(shown_);  // shows the record as the other program left it
    ComputeCalculatedFields();
    NotifyRecord(nullptr);
    DbError("Record is locked by another user");
  }
  try {
    handler_->ReloadRecord(shown_);
  } catch (...) {
    file_->UnlockRecord();
    throw;
  }
  ComputeCalculatedFields();
  modified_ = false;
  SetState(TDataSetState::Edit);
  NotifyRecord(nullptr);
  Fire(AfterEdit);
}

void TDbfTable::Append() {
  CheckActive();
  Fire(BeforeInsert);
  CheckBrowseMode();
  file_->UnlockRecord();
  beforeInsert_ = shown_;
  file_->BlankRecord();
  std::fill(calculated_.begin(), calculated_.end(), TValue());
  modified_ = false;
  SetState(TDataSetState::Insert);
  if (OnNewRecord) {
    OnNewRecord(*this);
  }
  NotifyRecord(nullptr);
  Fire(AfterInsert);
}

void TDbfTable::Post() {
  CheckActive();
  if (state_ != TDataSetState::Edit && state_ != TDataSetState::Insert) return;
  Fire(BeforePost);
  if (state_ == TDataSetState::Edit) file_->Update();
  else file_->Append();
  file_->UnlockRecord();
  modified_ = false;
  // Show the posted record in the current order.
  handler_->Reread();
  ShowEngineRecord();
  SetState(TDataSetState::Browse);
  Notify(&TDataSetObserver::DataSetChanged);
  Fire(AfterPost);
}

void TDbfTable::Cancel() {
  CheckActive();
  if (state_ != TDataSetState::Edit && state_ != TDataSetState::Insert) return;
  Fire(BeforeCancel);
  long back = state_ == TDataSetState::Insert ? beforeInsert_ : shown_;
  modified_ = false;
  state_ = TDataSetState::Browse;
  if (back != 0) {
    handler_->GoToRecord(back);
    ShowEngineRecord();
  } else if (handler_->First()) {
    ShowEngineRecord();
  } else {
    ShowNothing();
  }
  Notify(&TDataSetObserver::StateChanged);
  Notify(&TDataSetObserver::DataSetChanged);
  Fire(AfterCancel);
}

void TDbfTable::Delete() {
  CheckActive();
  if (state_ == TDataSetState::Insert) {
    Cancel();
    return;
  }
  if (shown_ == 0) DbError(kEmpty);
  Fire(BeforeDelete);
  Fire(BeforeScroll);
  long recno = shown_;
  try {
    // Unposted edits are dropped: only the deletion mark is written.
    handler_->GoToRecord(recno);
    file_->Delete();
  } catch (const Exception&) {
    DbError("Cannot delete the record");
  }
  modified_ = false;
  state_ = TDataSetState::Browse;
  if (!handler_->Hidden()) {
    ShowEngineRecord();
  } else if (handler_->Next()) {
    ShowEngineRecord();
  } else {
    handler_->GoToRecord(recno);
    if (handler_->Prior()) {
      ShowEngineRecord();
      eof_ = true;
    } else {
      ShowNothing();
    }
  }
  Notify(&TDataSetObserver::StateChanged);
  Notify(&TDataSetObserver::DataSetChanged);
  Fire(AfterDelete);
  Fire(AfterScroll);
}

bool TDbfTable::LockCurrentRecord() {
  CheckActive();
  if (shown_ == 0) return false;
  return file_->LockRecord(shown_);
}

void TDbfTable::UnlockRecords() {
  CheckActive();
  file_->UnlockRecord();
}

// --- reading for grids ---

namespace {
void RequireBrowse(TDataSetState state) {
  if (state != TDataSetState::Browse) throw EDatabaseError("Dataset not in browse mode");
}
}  // namespace

std::vector<long> TDbfTable::VisibleRecordsInOrder() {
  CheckActive();
  RequireBrowse(state_);
  std::vector<long> recnos;
  for (bool more = handler_->First(); more; more = handler_->Next()) recnos.push_back(handler_->RecNo());
  if (shown_ != 0) handler_->GoToRecord(shown_);
  return recnos;
}

void TDbfTable::VisitRecords(const std::vector<long>& recnos, const std::function<void(long recno)>& visit) {
  CheckActive();
  RequireBrowse(state_);
  long shown = shown_;
  try {
    for (long recno : recnos) {
      handler_->GoToRecord(recno);
      if (handler_->Eof()) continue;
      shown_ = recno;
      ComputeCalculatedFields();
      visit(recno);
    }
  } catch (...) {
    shown_ = shown;
    if (shown_ != 0) handler_->GoToRecord(shown_);
    ComputeCalculatedFields();
    throw;
  }
  shown_ = shown;
  if (shown_ != 0) handler_->GoToRecord(shown_);
  ComputeCalculatedFields();
}

// --- observers ---

void TDbfTable::AddObserver(TDataSetObserver* observer) {
  if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) observers_.push_back(observer);
}

void TDbfTable::RemoveObserver(TDataSetObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void TDbfTable::EnableControls() {
  if (disabled_ > 0 && --disabled_ == 0) Notify(&TDataSetObserver::DataSetChanged);
}

void TDbfTable::Notify(void (TDataSetObserver::*what)()) {
  if (disabled_ > 0) return;
  for (TDataSetObserver* o : std::vector<TDataSetObserver*>(observers_)) (o->*what)();
}

void TDbfTable::NotifyRecord(const TField* field) {
  if (disabled_ > 0) return;
  for (TDataSetObserver* o : std::vector<TDataSetObserver*>(observers_)) o->RecordChanged(field);
}
