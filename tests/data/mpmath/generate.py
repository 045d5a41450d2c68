#!/usr/bin/python3
"""Reference values for the precision test, computed with mpmath at 50+ digits.

Writes reference.csv next to this script: type,params,op,arg,value with
op = cdf (P(X <= x)), sf (P(X > x)), pdf (density, or P(X = x) for the
discrete types), quantile (x with P(X <= x) = p; discrete: the smallest x
with P(X <= x) >= p) and isf (x with P(X > x) = q; discrete: the smallest x
with P(X > x) <= q).

Every parameter and argument is first rounded to the 64-bit significand of
x86 long double, so that the value refers to exactly the number the program
reads from the same decimal text.  Each value is computed at two working
precisions (and more where they disagree, which catches cancellation) and
kept only when they agree to 30 digits.  The rank statistics are counted
exactly with Python integers and fractions.

Run: /usr/bin/python3 tests/data/mpmath/generate.py   (a few minutes)
"""
import math
import os
import sys
from fractions import Fraction
from itertools import permutations, combinations

from mpmath import mp, mpf

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "reference.csv")
DIGITS = 30


def ld(s):
    """The long double nearest to the decimal text s (as strtold reads it)."""
    with mp.workprec(64):
        return +mpf(str(s))


def text(v):
    return mp.nstr(v, DIGITS, min_fixed=-5, max_fixed=8) if v != 0 else "0"


def robust(f):
    """f() at increasing precision until two successive results agree."""
    prev = None
    for dps in (45, 60, 100, 200, 400):
        with mp.workdps(dps):
            try:
                v = f()
            except (ZeroDivisionError, ValueError, OverflowError):
                v = None
            v = +v if v is not None else None
        if prev is not None and v is not None:
            if v == prev or (v != 0 and abs(v - prev) <= abs(v) * mpf(10) ** -DIGITS):
                return v
        prev = v
    raise RuntimeError("no agreement")


# ---------------------------------------------------------------- kernels

def ibeta_cf(a, b, x):
    """I_x(a, b) by the continued fraction (x below the mean)."""
    lbeta = mp.loggamma(a) + mp.loggamma(b) - mp.loggamma(a + b)
    front = mp.exp(a * mp.log(x) + b * mp.log1p(-x) - lbeta) / a
    tiny = mpf(10) ** (-mp.dps * 4)
    c, d = mpf(1), 1 - (a + b) * x / (a + 1)
    if abs(d) < tiny:
        d = tiny
    d = 1 / d
    h = d
    eps = mpf(10) ** (-mp.dps - 5)
    for m in range(1, 2000000):
        m2 = 2 * m
        num = m * (b - m) * x / ((a + m2 - 1) * (a + m2))
        d = 1 + num * d
        d = tiny if abs(d) < tiny else d
        c = 1 + num / c
        c = tiny if abs(c) < tiny else c
        d = 1 / d
        h *= d * c
        num = -(a + m) * (a + b + m) * x / ((a + m2) * (a + m2 + 1))
        d = 1 + num * d
        d = tiny if abs(d) < tiny else d
        c = 1 + num / c
        c = tiny if abs(c) < tiny else c
        d = 1 / d
        delta = d * c
        h *= delta
        if abs(delta - 1) < eps:
            return front * h
    raise RuntimeError("ibeta cf")


def ibeta(a, b, x, upper=False):
    """I_x(a, b), or its complement with upper=True; x in [0, 1]."""
    if x <= 0:
        return mpf(1) if upper else mpf(0)
    if x >= 1:
        return mpf(0) if upper else mpf(1)
    if x < (a + 1) / (a + b + 2):
        v = ibeta_cf(a, b, x)
        return 1 - v if upper else v
    v = ibeta_cf(b, a, 1 - x)
    return v if upper else 1 - v


def ibeta2(a, b, x, y, upper=False):
    """I_x(a, b) with y = 1 - x given separately (exact complement)."""
    if x <= 0:
        return mpf(1) if upper else mpf(0)
    if y <= 0:
        return mpf(0) if upper else mpf(1)
    if x < (a + 1) / (a + b + 2):
        v = ibeta_cf(a, b, x)
        return 1 - v if upper else v
    v = ibeta_cf(b, a, y)
    return v if upper else 1 - v


def _gamma_pq(a, x):
    """(P, Q) for large shapes, where mpmath's series gives up: the series for
    P below a + 1, Lentz's continued fraction for Q above."""
    front = mp.exp(a * mp.log(x) - x - mp.loggamma(a))
    eps = mpf(10) ** (-mp.dps - 5)
    if x < a + 1:
        term = total = 1 / a
        n = 0
        while abs(term) > eps * abs(total):
            n += 1
            term *= x / (a + n)
            total += term
            if n > 10 ** 7: raise RuntimeError("gamma series")
        p = front * total
        return p, 1 - p
    tiny = mpf(10) ** (-mp.dps * 4)
    b = x + 1 - a
    c = 1 / tiny
    d = 1 / b
    h = d
    for i in range(1, 10 ** 7):
        an = -i * (i - a)
        b += 2
        d = an * d + b
        d = tiny if abs(d) < tiny else d
        c = b + an / c
        c = tiny if abs(c) < tiny else c
        d = 1 / d
        delta = d * c
        h *= delta
        if abs(delta - 1) < eps:
            q = front * h
            return 1 - q, q
    raise RuntimeError("gamma cf")


def gp(a, x):
    if a > 1000:
        return _gamma_pq(a, x)[0]
    return mp.gammainc(a, 0, x, regularized=True)


