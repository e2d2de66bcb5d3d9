#include "controls/v_edit.h"

TVEdit::TVEdit(QWidget* parent) : TTypedEdit(parent) { SetCompletesDates(false); }
