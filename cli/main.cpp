#include <iostream>
#include <string>

#include "cli/cli.h"

#ifndef VOKT_VERSION
#define VOKT_VERSION "unknown"
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "vokt-cli " VOKT_VERSION "\n";
    return 0;
  }
  return vokt::RunCli(args, std::cout, std::cerr);
}
