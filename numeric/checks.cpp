#include "numeric/checks.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "resources/strings.h"

namespace vokt {

namespace {
char g_separator = '.';

// Values at or above this magnitude are shown in exponent notation: the fixed
// patterns would otherwise print a long row of meaningless digits.
constexpr Real kExponentThreshold = 1e18L;

std::string ApplySeparator(std::string s) {
  if (g_separator != '.') {
    for (char& c : s)
      if (c == '.') c = g_separator;
  }
  return s;
}

std::string FormatNonFinite(Real x) {
  if (std::isnan(x)) return "NAN";
  return x > 0 ? "\u221e" : "\u2212\u221e";
}

// x in exponent notation with n decimals in the mantissa, trailing zeros of
// the mantissa removed: 1.1286e-19, 1e-20.
std::string FormatScientific(int n, Real x) {
  if (n < 0) n = 0;
  if (n > 30) n = 30;
  char buf[128];
  std::snprintf(buf, sizeof buf, "%.*Le", n, x);
  std::string s(buf);
  auto e = s.find('e');
  std::string mant = s.substr(0, e), expo = s.substr(e);
  if (mant.find('.') != std::string::npos) {
    while (!mant.empty() && mant.back() == '0') mant.pop_back();
    if (!mant.empty() && mant.back() == '.') mant.pop_back();
  }
  return ApplySeparator(mant + expo);
}

// "0.###..." with n optional decimals: at least one integer digit, at most n
// decimals, no trailing zeros, no minus sign on a value that rounds to zero.
std::string FormatPattern(int n, Real x) {
  if (!std::isfinite(x)) return FormatNonFinite(x);
  if (n < 0) n = 0;
  char buf[6000];
  if (std::fabs(x) >= kExponentThreshold) {
    std::snprintf(buf, sizeof buf, "%.14LE", x);
    std::string s(buf);
    // Trim the mantissa's trailing zeros: 1.50000000000000E+20 -> 1.5E+20.
    auto e = s.find('E');
    std::string mant = s.substr(0, e), expo = s.substr(e);
    while (!mant.empty() && mant.back() == '0') mant.pop_back();
    if (!mant.empty() && mant.back() == '.') mant.pop_back();
    return ApplySeparator(mant + expo);
  }
  if (n > 200) n = 200;
  std::snprintf(buf, sizeof buf, "%.*Lf", n, x);
  std::string s(buf);
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return ApplySeparator(s);
}
}  // namespace

bool NearlyEqual(Real a, Real b) { return std::fabs(a - b) < Eps; }

Real RoundExt(Real x) { return std::nearbyint(x); }

bool IsIntegerValue(Real x) { return std::fabs(x) < InfBound && NearlyEqual(RoundExt(x), x); }

int32_t FloorInt(Real x) {
  Real t = std::trunc(x);
  if (!(t >= -2147483648.0L && t <= 2147483647.0L)) throw RangeError();
  int32_t r = static_cast<int32_t>(t);
  if (x - t < 0) {
    if (r == INT32_MIN) throw RangeError();
    --r;
  }
  return r;
}

int32_t RoundInt(Real x) {
  Real r = RoundExt(x);
  if (!(r >= -2147483648.0L && r <= 2147483647.0L)) throw RangeError();
  return static_cast<int32_t>(r);
}

std::string FormatNumber(Real x) { return FormatPattern(12, x); }

std::string FormatDecimals(int n, Real x) { return FormatPattern(n, x); }

std::string FormatProbability(int n, Real p) {
  std::string s = FormatPattern(n, p);
  if (!std::isfinite(p)) return s;
  if (s == "0" && p != 0) return FormatScientific(n, p);
  if (s == "1" && p < 1 && p > 0) {
    // 1 - p is exact for p >= 1/2.
    const Real d = 1 - p;
    return "1 \u2212 " + FormatScientific(n, d);
  }
  return s;
}

void SetDecimalSeparator(char c) { g_separator = c; }
char DecimalSeparator() { return g_separator; }

bool ParseNumberWith(const std::string& text, char separator, Real& value) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  if (b == e) return false;
  std::string s;
  bool digits = false;
  // Accept only sign, digits, one separator and an exponent; strtold alone
  // would also take "nan", "inf", hexadecimal and the wrong separator.
  size_t i = b;
  if (text[i] == '+' || text[i] == '-') s += text[i++];
  while (i < e && std::isdigit(static_cast<unsigned char>(text[i]))) {
    s += text[i++];
    digits = true;
  }
  if (i < e && text[i] == separator) {
    s += '.';
    ++i;
    while (i < e && std::isdigit(static_cast<unsigned char>(text[i]))) {
      s += text[i++];
      digits = true;
    }
  }
  if (!digits) return false;
  if (i < e && (text[i] == 'e' || text[i] == 'E')) {
    s += 'e';
    ++i;
    if (i < e && (text[i] == '+' || text[i] == '-')) s += text[i++];
    bool expDigits = false;
    while (i < e && std::isdigit(static_cast<unsigned char>(text[i]))) {
      s += text[i++];
      expDigits = true;
    }
    if (!expDigits) return false;
  }
  if (i != e) return false;
  errno = 0;
  char* end = nullptr;
  Real v = std::strtold(s.c_str(), &end);
  if (end != s.c_str() + s.size()) return false;
  if (!std::isfinite(v)) return false;
  value = v;
  return true;
}

bool ParseNumber(const std::string& text, Real& value) {
  return ParseNumberWith(text, g_separator, value);
}

void RaiseMessage(int id) { throw ArgumentError(LoadString(id)); }

bool ErrorIf(bool condition, int id) {
  if (condition) RaiseMessage(id);
  return true;
}

bool CheckValue(int id, Real x, Real b) {
  bool ok = true;
  switch (id) {
    case 1301:
    case 1305:
    case 1309:
      ok = x > b + Eps;
      break;
    case 1302:
    case 1306:
    case 1310:
      ok = x >= b;
      break;
    case 1303:
    case 1307:
    case 1311:
      ok = x < b - Eps;
      break;
    case 1315:
      ok = x <= b;
      break;
    default:
      break;
  }
  // Beyond an infinite bound only infinity itself lies.
  if (!ok && std::isinf(b)) RaiseMessage(msgTooLarge);
  if (!ok) throw ArgumentError(LoadString(id) + FormatNumber(b));
  return true;
}

Real CheckedExp(Real y) {
  if (std::isnan(y)) RaiseInvalidOp();
  const Real r = std::exp(y);
  if (std::isinf(r)) RaiseOverflow();
  return r;
}

Real CheckedLn(Real x) {
  if (std::isnan(x)) RaiseInvalidOp();
  if (x < 0) RaiseInvalidOp();
  if (x == 0) RaiseZeroDivide();
  return std::log(x);
}

}  // namespace vokt
