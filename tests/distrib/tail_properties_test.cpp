// Properties of the two tails over every type, at its defaults and at one or
// two harder parameter sets:
//  - the three probabilities P(X < x), P(X = x), P(X > x) that `vokt-cli
//    probs` prints lie in [0, 1] and add up to 1 within 1e-15; a value within
//    1e-13 of a support point is that point in all three, and P(X < x) is 0 at
//    the lowest point;
//  - Cdf and UpperTail lie in [0, 1] and add up to 1 within 1e-15; a point
//    probability never exceeds Cdf;
//  - Quantile and UpperQuantile invert their tails: continuous types to
//    within rounding of x, discrete types by their defining inequalities
//    (smallest x with P(X <= x) >= p, smallest x with P(X > x) <= q); p = 0
//    and 1 give the ends of the support.
// Each failure is one line naming type, parameters, check and values.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "distrib/catalogue.h"
#include "distrib/kruskal_friedman.h"

namespace vokt {
namespace {

struct Case {
  uint16_t type;
  std::string params;  // as typed on the command line; empty: the defaults
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.type << ' ' << (c.params.empty() ? "defaults" : c.params);
}

std::vector<Case> AllCases() {
  const std::vector<Case> extra = {
      {901, "2,9"},       {901, "3e9,1e10"},
      {902, "1e-10"},     {903, "-2,3"},
      {904, "0.3"},       {904, "1e-9"},
      {905, "10,0.3"},    {905, "10000000,0.3"},
      {906, "0.5"},       {906, "1000000"},
      {907, "0.1"},       {907, "10000"},
      {908, "0.1"},       {908, "1e6"},
      {909, "3,1e7"},     {909, "0.5,2"},
      {910, "0.001,2"},   {910, "10000,10000"},
      {911, "0.001,1"},   {911, "100000,1"},
      {912, "20,7,6"},    {912, "100000,50000,2000"},
      {913, "2,0.5"},     {914, "0,1"},
      {915, "1,0.5"},     {916, "0,1"},
      {917, "0,1"},       {918, "0,0.04"},
      {919, "0,1"},       {920, "-10,1000000"},
      {921, "3,0.3"},     {921, "5,1e-6"},
      {922, "1e-6"},      {923, "4,1000"},
      {924, "10,20,200"}, {925, "10,-3"},
      {926, "200"},       {927, "50,50"},
      {928, "10,7"},      {929, "2,2"},
      {929, "3,3,3"},     {929, "4,3,2"},
      {930, "1,0.1"},     {931, "2,9"},
      {931, "3,4"},       {932, "10,10,500"},
  };
  std::vector<Case> cases;
  for (uint16_t t : AvailableTypes()) {
    if (t != 929 && t != 931) cases.push_back({t, ""});  // the tables need sizes
    if (t == 931) cases.push_back({t, "3,3"});
    for (const Case& c : extra)
      if (c.type == t) cases.push_back(c);
  }
  return cases;
}

std::string Num(long double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.21Lg", v);
  return buf;
}

std::vector<long double> SplitParams(const std::string& text) {
  std::vector<long double> v;
  std::stringstream ss(text);
  std::string p;
  while (std::getline(ss, p, ',')) v.push_back(std::strtold(p.c_str(), nullptr));
  return v;
}

// The case's distribution, with the parameters applied as the command line
// applies them; params is set to the text the command line takes.
std::unique_ptr<Distribution> Make(const Case& c, std::string& params) {
  auto d = CreateDistribution(c.type);
  params = c.params;
  if (params.empty()) {
    const int n = c.type == 901 ? 2 : d->ParCount();
    for (int i = 1; i <= n; ++i) params += (i > 1 ? "," : "") + Num(d->Par()[i].Value);
    return d;
  }
  std::vector<long double> p = SplitParams(params);
  if (auto* kw = dynamic_cast<KruskalWallisDistribution*>(d.get())) {
    std::vector<int32_t> sizes{0};
    for (long double v : p) sizes.push_back(static_cast<int32_t>(v));
    kw->BuildKruskalWallis(sizes, nullptr);
    kw->GroupSizes = sizes;
  } else if (auto* fr = dynamic_cast<FriedmanDistribution*>(d.get())) {
    fr->BuildFriedman(nullptr, p.at(0), p.at(1));
  } else {
    long double v[3] = {1, 1, 1};
    for (size_t i = 0; i < p.size() && i < 3; ++i) v[i] = p[i];
    if (c.type == 901) v[2] = std::sqrt(v[1]);
    d->SetParameters(v[0], v[1], v[2]);
  }
  for (int i = 1; i <= d->ParCount(); ++i) d->MarkUnset(i, false);
  return d;
}

bool FiniteEnd(long double v) { return std::isfinite(v) && std::fabs(v) < InfBound; }

// The support points (discrete) or grid points (continuous) to look at.
std::vector<long double> Points(Distribution& d) {
  std::vector<long double> xs;
  if (d.NameId() == 929 || d.NameId() == 931) {  // tables of non-integer values
    for (const PointRecord& r : d.Points()->Items()) xs.push_back(r.X);
    return xs;
  }
  if (d.IsDiscrete()) {
    // A window of at most about 200 points around the mean, with the ends of
    // the support when they lie in it and the integers just outside them.
    const long double sd = d.HasVariance() ? std::sqrt(d.Variance()) : 10;
    long double lo = std::floor(d.Mean() - 12 * sd - 5), hi = std::ceil(d.Mean() + 12 * sd + 5);
    if (FiniteEnd(d.SupportLow()) && lo < d.SupportLow()) lo = d.SupportLow();
    if (FiniteEnd(d.SupportHigh()) && hi > d.SupportHigh()) hi = d.SupportHigh();
    const long double step = std::max(1.0L, std::ceil((hi - lo) / 200));
    for (long double k = lo; k <= hi; k += step) xs.push_back(k);
    if (xs.back() != hi) xs.push_back(hi);
    if (FiniteEnd(d.SupportLow())) xs.push_back(d.SupportLow() - 1);
    if (FiniteEnd(d.SupportHigh())) xs.push_back(d.SupportHigh() + 1);
    return xs;
  }
  const GraphRange r = d.Range();
  const long double w = r.Right - r.Left;
  for (int i = 0; i <= 40; ++i) xs.push_back(r.Left + w * i / 40);
  for (long double f : {10.0L, 1e6L}) {
    xs.push_back(r.Left - f * w);
    xs.push_back(r.Right + f * w);
  }
  if (FiniteEnd(d.SupportLow())) xs.push_back(d.SupportLow());
  if (FiniteEnd(d.SupportHigh())) xs.push_back(d.SupportHigh());
  return xs;
}

class TailProperties : public ::testing::TestWithParam<Case> {
 protected:
  std::string failures_;
  int count_ = 0;
  std::string prefix_;
  void Fail(const std::string& what) {
    ++count_;
    if (count_ <= 300) failures_ += prefix_ + what + '\n';
  }
  void Report() {
    if (count_ > 300) failures_ += "... " + std::to_string(count_ - 300) + " more\n";
    if (count_) ADD_FAILURE() << count_ << " failures:\n" << failures_;
  }
};

TEST_P(TailProperties, ThreeProbabilitiesAndQuantiles) {
  const Case c = GetParam();
  std::string params;
  std::unique_ptr<Distribution> d;
  try {
    d = Make(c, params);
  } catch (const std::exception& e) {
    FAIL() << c.type << ' ' << c.params << ": refused: " << e.what();
  }
  prefix_ = std::to_string(c.type) + ' ' + params + ' ';
  const bool discrete = d->IsDiscrete();
  const long double tol = 1e-15L;

  // Points, and for the discrete types 1e-13 either side of each.
  std::vector<long double> xs;
  for (long double x : Points(*d)) {
    xs.push_back(x);
    if (discrete) {
      xs.push_back(x - 1e-13L);
      xs.push_back(x + 1e-13L);
    }
  }

  // The command line's three probabilities.
  std::vector<std::string> args = {std::to_string(c.type), params, "probs"};
  for (long double x : xs) args.push_back(Num(x));
  std::ostringstream out, err;
  RunCli(args, out, err);
  std::istringstream lines(out.str());
  std::vector<std::array<long double, 3>> probs;
  std::string line;
  size_t i = 0;
  while (std::getline(lines, line)) {
    const long double x = i < xs.size() ? xs[i] : NAN;
    ++i;
    std::array<long double, 3> v{NAN, NAN, NAN};
    std::istringstream ls(line);
    std::string a, b, cc;
    if (line.rfind("error", 0) == 0 || !(ls >> a >> b >> cc)) {
      Fail("probs " + Num(x) + ": " + line);
    } else {
      v = {std::strtold(a.c_str(), nullptr), std::strtold(b.c_str(), nullptr),
           std::strtold(cc.c_str(), nullptr)};
      const long double sum = v[0] + v[1] + v[2];
      const std::string text =
          "probs " + Num(x) + ": " + Num(v[0]) + ' ' + Num(v[1]) + ' ' + Num(v[2]);
      if (!(v[0] >= 0 && v[0] <= 1 && v[1] >= 0 && v[1] <= 1 && v[2] >= 0 && v[2] <= 1))
        Fail(text + " (outside [0, 1])");
      else if (!(std::fabs(sum - 1) <= tol))
        Fail(text + " (sum - 1 = " + Num(sum - 1) + ")");
      if (!discrete && v[1] != 0) Fail(text + " (a point probability on a continuous type)");
    }
    probs.push_back(v);
  }
  if (probs.size() != xs.size())
    Fail("probs printed " + std::to_string(probs.size()) + " lines for " +
         std::to_string(xs.size()) + " points: " + err.str());
  if (discrete && probs.size() == xs.size()) {
    for (size_t k = 0; k + 2 < xs.size(); k += 3) {
      for (int s = 1; s <= 2; ++s)
        for (int j = 0; j < 3; ++j)
          if (!(std::fabs(probs[k + s][j] - probs[k][j]) <= tol)) {
            Fail("probs " + Num(xs[k + s]) + ": " + Num(probs[k + s][0]) + ' ' +
                 Num(probs[k + s][1]) + ' ' + Num(probs[k + s][2]) + " differ from those at " +
                 Num(xs[k]) + ": " + Num(probs[k][0]) + ' ' + Num(probs[k][1]) + ' ' +
                 Num(probs[k][2]));
            break;
          }
      if (xs[k] == d->SupportLow() && probs[k][0] != 0)
        Fail("probs " + Num(xs[k]) + ": P(X < x) = " + Num(probs[k][0]) + " at the lowest point");
    }
  }

  // The core's tails.
  for (long double x : xs) {
    try {
      const long double lower = d->Cdf(x), upper = d->UpperTail(x);
      const std::string text = "Cdf, UpperTail " + Num(x) + ": " + Num(lower) + ' ' + Num(upper);
      if (!(lower >= 0 && lower <= 1 && upper >= 0 && upper <= 1))
        Fail(text + " (outside [0, 1])");
      else if (!(std::fabs(lower + upper - 1) <= tol))
        Fail(text + " (sum - 1 = " + Num(lower + upper - 1) + ")");
      if (discrete) {
        const long double point = d->PointProb(x);
        if (!(point >= 0 && point <= lower + tol))
          Fail("PointProb " + Num(x) + " = " + Num(point) + " with Cdf " + Num(lower));
      }
    } catch (const std::exception& e) {
      Fail("Cdf, UpperTail " + Num(x) + ": error: " + e.what());
    }
  }

  // The quantiles.
  const long double ends[] = {0, 1};
  for (long double p : ends) {
    try {
      long double pp = p;
      const long double x = d->Quantile(pp).X;
      const long double want = p == 0 ? d->SupportLow() : d->SupportHigh();
      if (x != want) Fail("Quantile(" + Num(p) + ") = " + Num(x) + ", not the end " + Num(want));
      const long double y = d->UpperQuantile(1 - p);
      if (y != want)
        Fail("UpperQuantile(" + Num(1 - p) + ") = " + Num(y) + ", not the end " + Num(want));
    } catch (const std::exception& e) {
      Fail("Quantile(" + Num(p) + "): error: " + e.what());
    }
  }
  // The point below x in the support (discrete types).
  auto below = [&](long double x) {
    if (d->NameId() == 929 || d->NameId() == 931) {
      long double prev = -INFINITY;
      for (const PointRecord& r : d->Points()->Items())
        if (r.X < x - 1e-9L) prev = r.X;
      return prev;
    }
    return x - 1;
  };
  const long double ps[] = {1e-300L, 1e-100L, 1e-20L, 1e-10L, 1e-3L,
                            0.1L,    0.5L,    0.9L,   0.999L, 1 - 1e-10L};
  const long double rel = 1e-13L;
  for (long double p : ps) {
    for (int upperSide = 0; upperSide <= 1; ++upperSide) {
      const std::string name =
          std::string(upperSide ? "UpperQuantile(" : "Quantile(") + Num(p) + ")";
      try {
        long double pp = p;
        const long double x = upperSide ? d->UpperQuantile(p) : d->Quantile(pp).X;
        if (std::isnan(x)) {
          Fail(name + " = nan");
          continue;
        }
        if (discrete) {
          const bool atLow = x <= d->SupportLow();
          if (upperSide) {
            const long double s = d->UpperTail(x);
            if (!(s <= p * (1 + rel))) Fail(name + " = " + Num(x) + " with P(X > x) = " + Num(s));
            if (!atLow) {
              const long double sb = d->UpperTail(below(x));
              if (!(sb > p * (1 - rel)))
                Fail(name + " = " + Num(x) + " but P(X > " + Num(below(x)) + ") = " + Num(sb) +
                     " already");
            }
          } else {
            const long double f = d->Cdf(x);
            if (!(f >= p * (1 - rel))) Fail(name + " = " + Num(x) + " with P(X <= x) = " + Num(f));
            if (!atLow) {
              const long double fb = d->Cdf(below(x));
              if (!(fb < p * (1 + rel)))
                Fail(name + " = " + Num(x) + " but P(X <= " + Num(below(x)) + ") = " + Num(fb) +
                     " already");
            }
          }
          continue;
        }
        // A quantile beyond what long double can hold stops at a finite end
        // of the support.
        if ((x == d->SupportLow() && FiniteEnd(x)) || (x == d->SupportHigh() && FiniteEnd(x)))
          continue;
        const long double got = upperSide ? d->UpperTail(x) : d->Cdf(x);
        const long double slack = 8 * LDBL_EPSILON * std::fabs(x) * d->Density(x);
        if (!(std::isfinite(x) && std::fabs(got - p) <= rel * p + slack))
          Fail(name + " = " + Num(x) + " with " + (upperSide ? "P(X > x) = " : "P(X <= x) = ") +
               Num(got) + " (rel " + Num(std::fabs(got - p) / p) + ")");
      } catch (const std::exception& e) {
        Fail(name + ": error: " + e.what());
      }
    }
  }
  Report();
}

INSTANTIATE_TEST_SUITE_P(AllTypes, TailProperties, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& param_info) {
                           std::string name = "Type" + std::to_string(param_info.param.type) + "_" +
                                              std::to_string(param_info.index);
                           return name;
                         });

}  // namespace
}  // namespace vokt
