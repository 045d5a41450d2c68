// Exceptions raised by the numerical kernel and the distribution model.
#pragma once

#include <stdexcept>
#include <string>

namespace vokt {

// Argument and parameter errors; the message is a string-table text, for range
// checks followed directly by the bound.
class ArgumentError : public std::runtime_error {
 public:
  explicit ArgumentError(const std::string& message) : std::runtime_error(message) {}
};

// Arithmetic faults (invalid operation, division by zero, overflow) found by
// explicit checks; the incomplete beta function catches these and only these.
class MathError : public std::runtime_error {
 public:
  explicit MathError(const std::string& message) : std::runtime_error(message) {}
};

// An iteration reached its cap without converging.  Never swallowed: a silent
// partial result would be a wrong number on the screen.
class ConvergenceError : public std::runtime_error {
 public:
  explicit ConvergenceError(const std::string& what)
      : std::runtime_error("No convergence in " + what + ".") {}
};

// A rounded value or an index that does not fit where it must.
class RangeError : public std::runtime_error {
 public:
  explicit RangeError(const std::string& message = "Range check error")
      : std::runtime_error(message) {}
};

[[noreturn]] inline void RaiseInvalidOp() { throw MathError("Invalid floating point operation"); }
[[noreturn]] inline void RaiseZeroDivide() { throw MathError("Floating point division by zero"); }
[[noreturn]] inline void RaiseOverflow() { throw MathError("Floating point overflow"); }

}  // namespace vokt
