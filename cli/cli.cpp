#include "cli/cli.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <iostream>
#include <ostream>

#include <unistd.h>

#include "distrib/catalogue.h"
#include "distrib/kruskal_friedman.h"
#include "numeric/uniform.h"
#include "resources/strings.h"

namespace vokt {

namespace {

const char* const kUsage =
    "usage: vokt-cli list\n"
    "       vokt-cli TYPE PARAMS OP [ARG ...]\n"
    "TYPE    a type id (901 to 932) or a name as listed, case-insensitive\n"
    "PARAMS  parameter values in grid order, separated by commas;\n"
    "        kruskal-wallis takes one size per group (3,4,5), friedman T,B\n"
    "OP      cdf X...       P(X <= x)\n"
    "        pdf X...       density, or P(X = x) for discrete types\n"
    "        probs X...     P(X < x) P(X = x) P(X > x)\n"
    "        quantile P...  x with P(X <= x) = p, then the probability reached\n"
    "        sample N [--seed S]\n"
    "        info\n";

struct UsageError {
  std::string message;
};

std::string Num(Extended v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.20Lg", v);
  return buf;
}

std::string BoundText(Extended v) {
  if (v >= InfBound) return "inf";
  if (v <= -InfBound) return "-inf";
  return Num(v);
}

Extended ParseOrThrow(const std::string& text) {
  Extended v;
  if (!ParseNumberWith(text, '.', v))
    throw EArgumentError("'" + text + "' is not a valid floating point value");
  return v;
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

std::string MarkupSymbols(const tDistribution& d) {
  std::string s;
  for (int i = 1; i <= d.ParCount; ++i) {
    if (i > 1) s += ' ';
    s += d.Par[i].Symbol;
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

// A progress line on standard error while a long enumeration runs.
class TerminalProgress : public ProgressSink {
 public:
  explicit TerminalProgress(std::ostream& err) : err_(err) {}
  void SetPosition(int percent) override {
    if (percent == shown_) return;
    shown_ = percent;
    err_ << "\renumerating: " << percent << "%" << std::flush;
  }
  void ProcessEvents() override {}
  void SetBusy(bool busy) override {
    if (!busy && shown_ >= 0) err_ << "\r                 \r" << std::flush;
    shown_ = -1;
  }

 private:
  std::ostream& err_;
  int shown_ = -1;
};

int32_t SizeValue(Extended v) {
  ErrorIf(std::fabs(v) >= InfBound, msgTooLarge);
  ErrorIf(!IsIntegerValue(v), msgInteger);
  return RoundInt(v);
}

// The enumerated types take their sizes the way the window's grid gives
// them: Kruskal-Wallis one size per group (3,4,5), Friedman T,B.  False for
// every other type.
bool ApplyEnumeratedParameters(tDistribution& d, const std::vector<Extended>& values,
                               std::ostream& err) {
  if (d.NameId != 929 && d.NameId != 931) return false;
  TerminalProgress terminal(err);
  const bool tty = &err == &std::cerr && isatty(STDERR_FILENO);
  if (auto* kw = dynamic_cast<tKruskalWallis_Distribution*>(&d)) {
    std::vector<int32_t> sizes{0};
    for (Extended v : values) sizes.push_back(SizeValue(v));
    const bool show = tty && KruskalWallisConfigurations(sizes) > kProgressThreshold;
    kw->BuildKruskalWallis(sizes, show ? &terminal : nullptr);
    kw->GroupSizes = sizes;
  } else if (auto* fr = dynamic_cast<tFriedman_Distribution*>(&d)) {
    if (values.size() != 2)
      throw UsageError{"type '" + TrimRight(d.NameText()) + "' takes 2 parameter(s): T B"};
    bool show = false;
    if (tty && IsIntegerValue(values[0]) && values[0] >= 2 && values[0] <= 10 &&
        IsIntegerValue(values[1]) && values[1] >= 1)
      show = FriedmanConfigurations(RoundInt(values[0]), RoundInt(values[1])) > kProgressThreshold;
    fr->BuildFriedman(show ? &terminal : nullptr, values[0], values[1]);
  } else {
    return false;
  }
  for (int i = 1; i <= d.ParCount; ++i) d.Par[i].Unset = false;
  return true;
}

// Applies the typed parameters as the window's grid does: the values in
// order, 1.0 for the places beyond the parameter count.  The normal
// distribution takes mu,sigma2 or mu,sigma2,sigma.
void ApplyParameters(tDistribution& d, const std::string& text, std::ostream& err) {
  std::vector<std::string> parts = SplitCommas(text);
  std::vector<Extended> values;
  for (const std::string& p : parts) values.push_back(ParseOrThrow(p));
  if (ApplyEnumeratedParameters(d, values, err)) return;
  size_t count = d.ParCount;
  if (d.NameId == 901 && values.size() == 2) values.push_back(std::sqrt(values[1]));
  if (values.size() != count)
    throw UsageError{"type '" + TrimRight(d.NameText()) + "' takes " + std::to_string(count) +
                     " parameter(s): " + MarkupSymbols(d)};
  while (values.size() < 3) values.push_back(1.0L);
  d.SetParameters(values[0], values[1], values[2]);
  for (int i = 1; i <= d.ParCount; ++i) d.Par[i].Unset = false;
}

void Info(tDistribution& d, std::ostream& out) {
  if (!d.IsDiscrete()) {
    try {
      d.MaxDensity();  // finds the mode where the family gives none
    } catch (const std::exception&) {
    }
  }
  out << "name: " << TrimRight(d.NameText()) << '\n';
  out << "support: " << BoundText(d.SupportLow) << ' ' << BoundText(d.SupportHigh) << '\n';
  out << "mean: " << (d.HasMean ? Num(d.Mean) : "none") << '\n';
  out << "variance: " << (d.HasVariance ? Num(d.Variance) : "none") << '\n';
  out << "mode: " << Num(d.Mode) << '\n';
  out << "xdecimals: " << d.XDecimals() << '\n';
}

}  // namespace

int RunCli(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err) {
  std::vector<std::string> args;
  bool haveSeed = false;
  uint64_t seed = 0;
  try {
    for (size_t i = 0; i < argsIn.size(); ++i) {
      if (argsIn[i] == "--seed") {
        if (i + 1 >= argsIn.size()) throw UsageError{"--seed needs a value"};
        const std::string& s = argsIn[++i];
        if (s.empty() || s.size() > 19 || s.find_first_not_of("0123456789") != std::string::npos)
          throw UsageError{"'" + s + "' is not a valid seed"};
        seed = std::stoull(s);
        haveSeed = true;
      } else if (argsIn[i] == "--help" || argsIn[i] == "-h") {
        out << kUsage;
        return 0;
      } else {
        args.push_back(argsIn[i]);
      }
    }
    if (args.empty()) throw UsageError{""};
    if (args[0] == "list") {
      if (args.size() != 1) throw UsageError{"list takes no arguments"};
      return ListTypes(out);
    }
    if (args.size() < 3) throw UsageError{""};
    uint16_t type = FindType(args[0]);
    if (type == 0) throw UsageError{"unknown type '" + args[0] + "'"};
    const std::string& op = args[2];
    if (op != "cdf" && op != "pdf" && op != "probs" && op != "quantile" && op != "sample" &&
        op != "info")
      throw UsageError{"unknown operation '" + op + "'"};
    if (op == "info" && args.size() != 3) throw UsageError{"info takes no arguments"};
    if (op == "sample" && args.size() != 4) throw UsageError{"sample takes one size"};
    if (op != "info" && op != "sample" && args.size() < 4) throw UsageError{op + " needs arguments"};

    auto d = CreateDistribution(type);
    try {
      ApplyParameters(*d, args[1], err);
    } catch (const UsageError&) {
      throw;
    } catch (const std::exception& e) {
      err << e.what() << '\n';
      return 1;
    }
    if (haveSeed) SeedUniform(seed);

    if (op == "info") {
      Info(*d, out);
      return 0;
    }
    if (op == "sample") {
      Extended n;
      if (!ParseNumberWith(args[3], '.', n) || !IsIntegerValue(n) || n < 0)
        throw UsageError{"'" + args[3] + "' is not a valid sample size"};
      int status = 0;
      std::string buf;
      for (int64_t i = 0; i < static_cast<int64_t>(RoundExt(n)); ++i) {
        try {
          buf = Num(d->RandomValue());
        } catch (const std::exception& e) {
          buf = std::string("error: ") + e.what();
          status = 1;
        }
        out << buf << '\n';
      }
      return status;
    }
    int status = 0;
    for (size_t i = 3; i < args.size(); ++i) {
      std::string line;
      try {
        Extended v = ParseOrThrow(args[i]);
        if (op == "cdf") {
          line = Num(d->Cdf(v));
        } else if (op == "pdf") {
          line = Num(d->IsDiscrete() ? d->PointProb(v) : d->Density(v));
        } else if (op == "probs") {
          // Three probabilities computed each on its own.
          Extended left = d->StrictLowerTail(v);
          Extended central = d->PointProb(v);
          Extended right = d->UpperTail(v);
          line = Num(left) + ' ' + Num(central) + ' ' + Num(right);
        } else {
          Extended p = v;
          Extended x = d->Quantile(p);
          line = Num(x) + ' ' + Num(p);
        }
      } catch (const std::exception& e) {
        line = std::string("error: ") + e.what();
        status = 1;
      }
      out << line << '\n';
    }
    return status;
  } catch (const UsageError& u) {
    if (!u.message.empty()) err << "vokt-cli: " << u.message << '\n';
    err << kUsage;
    return 2;
  }
}

}  // namespace vokt
