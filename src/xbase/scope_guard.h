#pragma once
// Small guards for the restores an operation owes whatever way it ends.
// XbOnExit runs its action when the scope is left; XbOnFailure only when it
// is left by an exception. An action that fails while an exception is
// already on its way is dropped, so the first failure is the one reported.

#include <exception>
#include <utility>

template <class Action>
class XbOnExit {
 public:
  explicit XbOnExit(Action action) : action_(std::move(action)), pending_(std::uncaught_exceptions()) {}
  ~XbOnExit() noexcept(false) {
    if (std::uncaught_exceptions() > pending_) {
      try {
        action_();
      } catch (...) {
      }
    } else {
      action_();
    }
  }
  XbOnExit(const XbOnExit&) = delete;
  XbOnExit& operator=(const XbOnExit&) = delete;

 private:
  Action action_;
  int pending_;
};

template <class Action>
class XbOnFailure {
 public:
  explicit XbOnFailure(Action action) : action_(std::move(action)), pending_(std::uncaught_exceptions()) {}
  ~XbOnFailure() {
    if (std::uncaught_exceptions() > pending_) {
      try {
        action_();
      } catch (...) {
      }
    }
  }
  XbOnFailure(const XbOnFailure&) = delete;
  XbOnFailure& operator=(const XbOnFailure&) = delete;

 private:
  Action action_;
  int pending_;
};
