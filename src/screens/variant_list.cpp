#include "screens/variant_list.h"

#include <QFrame>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "controls/db_grid.h"
#include "controls/edit_orvet.h"
#include "data/data_module.h"
#include "data/text_functions.h"
#include "screens/dialog_look.h"
#include "screens/key_preview.h"
#include "screens/variant_editor.h"

namespace {

std::vector<TDBGridColumn> VariantColumns() {
  std::vector<TDBGridColumn> columns = {{"SKL_KAV", 0}, {"SKL_IND", 0}, {"SKL_SNC", 0, "NC"}, {"SKL_POC", 0},
                                        {"SKL_STA", 0}};
  for (int i = 1; i <= 15; ++i) columns.push_back({std::string("SKL_S") + (i < 10 ? "0" : "") + std::to_string(i), 0});
  columns.push_back({"SKL_MEN", 0});
  columns.push_back({"SKL_POZ", 0});
  return columns;
}

}  // namespace

std::string NextVariantIndex(const std::vector<std::string>& indexes) {
  long highest = 0;
  for (const std::string& raw : indexes) {
    std::string index = TrimBlanks(raw);
    if (index.empty() || !std::all_of(index.begin(), index.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    highest = std::max(highest, std::stol(index));
  }
  return PadZerosLeft(std::to_string(highest + 1), 2);
}

TPrehledVariant::TPrehledVariant(TData& data, QWidget* parent)
    : QDialog(parent, FixedDialogFlags()), DataSkl0000(&data.Skl0000), data_(data) {
  setObjectName(QStringLiteral("TPrehledVariant"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setFixedHeight(41);
  Button1 = new QPushButton(QStringLiteral("F2 Nový"), panel);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(8, 8, 75, 25);
  Button1->setAutoDefault(false);
  connect(Button1, &QPushButton::clicked, this, &TPrehledVariant::Button1Click);
  column->addWidget(panel);
  DBGrid1 = new TDBGrid(DataSkl0000, VariantColumns(), this);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  connect(DBGrid1, &TDBGrid::errorOccurred, this, [this](const QString& text) { data_.ui.Error(text.toStdString()); });
  column->addWidget(DBGrid1, 1);
  setFixedSize(640, 280);
  DBGrid1->setFocus(Qt::OtherFocusReason);
  preview_ = new TKeyPreview(this, [this](int key, Qt::KeyboardModifiers shift) { return FormKeyDown(key, shift); });
}

TPrehledVariant::~TPrehledVariant() {
  delete preview_;
  delete DBGrid1;
}

bool TPrehledVariant::FormKeyDown(int key, Qt::KeyboardModifiers) {
  if (key == Qt::Key_Escape) {
    reject();
    return true;
  }
  if (key == Qt::Key_F2) {
    Button1Click();
    return true;
  }
  return false;
}

void TPrehledVariant::Button1Click() {
  TDbfTable& skl = data_.Skl0000;
  try {
    // Every variant of the card, to propose the next index and to refuse
    // one the card has.
    std::vector<std::string> indexes;
    for (skl.First(); !skl.Eof(); skl.Next()) indexes.push_back(skl.FieldByName("SKL_IND").AsString());
    skl.Last();
    const std::set<std::string> existing(indexes.begin(), indexes.end());

    skl.Append();
    skl.FieldByName("SKL_KAV").SetAsString(data_.Sor0000.FieldByName("SOR_KAV").AsString());
    skl.FieldByName("SKL_POC").SetAsInteger(0);
    skl.FieldByName("SKL_MEN").SetAsString("CZK");
    skl.FieldByName("SKL_KUR").SetAsFloat(1.0);

    TEditaceVarianta editor(data_, existing, this);
    editor.EditOrvet1->SetText(QString::fromStdString(NextVariantIndex(indexes)));
    if (editor.exec() == QDialog::Accepted) skl.Post();
    else skl.Cancel();
  } catch (const std::exception& e) {
    // Nothing half-made stays: the variant that could not be posted goes.
    if (skl.State() == TDataSetState::Insert) {
      try {
        skl.Cancel();
      } catch (const std::exception&) {
      }
    }
    data_.ui.Error(e.what());
  }
  DBGrid1->setFocus(Qt::OtherFocusReason);
}