def gq(a, x):
    if a > 1000:
        return _gamma_pq(a, x)[1]
    return mp.gammainc(a, x, mp.inf, regularized=True)


def Phi(z):
    return mp.erfc(-z / mp.sqrt(2)) / 2


def phi(z):
    return mp.exp(-z * z / 2) / mp.sqrt(2 * mp.pi)


def lpois(j, lam):
    return j * mp.log(lam) - lam - mp.loggamma(j + 1)


def poisson_mix(lam, term, eps_digits=None):
    """sum_j Pois(j; lam) term(j), from the mode outward (positive terms)."""
    lam = mpf(lam)
    if lam == 0:
        return term(0)
    mode = int(mp.floor(lam))
    total = mpf(0)
    cut = mpf(10) ** (-(mp.dps + 10))
    j = mode
    while j >= 0:
        t = mp.exp(lpois(j, lam)) * term(j)
        total += t
        if j < mode - 5 and abs(t) <= cut * abs(total) and mp.exp(lpois(j, lam)) < cut:
            break
        j -= 1
    j = mode + 1
    while True:
        w = mp.exp(lpois(j, lam))
        t = w * term(j)
        total += t
        if j > mode + 5 and abs(t) <= cut * abs(total) and w < cut:
            break
        j += 1
    return total


# ---------------------------------------------------------------- families
# Each family: cdf(x), sf(x), pdf(x) at the working precision; lo, hi the
# support; discrete flag.

class Fam:
    discrete = False
    lo = -mp.inf
    hi = mp.inf
    nc = False


class Normal(Fam):
    def __init__(s, mu, var):
        s.mu, s.sd = mu, None
        s.var = var
    def z(s, x):
        return (x - s.mu) / mp.sqrt(s.var)
    def cdf(s, x): return Phi(s.z(x))
    def sf(s, x): return Phi(-s.z(x))
    def pdf(s, x): return phi(s.z(x)) / mp.sqrt(s.var)


class Gamma(Fam):
    lo = 0
    def __init__(s, a, rate): s.a, s.r = a, rate
    def cdf(s, x): return gp(s.a, s.r * x) if x > 0 else mpf(0)
    def sf(s, x): return gq(s.a, s.r * x) if x > 0 else mpf(1)
    def pdf(s, x):
        if x <= 0: return mpf(0)
        return mp.exp(s.a * mp.log(s.r) + (s.a - 1) * mp.log(x) - s.r * x - mp.loggamma(s.a))


class Uniform(Fam):
    def __init__(s, a, b): s.a, s.b, s.lo, s.hi = a, b, a, b
    def cdf(s, x): return min(mpf(1), max(mpf(0), (x - s.a) / (s.b - s.a)))
    def sf(s, x): return min(mpf(1), max(mpf(0), (s.b - x) / (s.b - s.a)))
    def pdf(s, x): return 1 / (s.b - s.a) if s.a <= x <= s.b else mpf(0)


class T(Fam):
    def __init__(s, nu): s.nu = nu
    def lower(s, x):  # P(T <= x) for x <= 0
        return ibeta2(s.nu / 2, mpf(1) / 2, s.nu / (s.nu + x * x), x * x / (s.nu + x * x)) / 2
    def cdf(s, x): return s.lower(x) if x <= 0 else 1 - s.lower(-x) if x < 1 else s._upper_c(x)
    def _upper_c(s, x): return 1 - s.lower(-x)
    def sf(s, x): return s.lower(-x) if x >= 0 else 1 - s.lower(x)
    def pdf(s, x):
        nu = s.nu
        return mp.exp(mp.loggamma((nu + 1) / 2) - mp.loggamma(nu / 2) - mp.log(nu * mp.pi) / 2
                      - (nu + 1) / 2 * mp.log1p(x * x / nu))


class F(Fam):
    lo = 0
    def __init__(s, m, n): s.m, s.n = m, n
    def cdf(s, x):
        if x <= 0: return mpf(0)
        return ibeta2(s.m / 2, s.n / 2, s.m * x / (s.m * x + s.n), s.n / (s.m * x + s.n))
    def sf(s, x):
        if x <= 0: return mpf(1)
        return ibeta2(s.m / 2, s.n / 2, s.m * x / (s.m * x + s.n), s.n / (s.m * x + s.n), True)
    def pdf(s, x):
        if x <= 0: return mpf(0)
        m, n = s.m, s.n
        lb = mp.loggamma(m / 2) + mp.loggamma(n / 2) - mp.loggamma((m + n) / 2)
        return mp.exp(m / 2 * mp.log(m / n) + (m / 2 - 1) * mp.log(x)
                      - (m + n) / 2 * mp.log1p(m * x / n) - lb)


class Beta(Fam):
    lo, hi = 0, 1
    def __init__(s, a, b): s.a, s.b = a, b
    def cdf(s, x): return ibeta(s.a, s.b, x)
    def sf(s, x): return ibeta(s.a, s.b, x, True)
    def pdf(s, x):
        if x <= 0 or x >= 1: return mpf(0)
        lb = mp.loggamma(s.a) + mp.loggamma(s.b) - mp.loggamma(s.a + s.b)
        return mp.exp((s.a - 1) * mp.log(x) + (s.b - 1) * mp.log1p(-x) - lb)


class Weibull(Fam):
    lo = 0
    def __init__(s, a, b): s.a, s.b = a, b
    def cdf(s, x): return -mp.expm1(-s.a * x ** s.b) if x > 0 else mpf(0)
    def sf(s, x): return mp.exp(-s.a * x ** s.b) if x > 0 else mpf(1)
    def pdf(s, x):
        if x <= 0: return mpf(0)
        return s.a * s.b * x ** (s.b - 1) * mp.exp(-s.a * x ** s.b)


