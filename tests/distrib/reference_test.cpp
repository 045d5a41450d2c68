// Every reference row whose type is built is checked: cdf within 1e-9
// absolute, density or point probability within 1e-8 relative, quantiles
// within 1e-7 relative.
#include "tests/distrib/reference.h"

#include <gtest/gtest.h>

#include <cmath>

#include "distrib/catalogue.h"

namespace vokt {
namespace {

void Apply(Distribution& d, const std::vector<long double>& p) {
  long double v[3] = {1, 1, 1};
  for (size_t i = 0; i < p.size() && i < 3; ++i) v[i] = p[i];
  if (d.NameId() == 901) v[2] = std::sqrt(v[1]);  // the normal's sigma follows sigma^2
  d.SetParameters(v[0], v[1], v[2]);
}

TEST(Reference, AgreesWithIndependentValues) {
  auto rows = testing::LoadReference();
  ASSERT_GT(rows.size(), 200u);
  int checked = 0;
  for (const auto& r : rows) {
    if (!TypeAvailable(static_cast<uint16_t>(r.type))) continue;
    auto d = CreateDistribution(static_cast<uint16_t>(r.type));
    try {
      Apply(*d, r.params);
      if (r.op == "cdf") {
        EXPECT_NEAR((double)d->Cdf(r.arg), (double)r.value, 1e-9) << r.line;
      } else if (r.op == "pdf") {
        long double got = d->IsDiscrete() ? d->PointProb(r.arg) : d->Density(r.arg);
        EXPECT_NEAR((double)got, (double)r.value, 1e-8 * std::fabs((double)r.value)) << r.line;
      } else if (r.op == "quantile") {
        long double p = r.arg;
        long double got = d->Quantile(p).X;
        EXPECT_NEAR((double)got, (double)r.value, 1e-7 * std::max(1.0, std::fabs((double)r.value)))
            << r.line;
      }
    } catch (const std::exception& e) {
      ADD_FAILURE() << r.line << ": " << e.what();
    }
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

}  // namespace
}  // namespace vokt
