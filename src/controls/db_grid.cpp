#include "controls/db_grid.h"

#include <QHeaderView>
#include <QPainter>
#include <QPolygon>
#include <QStyle>

#include "controls/field_display.h"

namespace {

constexpr int kIndicatorWidth = 12;

// The left header: no numbers, a black triangle at the current row.
class RowIndicator : public QHeaderView {
 public:
  explicit RowIndicator(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
    // The style leaves the clip of the (empty) label area set: keep it apart.
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (!model() || !model()->headerData(logicalIndex, Qt::Vertical, TDBGridModel::CurrentRowRole).toBool()) return;
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(palette().color(QPalette::WindowText));
    int cy = rect.center().y();
    int x = rect.left() + 3;
    painter->drawPolygon(QPolygon({QPoint(x, cy - 4), QPoint(x + 4, cy), QPoint(x, cy + 4)}));
    painter->restore();
  }
};

std::vector<std::string> FieldNames(const std::vector<TDBGridColumn>& columns) {
  std::vector<std::string> names;
  for (const TDBGridColumn& c : columns) names.push_back(c.fieldName);
  return names;
}

}  // namespace

TDBGrid::TDBGrid(TDataSource& source, std::vector<TDBGridColumn> columns, QWidget* parent)
    : QTableView(parent), model_(new TDBGridModel(source, FieldNames(columns), this)), columns_(std::move(columns)) {
  setVerticalHeader(new RowIndicator(this));
  setModel(model_);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setShowGrid(true);
  setWordWrap(false);
  setTabKeyNavigation(true);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

  // The selection keeps its colours when the grid has no focus.
  QPalette p = palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
  setPalette(p);

  // Every row one height: the view never measures rows, however many.
  QHeaderView* rows = verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setMinimumSectionSize(fontMetrics().height() + 2);
  rows->setDefaultSectionSize(fontMetrics().height() + 4);
  rows->setFixedWidth(kIndicatorWidth);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);

  for (size_t c = 0; c < columns_.size(); ++c)
    if (!columns_[c].title.empty())
      model_->SetColumnTitle(static_cast<int>(c), QString::fromStdString(columns_[c].title));
  widths_.assign(columns_.size(), 0);
  settled_.assign(columns_.size(), false);
  connect(model_, &QAbstractItemModel::modelReset, this, &TDBGrid::ApplyColumnWidths);
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
    if (applying_ || column < 0 || column >= static_cast<int>(widths_.size())) return;
    widths_[column] = width;
    settled_[column] = true;
  });
  connect(model_, &TDBGridModel::currentRowChanged, this, &TDBGrid::SelectCurrentRow);
  connect(model_, &TDBGridModel::errorOccurred, this, &TDBGrid::errorOccurred);
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (!following_ && current.isValid()) model_->MoveTo(current.row());
          });
  ApplyColumnWidths();
  SelectCurrentRow(model_->CurrentRow());
}

int TDBGrid::DefaultColumnWidth(int column) const {
  // Text plus the cell's margins on both sides and the grid line.
  const int cellMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  const int headerMargin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader());
  TField* field = model_->FieldOfColumn(column);
  int width = field ? FieldDisplayWidth(*field) * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 2 * cellMargin + 1
                    : 64;
  QString title = model_->headerData(column, Qt::Horizontal).toString();
  return std::max(width, horizontalHeader()->fontMetrics().horizontalAdvance(title) + 2 * headerMargin + 1);
}

void TDBGrid::ApplyColumnWidths() {
  applying_ = true;
  for (size_t c = 0; c < columns_.size(); ++c) {
    int column = static_cast<int>(c);
    if (!settled_[c]) {
      widths_[c] = columns_[c].width > 0 ? columns_[c].width : DefaultColumnWidth(column);
      settled_[c] = columns_[c].width > 0 || model_->FieldOfColumn(column) != nullptr;
    }
    setColumnWidth(column, widths_[c]);
  }
  applying_ = false;
}

void TDBGrid::SelectCurrentRow(int row) {
  following_ = true;
  if (row < 0) {
    selectionModel()->clearSelection();
  } else {
    int column = std::max(currentIndex().column(), 0);
    QModelIndex index = model_->index(row, column);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
  }
  following_ = false;
}