class Logistic(Fam):
    def __init__(s, a, b): s.a, s.b = a, b
    def cdf(s, x): return 1 / (1 + mp.exp(-(x - s.a) / s.b))
    def sf(s, x): return 1 / (1 + mp.exp((x - s.a) / s.b))
    def pdf(s, x):
        e = mp.exp(-abs(x - s.a) / s.b)
        return e / (1 + e) ** 2 / s.b


class Pareto(Fam):
    def __init__(s, a, th): s.a, s.th, s.lo = a, th, a
    def cdf(s, x): return -mp.expm1(s.th * mp.log(s.a / x)) if x > s.a else mpf(0)
    def sf(s, x): return (s.a / x) ** s.th if x > s.a else mpf(1)
    def pdf(s, x): return s.th / s.a * (s.a / x) ** (s.th + 1) if x >= s.a else mpf(0)


class Gumbel(Fam):
    def __init__(s, a, b): s.a, s.b = a, b
    def cdf(s, x): return mp.exp(-mp.exp(-(x - s.a) / s.b))
    def sf(s, x): return -mp.expm1(-mp.exp(-(x - s.a) / s.b))
    def pdf(s, x):
        z = -(x - s.a) / s.b
        return mp.exp(z - mp.exp(z)) / s.b


class Cauchy(Fam):
    def __init__(s, a, b): s.a, s.b = a, b
    def cdf(s, x):
        d = x - s.a
        return mp.acot(-d / s.b) / mp.pi if d < 0 else 1 - mp.acot(d / s.b) / mp.pi if d > 0 else mpf(1) / 2
    def sf(s, x):
        d = x - s.a
        return mp.acot(d / s.b) / mp.pi if d > 0 else 1 - mp.acot(-d / s.b) / mp.pi if d < 0 else mpf(1) / 2
    def pdf(s, x): return s.b / mp.pi / (s.b ** 2 + (x - s.a) ** 2)


class Lognormal(Fam):
    lo = 0
    def __init__(s, mu, var): s.mu, s.var = mu, var
    def z(s, x): return (mp.log(x) - s.mu) / mp.sqrt(s.var)
    def cdf(s, x): return Phi(s.z(x)) if x > 0 else mpf(0)
    def sf(s, x): return Phi(-s.z(x)) if x > 0 else mpf(1)
    def pdf(s, x): return phi(s.z(x)) / (x * mp.sqrt(s.var)) if x > 0 else mpf(0)


class Laplace(Fam):
    def __init__(s, a, b): s.a, s.b = a, b
    def cdf(s, x):
        return mp.exp((x - s.a) / s.b) / 2 if x <= s.a else 1 - mp.exp((s.a - x) / s.b) / 2
    def sf(s, x):
        return mp.exp((s.a - x) / s.b) / 2 if x >= s.a else 1 - mp.exp((x - s.a) / s.b) / 2
    def pdf(s, x): return mp.exp(-abs(x - s.a) / s.b) / (2 * s.b)


class InvGauss(Fam):
    lo = 0
    def __init__(s, mu, lam): s.mu, s.lam = mu, lam
    def cdf(s, x):
        if x <= 0: return mpf(0)
        r = mp.sqrt(s.lam / x)
        return Phi(r * (x / s.mu - 1)) + mp.exp(2 * s.lam / s.mu + mp.log(Phi(-r * (x / s.mu + 1))))
    def sf(s, x):
        if x <= 0: return mpf(1)
        r = mp.sqrt(s.lam / x)
        return Phi(-r * (x / s.mu - 1)) - mp.exp(2 * s.lam / s.mu + mp.log(Phi(-r * (x / s.mu + 1))))
    def pdf(s, x):
        if x <= 0: return mpf(0)
        return mp.sqrt(s.lam / (2 * mp.pi * x ** 3)) * mp.exp(-s.lam * (x - s.mu) ** 2 / (2 * s.mu ** 2 * x))


class NCChi2(Fam):
    lo = 0
    nc = True
    def __init__(s, nu, lam): s.nu, s.lam = nu, lam
    def cdf(s, x): return poisson_mix(s.lam / 2, lambda j: gp(s.nu / 2 + j, x / 2)) if x > 0 else mpf(0)
    def sf(s, x): return poisson_mix(s.lam / 2, lambda j: gq(s.nu / 2 + j, x / 2)) if x > 0 else mpf(1)
    def pdf(s, x):
        if x <= 0: return mpf(0)
        return poisson_mix(s.lam / 2, lambda j: mp.exp((s.nu / 2 + j - 1) * mp.log(x / 2) - x / 2
                                                       - mp.loggamma(s.nu / 2 + j)) / 2)


class NCBeta(Fam):
    lo, hi = 0, 1
    nc = True
    def __init__(s, a, b, lam): s.a, s.b, s.lam = a, b, lam
    def cdf2(s, x, y, upper):
        return poisson_mix(s.lam / 2, lambda j: ibeta2(s.a + j, s.b, x, y, upper))
    def cdf(s, x): return s.cdf2(x, 1 - x, False)
    def sf(s, x): return s.cdf2(x, 1 - x, True)
    def pdf(s, x):
        if x <= 0 or x >= 1: return mpf(0)
        def term(j):
            a = s.a + j
            lb = mp.loggamma(a) + mp.loggamma(s.b) - mp.loggamma(a + s.b)
            return mp.exp((a - 1) * mp.log(x) + (s.b - 1) * mp.log1p(-x) - lb)
        return poisson_mix(s.lam / 2, term)


