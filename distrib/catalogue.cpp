#include "distrib/catalogue.h"

#include <algorithm>
#include <cctype>

#include "distrib/family.h"
#include "resources/strings.h"

namespace vokt {

namespace {
std::unique_ptr<Distribution> Construct(uint16_t t, Real p1, Real p2, Real p3) {
  const Family* f = FindFamily(t);
  return f ? f->Make(p1, p2, p3) : nullptr;
}

void Defaults(uint16_t t, Real& p1, Real& p2, Real& p3) {
  const Family* f = FindFamily(t);
  const std::array<Real, 3> d = f ? f->Defaults : std::array<Real, 3>{5, 5, 5};
  p1 = d[0];
  p2 = d[1];
  p3 = d[2];
}

std::string Canonical(const std::string& s) {
  std::string r;
  for (char c : s) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '-' || c == '_' || c == ' ') {
      if (!r.empty() && r.back() != ' ') r += ' ';
    } else {
      r += static_cast<char>(std::tolower(u));
    }
  }
  while (!r.empty() && r.back() == ' ') r.pop_back();
  return r;
}
}  // namespace

std::unique_ptr<Distribution> CreateDistribution(uint16_t t, const std::array<Parameter, 4>& values,
                                                 bool useDefaults) {
  Real p1, p2, p3;
  if (useDefaults) {
    Defaults(t, p1, p2, p3);
  } else {
    p1 = values[1].Value;
    p2 = values[2].Value;
    p3 = values[3].Value;
  }
  std::unique_ptr<Distribution> d = Construct(t, p1, p2, p3);
  if (!d) return std::make_unique<Distribution>();
  for (int i = 1; i <= d->ParCount(); ++i) {
    d->MarkUnset(i, useDefaults ? true : values[i].Unset);
    d->SetRangeHint(i, LoadString(FamilyOf(*d).HintId(i)));
  }
  return d;
}

std::unique_ptr<Distribution> CreateDistribution(uint16_t t) {
  return CreateDistribution(t, {}, true);
}

bool TypeAvailable(uint16_t t) {
  // Built once: constructing a type runs its tables and enumerations.
  static const std::vector<bool> available = [] {
    std::vector<bool> v(kLastType + 1, false);
    for (uint16_t id = kFirstType; id <= kLastType; ++id) {
      Real p1, p2, p3;
      Defaults(id, p1, p2, p3);
      v[id] = Construct(id, p1, p2, p3) != nullptr;
    }
    return v;
  }();
  return t >= kFirstType && t <= kLastType && available[t];
}

std::vector<uint16_t> AvailableTypes() {
  std::vector<uint16_t> r;
  for (uint16_t t = kFirstType; t <= kLastType; ++t)
    if (TypeAvailable(t)) r.push_back(t);
  return r;
}

uint16_t FindType(const std::string& text) {
  std::string key = Canonical(text);
  if (key.empty()) return 0;
  if (std::all_of(key.begin(), key.end(),
                  [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
    if (key.size() > 4) return 0;
    int id = std::stoi(key);
    return (id >= kFirstType && id <= kLastType && TypeAvailable(static_cast<uint16_t>(id)))
               ? static_cast<uint16_t>(id)
               : 0;
  }
  for (uint16_t t = kFirstType; t <= kLastType; ++t)
    if (Canonical(LoadString(t)) == key && TypeAvailable(t)) return t;
  return 0;
}

}  // namespace vokt
