// The table object: its alias list, properties, opening and closing, and
// the observers of data-aware controls. Fields, navigation, editing, the
// grid reads and the ordered operations have files of their own.

#include "xbase/table/dbf_table.h"

#include <algorithm>
#include <map>

#include "xbase/ascii.h"
#include "xbase/cdx/cdx_messages.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/field_codec.h"
#include "xbase/file_names.h"
#include "xbase/ini_file.h"
#include "xbase/platform.h"
#include "xbase/scope_guard.h"
#include "xbase/table/table_messages.h"

namespace {

// The alias list: upper-case name -> (name, directory).
std::map<std::string, std::pair<std::string, std::string>>& Aliases() {
  static std::map<std::string, std::pair<std::string, std::string>> aliases;
  return aliases;
}

bool IsDefaultDirectory(const std::string& name) { return AsciiUpper(name) == "DEFAULT DIRECTORY"; }

bool FileExists(const std::string& path) { return Platform().IsRegularFile(path); }

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
  if (Active()) ThrowDb(msg::kDatasetOpen);
  std::string value = name;
  if (!IsDefaultDirectory(value)) {
    if (!value.empty() && value.back() == '\\') value.pop_back();
    if (Aliases().find(AsciiUpper(value)) == Aliases().end()) Aliases()[AsciiUpper(value)] = {value, value};
  }
  databaseName_ = value;
}

void TDbfTable::SetTableName(const std::string& name) {
  if (name == tableName_) return;
  if (Active()) ThrowDb(msg::kDatasetOpen);
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
  if (tableName_.empty()) ThrowDb(msg::kTableNameMissing);
  if (!HasExtension(tableName_)) tableName_ += ".DBF";
  std::string path = ResolveFileName(ResolvedDirectory() + tableName_);
  if (!FileExists(path)) ThrowDb(msg::kCannotFindFile, {path});

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
  {
    // A failed open leaves the table object closed, as it was.
    XbOnFailure closeAgain([this] {
      fields_.resize(declaredFields_);
      tag_ = nullptr;
      indexes_.reset();
      locker_.reset();
      handler_.reset();
      file_.reset();
    });
    BindFields();
    // The index files given, then the tag named (natural order without any).
    for (const std::string& entry : IndexFiles) {
      std::string name = indexes_->ResolveName(entry);
      if (!FileExists(name)) ThrowDb(msg::kCannotFindFile, {name});
      indexes_->Open(name);
    }
    file_->SetIndexOpen(!indexes_->Files().empty());
    if (!IndexFiles.empty() && !codec::Trim(indexName_).empty()) {
      XbCdxTag* tag = indexes_->FindTag(codec::Trim(indexName_));
      if (!tag) ThrowDbf(msg::kCannotFindTag, {indexName_});
      UseTag(tag);
    }
  }
  state_ = TDataSetState::Browse;
  modified_ = false;
  ShowReached(handler_->First());
  bof_ = true;
  Fire(AfterOpen);
  Notify(&TDataSetObserver::StateChanged);
  Notify(&TDataSetObserver::DataSetChanged);
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
  if (!Active()) ThrowDb(msg::kDatasetClosed);
  if (busy_) ThrowDb(msg::kTableBusy);
}

XbDbfFile& TDbfTable::File() {
  if (!Active()) ThrowDb(msg::kDatasetClosed);
  return *file_;
}

XbDbfHandler& TDbfTable::Handler() {
  if (!Active()) ThrowDb(msg::kDatasetClosed);
  return *handler_;
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