class NCF(Fam):
    lo = 0
    nc = True
    def __init__(s, m, n, lam):
        s.m, s.n, s.lam = m, n, lam
        s.beta = NCBeta(m / 2, n / 2, lam)
    def cdf(s, x):
        if x <= 0: return mpf(0)
        return s.beta.cdf2(s.m * x / (s.m * x + s.n), s.n / (s.m * x + s.n), False)
    def sf(s, x):
        if x <= 0: return mpf(1)
        return s.beta.cdf2(s.m * x / (s.m * x + s.n), s.n / (s.m * x + s.n), True)
    def pdf(s, x):
        if x <= 0: return mpf(0)
        y = s.m * x / (s.m * x + s.n)
        return s.beta.pdf(y) * s.m * s.n / (s.m * x + s.n) ** 2


class NCT(Fam):
    nc = True
    def __init__(s, nu, delta): s.nu, s.delta = nu, delta
    def _chi_int(s, g):
        # integral over s >= 0 of g(s) * chi-square(nu) density, split near the peak
        nu = s.nu
        lnorm = -(nu / 2) * mp.log(2) - mp.loggamma(nu / 2)
        def dens(v):
            if v <= 0: return mpf(0)
            return mp.exp(lnorm + (nu / 2 - 1) * mp.log(v) - v / 2)
        sd = mp.sqrt(2 * nu)
        pts = [mpf(0)] + [max(mpf(0), nu + k * sd) for k in (-4, -2, -1, 0, 1, 2, 4, 8)]
        pts = sorted(set(pts)) + [mp.inf]
        return mp.quad(lambda v: g(v) * dens(v), pts)
    def cdf(s, x):
        return s._chi_int(lambda v: Phi(x * mp.sqrt(v / s.nu) - s.delta))
    def sf(s, x):
        return s._chi_int(lambda v: Phi(s.delta - x * mp.sqrt(v / s.nu)))
    def pdf(s, x):
        return s._chi_int(lambda v: phi(x * mp.sqrt(v / s.nu) - s.delta) * mp.sqrt(v / s.nu))


# ---- discrete (integer support)

class Disc(Fam):
    discrete = True


class Binomial(Disc):
    def __init__(s, n, p): s.n, s.p, s.lo, s.hi = n, p, mpf(0), n
    def cdf(s, k):
        if k < 0: return mpf(0)
        if k >= s.n: return mpf(1)
        return ibeta2(s.n - k, k + 1, 1 - s.p, s.p)
    def sf(s, k):
        if k < 0: return mpf(1)
        if k >= s.n: return mpf(0)
        return ibeta2(k + 1, s.n - k, s.p, 1 - s.p)
    def pdf(s, k):
        if k < 0 or k > s.n: return mpf(0)
        n, p = s.n, s.p
        return mp.exp(mp.loggamma(n + 1) - mp.loggamma(k + 1) - mp.loggamma(n - k + 1)
                      + k * mp.log(p) + (n - k) * mp.log1p(-p)) if 0 < p < 1 else mpf(1 if (p == 0 and k == 0) or (p == 1 and k == n) else 0)


class Poisson(Disc):
    def __init__(s, lam): s.lam, s.lo = lam, mpf(0)
    def cdf(s, k): return gq(k + 1, s.lam) if k >= 0 else mpf(0)
    def sf(s, k): return gp(k + 1, s.lam) if k >= 0 else mpf(1)
    def pdf(s, k): return mp.exp(lpois(k, s.lam)) if k >= 0 else mpf(0)


class NegBin(Disc):
    def __init__(s, r, p): s.r, s.p, s.lo = r, p, mpf(0)
    def cdf(s, k): return ibeta2(s.r, k + 1, s.p, 1 - s.p) if k >= 0 else mpf(0)
    def sf(s, k): return ibeta2(s.r, k + 1, s.p, 1 - s.p, True) if k >= 0 else mpf(1)
    def pdf(s, k):
        if k < 0: return mpf(0)
        r, p = s.r, s.p
        return mp.exp(mp.loggamma(k + r) - mp.loggamma(k + 1) - mp.loggamma(r)
                      + r * mp.log(p) + k * mp.log1p(-p))


class Hyper(Disc):
    def __init__(s, N, N1, n):
        s.N, s.N1, s.n = int(N), int(N1), int(n)
        s.lo = mpf(max(0, s.n - (s.N - s.N1)))
        s.hi = mpf(min(s.N1, s.n))
    def lc(s, a, b): return mp.loggamma(a + 1) - mp.loggamma(b + 1) - mp.loggamma(a - b + 1)
    def pdf(s, k):
        if k < s.lo or k > s.hi: return mpf(0)
        k = int(k)
        return mp.exp(s.lc(s.N1, k) + s.lc(s.N - s.N1, s.n - k) - s.lc(s.N, s.n))
    def _sum(s, a, b):
        a, b = int(max(a, s.lo)), int(min(b, s.hi))
        if b < a: return mpf(0)
        # terms by the ratio of neighbours from each end inward would be faster;
        # the supports used here are small enough to sum directly.
        t = s.pdf(a)
        tot = t
        N, N1, n = s.N, s.N1, s.n
        for k in range(a, b):
            t = t * (N1 - k) * (n - k) / ((k + 1) * (N - N1 - n + k + 1))
            tot += t
        return tot
    def cdf(s, k): return s._sum(s.lo, k)
    def sf(s, k): return s._sum(k + 1, s.hi)


class Geometric(NegBin):
    def __init__(s, p): NegBin.__init__(s, mpf(1), p)
    def cdf(s, k): return -mp.expm1((k + 1) * mp.log1p(-s.p)) if k >= 0 else mpf(0)
    def sf(s, k): return mp.exp((k + 1) * mp.log1p(-s.p)) if k >= 0 else mpf(1)


