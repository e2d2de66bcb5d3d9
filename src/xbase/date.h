#pragma once
// A calendar date as the table files store it ("yyyymmdd"), with the day
// arithmetic that key expressions need.

#include <optional>
#include <string>
#include <string_view>

struct XbDate {
  int year = 0;
  int month = 0;
  int day = 0;

  friend bool operator==(const XbDate&, const XbDate&) = default;
  friend auto operator<=>(const XbDate&, const XbDate&) = default;

  // True for a real Gregorian date of the years 0..9999.
  bool IsValid() const;
  // Day number counted continuously (Julian day number); inverse FromJulian.
  long ToJulian() const;
  static XbDate FromJulian(long jd);
  // "yyyymmdd".
  std::string ToDtos() const;
  // Parses 8 digits "yyyymmdd"; anything else (blanks, "00000000", an
  // impossible date) gives no date.
  static std::optional<XbDate> FromDtos(std::string_view text);
  // Today by the local clock.
  static XbDate Today();
};
