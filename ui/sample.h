// Random samples and random assignment: the number formats of sample
// values, the assignment of numbered subjects to groups, whole numbers typed
// in the dialogs and repeatable draws.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "numeric/checks.h"

namespace vokt::ui {

// The largest sample drawn at once; a larger size is refused as out of
// range rather than filling the memory with text.
inline constexpr int64_t kMaxSampleSize = 1000000;
// Samples larger than this are drawn with the progress bar and Cancel button.
inline constexpr int64_t kSampleProgressSize = 100000;
// Subjects are numbered with 16-bit integers.
inline constexpr int64_t kMaxSubjects = 32767;

// How sample values are written.
struct SampleFormat {
  bool integers = false;       // fixed notation without decimals
  bool floatingPoint = false;  // exponent notation, 18 significant digits
  int decimals = 0;            // fixed notation with this many decimals
};

// One sample value as text: "1.23450000000000000E+0003" for floating point,
// fixed notation otherwise (falling back to exponent notation for values of
// more than 18 digits).  The decimal separator is the user's.
std::string FormatSampleValue(Real x, const SampleFormat& format);

// The lines of a random assignment of subjects 1..n to k groups: a random
// permutation printed k numbers to a line, each right-aligned in 6
// characters.  randomIndex(m) returns a uniform index in 0..m-1.
std::vector<std::string> AssignSubjects(int n, int64_t k,
                                        const std::function<int(int)>& randomIndex);

// Reads a whole number typed in a dialog: an empty or non-numeric text
// raises "'...' is not a valid integer value"; a number outside lo..hi raises
// RangeError.
int64_t IntegerValue(const QString& text, int64_t lo, int64_t hi);

// The largest seed the Draw Sample dialog accepts.
inline constexpr int64_t kMaxSeed = 9223372036854775807;

}  // namespace vokt::ui
