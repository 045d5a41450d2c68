// Hostile inputs for every continuous type: parameters from the extremes of
// the number range, NaN and infinities, then x and p from the edges of their
// ranges.  Each call must come back within a second with either a sound value
// (probabilities in [0, 1], densities finite and >= 0, quantiles and random
// values numbers) or an exception of the system; nothing may crash or hang.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "distrib/catalogue.h"
#include "numeric/uniform.h"

namespace vokt {
namespace {

const Real kInf = std::numeric_limits<Real>::infinity();
const Real kNaN = std::numeric_limits<Real>::quiet_NaN();

const std::vector<Real>& ParameterValues() {
  static const std::vector<Real> v = {1e-300L, 1e-10L, 0.5L, 1,     7,    1e3L, 1e6L, 1e10L,
                                      1e100L,  1e300L, -1,   -1e6L, kNaN, kInf, -kInf};
  return v;
}

// The pairs and triples of every combination, from a shorter list.
const std::vector<Real>& CrossValues() {
  static const std::vector<Real> v = {1e-10L, 0.5L, 7, 1e6L, -1, kNaN};
  return v;
}

class Prober {
 public:
  explicit Prober(const std::string& label) : label_(label) {}

  // Runs f, which returns false for an unsound value; an exception of the
  // system is a sound answer.  Returns whether f returned normally.
  bool Call(const std::string& what, const std::function<bool()>& f) {
    const auto start = std::chrono::steady_clock::now();
    bool returned = false;
    try {
      const bool ok = f();
      returned = true;
      EXPECT_TRUE(ok) << label_ << " " << what;
    } catch (const std::exception&) {
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (seconds > slowest_) slowest_ = seconds;
    return returned;
  }
  double Slowest() const { return slowest_; }

 private:
  std::string label_;
  double slowest_ = 0;
};

bool IsProbability(Real p) { return p >= 0 && p <= 1; }
bool IsDensity(Real f) { return f >= 0 && std::isfinite(f); }
bool IsNumber(Real x) { return !std::isnan(x); }

double g_slowest = 0;

void Probe(RandomEngine& engine, uint16_t type, Real p1, Real p2, Real p3) {
  auto d = CreateDistribution(type);
  std::ostringstream s;
  s << "type " << type << " (" << (double)p1 << ", " << (double)p2 << ", " << (double)p3 << ")";
  Prober probe(s.str());
  if (!probe.Call("SetParameters", [&] {
        d->SetParameters(p1, p2, p3);
        return true;
      }))
    return;

  std::vector<Real> xs = {d->SupportLow(),
                          d->SupportHigh(),
                          0,
                          1e-300L,
                          -1e-300L,
                          1,
                          -1,
                          1e10L,
                          -1e10L,
                          1e300L,
                          -1e300L,
                          InfBound,
                          -InfBound,
                          kNaN,
                          kInf,
                          -kInf,
                          d->SupportLow() + 1e-12L,
                          d->SupportHigh() - 1e-12L,
                          d->Mode()};
  if (d->HasMean()) xs.push_back(d->Mean());
  for (Real x : xs) {
    const std::string at = " at " + std::to_string((double)x);
    probe.Call("Cdf" + at, [&] { return IsProbability(d->Cdf(x)); });
    probe.Call("Density" + at, [&] { return IsDensity(d->Density(x)); });
    probe.Call("IntervalProb" + at, [&] { return IsProbability(d->IntervalProb(x, x + 1)); });
    probe.Call("PointProb" + at, [&] { return d->PointProb(x) == 0; });
  }
  for (Real p : {0.0L, 1e-300L, 1e-13L, 1e-6L, 0.5L, 1 - 1e-6L, 1 - 1e-13L, 1.0L, -0.1L, 1.1L, kNaN,
                 kInf, -kInf}) {
    probe.Call("Quantile of " + std::to_string((double)p), [&] {
      Real q = p;
      return IsNumber(d->Quantile(q).X);
    });
  }
  probe.Call("RandomValue", [&] {
    for (int i = 0; i < 5; ++i)
      if (!IsNumber(d->RandomValue(engine))) return false;
    return true;
  });
  probe.Call("PlotRange", [&] {
    const GraphRange r = d->Range();
    return IsNumber(r.Left) && IsNumber(r.Right);
  });
  probe.Call("MaxDensity", [&] { return IsDensity(d->MaxDensity()); });
  probe.Call("XDecimals", [&] { return d->XDecimals() >= 0; });
  if (probe.Slowest() > g_slowest) g_slowest = probe.Slowest();
}

TEST(ContinuousFuzz, HostileParametersAndArguments) {
  RandomEngine engine(4242);
  int types = 0;
  for (uint16_t t : AvailableTypes()) {
    auto d = CreateDistribution(t);
    if (d->IsDiscrete()) continue;
    ++types;
    const int n = d->ParCount();
    const Real defaults[4] = {0, d->Par()[1].Value, d->Par()[2].Value, d->Par()[3].Value};
    // One parameter at a time over the full list, the others at their defaults.
    for (int i = 1; i <= n; ++i) {
      for (Real v : ParameterValues()) {
        Real p[4] = {0, defaults[1], defaults[2], defaults[3]};
        p[i] = v;
        Probe(engine, t, p[1], p[2], p[3]);
      }
    }
    // Every combination from the shorter list.
    if (n >= 2) {
      for (Real a : CrossValues())
        for (Real b : CrossValues()) {
          if (n == 2) {
            Probe(engine, t, a, b, defaults[3]);
          } else {
            for (Real c : CrossValues()) Probe(engine, t, a, b, c);
          }
        }
    }
  }
  EXPECT_GT(types, 0);
  RecordProperty("slowest_call_seconds", std::to_string(g_slowest));
  std::cout << "slowest call: " << g_slowest << " s\n";
}

}  // namespace
}  // namespace vokt
