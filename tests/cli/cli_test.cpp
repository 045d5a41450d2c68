#include "cli/cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sstream>

namespace vokt {
namespace {

struct Result {
  int status;
  std::string out, err;
};

Result RunArgs(std::vector<std::string> args) {
  std::ostringstream out, err;
  int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(Cli, NormalValues) {
  auto r = RunArgs({"normal", "0,1", "cdf", "1.96"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.substr(0, 14), "0.975002104851");
  r = RunArgs({"normal", "0,1", "quantile", "0.975"});
  EXPECT_EQ(r.out.substr(0, 13), "1.95996398454");
  r = RunArgs({"901", "0,1,1", "probs", "0"});
  EXPECT_EQ(r.out, "0.5 0 0.5\n");
}

TEST(Cli, ParameterErrorGoesToStandardError) {
  auto r = RunArgs({"normal", "0,0", "cdf", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Second parameter should be greater than 0\n");
  r = RunArgs({"normal", "abc,1", "cdf", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "'abc' is not a valid floating point value\n");
}

TEST(Cli, ArgumentErrorsAreLinesOfTheirOwn) {
  auto r = RunArgs({"normal", "0,1", "quantile", "0.5", "1.5", "nan", ""});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "0 0.5\nerror: Value should not be greater than 1\n"
            "error: 'nan' is not a valid floating point value\n"
            "error: '' is not a valid floating point value\n");
}

TEST(Cli, UsageErrors) {
  for (auto args : std::vector<std::vector<std::string>>{
           {}, {"normal"}, {"normal", "0,1"}, {"nosuch", "1", "cdf", "1"},
           {"normal", "0,1", "frobnicate", "1"}, {"normal", "0", "cdf", "1"},
           {"normal", "0,1", "sample"}, {"normal", "0,1", "sample", "5", "--seed"},
           {"normal", "0,1", "sample", "-3"}}) {
    auto r = RunArgs(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("usage:"), std::string::npos);
  }
}

TEST(Cli, SeededSamplesRepeat) {
  auto a = RunArgs({"normal", "0,1", "sample", "5", "--seed", "7"});
  auto b = RunArgs({"normal", "0,1", "sample", "5", "--seed", "7"});
  EXPECT_EQ(a.status, 0);
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(std::count(a.out.begin(), a.out.end(), '\n'), 5);
  auto c = RunArgs({"normal", "0,1", "sample", "5", "--seed", "8"});
  EXPECT_NE(a.out, c.out);
}

TEST(Cli, ListAndInfo) {
  auto r = RunArgs({"list"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("901\tnormal\t@m @s^2_ @s\n"), std::string::npos);
  r = RunArgs({"normal", "2,9", "info"});
  EXPECT_EQ(r.out,
            "name: normal\nsupport: -inf inf\nmean: 2\nvariance: 9\nmode: 2\nxdecimals: 2\n");
}

TEST(Cli, ExtremeInputsEndQuickly) {
  const char* values[] = {"1e300", "-1e300", "1e-300", "nan", "inf", "", "0", "1"};
  for (const char* p1 : values)
    for (const char* p2 : values)
      for (const char* op : {"cdf", "pdf", "probs", "quantile"})
        for (const char* x : values) {
          auto r = RunArgs({"normal", std::string(p1) + "," + p2, op, x});
          EXPECT_TRUE(r.status == 0 || r.status == 1) << p1 << "," << p2 << " " << op << " " << x;
        }
}

}  // namespace
}  // namespace vokt
