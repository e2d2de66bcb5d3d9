#include "controls/field_link.h"

#include "controls/locale_settings.h"

#include <algorithm>

bool TFieldLink::IsValidChar(QChar c) const {
  const bool number = (c >= '0' && c <= '9') || c == '+' || c == '-';
  switch (Kind()) {
    case TLinkKind::Integer:
      return number;
    case TLinkKind::Float:
      return number || c == LocaleSettings().DecimalSeparator || c == 'E' || c == 'e';
    default:
      return true;
  }
}

int TFieldLink::AddChangeListener(TChangeListener listener) {
  listeners_.emplace_back(nextId_, std::move(listener));
  return nextId_++;
}

void TFieldLink::RemoveChangeListener(int id) {
  std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void TFieldLink::NotifyChanged() {
  const auto listeners = listeners_;  // a listener may remove itself
  for (const auto& entry : listeners) entry.second();
}
