#include "cli/cli.h"
#include "cli/tail_ops.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <iostream>
#include <ostream>

#include <unistd.h>

#include "distrib/catalogue.h"
#include "distrib/family.h"
#include "distrib/kruskal_friedman.h"
#include "distrib/rank_sums.h"
#include "numeric/uniform.h"
#include "resources/strings.h"

namespace vokt {

namespace {

const char* const kUsage =
    "usage: vokt-cli list\n"
    "       vokt-cli TYPE PARAMS OP [ARG ...]\n"
    "       vokt-cli --help | --version\n"
    "TYPE    a type id (901 to 932) or a name as listed, case-insensitive\n"
    "PARAMS  parameter values in grid order, separated by commas;\n"
    "        kruskal-wallis takes one size per group (3,4,5), friedman T,B\n"
    "OP      cdf X...       P(X <= x)\n"
    "        pdf X...       density, or P(X = x) for discrete types\n"
    "        sf X...        P(X > x), computed directly in the upper tail\n"
    "        probs X...     P(X < x) P(X = x) P(X > x)\n"
    "        quantile P...  x with P(X <= x) = p, then the probability reached\n"
    "        isf Q...       x with P(X > x) = q, then the upper tail reached\n"
    "        interval A B   P(A <= X <= B)\n"
    "        twosided X...  two-sided p-value min(1, 2 min(P(X <= x), P(X >= x)));\n"
    "                       P(X >= x) for kruskal-wallis and friedman\n"
    "        critical ALPHA... [--tail left|right|two]\n"
    "                       critical values, each followed by its attained tail\n"
    "                       probability; two (the default): both at alpha/2\n"
    "        sample N [--seed S]\n"
    "        info\n"
    "X       a number, inf or -inf\n";

struct UsageError {
  std::string message;
};

std::string Num(Real v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  if (v == 0) return "0";  // never "-0"
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.20Lg", v);
  return buf;
}

std::string BoundText(Real v) {
  if (v >= InfBound) return "inf";
  if (v <= -InfBound) return "-inf";
  return Num(v);
}

Real ParseOrThrow(const std::string& text) {
  Real v;
  if (!ParseNumberWith(text, '.', v))
    throw ArgumentError("'" + text + "' is not a valid floating point value");
  return v;
}

// An argument of an operation: a number, or inf / -inf for the ends.
Real ParseArgument(const std::string& text) {
  if (text == "inf" || text == "+inf") return InfBound;
  if (text == "-inf") return -InfBound;
  return ParseOrThrow(text);
}

std::vector<std::string> SplitCommas(const std::string& s) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : s) {
    if (c == ',') {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
  return parts;
}

std::string MarkupSymbols(const Distribution& d) {
  std::string s;
  for (int i = 1; i <= d.ParCount(); ++i) {
    if (i > 1) s += ' ';
    s += d.Par()[i].Symbol;
  }
  return s;
}

std::string TrimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

int ListTypes(std::ostream& out) {
  for (uint16_t t : AvailableTypes()) {
    auto d = CreateDistribution(t);
    out << t << '\t' << TrimRight(d->NameText()) << '\t' << MarkupSymbols(*d) << '\n';
  }
  return 0;
}

// A progress line on standard error while a long rank-test build runs (when
// standard error is a terminal and the estimate is above about a second).
class TerminalProgress {
 public:
  explicit TerminalProgress(std::ostream& err) : err_(err) {
    control_.Progress = [this](int percent) {
      if (percent == shown_) return;
      shown_ = percent;
      err_ << "\rcomputing: " << percent << "%" << std::flush;
    };
  }
  ~TerminalProgress() {
    if (shown_ >= 0) err_ << "\r               \r" << std::flush;
  }
  const RankControl* For(const RankCost& cost, bool tty) const {
    return tty && cost.Seconds() > kProgressSeconds ? &control_ : nullptr;
  }

 private:
  std::ostream& err_;
  RankControl control_;
  int shown_ = -1;
};

int32_t SizeValue(Real v) {
  ErrorIf(!(std::fabs(v) < 2147483648.0L), msgTooLarge);
  ErrorIf(!IsIntegerValue(v), msgInteger);
  return static_cast<int32_t>(v);
}

// The rank tests take their sizes the way the window's grid gives them:
// Kruskal-Wallis one size per group (3,4,5), Friedman T,B; the cost is
// known before the build starts.  False for every other type.
bool ApplyEnumeratedParameters(Distribution& d, const std::vector<Real>& values,
                               std::ostream& err) {
  if (!FamilyOf(d).BuildsTable()) return false;
  TerminalProgress terminal(err);
  const bool tty = &err == &std::cerr && isatty(STDERR_FILENO);
  if (auto* kw = dynamic_cast<KruskalWallisDistribution*>(&d)) {
    std::vector<int32_t> sizes{0};
    for (Real v : values) sizes.push_back(SizeValue(v));
    const RankCost cost = kw->PrepareKruskalWallis(sizes);
    kw->BuildKruskalWallis(sizes, terminal.For(cost, tty));
    kw->GroupSizes = sizes;
  } else if (auto* fr = dynamic_cast<FriedmanDistribution*>(&d)) {
    if (values.size() != 2)
      throw UsageError{"type '" + TrimRight(d.NameText()) + "' takes 2 parameter(s): T B"};
    const RankCost cost = fr->PrepareFriedman(values[0], values[1]);
    fr->BuildFriedman(terminal.For(cost, tty), values[0], values[1]);
  } else {
    return false;
  }
  for (int i = 1; i <= d.ParCount(); ++i) d.MarkUnset(i, false);
  return true;
}

// Applies the typed parameters as the window's grid does: the values in
// order, 1.0 for the places beyond the parameter count.  The normal
// distribution takes mu,sigma2 or mu,sigma2,sigma.
void ApplyParameters(Distribution& d, const std::string& text, std::ostream& err) {
  std::vector<std::string> parts = SplitCommas(text);
  std::vector<Real> values;
  values.reserve(parts.size());
  for (const std::string& p : parts) values.push_back(ParseOrThrow(p));
  if (ApplyEnumeratedParameters(d, values, err)) return;
  TerminalProgress terminal(err);
  auto* rank = dynamic_cast<RankSumBase*>(&d);
  if (rank && values.size() == d.ParCount()) {
    const bool tty = &err == &std::cerr && isatty(STDERR_FILENO);
    const bool valid = values[0] >= 1 && values[0] <= 100000 &&
                       (values.size() < 2 || (values[1] >= 1 && values[1] <= 100000));
    if (valid) {
      const RankCost cost = d.ParCount() == 1 ? SignedRankCost(static_cast<int64_t>(values[0]))
                                              : MannWhitneyCost(static_cast<int64_t>(values[0]),
                                                                static_cast<int64_t>(values[1]));
      rank->Control = terminal.For(cost, tty);
    }
  }
  struct ResetControl {
    RankSumBase* r;
    ~ResetControl() {
      if (r) r->Control = nullptr;
    }
  } reset{rank};
  size_t count = d.ParCount();
  if (FamilyOf(d).SpreadPair && values.size() == 2) values.push_back(std::sqrt(values[1]));
  if (values.size() != count)
    throw UsageError{"type '" + TrimRight(d.NameText()) + "' takes " + std::to_string(count) +
                     " parameter(s): " + MarkupSymbols(d)};
  while (values.size() < 3) values.push_back(1.0L);
  d.SetParameters(values[0], values[1], values[2]);
  for (int i = 1; i <= d.ParCount(); ++i) d.MarkUnset(i, false);
}

void Info(Distribution& d, std::ostream& out) {
  if (!d.IsDiscrete()) {
    try {
      d.MaxDensity();  // finds the mode where the family gives none
    } catch (const std::exception&) {
    }
  }
  out << "name: " << TrimRight(d.NameText()) << '\n';
  out << "support: " << BoundText(d.SupportLow()) << ' ' << BoundText(d.SupportHigh()) << '\n';
  out << "mean: " << (d.HasMean() ? Num(d.Mean()) : "none") << '\n';
  out << "variance: " << (d.HasVariance() ? Num(d.Variance()) : "none") << '\n';
  out << "mode: " << Num(d.ModeValue()) << '\n';
  std::string decimals;
  try {
    decimals = std::to_string(d.XDecimals());
  } catch (const std::exception& e) {
    decimals = std::string("error: ") + e.what();
  }
  out << "xdecimals: " << decimals << '\n';
}

}  // namespace

namespace {

// The command-line options taken out of the arguments: --seed N and --help.
struct Options {
  std::vector<std::string> args;
  bool help = false;
  bool haveSeed = false;
  uint64_t seed = 0;
};

Options ParseOptions(const std::vector<std::string>& argsIn) {
  Options o;
  for (size_t i = 0; i < argsIn.size(); ++i) {
    if (argsIn[i] == "--seed") {
      if (i + 1 >= argsIn.size()) throw UsageError{"--seed needs a value"};
      const std::string& s = argsIn[++i];
      if (s.empty() || s.size() > 19 || s.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError{"'" + s + "' is not a valid seed"};
      o.seed = std::stoull(s);
      o.haveSeed = true;
    } else if (argsIn[i] == "--help" || argsIn[i] == "-h") {
      o.help = true;
      return o;
    } else {
      o.args.push_back(argsIn[i]);
    }
  }
  return o;
}

// Refuses an unknown operation or a wrong number of arguments for it.
void CheckOperation(const std::vector<std::string>& args) {
  const std::string& op = args[2];
  if (op != "cdf" && op != "pdf" && op != "probs" && op != "quantile" && op != "sample" &&
      op != "info" && op != "sf" && op != "isf" && !IsTailOperation(op))
    throw UsageError{"unknown operation '" + op + "'"};
  if (op == "info" && args.size() != 3) throw UsageError{"info takes no arguments"};
  if (op == "sample" && args.size() != 4) throw UsageError{"sample takes one size"};
  if (op != "info" && op != "sample" && args.size() < 4) throw UsageError{op + " needs arguments"};
}

int RunSample(const Distribution& d, const std::string& size, std::ostream& out,
              RandomEngine& engine) {
  Real n;
  if (!ParseNumberWith(size, '.', n) || !IsIntegerValue(n) || n < 0)
    throw UsageError{"'" + size + "' is not a valid sample size"};
  int status = 0;
  std::string buf;
  for (int64_t i = 0; i < static_cast<int64_t>(RoundExt(n)); ++i) {
    try {
      buf = Num(d.RandomValue(engine));
    } catch (const std::exception& e) {
      buf = std::string("error: ") + e.what();
      status = 1;
    }
    out << buf << '\n';
  }
  return status;
}

// One output line of cdf, pdf, sf, probs, isf or quantile at the value v.
std::string PointLine(Distribution& d, const std::string& op, Real v) {
  if (op == "cdf") return Num(d.Cdf(v));
  if (op == "pdf") return Num(d.IsDiscrete() ? d.PointProb(v) : d.Density(v));
  if (op == "sf") return Num(d.UpperTail(v));
  if (op == "probs") {
    Real left, central, right;
    d.Probabilities(v, left, central, right);
    return Num(left) + ' ' + Num(central) + ' ' + Num(right);
  }
  if (op == "isf") {
    Real x = d.UpperQuantile(v);
    // A discrete type reaches the upper tail at its point, which may lie
    // below q.
    return Num(x) + ' ' + Num(d.IsDiscrete() ? d.UpperTail(x) : v);
  }
  const QuantileResult q = d.Quantile(v);
  return Num(q.X) + ' ' + Num(q.Probability);
}

int RunPointOperations(Distribution& d, const std::vector<std::string>& args, std::ostream& out) {
  int status = 0;
  for (size_t i = 3; i < args.size(); ++i) {
    std::string line;
    try {
      line = PointLine(d, args[2], ParseArgument(args[i]));
    } catch (const std::exception& e) {
      line = std::string("error: ") + e.what();
      status = 1;
    }
    out << line << '\n';
  }
  return status;
}

int RunOperation(Distribution& d, const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err, RandomEngine& engine) {
  const std::string& op = args[2];
  if (op == "info") {
    try {
      Info(d, out);
    } catch (const std::exception& e) {
      err << e.what() << '\n';
      return 1;
    }
    return 0;
  }
  if (op == "sample") return RunSample(d, args[3], out, engine);
  if (IsTailOperation(op)) {
    try {
      return RunTailOperation(d, op, std::vector<std::string>(args.begin() + 3, args.end()), out);
    } catch (const TailUsageError& e) {
      throw UsageError{e.what()};
    }
  }
  return RunPointOperations(d, args, out);
}

}  // namespace

int RunCli(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err) {
  try {
    const Options o = ParseOptions(argsIn);
    if (o.help) {
      out << kUsage;
      return 0;
    }
    const std::vector<std::string>& args = o.args;
    if (args.empty()) throw UsageError{""};
    if (args[0] == "list") {
      if (args.size() != 1) throw UsageError{"list takes no arguments"};
      return ListTypes(out);
    }
    if (args.size() < 3) throw UsageError{""};
    uint16_t type = FindType(args[0]);
    if (type == 0) throw UsageError{"unknown type '" + args[0] + "'"};
    CheckOperation(args);
    auto d = CreateDistribution(type);
    try {
      ApplyParameters(*d, args[1], err);
    } catch (const UsageError&) {
      throw;
    } catch (const std::exception& e) {
      err << e.what() << '\n';
      return 1;
    }
    // The draws' stream: the seed's, or a new one from the clock.
    RandomEngine engine = o.haveSeed ? RandomEngine(o.seed) : RandomEngine();
    return RunOperation(*d, args, out, err, engine);
  } catch (const UsageError& u) {
    if (!u.message.empty()) err << "vokt-cli: " << u.message << '\n';
    err << kUsage;
    return 2;
  }
}

}  // namespace vokt
