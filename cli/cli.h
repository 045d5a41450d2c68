// vokt-cli: the command-line calculator over the distribution model.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vokt {

// Runs one command line (without the program name).  Returns the exit status:
// 0 success, 1 a computation or parameter error, 2 a usage error.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vokt
