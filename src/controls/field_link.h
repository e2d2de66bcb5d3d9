#pragma once
// The field of a table as a bound edit sees it: its kind and value, whether
// it can be changed, whether its record is being edited, and a notice when
// the value (or the record) changes. The table object provides one per bound
// field; TMemoryField is a plain one held in memory.

#include <QChar>
#include <QDate>
#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

enum class TLinkKind { String, Integer, Float, Date, Logical, Memo };

class TFieldLink {
 public:
  using TChangeListener = std::function<void()>;

  TFieldLink() = default;
  TFieldLink(const TFieldLink&) = delete;
  TFieldLink& operator=(const TFieldLink&) = delete;
  virtual ~TFieldLink() = default;

  virtual TLinkKind Kind() const = 0;

  // The value as the edit shows it.
  virtual QString Text() const = 0;
  // Stores a typed text. Throws an exception derived from std::exception,
  // whose message is shown to the user, when the text is no value of the
  // field or cannot be stored.
  virtual void SetText(const QString& text) = 0;
  virtual double Number() const = 0;
  virtual void SetNumber(double value) = 0;
  virtual QDate Date() const = 0;
  virtual void SetDate(const QDate& value) = 0;

  // The value cannot be changed through the edit.
  virtual bool ReadOnly() const = 0;
  // The field's record is being edited or inserted into.
  virtual bool Editing() const = 0;
  // Puts the record into editing; false when that is not possible. May
  // throw like SetText (a record locked by another program).
  virtual bool Edit() = 0;
  // The most characters the value holds; 0 for no limit.
  virtual int MaxLength() const { return 0; }
  // Whether a typed character can be part of a value: digits and signs for
  // integers, also the decimal separator and the exponent for floats, any
  // character for the other kinds.
  virtual bool IsValidChar(QChar c) const;

  // `listener` is called after every change of the value, of the record or
  // of the read-only state. The id removes it again.
  int AddChangeListener(TChangeListener listener);
  void RemoveChangeListener(int id);
  // Expires when the field is destroyed, so that a bound edit that outlives
  // its field lets go of it instead of touching a dead object.
  std::weak_ptr<const void> Lifetime() const { return lifetime_; }

 protected:
  void NotifyChanged();

 private:
  std::vector<std::pair<int, TChangeListener>> listeners_;
  int nextId_ = 1;
  std::shared_ptr<const void> lifetime_ = std::make_shared<char>();
};
