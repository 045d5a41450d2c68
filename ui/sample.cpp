#include "ui/sample.h"

#include <cmath>
#include <cstdio>

#include "ui/messages.h"

namespace vokt::ui {

namespace {
std::string WithSeparator(std::string s) {
  const char sep = DecimalSeparator();
  if (sep != '.')
    for (char& c : s)
      if (c == '.') c = sep;
  return s;
}

std::string Exponent(Real x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17Le", x);
  std::string s(buf);
  const size_t e = s.find('e');
  if (e == std::string::npos) return s;  // inf or nan cannot reach here
  const std::string mantissa = s.substr(0, e);
  const char sign = s[e + 1];
  std::string digits = s.substr(e + 2);
  while (digits.size() < 4) digits.insert(digits.begin(), '0');
  return mantissa + "E" + sign + digits;
}

// Fixed notation with the given decimals.  A sample of a million values
// spends a noticeable share of its time in printf's exact long-double
// conversion, so values whose scaled form is a modest integer are rounded
// and printed as integers; the scaled product is exact to far better than
// 1e-6 there, and anything near a rounding tie takes the exact path.
std::string FixedText(Real x, int decimals) {
  static const Real kPowers[19] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                   1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                   1e14L, 1e15L, 1e16L, 1e17L, 1e18L};
  const Real scaled = x * kPowers[decimals];
  const Real frac = std::fabs(scaled - std::trunc(scaled));
  if (std::fabs(scaled) < 1e12L && std::fabs(frac - 0.5L) > 1e-6L) {
    const long long v = std::llrint(scaled);
    std::string digits = std::to_string(v < 0 ? -v : v);
    if (static_cast<int>(digits.size()) <= decimals)
      digits.insert(0, static_cast<size_t>(decimals + 1) - digits.size(), '0');
    if (decimals > 0) digits.insert(digits.size() - static_cast<size_t>(decimals), 1, '.');
    return v < 0 ? "-" + digits : digits;
  }
  char buf[128];
  std::snprintf(buf, sizeof buf, "%.*Lf", decimals, x);
  return buf;
}

}  // namespace

std::string FormatSampleValue(Real x, const SampleFormat& format) {
  if (format.floatingPoint && !format.integers) return WithSeparator(Exponent(x));
  const int decimals = format.integers ? 0 : std::max(0, std::min(format.decimals, 18));
  if (std::fabs(x) >= 1e18L) return WithSeparator(Exponent(x));
  std::string s = FixedText(x, decimals);
  if (s == "-0" || s.find_first_not_of("-0.") == std::string::npos) {
    if (!s.empty() && s[0] == '-') s.erase(0, 1);  // no "-0.00"
  }
  return WithSeparator(s);
}

std::vector<std::string> AssignSubjects(int n, int64_t k,
                                        const std::function<int(int)>& randomIndex) {
  std::vector<std::string> lines;
  if (n < 1 || k < 1) return lines;
  std::vector<int16_t> subjects;
  subjects.reserve(static_cast<size_t>(n));
  for (int i = 1; i <= n; ++i) subjects.push_back(static_cast<int16_t>(i));
  const int64_t lineCount = (n - 1) / k + 1;
  for (int64_t line = 0; line < lineCount; ++line) {
    std::string text;
    // Draws after the last subject change nothing; stopping there keeps a
    // huge number of groups from spinning.
    for (int64_t draw = 0; draw < k && !subjects.empty(); ++draw) {
      const int m = static_cast<int>(subjects.size());
      const int j = randomIndex(m);
      char buf[16];
      std::snprintf(buf, sizeof buf, "%6d", static_cast<int>(subjects[static_cast<size_t>(j)]));
      text += buf;
      subjects[static_cast<size_t>(j)] = subjects.back();
      subjects.pop_back();
    }
    lines.push_back(text);
  }
  return lines;
}

int64_t IntegerValue(const QString& text, int64_t lo, int64_t hi) {
  const QString t = text.trimmed();
  bool ok = !t.isEmpty();
  for (QChar c : t)
    if (!c.isDigit() && c != u'-' && c != u'+') ok = false;
  if (!ok)
    throw ArgumentError("'" + text.left(40).toStdString() + "' is not a valid integer value");
  bool fits = false;
  const qlonglong v = t.toLongLong(&fits);
  if (!fits || v < lo || v > hi) throw RangeError();
  return v;
}

}  // namespace vokt::ui
