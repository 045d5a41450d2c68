#!/usr/bin/python3
"""Reference values of the discrete families, to 50 significant digits.

Prints the rows of the table embedded in tests/distrib/discrete_families_test.cpp
(kReference): type, parameters, operation, argument, value.  Operations:
  pmf  P(X = x)      cdf  P(X <= x)      sf  P(X > x)
  q    smallest x with P(X <= x) >= p    uq  smallest x with P(X > x) <= q
Tails are summed point by point at 90 digits from the side they lie on (terms by
exact ratios from an mpmath point probability), never as a complement of a sum
that is close to 1 -- except where the result itself is at least 1/2.
Parameters are binary fractions, so that the long double values of the tests
are exactly the ones used here.  Run:  /usr/bin/python3 discrete_reference.py
"""
import sys
from fractions import Fraction as F
import mpmath as mp

mp.mp.dps = 90


class Dist:
    def __init__(self, lo, hi, mode, pmf, ratio):
        self.lo, self.hi, self.mode, self.pmf, self.ratio = lo, hi, mode, pmf, ratio

    def _sum(self, start, step):
        # sum of pmf from start in direction step while inside the support
        if start < self.lo or (self.hi is not None and start > self.hi):
            return mp.mpf(0)
        t = self.pmf(start)
        s = t
        k = start
        while True:
            nk = k + step
            if nk < self.lo or (self.hi is not None and nk > self.hi):
                break
            t = t * self.ratio(nk) if step > 0 else t / self.ratio(k)
            k = nk
            s += t
            if (step > 0 and k > self.mode or step < 0 and k < self.mode) and t < s * mp.mpf(10) ** -70:
                break
        return s

    def cdf(self, k):
        if k < self.lo:
            return mp.mpf(0)
        if self.hi is not None and k >= self.hi:
            return mp.mpf(1)
        if k < self.mode:
            return self._sum(k, -1)
        return 1 - self._sum(k + 1, +1)

    def sf(self, k):
        if k < self.lo:
            return mp.mpf(1)
        if self.hi is not None and k >= self.hi:
            return mp.mpf(0)
        if k + 1 > self.mode:
            return self._sum(k + 1, +1)
        return 1 - self._sum(k, -1)

    def quantile(self, p, guess):
        # smallest k with cdf(k) >= p, by bisection around guess
        lo, hi = guess, guess
        step = 1
        while lo > self.lo and self.cdf(lo) >= p:
            lo -= step; step *= 2
        lo = max(lo, self.lo - 1)
        step = 1
        while self.cdf(hi) < p:
            hi += step; step *= 2
        while hi - lo > 1:
            m = (lo + hi) // 2
            if self.cdf(m) >= p: hi = m
            else: lo = m
        return hi

    def upper_quantile(self, q, guess):
        lo, hi = guess, guess
        step = 1
        while lo > self.lo and self.sf(lo) <= q:
            lo -= step; step *= 2
        lo = max(lo, self.lo - 1)
        step = 1
        while self.sf(hi) > q:
            hi += step; step *= 2
        while hi - lo > 1:
            m = (lo + hi) // 2
            if self.sf(m) <= q: hi = m
            else: lo = m
        return hi


def binomial(n, p):
    p = mp.mpf(p); q = 1 - p
    pmf = lambda k: mp.binomial(n, k) * p ** k * q ** (n - k)
    ratio = lambda k: (n - k + 1) * p / (k * q)  # P(k)/P(k-1)
    return Dist(0, n, int(mp.floor((n + 1) * p)), pmf, ratio)


def poisson(lam):
    lam = mp.mpf(lam)
    pmf = lambda k: mp.exp(-lam + k * mp.log(lam) - mp.loggamma(k + 1))
    ratio = lambda k: lam / k
    return Dist(0, None, int(mp.floor(lam)), pmf, ratio)


class NegBin(Dist):
    # tails as regularized incomplete beta integrals (a sum would need a
    # million terms per tail at p = 2^-13)
    def cdf(self, k):
        if k < 0:
            return mp.mpf(0)
        return mp.betainc(self.r, k + 1, 0, self.p, regularized=True)

    def sf(self, k):
        if k < 0:
            return mp.mpf(1)
        return mp.betainc(self.r, k + 1, self.p, 1, regularized=True)


def negbin(r, p):
    p = mp.mpf(p); q = 1 - p
    pmf = lambda k: mp.binomial(r + k - 1, k) * p ** r * q ** k
    ratio = lambda k: (r + k - 1) * q / k
    d = NegBin(0, None, int(mp.floor((r - 1) * q / p)), pmf, ratio)
    d.r, d.p = r, p
    return d


def hyper(N, N1, n):
    N2 = N - N1
    pmf = lambda k: mp.binomial(N1, k) * mp.binomial(N2, n - k) / mp.binomial(N, n)
    ratio = lambda k: mp.mpf(N1 - k + 1) * (n - k + 1) / (k * mp.mpf(N2 - n + k))
    mode = int(mp.floor(mp.mpf(n + 1) * (N1 + 1) / (N + 2)))
    return Dist(max(0, n - N2), min(n, N1), mode, pmf, ratio)


