#include "controls/db_grid_model.h"

#include <QTimer>
#include <algorithm>
#include <exception>

#include "controls/data_source.h"
#include "controls/field_display.h"
#include "xbase/table/dbf_table.h"

namespace {
// Rows read from the file in one go: more than a screenful.
constexpr int kReadBlock = 64;
// The record numbers of the table's current order and range. In natural
// order the file is read in large blocks meanwhile (the walk reads every
// record to skip deleted ones); other orders jump about the file, where
// blocks would only cost.
std::vector<long> ReadRowList(TDbfTable& table) {
  XbDbfFile& file = table.File();
  bool blocks = table.Handler().NaturalOrder() && !file.ReadAhead();
  if (!blocks) return table.VisibleRecordsInOrder();
  file.SetReadAhead(true);
  try {
    std::vector<long> recnos = table.VisibleRecordsInOrder();
    file.SetReadAhead(false);
    return recnos;
  } catch (...) {
    file.SetReadAhead(false);
    throw;
  }
}

}  // namespace

TDBGridModel::TDBGridModel(TDataSource& source, std::vector<std::string> fieldNames, QObject* parent)
    : QAbstractTableModel(parent), source_(source), fieldNames_(std::move(fieldNames)) {
  connect(&source_, &TDataSource::dataSetChanged, this, &TDBGridModel::Reload);
  connect(&source_, &TDataSource::dataSetScrolled, this, &TDBGridModel::FollowTable);
  connect(&source_, &TDataSource::recordChanged, this, [this](const TField*) { RowsChanged(current_, current_); });
  connect(&source_, &TDataSource::stateChanged, this, [this] { RowsChanged(current_, current_); });
  Reload();
}

void TDBGridModel::SetLocale(const QLocale& locale) {
  locale_ = locale;
  cache_.clear();
  if (!recnos_.empty()) RowsChanged(0, static_cast<int>(recnos_.size()) - 1);
}

TDbfTable* TDBGridModel::Table() const { return source_.DataSet(); }

bool TDBGridModel::Readable() const {
  TDbfTable* t = Table();
  return t && t->Active() && t->State() == TDataSetState::Browse && !t->ControlsDisabled();
}

int TDBGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(recnos_.size());
}

int TDBGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(fieldNames_.size());
}

Qt::ItemFlags TDBGridModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QVariant TDBGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignments_[index.column()]);
  if (role != Qt::DisplayRole) return {};
  const CachedRow* row = Texts(index.row());
  return row ? row->texts[index.column()] : QString();
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal) {
    if (section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) {
      if (section < static_cast<int>(ownTitles_.size()) && !ownTitles_[section].isEmpty()) return ownTitles_[section];
      return titles_[section];
    }
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
  }
  if (role == CurrentRowRole) return section == current_;
  return {};
}

void TDBGridModel::SetColumnTitle(int column, const QString& title) {
  if (column < 0 || column >= columnCount()) return;
  ownTitles_.resize(fieldNames_.size());
  ownTitles_[column] = title;
  emit headerDataChanged(Qt::Horizontal, column, column);
}

long TDBGridModel::RecNoOfRow(int row) const {
  return row >= 0 && row < rowCount() ? recnos_[row] : 0;
}

TField* TDBGridModel::FieldOfColumn(int column) const {
  TDbfTable* t = Table();
  if (!t || !t->Active() || column < 0 || column >= columnCount()) return nullptr;
  return fields_[column];
}

// --- following the table ---

void TDBGridModel::Reload() {
  beginResetModel();
  cache_.clear();
  recnos_.clear();
  fields_.assign(fieldNames_.size(), nullptr);
  titles_.clear();
  alignments_.clear();
  current_ = -1;
  TDbfTable* t = Table();
  for (size_t i = 0; i < fieldNames_.size(); ++i) {
    TField* f = t ? t->FindField(fieldNames_[i]) : nullptr;
    fields_[i] = t && t->Active() ? f : nullptr;
    titles_.push_back(f ? FieldTitle(*f) : QString::fromStdString(fieldNames_[i]));
    alignments_.push_back(f ? FieldAlignment(*f) : Qt::AlignLeft | Qt::AlignVCenter);
  }
  QString failure;
  if (Readable()) {
    try {
      recnos_ = ReadRowList(*t);
      current_ = FindRow(t->RecNo());
    } catch (const std::exception& e) {
      recnos_.clear();
      failure = QString::fromUtf8(e.what());
    }
  }
  endResetModel();
  emit currentRowChanged(current_);
  if (!failure.isEmpty()) emit errorOccurred(failure);
}