class DUniform(Disc):
    def __init__(s, M, N): s.lo, s.hi = M, N
    def cdf(s, k): return min(mpf(1), max(mpf(0), (mp.floor(k) - s.lo + 1) / (s.hi - s.lo + 1)))
    def sf(s, k): return min(mpf(1), max(mpf(0), (s.hi - mp.floor(k)) / (s.hi - s.lo + 1)))
    def pdf(s, k): return 1 / (s.hi - s.lo + 1) if s.lo <= k <= s.hi else mpf(0)


# ---- exact tables (rank statistics)

class Table:
    """Exact distribution: sorted support points with Fraction probabilities."""
    def __init__(s, counts):  # dict value -> count (value: int or Fraction)
        tot = sum(counts.values())
        s.xs = sorted(counts)
        s.ps = [Fraction(counts[x], tot) for x in s.xs]
        s.cum = []
        c = Fraction(0)
        for p in s.ps:
            c += p
            s.cum.append(c)


def signed_rank_counts(n):
    top = n * (n + 1) // 2
    c = [0] * (top + 1)
    c[0] = 1
    for i in range(1, n + 1):
        for j in range(i * (i - 1) // 2, -1, -1):
            if c[j]:
                c[j + i] += c[j]
    return {k: v for k, v in enumerate(c)}


_MW = {}


def mann_whitney_counts(m, n):
    if (m, n) not in _MW:
        _MW[(m, n)] = _mann_whitney_counts(m, n)
    return _MW[(m, n)]


def _mann_whitney_counts(m, n):
    """Coefficients of the Gaussian binomial [m+n choose m]_q (exact ints)."""
    N = m * n
    c = [0] * (N + 1)
    c[0] = 1
    deg = 0
    # prod_{i=1..m} (1 - q^(n+i)) / (1 - q^i)
    for i in range(1, m + 1):
        k = n + i
        deg += n
        for j in range(deg, k - 1, -1):
            c[j] -= c[j - k]
        for j in range(i, deg + 1):
            c[j] += c[j - i]
    return {k: v for k, v in enumerate(c)}


def kruskal_counts(sizes):
    N = sum(sizes)
    counts = {}
    def rec(g, avail, acc):
        if g == len(sizes) - 1:
            acc = acc + Fraction(sum(avail) ** 2, sizes[g])
            H = Fraction(12, N * (N + 1)) * acc - 3 * (N + 1)
            counts[H] = counts.get(H, 0) + 1
            return
        for comb in combinations(avail, sizes[g]):
            rest = [r for r in avail if r not in comb]
            rec(g + 1, rest, acc + Fraction(sum(comb) ** 2, sizes[g]))
    rec(0, list(range(1, N + 1)), Fraction(0))
    return counts


def friedman_counts(T, B):
    perms = list(permutations(range(1, T + 1)))
    sums = {tuple([0] * T): 1}
    for _ in range(B):
        nxt = {}
        for s, c in sums.items():
            for p in perms:
                k = tuple(a + b for a, b in zip(s, p))
                nxt[k] = nxt.get(k, 0) + c
        sums = nxt
    counts = {}
    for s, c in sums.items():
        Q = Fraction(12, B * T * (T + 1)) * sum(v * v for v in s) - 3 * B * (T + 1)
        counts[Q] = counts.get(Q, 0) + c
    return counts


# ---------------------------------------------------------------- rows

P_LOW = ["1e-300", "1e-100", "1e-20", "1e-10", "0.001", "0.25", "0.5", "0.75",
         "0.999", "0.9999999999", "0.9999999999999999"]
Q_UP = ["1e-300", "1e-100", "1e-30", "1e-16", "1e-10", "0.001", "0.5"]
rows = []


def add(t, params, op, arg, value):
    value = value if isinstance(value, str) else text(value)
    rows.append(f"{t},{';'.join(params)},{op},{arg},{value}")


def xtext(x):
    return str(x) if isinstance(x, int) else mp.nstr(xfrac(x), DIGITS)


def xmap(fam, u):
    lo, hi = fam.lo, fam.hi
    if lo == -mp.inf and hi == mp.inf:
        return mp.sinh(u)
    if hi == mp.inf:
        return lo + mp.exp(u)
    return lo + (hi - lo) / (1 + mp.exp(-u))


def solve_cont(fam, target, upper):
    """u with log F(x(u)) = log target (or the upper tail); x(u) returned."""
    lt = mp.log(target)
    def g(u):
        x = xmap(fam, u)
        v = fam.sf(x) if upper else fam.cdf(x)
        if v <= 0:
            return mpf(-10) ** 6 if not upper else mpf(10) ** 6
        return mp.log(v) - lt
    # g increases in u for the lower tail, decreases for the upper one
    sgn = -1 if upper else 1
    a, b = mpf(-1), mpf(1)
    ga, gb = sgn * g(a), sgn * g(b)
    step = mpf(2)
    while ga > 0:
        b, gb = a, ga
        a = a - step
        step *= 2
        ga = sgn * g(a)
        if step > 1e6: raise RuntimeError("bracket")
    step = mpf(2)
    while gb < 0:
        a, ga = b, gb
        b = b + step
        step *= 2
        gb = sgn * g(b)
        if step > 1e6: raise RuntimeError("bracket")
    # Illinois
    side = 0
    for _ in range(400):
        c = (a * gb - b * ga) / (gb - ga) if gb != ga else (a + b) / 2
        if not (min(a, b) < c < max(a, b)):
            c = (a + b) / 2
        gc = sgn * g(c)
        if gc == 0 or abs(b - a) < mpf(10) ** (-mp.dps + 8) * (1 + abs(c)):
            return xmap(fam, c)
        if abs(gc) < mpf(10) ** (-mp.dps + 6):
            return xmap(fam, c)
        if gc < 0:
            a, ga = c, gc
            if side == -1: gb /= 2
            side = -1
        else:
            b, gb = c, gc
            if side == 1: ga /= 2
            side = 1
    raise RuntimeError("illinois")


def solve_disc(fam, target, upper, start):
    """Smallest integer k with F(k) >= target (or S(k) <= target)."""
    tol = mpf(10) ** -30
    def ok(k):
        if upper:
            v = fam.sf(k)
            return v <= target * (1 + tol), v
        v = fam.cdf(k)
        return v >= target * (1 - tol), v
    lo = mp.floor(start)
    if fam.lo != -mp.inf: lo = max(lo, fam.lo)
    if fam.hi != mp.inf: lo = min(lo, fam.hi)
    step = mpf(1)
    if ok(lo)[0]:
        hi = lo
        while True:
            lo = hi - step
            if fam.lo != -mp.inf and lo < fam.lo:
                lo = fam.lo - 1
                break
            if not ok(lo)[0]: break
            hi = lo
            step *= 2
    else:
        while True:
            hi = lo + step
            if fam.hi != mp.inf and hi > fam.hi:
                hi = fam.hi
                break
            if ok(hi)[0]: break
            lo = hi
            step *= 2
    while hi - lo > 1:
        mid = mp.floor((lo + hi) / 2)
        if ok(mid)[0]: hi = mid
        else: lo = mid
    if ambiguous(fam, target, upper, hi):
        return None
    return hi


def ambiguous(fam, target, upper, k):
    """Whether the tail at k or at the point below it lies within 1e-12
    (relative) of the target without equalling it: the program's tolerance of
    "reaches p" may then decide either way."""
    for j in (k, k - 1):
        if fam.lo != -mp.inf and j < fam.lo: continue
        v = fam.sf(j) if upper else fam.cdf(j)
        r = abs(v / target - 1)
        if mpf(10) ** -30 < r < mpf(10) ** -12:
            return True
    return False


def gen_family(t, params, make, xs=None, plist=P_LOW, qlist=Q_UP, mean_guess=0):
    """Quantiles at plist / qlist, then cdf, sf and pdf at those points (rounded)
    and at the extra points xs."""
    import time
    started = time.time()
    n0 = len(rows)
    try:
        _gen_family(t, params, make, xs, plist, qlist, mean_guess)
    finally:
        print(t, ";".join(params), len(rows) - n0, "rows", "%.1fs" % (time.time() - started),
              file=sys.stderr, flush=True)


def _gen_family(t, params, make, xs, plist, qlist, mean_guess):
    pv = [ld(p) for p in params]
    try:
        with mp.workdps(40):
            fam = make(*pv)
    except Exception as e:
        print("skip", t, params, e, file=sys.stderr)
        return
    pts = set()
    for op, lst in (("quantile", plist), ("isf", qlist)):
        for p in lst:
            target = ld(p)
            if op == "quantile" and target >= 1: continue
            upper = op == "isf"
            if not upper and target > 0.5:
                upper = True
                tg = 1 - target  # exact: target is a long double
            else:
                tg = target
            try:
                with mp.workdps(40):
                    fam = make(*[+v for v in pv])
                    if fam.discrete:
                        if op == "quantile":
                            x = solve_disc(fam, target, False, mean_guess)
                        else:
                            x = solve_disc(fam, target, True, mean_guess)
                        if x is None: continue
                    else:
                        x = solve_cont(fam, tg, upper)
                        # On the whole line the solver's variable is asinh x,
                        # which leaves an absolute error near 0: a quantile
                        # there (a median at 0) is 0.
                        if fam.lo == -mp.inf and fam.hi == mp.inf and abs(x) < mpf(10) ** -30:
                            x = mpf(0)
            except Exception as e:
                print("quantile fail", t, params, op, p, e, file=sys.stderr)
                continue
            # Beyond the range of long double: not representable.
            if not fam.discrete and (abs(x) > mpf("1e4900") or 0 < abs(x) < mpf("1e-4900")):
                continue
            add(t, params, op, p, str(int(x)) if fam.discrete else x)
            pts.add(mp.nstr(x, 12) if not fam.discrete else str(int(x)))
    for x in (xs or []):
        pts.add(str(x))
    for xs_ in sorted(pts, key=lambda s: float(s)):
        x = ld(xs_)
        for op in ("cdf", "sf", "pdf"):
            try:
                v = robust(lambda: getattr(make(*[+v for v in pv]), op)(+x))
            except Exception as e:
                print("value fail", t, params, op, xs_, e, file=sys.stderr)
                continue
            add(t, params, op, xs_, v)


def gen_table(t, *sizes):
    """Exact rows for a rank statistic with the given sizes."""
    params = [str(s) for s in sizes]
    if t == 926:
        table = Table(signed_rank_counts(sizes[0]))
    elif t == 927:
        table = Table(mann_whitney_counts(*sizes))
    elif t == 928:
        m, n = sizes
        shift = m * (m + 1) // 2
        table = Table({k + shift: v for k, v in mann_whitney_counts(m, n).items()})
    elif t == 929:
        table = Table(kruskal_counts(list(sizes)))
    else:
        table = Table(friedman_counts(*sizes))
    n_points = 60
    xs, ps, cum = table.xs, table.ps, table.cum
    idx = set(range(len(xs))) if len(xs) <= n_points else set()
    if not idx:
        idx.update(range(0, 6))
        idx.update(range(len(xs) - 6, len(xs)))
    # quantiles (exact, on the fractions)
    for p in P_LOW:
        with mp.workprec(64):
            pl = +mpf(p)
        pf = Fraction(int(pl.man), 1) * (Fraction(2) ** int(pl.exp))
        if pf >= 1: continue
        k = next(i for i, c in enumerate(cum) if c >= pf)
        if pf != cum[k] and abs(cum[k] / pf - 1) < Fraction(1, 10 ** 12): continue
        if k > 0 and pf != cum[k - 1] and abs(cum[k - 1] / pf - 1) < Fraction(1, 10 ** 12): continue
        idx.add(k)
        if k > 0: idx.add(k - 1)
        add(t, params, "quantile", p, xtext(xs[k]))
    for q in Q_UP:
        with mp.workprec(64):
            ql = +mpf(q)
        qf = Fraction(int(ql.man), 1) * (Fraction(2) ** int(ql.exp))
        k = next(i for i, c in enumerate(cum) if 1 - c <= qf)
        if abs((1 - cum[k]) - qf) <= qf * Fraction(1, 10 ** 12) and (1 - cum[k]) != qf: continue
        idx.add(k)
        if k > 0: idx.add(k - 1)
        add(t, params, "isf", q, xtext(xs[k]))
    for i in sorted(idx):
        x = xs[i]
        xt = x if isinstance(x, int) else mp.nstr(xfrac(x), 25)
        add(t, params, "cdf", xt, xfrac(cum[i]))
        add(t, params, "sf", xt, xfrac(1 - cum[i]))
        add(t, params, "pdf", xt, xfrac(ps[i]))


def xfrac(f):
    with mp.workdps(60):
        if isinstance(f, int): return mpf(f)
        return mpf(f.numerator) / f.denominator


JOBS = []


def run_job(i):
    """Runs job i (in a worker process) and returns its rows."""
    global rows
    rows = []
    f, a, k = JOBS[i]
    f(*a, **k)
    return rows


def main():
    mp.dps = 40

    def C(*a, **k):
        JOBS.append((gen_family, a, k))

    def table(*a):
        JOBS.append((gen_table, a, {}))
    # normal (mean; variance)
    C(901, ["0", "1"], Normal, xs=["-38", "-37", "-30", "-20", "-10", "-8", "-1.96", "1.96", "8", "9", "10", "20", "30", "37.5"])
    C(901, ["2", "9"], Normal, xs=["-7", "0", "2", "4.5", "11"])
    C(901, ["3e9", "1e10"], Normal, xs=["0", "3e9", "3.5e9"])
    C(901, ["-1", "1e-16"], Normal)
    C(902, ["2"], lambda th: Gamma(mpf(1), th), xs=["0.1", "1", "30", "300"])
    C(902, ["1e-10"], lambda th: Gamma(mpf(1), th), xs=["3e9", "1e13"])
    C(903, ["0", "5"], Uniform, plist=["1e-300", "1e-20", "0.25", "0.5", "0.999"], qlist=["1e-300", "1e-16", "0.25"])
    C(903, ["-2", "3"], Uniform, plist=["1e-20", "0.25", "0.5", "0.999"], qlist=["1e-16", "0.25"])
    C(907, ["5"], lambda nu: Gamma(nu / 2, mpf(1) / 2))
    C(907, ["0.1"], lambda nu: Gamma(nu / 2, mpf(1) / 2))
    C(907, ["10000"], lambda nu: Gamma(nu / 2, mpf(1) / 2))
    C(908, ["5"], T, xs=["-40", "-3", "0.5", "3", "40"])
    C(908, ["1"], T, xs=["-2147483648", "-2147483647", "1e30"])
    C(908, ["0.1"], T, plist=["1e-100", "1e-20", "1e-10", "0.001", "0.25", "0.75", "0.999"], qlist=["1e-100", "1e-30", "1e-16", "1e-10", "0.001"])
    C(908, ["1e6"], T, xs=["-37", "-10", "10", "37"])
    C(909, ["5", "5"], F)
    C(909, ["3", "1e7"], F)
    C(909, ["1e6", "1e6"], F)
    C(909, ["0.5", "2"], F)
    C(910, ["5", "5"], Beta)
    C(910, ["0.001", "2"], Beta)
    C(910, ["2", "0.001"], Beta)
    C(910, ["10000", "10000"], Beta)
    C(910, ["0.5", "0.5"], Beta)
    C(911, ["5", "5"], Gamma)
    C(911, ["0.001", "1"], Gamma)
    C(911, ["100000", "1"], Gamma)
    C(911, ["2", "1e-10"], Gamma, xs=["1e10"])
    C(913, ["5", "5"], Weibull)
    C(913, ["1", "1"], Weibull)
    C(913, ["2", "0.5"], Weibull)
    C(914, ["5", "5"], Logistic)
    C(914, ["0", "1"], Logistic, xs=["-700", "-40", "40", "700"])
    C(915, ["5", "5"], Pareto)
    C(915, ["1", "0.5"], Pareto)
    C(916, ["5", "5"], Gumbel)
    C(916, ["0", "1"], Gumbel, xs=["-5", "-3", "40", "700"])
    C(917, ["5", "5"], Cauchy)
    C(917, ["0", "1"], Cauchy, xs=["-1e30", "1e30"])
    C(918, ["5", "5"], Lognormal)
    C(918, ["0", "1"], Lognormal)
    C(918, ["0", "0.04"], Lognormal)
    C(919, ["5", "5"], Laplace)
    C(919, ["0", "1"], Laplace, xs=["-700", "700"])
    C(930, ["5", "5"], InvGauss)
    C(930, ["1", "0.1"], InvGauss)
    C(930, ["1", "100"], InvGauss)
    # discrete
    C(904, ["0.5"], lambda p: Binomial(mpf(1), p), xs=["0", "1"], mean_guess=0)
    C(904, ["0.3"], lambda p: Binomial(mpf(1), p), xs=["0", "1"], mean_guess=0)
    C(904, ["1e-9"], lambda p: Binomial(mpf(1), p), xs=["0", "1"], mean_guess=0)
    C(905, ["5", "0.5"], Binomial, xs=[str(k) for k in range(6)], mean_guess=2)
    C(905, ["12", "0.4"], Binomial, mean_guess=5)
    C(905, ["10", "0.3"], Binomial, xs=["9", "10"], mean_guess=3)
    C(905, ["1000", "0.01"], Binomial, mean_guess=10)
    C(905, ["10000000", "0.3"], Binomial, mean_guess=3000000, cost=1)
    C(906, ["5"], Poisson, xs=["0", "5"], mean_guess=5)
    C(906, ["0.5"], Poisson, xs=["0", "1"], mean_guess=0)
    C(906, ["3"], Poisson, mean_guess=3)
    C(906, ["1000000"], Poisson, mean_guess=1000000, cost=1)
    C(912, ["10", "5", "3"], Hyper, xs=["0", "1", "2", "3"], mean_guess=1)
    C(912, ["20", "7", "6"], Hyper, mean_guess=2)
    C(912, ["1000", "300", "100"], Hyper, mean_guess=30)
    C(912, ["100000", "50000", "2000"], Hyper, mean_guess=1000)
    C(920, ["1", "5"], DUniform, xs=["1", "5"], plist=["1e-20", "0.2", "0.5", "0.9999999999"], qlist=["1e-16", "0.2", "0.5"], mean_guess=3)
    C(920, ["-10", "1000000"], DUniform, plist=["1e-20", "0.2", "0.5", "0.9999999999"], qlist=["1e-16", "0.2", "0.5"], mean_guess=500000)
    C(921, ["5", "0.5"], NegBin, mean_guess=5)
    C(921, ["3", "0.3"], NegBin, mean_guess=7)
    C(921, ["5", "1e-6"], NegBin, mean_guess=5000000)
    C(921, ["100", "0.9"], NegBin, mean_guess=11)
    C(922, ["0.5"], Geometric, mean_guess=1)
    C(922, ["1e-6"], Geometric, mean_guess=1000000)
    C(922, ["0.9"], Geometric, mean_guess=0)
    # non-central
    NP = ["1e-100", "1e-20", "1e-10", "0.001", "0.5", "0.999", "0.9999999999"]
    NQ = ["1e-100", "1e-30", "1e-16", "1e-10"]
    NP2 = ["1e-20", "0.001", "0.5", "0.999"]
    NQ2 = ["1e-30", "1e-10"]
    C(923, ["5", "5"], NCChi2, plist=NP, qlist=NQ)
    C(923, ["3", "1.5"], NCChi2, plist=NP, qlist=NQ)
    C(923, ["4", "200"], NCChi2, plist=NP2, qlist=NQ2, cost=1)
    C(924, ["5", "5", "5"], NCF, plist=NP, qlist=NQ)
    C(924, ["4", "9", "2"], NCF, plist=NP, qlist=NQ)
    C(924, ["10", "20", "100"], NCF, plist=NP2, qlist=NQ2, cost=1)
    C(925, ["5", "5"], NCT, plist=NP2, qlist=NQ2, cost=1)
    C(925, ["6", "1.5"], NCT, plist=NP2, qlist=NQ2, cost=1)
    C(925, ["10", "-3"], NCT, plist=NP2, qlist=NQ2, cost=1)
    C(925, ["20", "30"], NCT, plist=["0.001", "0.5", "0.999"], qlist=["1e-10"], cost=1)
    C(932, ["5", "5", "5"], NCBeta, plist=NP, qlist=NQ)
    C(932, ["2", "4", "3"], NCBeta, plist=NP, qlist=NQ)
    C(932, ["10", "10", "200"], NCBeta, plist=NP2, qlist=NQ2)
    # rank statistics, exact
    for n in (5, 20, 200):
        table(926, n)
    for m, n in ((3, 3), (4, 6), (50, 50), (250, 250), (400, 400)):
        table(927, m, n)
    for m, n in ((3, 3), (10, 7), (50, 50), (250, 250)):
        table(928, m, n)
    for sizes in ((2, 2), (3, 3, 3), (4, 3, 2)):
        table(929, *sizes)
    for T_, B_ in ((3, 3), (3, 4), (2, 9)):
        table(931, T_, B_)
    # The slowest jobs first; the workers are forked, so the jobs (lambdas
    # included) are not pickled, only their numbers.
    import multiprocessing
    order = sorted(range(len(JOBS)), key=lambda i: -JOBS[i][2].get("cost", 0))
    for i in order:
        JOBS[i][2].pop("cost", None)
    with multiprocessing.get_context("fork").Pool(2) as pool:
        parts = dict(zip(order, pool.map(run_job, order, chunksize=1)))
    out = [r for i in range(len(JOBS)) for r in parts[i]]
    with open(OUT, "w") as f:
        f.write("type,params,op,arg,value\n")
        for r in out:
            f.write(r + "\n")
    print(len(out), "rows", file=sys.stderr)


if __name__ == "__main__":
    main()