class DUniform:
    # exact fractions
    def __init__(self, M, N):
        self.M, self.N = M, N
        self.lo, self.hi = M, N

    def pmf(self, k):
        return mp.mpf(F(1, self.N - self.M + 1).numerator) / (self.N - self.M + 1)

    def cdf(self, k):
        return mp.mpf(k - self.M + 1) / (self.N - self.M + 1) if k < self.N else mp.mpf(1)

    def sf(self, k):
        return mp.mpf(self.N - k) / (self.N - self.M + 1)


def duniform(M, N):
    return DUniform(M, N)


rows = []


def add(t, params, op, arg, value):
    pstr = ';'.join(params)
    if op in ('q', 'uq'):
        v = str(value)
    else:
        v = mp.nstr(value, 50, min_fixed=1, max_fixed=0) if value != 0 else '0'
    rows.append('    {%d, "%s", "%s", %sL, %sL},' % (t, pstr, op, arg, v))


def probs(t, params, d, xs):
    print(t, params, file=sys.stderr, flush=True)
    for x in xs:
        add(t, params, 'pmf', str(x), d.pmf(x) if d.lo <= x and (d.hi is None or x <= d.hi) else mp.mpf(0))
        add(t, params, 'cdf', str(x), d.cdf(x))
        add(t, params, 'sf', str(x), d.sf(x))


def quants(t, params, d, ps, guess, qs=()):
    for p in ps:
        add(t, params, 'q', p, d.quantile(mp.mpf(p), guess))
    for q in qs:
        add(t, params, 'uq', q, d.upper_quantile(mp.mpf(q), guess))


# Bernoulli (904) and geometric (922) as the cases r = 1 and n = 1.
probs(904, ['0.25'], binomial(1, '0.25'), [0, 1])
probs(905, ['5', '0.5'], binomial(5, '0.5'), [0, 2, 4])
probs(905, ['10', '0.375'], binomial(10, '0.375'), [0, 1, 5, 9, 10])
probs(905, ['1000', '0.00390625'], binomial(1000, '0.00390625'), [0, 3, 20, 60, 999])
probs(905, ['60', '0.96875'], binomial(60, '0.96875'), [20, 45, 58, 59])
d = binomial(10**7, '0.3125')
probs(905, ['1e7', '0.3125'], d, [3108000, 3122000, 3125000, 3130000, 3140000])
quants(905, ['1e7', '0.3125'], d, ['1e-10', '0.5', '0.9999999999'], 3125000, ['1e-10', '1e-30'])
d = poisson(5)
probs(906, ['5'], d, [0, 5, 20, 60])
quants(906, ['5'], d, ['1e-5', '0.5', '0.999999'], 5, ['1e-30'])
probs(906, ['0.5'], poisson('0.5'), [0, 1, 10, 40])
d = poisson(3)
probs(906, ['3'], d, [21, 30])
quants(906, ['3'], d, ['0.99999999999'], 3, ['1e-11', '1e-40'])
d = poisson(10**6)
probs(906, ['1e6'], d, [993645, 1000000, 1006000])
quants(906, ['1e6'], d, ['1e-10', '1e-100', '0.5', '0.9999999999'], 10**6, ['1e-10', '1e-100'])
probs(906, ['0.0009765625'], poisson('0.0009765625'), [0, 1, 5])
probs(912, ['10', '5', '3'], hyper(10, 5, 3), [0, 1, 2, 3])
probs(912, ['500', '200', '66'], hyper(500, 200, 66), [2, 10, 26, 40, 60])
d = hyper(100000, 30000, 5000)
probs(912, ['100000', '30000', '5000'], d, [1300, 1450, 1500, 1560, 1700])
quants(912, ['100000', '30000', '5000'], d, ['1e-12', '0.5', '0.999999999999'], 1500, ['1e-20'])
probs(920, ['1', '5'], duniform(1, 5), [1, 3, 5])
probs(920, ['-2147483646', '-2147483640'], duniform(-2147483646, -2147483640), [-2147483646, -2147483643])
probs(920, ['0', '1000000'], duniform(0, 10**6), [0, 1, 999999])
probs(921, ['3', '0.3125'], negbin(3, '0.3125'), [0, 4, 30, 100])
d = negbin(5, '0.0001220703125')
probs(921, ['5', '0.0001220703125'], d, [0, 1000, 40000, 300000])
quants(921, ['5', '0.0001220703125'], d, ['1e-12', '0.5'], 40000, ['1e-12'])
probs(922, ['0.5'], negbin(1, '0.5'), [0, 1, 40, 100])
d = negbin(1, '0.0009765625')
probs(922, ['0.0009765625'], d, [0, 1000, 30000])
quants(922, ['0.0009765625'], d, ['1e-10', '0.5'], 1000, ['1e-20'])

print('\n'.join(rows))
