#include "controls/edit_orvet.h"

TEditOrvet::TEditOrvet(QWidget* parent) : TTypedEdit(parent), TEditButtonOwner(this) {
  SetCompletesDates(true);
}
