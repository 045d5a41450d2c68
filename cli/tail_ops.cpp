#include "cli/tail_ops.h"

#include <cmath>
#include <cstdio>
#include <ostream>

#include "distrib/tails.h"

namespace vokt {

namespace {

std::string Num(Real v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.20Lg", v);
  return buf;
}

// A typed statistic: the number, matched to the table of the rank tests.
Real Statistic(Distribution& d, const std::string& text) {
  Real v;
  if (!ParseNumberWith(text, '.', v))
    throw ArgumentError("'" + text + "' is not a valid floating point value");
  return SnapToTable(d, text, v);
}

Real Level(const std::string& text) {
  Real v;
  if (!ParseNumberWith(text, '.', v))
    throw ArgumentError("'" + text + "' is not a valid floating point value");
  return v;
}

std::string CriticalText(const CriticalValue& c) {
  return c.Exists ? Num(c.X) + ' ' + Num(c.Level) : std::string("none 0");
}

enum class Tail { Left, Right, Two };

}  // namespace

bool IsTailOperation(const std::string& op) {
  return op == "interval" || op == "twosided" || op == "critical";
}

int RunTailOperation(Distribution& d, const std::string& op, const std::vector<std::string>& argsIn,
                     std::ostream& out) {
  std::vector<std::string> args;
  Tail tail = Tail::Two;
  for (size_t i = 0; i < argsIn.size(); ++i) {
    if (argsIn[i] != "--tail") {
      args.push_back(argsIn[i]);
      continue;
    }
    if (op != "critical") throw TailUsageError("--tail belongs to critical");
    if (i + 1 >= argsIn.size()) throw TailUsageError("--tail needs left, right or two");
    const std::string& t = argsIn[++i];
    if (t == "left")
      tail = Tail::Left;
    else if (t == "right")
      tail = Tail::Right;
    else if (t == "two")
      tail = Tail::Two;
    else
      throw TailUsageError("'" + t + "' is not a tail (left, right or two)");
  }
  if (op == "interval" && args.size() != 2) throw TailUsageError("interval takes two values A B");
  if (args.empty()) throw TailUsageError(op + " needs arguments");

  if (op == "interval") {
    try {
      out << Num(IntervalProbability(d, Statistic(d, args[0]), Statistic(d, args[1]))) << '\n';
      return 0;
    } catch (const std::exception& e) {
      out << "error: " << e.what() << '\n';
      return 1;
    }
  }
  int status = 0;
  for (const std::string& a : args) {
    std::string line;
    try {
      if (op == "twosided") {
        line = Num(TwoSidedPValue(d, Statistic(d, a)));
      } else {
        const Real alpha = Level(a);
        switch (tail) {
          case Tail::Left:
            line = CriticalText(LowerCritical(d, alpha));
            break;
          case Tail::Right:
            line = CriticalText(UpperCritical(d, alpha));
            break;
          case Tail::Two: {
            const CriticalPair p = TwoSidedCritical(d, alpha);
            // The rank tests that reject only for large values have one.
            line = RejectsOnlyLarge(d) ? CriticalText(p.Upper)
                                       : CriticalText(p.Lower) + ' ' + CriticalText(p.Upper);
            break;
          }
        }
      }
    } catch (const std::exception& e) {
      line = std::string("error: ") + e.what();
      status = 1;
    }
    out << line << '\n';
  }
  return status;
}

}  // namespace vokt
