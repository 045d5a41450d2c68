// The command line's p-value operations: "interval A B", "twosided X..." and
// "critical ALPHA... [--tail left|right|two]".
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

#include "distrib/distribution.h"

namespace vokt {

// A command line these operations cannot read (wrong argument count, an
// unknown tail); the caller reports it as a usage error.
class TailUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

bool IsTailOperation(const std::string& op);

// Runs op on the arguments that follow it, one output line per argument
// (interval: one line for its pair).  A failing argument prints an "error: "
// line and makes the status 1.
int RunTailOperation(Distribution& d, const std::string& op, const std::vector<std::string>& args,
                     std::ostream& out);

}  // namespace vokt
