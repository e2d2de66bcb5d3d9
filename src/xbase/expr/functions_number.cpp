// Number functions of the library: the conversions between numbers and
// texts that keys are built with (STR, STRZERO, VAL) and arithmetic.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "xbase/expr/functions.h"
#include "xbase/field_codec.h"

namespace {

// STR(number [, length [, decimals]]): right-aligned fixed point, 10 wide
// and without decimals by default; as many "*" as the length when the
// number does not fit.
std::string FixedPoint(const XbExpCall& c) {
  double v = c.Number(0);
  size_t length = c.LengthOr(1, 10);
  int decimals = static_cast<int>(std::min<size_t>(c.LengthOr(2, 0), 30));
  std::string text = std::isfinite(v) ? codec::FormatNumber(v, decimals) : std::string();
  if (text.empty() || text.size() > length) return std::string(length, '*');
  return std::string(length - text.size(), ' ') + text;
}

XbValue Str(const XbExpCall& c) { return XbValue::OfText(FixedPoint(c)); }

XbValue Strzero(const XbExpCall& c) {
  std::string s = FixedPoint(c);
  for (char& ch : s) {
    if (ch != ' ') break;
    ch = '0';
  }
  return XbValue::OfText(std::move(s));
}

// VAL(text): the number at the start of the text (after blanks); 0 when
// the text does not start with one.
XbValue Val(const XbExpCall& c) {
  std::string s = c.Text(0);
  size_t i = s.find_first_not_of(' ');
  if (i == std::string::npos) return XbValue::OfNumber(0);
  size_t start = i;
  if (s[i] == '+' || s[i] == '-') ++i;
  auto digits = [&] {
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
  };
  digits();
  if (i < s.size() && s[i] == '.') ++i, digits();
  std::optional<double> v = codec::ParseNumber(std::string_view(s).substr(start, i - start));
  return XbValue::OfNumber(v ? *v : 0);
}

double Round(double v, double places) {
  if (!std::isfinite(v)) return v;
  int decimals = static_cast<int>(std::clamp<long long>(WholeNumber(places), -30, 30));
  if (decimals >= 0) return *codec::ParseNumber(codec::FormatNumber(v, decimals));
  double scale = std::pow(10.0, -decimals);
  return std::round(v / scale) * scale;
}

// Future and present value of a series of equal payments.
double FutureValue(double payment, double rate, double periods) {
  return rate == 0 ? payment * periods : payment * (std::pow(1 + rate, periods) - 1) / rate;
}
double PresentValue(double payment, double rate, double periods) {
  return rate == 0 ? payment * periods : payment * (1 - std::pow(1 + rate, -periods)) / rate;
}

// MOD: the remainder with the sign of the divisor; a divisor 0 gives the
// dividend.
double Modulo(double a, double b) { return b == 0 ? a : a - b * std::floor(a / b); }

template <double (*F)(double)>
XbValue Unary(const XbExpCall& c) {
  return XbValue::OfNumber(F(c.Number(0)));
}
template <double (*F)(double, double)>
XbValue Binary(const XbExpCall& c) {
  return XbValue::OfNumber(F(c.Number(0), c.Number(1)));
}
template <double (*F)(double, double, double)>
XbValue Ternary(const XbExpCall& c) {
  return XbValue::OfNumber(F(c.Number(0), c.Number(1), c.Number(2)));
}

double Abs(double v) { return std::fabs(v); }
double Acos(double v) { return std::acos(v); }
double Asin(double v) { return std::asin(v); }
double Atan(double v) { return std::atan(v); }
double Atan2(double y, double x) { return std::atan2(y, x); }
double Ceiling(double v) { return std::ceil(v); }
double Cos(double v) { return std::cos(v); }
double Exp(double v) { return std::exp(v); }
double Floor(double v) { return std::floor(v); }
double Int(double v) { return std::trunc(v); }
double Log(double v) { return std::log(v); }
double Log10(double v) { return std::log10(v); }
double Sin(double v) { return std::sin(v); }
double Sqrt(double v) { return std::sqrt(v); }
double Tan(double v) { return std::tan(v); }
double DegreesToRadians(double v) { return v * std::numbers::pi / 180; }
double RadiansToDegrees(double v) { return v * 180 / std::numbers::pi; }

XbValue Pi(const XbExpCall&) { return XbValue::OfNumber(std::numbers::pi); }

const XbExpFunctionDef kFunctions[] = {
    {"STR", 3, Str},
    {"STRZERO", 3, Strzero},
    {"VAL", 1, Val},
    {"ABS", 1, Unary<Abs>},
    {"ACOS", 1, Unary<Acos>},
    {"ASIN", 1, Unary<Asin>},
    {"ATAN", 1, Unary<Atan>},
    {"ATN2", 2, Binary<Atan2>},
    {"CEILING", 1, Unary<Ceiling>},
    {"COS", 1, Unary<Cos>},
    {"DTOR", 1, Unary<DegreesToRadians>},
    {"EXP", 1, Unary<Exp>},
    {"FLOOR", 1, Unary<Floor>},
    {"FV", 3, Ternary<FutureValue>},
    {"INT", 1, Unary<Int>},
    {"LOG", 1, Unary<Log>},
    {"LOG10", 1, Unary<Log10>},
    {"MOD", 2, Binary<Modulo>},
    {"PI", 0, Pi},
    {"PV", 3, Ternary<PresentValue>},
    {"ROUND", 2, Binary<Round>},
    {"RTOD", 1, Unary<RadiansToDegrees>},
    {"SIN", 1, Unary<Sin>},
    {"SQRT", 1, Unary<Sqrt>},
    {"TAN", 1, Unary<Tan>},
};

}  // namespace

std::span<const XbExpFunctionDef> NumberFunctions() { return kFunctions; }
