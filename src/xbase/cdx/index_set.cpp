#include "xbase/cdx/index_set.h"

#include <cctype>
#include <exception>
#include <filesystem>

#include "xbase/ascii.h"
#include "xbase/cdx/cdx_messages.h"
#include "xbase/errors.h"
#include "xbase/file_names.h"
#include "xbase/scope_guard.h"

namespace {

bool SameFileName(const std::string& a, const std::string& b) {
  std::string x = std::filesystem::path(a).filename().string();
  std::string y = std::filesystem::path(b).filename().string();
  return EqualNoCase(x, y);
}

}  // namespace

XbIndexSet::XbIndexSet(XbDbfFile& table, XbKeySourceFactory factory) : table_(table), factory_(std::move(factory)) {
  table_.SetListener(this);
}

XbIndexSet::~XbIndexSet() { table_.SetListener(nullptr); }

std::string XbIndexSet::ResolveName(const std::string& name) const {
  std::string path = NativePath(name);
  if (!HasExtension(path)) path += ".cdx";
  if (path.find('/') == std::string::npos)
    path = std::filesystem::path(table_.FileName()).parent_path().string() + "/" + path;
  return ResolveFileName(path);
}

XbCdxFile* XbIndexSet::Find(const std::string& name) const {
  std::string path = ResolveName(name);
  for (const auto& f : files_)
    if (SameFileName(f->FileName(), path)) return f.get();
  return nullptr;
}

XbCdxFile& XbIndexSet::Add(std::unique_ptr<XbCdxFile> file) {
  file->SetLocker(locker_);
  files_.push_back(std::move(file));
  return *files_.back();
}

XbCdxFile& XbIndexSet::Open(const std::string& name) {
  if (XbCdxFile* open = Find(name)) return *open;
  if (files_.size() >= kMaxFiles) ThrowDbf(msg::kTooManyIndexFiles, {table_.FileName()});
  return Add(XbCdxFile::Open(ResolveName(name), table_, factory_));
}

XbCdxFile& XbIndexSet::OpenOrCreate(const std::string& name) {
  if (XbCdxFile* open = Find(name)) return *open;
  if (files_.size() >= kMaxFiles) ThrowDbf(msg::kTooManyIndexFiles, {table_.FileName()});
  return Add(XbCdxFile::OpenOrCreate(ResolveName(name), table_, factory_));
}

void XbIndexSet::Close(const std::string& name) {
  XbCdxFile* file = Find(name);
  if (!file) return;
  for (auto it = files_.begin(); it != files_.end(); ++it) {
    if (it->get() != file) continue;
    std::unique_ptr<XbCdxFile> closing = std::move(*it);
    files_.erase(it);
    closing->Close();
    return;
  }
}

void XbIndexSet::CloseAll() {
  while (!files_.empty()) {
    std::unique_ptr<XbCdxFile> closing = std::move(files_.back());
    files_.pop_back();
    closing->Close();
  }
}

XbCdxTag* XbIndexSet::FindTag(std::string_view name) const {
  for (const auto& f : files_)
    if (XbCdxTag* t = f->FindTag(name)) return t;
  return nullptr;
}

void XbIndexSet::SetLocker(XbIndexLocker* locker) {
  locker_ = locker;
  for (const auto& f : files_) f->SetLocker(locker);
}

void XbIndexSet::Flush() {
  for (const auto& f : files_) f->Flush();
}

void XbIndexSet::BeginWrite() {
  if (!locker_) return;
  if (writeDepth_++ > 0) return;  // held for an enclosing write already
  XbOnFailure giveBack([this] {
    writeDepth_ = 1;
    EndWrite();
  });
  for (const auto& f : files_) {
    locker_->Lock(*f, XbIndexAccess::Write);
    locked_.push_back(f.get());
  }
}

void XbIndexSet::EndWrite() {
  if (writeDepth_ == 0 || --writeDepth_ > 0) return;
  // Every lock is given back, also when one of them cannot be; the first
  // failure is reported afterwards.
  std::vector<XbCdxFile*> locked;
  locked.swap(locked_);
  std::exception_ptr failure;
  for (XbCdxFile* f : locked) {
    try {
      locker_->Unlock(*f, XbIndexAccess::Write);
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
}

void XbIndexSet::BeforeUpdate(long recno, const char* before, const char* after) {
  for (const auto& f : files_) f->CheckWritable(recno, before, after);
}

void XbIndexSet::BeforeAppend(const char* record) {
  // The record number is not known before the append; filters that ask for
  // it see the number the record is likely to get.
  for (const auto& f : files_) f->CheckWritable(table_.RecordCount() + 1, nullptr, record);
}

void XbIndexSet::UpdateKeys(long recno, const char* before, const char* after) {
  std::vector<XbCdxFile::KeyChanges> done;
  done.reserve(files_.size());
  try {
    for (const auto& f : files_) done.push_back(f->UpdateKeys(recno, before, after));
  } catch (const EDbfExpression&) {
    throw;  // a key that cannot be computed: the files updated keep their keys
  } catch (...) {
    // A file that could not be written put itself back; the files before it
    // take back their changes, so that no file holds keys of a write that
    // did not happen.
    for (size_t i = done.size(); i-- > 0;) {
      try {
        files_[i]->RevertKeys(recno, done[i]);
      } catch (...) {
        // The first failure is the one reported.
      }
    }
    throw;
  }
}

void XbIndexSet::RecordUpdated(long recno, const char* before, const char* after) {
  UpdateKeys(recno, before, after);
}

void XbIndexSet::RecordAppended(long recno, const char* record) { UpdateKeys(recno, nullptr, record); }