void TDBGridModel::FollowTable() {
  TDbfTable* t = Table();
  if (!t || !t->Active()) {
    SetCurrent(-1);
    return;
  }
  long recno = t->RecNo();
  int row = FindRow(recno);
  // A record the row list does not hold (appended by another program, say):
  // the list is out of date.
  if (row < 0 && recno != 0 && Readable()) {
    Reload();
    return;
  }
  SetCurrent(row);
}

void TDBGridModel::SetCurrent(int row) {
  if (row == current_) return;
  int old = current_;
  current_ = row;
  // The current row in edit shows the edit buffer: both rows change look.
  MarkStale(old);
  MarkStale(row);
  if (old >= 0) emit headerDataChanged(Qt::Vertical, old, old);
  if (row >= 0) emit headerDataChanged(Qt::Vertical, row, row);
  emit currentRowChanged(row);
}

int TDBGridModel::FindRow(long recno) const {
  if (recno == 0) return -1;
  // Moves are mostly to a neighbour of the current row.
  for (int row : {current_, current_ + 1, current_ - 1})
    if (row >= 0 && row < rowCount() && recnos_[row] == recno) return row;
  auto it = std::find(recnos_.begin(), recnos_.end(), recno);
  return it == recnos_.end() ? -1 : static_cast<int>(it - recnos_.begin());
}

void TDBGridModel::MarkStale(int row) {
  // Read again when the table can be read; until then shown as it was.
  auto it = cache_.find(row);
  if (it != cache_.end()) it->second.fresh = false;
}

void TDBGridModel::RowsChanged(int first, int last) {
  if (first < 0 || last >= rowCount() || columnCount() == 0) return;
  for (int row = first; row <= last; ++row) MarkStale(row);
  emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::DisplayRole});
}

void TDBGridModel::MoveTo(int row) {
  TDbfTable* t = Table();
  if (row < 0 || row >= rowCount() || !t || !t->Active()) return;
  if (t->ControlsDisabled()) {
    // Detached: the table is not moved from here; the view goes back.
    emit currentRowChanged(current_);
    return;
  }
  if (row == current_ && t->RecNo() == recnos_[row]) return;
  try {
    t->SetRecNo(recnos_[row]);
  } catch (const std::exception& e) {
    emit currentRowChanged(current_);
    emit errorOccurred(QString::fromUtf8(e.what()));
  }
}

// --- reading rows ---

std::vector<QString> TDBGridModel::CurrentRecordTexts() const {
  std::vector<QString> texts(fields_.size());
  for (size_t i = 0; i < fields_.size(); ++i)
    if (fields_[i]) texts[i] = FieldDisplayText(*fields_[i], locale_);
  return texts;
}

const TDBGridModel::CachedRow* TDBGridModel::Texts(int row) const {
  TDbfTable* t = Table();
  // An appended record is no row yet: the rows keep what they showed.
  bool editing = t && t->Active() && !t->ControlsDisabled() && t->State() == TDataSetState::Edit;
  auto it = cache_.find(row);
  if (editing && row == current_) {
    // The record being edited: its buffer, not the file.
    CachedRow& entry = cache_[row];
    entry.texts = CurrentRecordTexts();
    entry.fresh = true;
    it = cache_.find(row);
  } else if (Readable() && (it == cache_.end() || !it->second.fresh)) {
    ReadRows(row);
    it = cache_.find(row);
  }
  if (it == cache_.end()) return nullptr;
  it->second.touched = true;
  ScheduleExpiry();
  return &it->second;
}

void TDBGridModel::ReadRows(int first) const {
  std::vector<long> wanted;
  std::unordered_map<long, int> rowOf;
  int end = std::min(rowCount(), first + kReadBlock);
  for (int row = first; row < end; ++row) {
    auto it = cache_.find(row);
    if (it != cache_.end() && it->second.fresh) continue;
    wanted.push_back(recnos_[row]);
    rowOf[recnos_[row]] = row;
  }
  for (const auto& [recno, row] : rowOf) {
    CachedRow& entry = cache_[row];
    entry.texts.assign(fields_.size(), QString());
    entry.fresh = true;
  }
  try {
    Table()->VisitRecords(wanted, [&](long recno) { cache_[rowOf[recno]].texts = CurrentRecordTexts(); });
  } catch (const std::exception&) {
    // A record that cannot be read shows empty; the next pass tries again.
  }
}

void TDBGridModel::ScheduleExpiry() const {
  if (expiryPending_) return;
  expiryPending_ = true;
  QTimer::singleShot(0, this, [this] { Expire(); });
}

void TDBGridModel::Expire() const {
  expiryPending_ = false;
  for (auto it = cache_.begin(); it != cache_.end();) {
    if (!it->second.touched) {
      it = cache_.erase(it);
      continue;
    }
    it->second.touched = false;
    it->second.fresh = false;
    ++it;
  }
}
