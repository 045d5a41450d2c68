// Reads the reference values in tests/data/r-distributions.csv.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vokt::testing {

struct ReferenceRow {
  int type = 0;
  std::vector<long double> params;
  std::string op;  // cdf, pdf or quantile
  long double arg = 0;
  long double value = 0;
  std::string line;
};

inline std::vector<ReferenceRow> LoadReference() {
  std::vector<ReferenceRow> rows;
  std::ifstream in(VOKT_REFERENCE_CSV);
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    std::stringstream ss(line);
    std::string type, params, op, arg, value;
    std::getline(ss, type, ',');
    std::getline(ss, params, ',');
    std::getline(ss, op, ',');
    std::getline(ss, arg, ',');
    std::getline(ss, value, ',');
    ReferenceRow r;
    r.type = std::stoi(type);
    std::stringstream ps(params);
    std::string p;
    while (std::getline(ps, p, ';')) r.params.push_back(std::stold(p));
    r.op = op;
    r.arg = std::stold(arg);
    r.value = std::stold(value);
    r.line = line;
    rows.push_back(r);
  }
  return rows;
}

}  // namespace vokt::testing
