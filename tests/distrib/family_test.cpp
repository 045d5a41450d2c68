#include "distrib/family.h"

#include <gtest/gtest.h>

#include "distrib/catalogue.h"
#include "distrib/distribution.h"

namespace vokt {
namespace {

// Every row describes the type its maker makes: the same id, parameter
// count and kind, and the defaults it starts from.
TEST(FamilyTable, RowsAgreeWithTheTypesTheyMake) {
  const auto& families = Families();
  ASSERT_EQ(families.size(), static_cast<size_t>(kLastType - kFirstType + 1));
  for (size_t i = 0; i < families.size(); ++i) {
    const Family& f = families[i];
    SCOPED_TRACE(f.Id);
    EXPECT_EQ(f.Id, kFirstType + i) << "rows in id order, no gaps";
    EXPECT_EQ(FindFamily(f.Id), &f);
    const auto d = CreateDistribution(f.Id);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->NameId(), f.Id);
    EXPECT_EQ(d->ParCount(), f.ParameterCount);
    EXPECT_EQ(d->IsDiscrete(), f.Kind != FamilyKind::Continuous);
    EXPECT_EQ(&FamilyOf(*d), &f);
    // The defaults are taken as they stand (the rank tables built from
    // sizes start from the smallest table instead).
    if (!f.BuildsTable()) {
      for (int k = 1; k <= f.ParameterCount; ++k) EXPECT_EQ(d->Par()[k].Value, f.Defaults[k - 1]);
    }
  }
}

TEST(FamilyTable, FlagsOfTheSpecialTypes) {
  struct Row {
    uint16_t id;
    bool spreadPair, buildsTable, fractional, oneSided;
  };
  const Row rows[] = {
      {901, true, false, false, false},  {905, false, false, false, false},
      {926, false, false, false, false}, {927, false, false, false, false},
      {929, false, true, true, true},    {931, false, true, true, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    const Family* f = FindFamily(r.id);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->SpreadPair, r.spreadPair);
    EXPECT_EQ(f->BuildsTable(), r.buildsTable);
    EXPECT_EQ(f->FractionalValues, r.fractional);
    EXPECT_EQ(f->OneSidedStatistic, r.oneSided);
  }
  EXPECT_EQ(FindFamily(900), nullptr);
  EXPECT_EQ(FindFamily(933), nullptr);
  Distribution bare;
  EXPECT_FALSE(FamilyOf(bare).BuildsTable());
}

}  // namespace
}  // namespace vokt
