// Every value of the 50-digit reference table (tests/data/mpmath/reference.csv,
// made by generate.py in that folder) to full extended precision:
//   cdf, sf, pdf     relative error <= 1e-15 where the reference is above
//                    1e-300 (1e-13 for the non-central types); a reference of
//                    0 must give 0; below 1e-300 the value must still be
//                    there (relative error <= 1e-6, no collapse to 0);
//   quantile, isf    relative error <= 1e-14 (1e-13 non-central); the
//                    integer-valued discrete types exactly; a quantile of 0
//                    within 1e-14.
// One test per type; it prints a summary per operation and, when rows fail,
// one line per failing row naming the type, the parameters, the operation,
// the argument, the value got, the one expected and the relative error.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "distrib/catalogue.h"
#include "distrib/kruskal_friedman.h"

namespace vokt {
namespace {

struct Row {
  int type = 0;
  std::string params;
  std::string op;
  std::string argText;
  long double arg = 0;
  long double value = 0;
};

const std::vector<Row>& AllRows() {
  static const std::vector<Row> rows = [] {
    std::vector<Row> r;
    std::ifstream in(VOKT_TEST_DATA "/mpmath/reference.csv");
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
      Row row;
      row.type = std::stoi(type);
      row.params = params;
      row.op = op;
      row.argText = arg;
      row.arg = std::strtold(arg.c_str(), nullptr);
      row.value = std::strtold(value.c_str(), nullptr);
      r.push_back(row);
    }
    return r;
  }();
  return rows;
}

std::vector<long double> SplitParams(const std::string& text) {
  std::vector<long double> v;
  std::stringstream ss(text);
  std::string p;
  while (std::getline(ss, p, ';')) v.push_back(std::strtold(p.c_str(), nullptr));
  return v;
}

// The distribution of a row: the catalogue's type with the row's parameters
// applied as the window's grid applies them (the normal's sigma follows its
// variance; Kruskal-Wallis takes one size per group, Friedman T and B).
std::unique_ptr<Distribution> Make(int type, const std::string& params) {
  auto d = CreateDistribution(static_cast<uint16_t>(type));
  std::vector<long double> p = SplitParams(params);
  if (auto* kw = dynamic_cast<KruskalWallisDistribution*>(d.get())) {
    std::vector<int32_t> sizes{0};
    for (long double v : p) sizes.push_back(static_cast<int32_t>(v));
    kw->BuildKruskalWallis(sizes, nullptr);
    kw->GroupSizes = sizes;
    return d;
  }
  if (auto* fr = dynamic_cast<FriedmanDistribution*>(d.get())) {
    fr->BuildFriedman(nullptr, p.at(0), p.at(1));
    return d;
  }
  long double v[3] = {1, 1, 1};
  for (size_t i = 0; i < p.size() && i < 3; ++i) v[i] = p[i];
  if (type == 901) v[2] = std::sqrt(v[1]);
  d->SetParameters(v[0], v[1], v[2]);
  for (int i = 1; i <= d->ParCount(); ++i) d->MarkUnset(i, false);
  return d;
}

bool NonCentral(int type) { return type == 923 || type == 924 || type == 925 || type == 932; }

std::string Num(long double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.21Lg", v);
  return buf;
}

long double RelErr(long double got, long double want) {
  if (got == want) return 0;
  if (want == 0) return std::fabs(got);
  if (std::isnan(got)) return INFINITY;
  return std::fabs(got - want) / std::fabs(want);
}

struct Tally {
  int rows = 0, failed = 0;
  long double worst = 0;
};

class Precision : public ::testing::TestWithParam<int> {};

TEST_P(Precision, MatchesTheReferenceTable) {
  const int type = GetParam();
  const bool nc = NonCentral(type);
  const long double probTol = nc ? 1e-13L : 1e-15L;
  const long double quantTol = nc ? 1e-13L : 1e-14L;
  std::map<std::string, Tally> tally;
  std::string failures;
  std::string currentParams;
  std::unique_ptr<Distribution> d;
  std::string makeError;
  int seen = 0;
  for (const Row& r : AllRows()) {
    if (r.type != type) continue;
    ++seen;
    if (!d || r.params != currentParams) {
      currentParams = r.params;
      makeError.clear();
      d.reset();
      try {
        d = Make(type, r.params);
      } catch (const std::exception& e) {
        makeError = e.what();
      }
    }
    Tally& t = tally[r.op];
    ++t.rows;
    long double got = NAN;
    std::string error = makeError;
    if (error.empty()) {
      try {
        if (r.op == "cdf") {
          got = d->Cdf(r.arg);
        } else if (r.op == "sf") {
          got = d->UpperTail(r.arg);
        } else if (r.op == "pdf") {
          got = d->IsDiscrete() ? d->PointProb(r.arg) : d->Density(r.arg);
        } else if (r.op == "quantile") {
          long double p = r.arg;
          got = d->Quantile(p).X;
        } else if (r.op == "isf") {
          got = d->UpperQuantile(r.arg);
        } else {
          error = "unknown operation";
        }
      } catch (const std::exception& e) {
        error = e.what();
      }
    }
    bool ok;
    const long double err = error.empty() ? RelErr(got, r.value) : INFINITY;
    if (!error.empty()) {
      ok = false;
    } else if (r.op == "quantile" || r.op == "isf") {
      const bool integerValued = d->IsDiscrete() && type != 929 && type != 931;
      if (integerValued)
        ok = got == r.value;
      else if (r.value == 0)
        ok = std::fabs(got) <= quantTol;
      else
        ok = err <= quantTol;
    } else if (r.value == 0) {
      ok = got == 0;
    } else if (r.value > 1e-300L) {
      ok = err <= probTol;
    } else {
      ok = err <= 1e-6L;
    }
    if (!ok) {
      ++t.failed;
      if (err > t.worst) t.worst = err;
      failures += std::to_string(type) + ' ' + r.params + ' ' + r.op + ' ' + r.argText + ": got " +
                  (error.empty() ? Num(got) : "error: " + error) + " expected " + Num(r.value) +
                  " rel " + Num(err) + '\n';
    }
  }
  EXPECT_GT(seen, 0) << "no reference rows for type " << type;
  std::ostringstream summary;
  summary << "summary " << type << ':';
  for (const auto& [op, t] : tally) {
    summary << ' ' << op << ' ' << t.failed << '/' << t.rows;
    if (t.failed) summary << " (worst " << Num(t.worst) << ')';
  }
  std::printf("%s\n", summary.str().c_str());
  if (!failures.empty()) ADD_FAILURE() << summary.str() << '\n' << failures;
}

std::vector<int> Types() {
  std::vector<int> t;
  for (uint16_t id : AvailableTypes()) t.push_back(id);
  return t;
}

INSTANTIATE_TEST_SUITE_P(AllTypes, Precision, ::testing::ValuesIn(Types()),
                         [](const ::testing::TestParamInfo<int>& param_info) {
                           return "Type" + std::to_string(param_info.param);
                         });

}  // namespace
}  // namespace vokt
