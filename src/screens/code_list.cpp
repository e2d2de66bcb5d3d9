#include "screens/code_list.h"

#include <QFrame>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "controls/db_grid.h"
#include "data/data_module.h"
#include "screens/code_editor.h"
#include "screens/dialog_look.h"
#include "screens/key_preview.h"

namespace {
constexpr int kToolbarHeight = 41;
constexpr int kListWidth = 330;
constexpr int kListHeight = 300;
}  // namespace

std::unique_ptr<TCodeListDialog> TCodeListDialog::Create(TCodeTable table, TData& data, QWidget* parent) {
  switch (table) {
    case TCodeTable::Groups: return std::make_unique<TPrehledSkupSorti>(data, parent);
    case TCodeTable::Kinds: return std::make_unique<TPrehledDruhSort>(data, parent);
    case TCodeTable::Subgroups: return std::make_unique<TPrehledPodSkSort>(data, parent);
    case TCodeTable::Makers: return std::make_unique<TPrehledVyrobci>(data, parent);
    case TCodeTable::Units: return std::make_unique<TPrehledMje>(data, parent);
  }
  return nullptr;
}

TCodeListDialog::TCodeListDialog(const TCodeFamilyMember& member, TData& data, QWidget* parent)
    : QDialog(parent, FixedDialogFlags()),
      DataSource(&data.Table(member.object)),
      member_(member),
      data_(data),
      table_(data.Table(member.object)) {
  setObjectName(QString::fromStdString(member.listClass));
  setWindowTitle(QString::fromStdString(member.listCaption));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  if (member.toolbar) {
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setFixedHeight(kToolbarHeight);
    Button1 = new QPushButton(QStringLiteral("F2 Nový"), panel);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(232, 8, 75, 25);
    Button2 = new QPushButton(QStringLiteral("F4 Oprava"), panel);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(152, 8, 75, 25);
    for (QPushButton* b : {Button1, Button2}) {
      b->setAutoDefault(false);
      b->setFocusPolicy(member.toolbarTabStop ? Qt::StrongFocus : Qt::ClickFocus);
    }
    connect(Button1, &QPushButton::clicked, this, &TCodeListDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TCodeListDialog::Button2Click);
    column->addWidget(panel);
  }
  DBGrid1 = new TDBGrid(DataSource, member.columns, this);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  DBGrid1->horizontalHeader()->setSectionResizeMode(member.resizableColumns ? QHeaderView::Interactive
                                                                            : QHeaderView::Fixed);
  column->addWidget(DBGrid1, 1);
  if (member.toolbar && member.toolbarTabStop) {
    setTabOrder(Button2, Button1);
    setTabOrder(Button1, DBGrid1);
  }
  connect(DBGrid1, &QAbstractItemView::doubleClicked, this, [this] { DBGrid1DblClick(); });
  connect(DBGrid1, &TDBGrid::errorOccurred, this, [this](const QString& text) { data_.ui.Error(text.toStdString()); });
  setFixedSize(kListWidth, kListHeight);
  DBGrid1->setFocus(Qt::OtherFocusReason);

  preview_ = new TKeyPreview(this, [this](int key, Qt::KeyboardModifiers shift) { return FormKeyDown(key, shift); });
}

TCodeListDialog::~TCodeListDialog() {
  delete preview_;
  // The grid goes before the data source it shows.
  delete DBGrid1;
}

bool TCodeListDialog::FormKeyDown(int key, Qt::KeyboardModifiers) {
  if (key == Qt::Key_Escape) {
    reject();
    return true;
  }
  if (key == Qt::Key_F2 && member_.toolbar) {
    Button1Click();
    return true;
  }
  if (key == Qt::Key_F4 && member_.toolbar) {
    Button2Click();
    return true;
  }
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && PickMode) {
    accept();
    return true;
  }
  return false;
}

void TCodeListDialog::DBGrid1DblClick() {
  if (PickMode) accept();
}

void TCodeListDialog::Button1Click() { EditEntry(true); }
void TCodeListDialog::Button2Click() { EditEntry(false); }

void TCodeListDialog::EditEntry(bool appending) {
  const bool reports = appending ? member_.reportsNewEntryErrors : member_.reportsChangeErrors;
  try {
    if (appending) table_.Append();
    else table_.Edit();
    std::unique_ptr<TCodeEntryEditor> editor = TCodeEntryEditor::Create(member_, table_, this);
    PlaceOver(editor.get(), this, 30, 55);
    if (editor->exec() == QDialog::Accepted) table_.Post();
    else table_.Cancel();
  } catch (const std::exception& e) {
    // The row that could not be started or posted is dropped, so the list
    // goes on browsing; the family decides whether the error is shown.
    try {
      table_.Cancel();
    } catch (const std::exception&) {
    }
    if (reports) data_.ui.Error(e.what());
  }
  DBGrid1->setFocus(Qt::OtherFocusReason);
}
