// Tolerant comparisons, range checks that raise string-table messages, and
// number formatting.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "numeric/errors.h"

namespace vokt {

using Real = long double;

// The one tolerance of the whole system.
inline constexpr Real Eps = 5e-12L;

// Plus infinity: the end of an unbounded support or interval.
inline constexpr Real InfBound = std::numeric_limits<Real>::infinity();

// Message ids used by the checks.
enum MessageId : int {
  msgGreaterThan = 1301,
  msgAtLeast = 1302,
  msgLessThan = 1303,
  msgInteger = 1304,
  msgSecondGreater = 1305,
  msgSecondAtLeast = 1306,
  msgSecondSmaller = 1307,
  msgSecondInteger = 1308,
  msgThirdGreater = 1309,
  msgThirdAtLeast = 1310,
  msgThirdLess = 1311,
  msgThirdInteger = 1312,
  msgSecondNotAboveFirst = 1313,
  msgNotGreaterThan = 1315,
  msgTooLarge = 1361,
  msgNoVariance = 1363,
  msgNotANumber = 1368,
};

bool NearlyEqual(Real a, Real b);
bool IsIntegerValue(Real x);
// Floor as a 32-bit integer; RangeError when it does not fit.
int32_t FloorInt(Real x);
// Round half to even as a 32-bit integer; RangeError when it does not fit.
int32_t RoundInt(Real x);
// Round half to even, kept extended.
Real RoundExt(Real x);

// Up to 12 (n) decimals, no trailing zeros; 1e18 and beyond in exponent
// notation; infinities as "∞" and "−∞".
std::string FormatNumber(Real x);
std::string FormatDecimals(int n, Real x);
// A probability with n decimals, except that a value that is not 0 but
// rounds to 0 at n decimals, or not 1 but rounds to 1, is shown in exponent
// notation with n significant digits (1.1286e-19 at n = 4; an upper tail
// next to 1 as 1 - 2.5e-15 would round to 1: "0.9999999999999975" is
// replaced by its n significant digits of the distance to 1 in the same way
// only when the decimals cannot show it: "1 - 2.5e-15").
std::string FormatProbability(int n, Real p);

// The decimal separator used by the formatting routines and ParseNumber ('.'
// unless the window sets the user's locale separator).
void SetDecimalSeparator(char c);
char DecimalSeparator();

// Reads a number typed by the user (leading and trailing blanks allowed, the
// current decimal separator, optional exponent).  Returns false for anything
// else, including an empty text, "nan", "inf" and values beyond the extended
// range; never reads a bad text as 0.
bool ParseNumber(const std::string& text, Real& value);
// As ParseNumber but with a fixed separator (the command line uses '.').
bool ParseNumberWith(const std::string& text, char separator, Real& value);

// Raises ArgumentError with the text of id when condition holds.
bool ErrorIf(bool condition, int id);
// Checks x against b with the comparison belonging to id; raises the text of id
// followed by FormatNumber(b) when it fails.
bool CheckValue(int id, Real x, Real b);
[[noreturn]] void RaiseMessage(int id);

// e^y with an explicit overflow check (MathError instead of infinity).
Real CheckedExp(Real y);
// ln x with an explicit domain check (MathError for x <= 0 or NaN).
Real CheckedLn(Real x);

}  // namespace vokt
