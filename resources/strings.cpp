// String table of VOKT: every user-visible text, distribution name, message and formula,
// addressed by an integer id. Formula texts use the markup of the formula renderer:
// '@' takes the next character from the "Symbol" font, '^' raises and '_' lowers one
// level, '$' bars the next character. Symbol-font characters outside ASCII are stored as
// the UTF-8 encoding of the same Latin-1 code point (e.g. U+00E5 for the summation sign,
// U+00B3 for greater-than-or-equal). Trailing blanks are part of the texts.

#include "resources/strings.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace vokt {
namespace {

struct StringEntry {
  int id;
  const char* text;
};

// Sorted by id; each id occurs once. An id without text has no entry.
static const StringEntry kStrings[] = {
    // User-interface texts: button captions, page captions, formulas-page labels, questions.
    {876, "Apply New Distribution"},
    {877, "Compute Probabilities"},
    {878, "Compute Quantile"},
    {879, "Expectation "},
    {880, "Variance "},
    {881, "Standard deviation "},
    {882, "Moment generating function M(t) = "},
    {883, "Save sample to a file?"},
    {885, "pdf"},
    {886, "probability density function"},
    {887, "pmf"},
    {888, "probability mass function"},

    // Distribution names. 901..932 are the type ids of the catalogue; 900 is the name of a bare
    // distribution; 933..936 are names without a distribution class.
    {900, "distribution:"},
    {901, "normal"},
    {902, "exponential"},
    {903, "uniform"},
    {904, "Bernoulli"},
    {905, "binomial"},
    {906, "Poisson"},
    {907, "chi-square"},
    {908, "t"},
    {909, "F"},
    {910, "beta"},
    {911, "gamma"},
    {912, "hypergeometric"},
    {913, "Weibull"},
    {914, "logistic"},
    {915, "Pareto"},
    {916, "Gumbel"},
    {917, "Cauchy"},
    {918, "lognormal"},
    {919, "double-exponential"},
    {920, "discrete-uniform"},
    {921, "negative-binomial"},
    {922, "geometric"},
    {923, "non-central chi2"},
    {924, "non-central F"},
    {925, "non-central t"},
    {926, "Wilcoxon signed rank"},
    {927, "Mann-Whitney "},
    {928, "Wilcoxon rank-sum"},
    {929, "Kruskal-Wallis"},
    {930, "inverse Gaussian"},
    {931, "Friedman"},
    {932, "non-central beta"},
    {933, "Kolmogorov-Smirnov"},
    {934, "stretched chi-square"},
    {935, "stretched F"},
    {936, "own discrete"},

    // Overwrite question of the save command; the file name and "?" follow the text.
    {1166, "Do you want to overwrite "},

    // Messages. Texts that take a bound end in a blank: the bound is appended directly.
    {1300, "Caution"},
    {1301, "Value should be greater than "},
    {1302, "Value should be at least "},
    {1303, "Value should be less than "},
    {1304, "Value should be integer."},
    {1305, "Second parameter should be greater than "},
    {1306, "Second parameter should be at least "},
    {1307, "Second parameter should be smaller than "},
    {1308, "Second parameter should be integer."},
    {1309, "Third parameter should be greater than "},
    {1310, "Third parameter should be at least "},
    {1311, "Third parameter should be less than "},
    {1312, "Third parameter should be integer."},
    {1313, "The second number should not be greater than the first."},
    {1315, "Value should not be greater than "},
    {1320, "The first parameter should be greater than the second."},
    {1325, "The parameter hasn't yet received a value."},
    {1329, "Integer value expected."},
    {1330, "This value is too small."},
    {1331, "This value is too big."},
    {1334, "Number expected."},
    {1340, "Sample size should be a number greater than 0."},
    {1346, "Character not valid."},
    {1347, "Division by 0"},
    {1348, "Number should be greater than 1."},
    {1360, "Don't raise negative numbers to a non-integer power."},
    {1361, "Numbers too large."},
    {1362, "Expectation does not exist."},
    {1363, "Variance -and so standard deviation- does not exist."},
    {1368, "This is not a number."},
    {1369, "This number should not be negative."},
    {1372, "Not enough memory available."},
    {1374, "Please first specify the parameter(s)."},

    // Density or probability formulas (type id + 1000).
    {1901, "f(x) = (2@p@s^2_)^-1/2_ exp[-(x-@m)^2_/2@s^2_] "},
    {1902, "f(x) = @qe^-@qx_    for  x > 0"},
    {1903, "f(x) = 1/(@b - @a)   for  @a < x < @b"},
    {1904, "P(X=0) = 1-p,    P(X=1) = p"},
    {1905, "P(X=x) = (_n^C_x^) p^x_ (1-p)^n-x_    for  x = 0,1, ..., n"},
    {1906, "P(X=x) = e^-@l_ @l^x_ / x!    for x = 0, 1, ...."},
    {1907, "f(x) = 2^-@n/2_ [@G(@n/2)]^-1_ x^( @n-2)/2_ e^-x/2_    for  x > 0"},
    {1908, "f(x) = @G[(@n+1)/2] [@G(@n/2)]^-1_ (@n@p)^-1/2_ (1 + x^2_/@n)^-( @n +1)/2_"},
    {1909,
     "f(x) = @G[(m+n)/2] [@G(m/2) @G(n/2)]^-1_ (m/n)^m /2_ x^ (m-2) / 2_ [1+mx/n]^- (m+n)/2_    "
     "for  x > 0"},
    {1910, "f(x) = @B(@a,@b)^-1_x^@a-1_ (1-x)^@b-1_    for  0 < x < 1"},
    {1911, "f(x) = @l^@a_[@G(@a)]^-1_x^@a-1_e^-@lx_    for  x > 0"},
    {1912,
     "P(X=x) = (_N1^C_x^)  (_N-N1^C_n-x^) (_N^C_n^)^-1_    for x = max (0, n-N+N_1^), ... , min "
     "(n, N_1^)"},
    {1913, "f(x) = abx^b-1_ exp[-ax^b_]    for  x > 0"},
    {1914, "F(x) = [1 + e^-(x - @a)/@b_ ]^-1_"},
    {1915, "f(x) = @q@a^@q_x^-(@q+1)_    for  x > @a"},
    {1916, "F(x) = exp[-exp((@a-x)/@b)]"},
    {1917, "f(x) = [@p@b]^-1_ {1+[(x-@a)/@b]^2_}^-1_"},
    {1918, "f(x) = (2@p@s^2_x^2_)^-1/2_ exp[-(ln x -@m)^2_/2@s^2_]    for  x > 0"},
    {1919, "f(x) = (2@b)^-1_ exp[ -|x - @a|/@b]"},
    {1920, "P(X=x) = 1/(N-M+1)    for  x = M, ..., N"},
    {1921, "P(X=x) = (_r+x-1^C_x^) p^r_ (1-p)^x_    for  x = 0, 1, ..."},
    {1922, "P(X=x) = p(1-p)^x_    for  x = 0, 1, ..."},
    {1923,
     "Distribution of @å Z_i^^2_ where Z_i^ indep. ~ N(@m_i^,1), i=1,...@n; @l = @å @m_i^^2_"},
    {1924,
     "Distribution of (X/m)(Y/n)^-1_: X ~ non-central @c^2_(m,@l); Y ~ @c^2_(n); X,Y independent"},
    {1925, "Distribution of Z (Y/@n)^-1/2_: Z ~ N(@d,1), Y ~ @c^2_(@n); Z,Y independent"},
    {1926, "Null distribution of sum of positive ranks in Wilcoxon signed rank test"},
    {1927, "Null distribution of Mann-Whitney U-statistic"},
    {1928,
     "Null distribution of sum of ranks for the first sample (of size m) in the Wilcoxon rank-sum "
     "test"},
    {1929, "Null distribution of Kruskal-Wallis H test statistic"},
    {1930, "f(x)=(@l/(2@px^3_))^1/2_ exp[-@l(x-@m)^2_/(2@m^2_x)]   for  x > 0"},
    {1931, "Null distribution of Friedman test statistic"},

    // Range hints of the first parameter (type id + 1100).
    {2004, "0 < p < 1"},
    {2005, "n = 1, 2, ..."},
    {2006, "@l > 0"},
    {2007, "@n > 0"},
    {2008, "@n > 0"},
    {2009, "m > 0"},
    {2010, "@a > 0"},
    {2011, "@a > 0"},
    {2012, "N = 2, 3, ..."},
    {2013, "a > 0"},
    {2015, "@a > 0"},
    {2020, "integer value"},
    {2021, "r = 1, 2, ..."},
    {2022, "0 < p < 1"},
    {2023, "@n > 0"},
    {2024, "m > 0"},
    {2025, "@n > 0"},
    {2026, "n = 1, 2, ..."},
    {2027, "m = 1, 2, ..."},
    {2028, "m = 1, 2, ..."},
    {2029, "n_i^ = 1, 2, ..."},
    {2030, "@m > 0"},
    {2031, "1 < T < 13 (T = number of treatments)"},

    // Range hints of the second parameter (type id + 1200).
    {2101, "@s^2_ > 0"},
    {2103, "@a < @b"},
    {2105, "0 < p < 1"},
    {2109, "n > 0"},
    {2110, "@b > 0"},
    {2111, "@l > 0"},
    {2112, "N_1^= 1, ..., N-1"},
    {2113, "b > 0"},
    {2114, "@b > 0"},
    {2115, "@q > 0"},
    {2116, "@b > 0"},
    {2117, "@b > 0"},
    {2118, "@s^2_ > 0"},
    {2119, "@b > 0"},
    {2120, "N > M (integer)"},
    {2121, "0 < p < 1"},
    {2123, "@l @³ 0"},
    {2124, "n > 0"},
    {2127, "n = 1, 2, ..."},
    {2128, "n = 1, 2, ..."},
    {2130, "@l > 0"},
    {2131, "1 < B < 63 (B = number of blocks)"},

    // Range hints of the third parameter (type id + 1300).
    {2201, "@s > 0"},
    {2212, "n = 1, ..., N-1"},
    {2224, "@l @³ 0"},

    // Expectation formulas (type id + 1400).
    {2301, "@m"},
    {2302, "1/@q"},
    {2303, "(@a + @b)/2"},
    {2304, "p"},
    {2305, "np"},
    {2306, "@l"},
    {2307, "@n"},
    {2308, "0"},
    {2309, "n/(n - 2)"},
    {2310, "@a/(@a + @b)"},
    {2311, "@a / @l"},
    {2312, "nN_1^/N"},
    {2313, "a^-1/b_ @G(1 + b^-1_)"},
    {2314, "@a"},
    {2315, "@q @a / (@q - 1)"},
    {2316, "@a + 0.577216@b"},
    {2317, "does not exist"},
    {2318, "exp[@m + @s^2_/2]"},
    {2319, "@a"},
    {2320, "(M + N)/2"},
    {2321, "r(1 - p)/p"},
    {2322, "(1 - p) / p"},
    {2323, "@n + @l"},
    {2324, "(m + @l) n [m (n - 2)]^-1_"},
    {2325, "@d (@n/2)^1/2_ @G[(@n - 1)/2] {@G(@n/2)}^-1_"},
    {2326, "n(n+1)/4"},
    {2327, "mn/2"},
    {2328, "m(m+n+1)/2"},
    {2330, "@m"},

    // Variance formulas (type id + 1500).
    {2401, "@s^2_"},
    {2402, "1/@q^2_"},
    {2403, "(@b - @a)^2_/12"},
    {2404, "p(1 - p)"},
    {2405, "np(1 - p)"},
    {2406, "@l"},
    {2407, "2@n"},
    {2408, "@n (@n - 2)^-1_"},
    {2409, "2n^2_(m + n - 2)/ [ m (n - 2)^2_ (n - 4) ]"},
    {2410, "@a@b /[(@a + @b + 1) (@a + @b)^2_]"},
    {2411, "@a / @l^2_"},
    {2412, "nN_1^(N - N_1^)(N - n) / [N^2_(N - 1)]"},
    {2413, "a^-2/b_[@G(1 + 2b^-1_) - @G^2_(1 + b^-1_)]"},
    {2414, "@b^2_ @p^2_/3"},
    {2415, "@q @a^2_ / [(@q - 1)^2_ (@q - 2)]"},
    {2416, "@p^2_ @b^2_/6"},
    {2417, "does not exist"},
    {2418, "exp[2@m + 2@s^2_] - exp[2@m + @s^2_]"},
    {2419, "2@b^2_"},
    {2420, "(N-M)(N-M+2)/12"},
    {2421, "r(1 - p) / p^2_"},
    {2422, "(1 - p) / p^2_"},
    {2423, "2@n + 4@l"},
    {2424, "(n/m)^2_ [(2m + 4@l)(n - 2) + 2(m + @l)^2_] [(n - 2)^2_ (n - 4)]^-1_"},
    {2425, "@n(1 + @d^2_)/(@n-2) - @n/2[@d@G{(@n - 1)/2}/@G(@n/2)]^2_"},
    {2426, "n(n+1)(2n+1)/24"},
    {2427, "mn(m+n+1)/12"},
    {2428, "mn(m+n+1)/12"},
    {2430, "@m^3_/@l "},

    // Moment generating functions (type id + 1600).
    {2501, "exp(@mt + @s^2_t^2_/2)"},
    {2502, "@q/(@q - t)"},
    {2503, "(e^@bt_ - e^@at_)/(@b - @a)t"},
    {2504, "1 - p + pe^t_"},
    {2505, "(1 - p + pe^t_)^n_"},
    {2506, "exp[@l(e^t_ - 1)]"},
    {2507, "(1 - 2t)^-@n/2_"},
    {2511, "[@l/( @l - t )]^@a_"},
    {2514, "exp(@at) @G(1 - @bt) @G(1 + @bt)"},
    {2516, "exp(@at) @G(1 - @bt)"},
    {2519, "exp(@at)/[1 - (@bt)^2_]"},
    {2520, "[exp(Mt)+ exp((M+1)t) + ... + exp(Nt)] / (N-M+1)"},
    {2521, "[p/(1 - (1 - p)exp(t))]^r_"},
    {2522, "p / [1 - (1 - p)exp(t)]"},

    // Remarks (type id + 1700).
    {2601,
     "If X_1^,...,X_n^ are independent and identically distributed, their sum (and their average) "
     "has approximately a normal distribution (Central Limit Theorem)"},
    {2602,
     "A special case of the gamma distribution (@a=1) and a special case of the Weibull "
     "distribution (b=1); used in modeling waiting times"},
    {2603,
     "If Y has a uniform (0,1) distribution, X=F^-1_(Y) has a distribution with cumulative "
     "distribution function F"},
    {2604, "A special case of the binomial distribution (n=1)"},
    {2605,
     "The distribution of the total number of successes in a series of n independent Bernoulli "
     "trials"},
    {2606, "Used in modeling the number of occurrences of an event in a given time interval"},
    {2607,
     "Special case of the gamma distribution; used in inference about @s^2_ when sampling from a "
     "normal population; also used for testing independence in frequency tables"},
    {2608,
     "Used when making inference about means when sampling from normal distributions; related to "
     "the F-distribution (t_n^^2_=F_1,n^)"},
    {2609, "Used when comparing means of normal populations (analysis of variance)"},
    {2610, "Used to model proportions; density function is positive only on (0,1)"},
    {2611, "Used when outcomes are restricted to positive values"},
    {2612,
     "Has applications in finite population sampling: if N_1^ out of N objects have a certain "
     "property and n objects are sampled without replacement, the number of sampled objects with "
     "the property has a hypergeometric distribution"},
    {2613, "Used in the analysis of failure time data and for modeling hazard functions"},
    {2615, "Used in modeling income"},
    {2616, "Also known as the extreme value distribution"},
    {2617, "Special case of the t-distribution (@n=1); mean and variance do not exist"},
    {2618, "Often used when the variable of interest is skewed to the right"},
    {2621,
     "Distribution of the number of failures before the r-th success in a series of independent "
     "Bernoulli trials"},
    {2622, "Special case of the negative binomial distribution (r=1)"},
    {2626, "Used in nonparametric testing of symmetry"},
    {2627,
     "Used in nonparametric testing of equality of two distributions. Mann-Whitney's U = "
     "Wilcoxon's Rank Sum  R - m*(m+1)/2"},
    {2628,
     "Used in nonparametric testing of equality of two distributions. Wilcoxon's Rank Sum  R = "
     "Mann-Whitney's U + m*(m+1)/2"},
    {2630,
     "Also known as the Wald distribution. Used in modeling the motion of particles subject to "
     "Brownian motion"},
    {2631,
     "Used in nonparametric testing of differences between treatments in a randomized complete "
     "block design."},
};

const StringEntry* FindEntry(int id) {
  const StringEntry* first = std::begin(kStrings);
  const StringEntry* last = std::end(kStrings);
  const StringEntry* it =
      std::lower_bound(first, last, id, [](const StringEntry& e, int key) { return e.id < key; });
  return (it != last && it->id == id) ? it : nullptr;
}

}  // namespace

std::string LoadString(int id) {
  const StringEntry* e = FindEntry(id);
  return e ? std::string(e->text) : std::string();
}

bool HasString(int id) { return FindEntry(id) != nullptr; }

std::vector<int> AllStringIds() {
  std::vector<int> ids;
  ids.reserve(std::size(kStrings));
  for (const StringEntry& e : kStrings) ids.push_back(e.id);
  return ids;
}

}  // namespace vokt
