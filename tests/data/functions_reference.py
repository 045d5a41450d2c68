#!/usr/bin/python3
"""Reference values of numeric/functions.h at 50 digits (mpmath).

Writes functions_reference.csv: function,a,b,x,value.  The arguments are
rounded to long double (64-bit mantissa) and written with 25 significant
digits, so that the test reads back exactly that number; the value is
computed by mpmath at that argument, at 50 digits.  Run:
    /usr/bin/python3 tests/data/functions_reference.py > tests/data/functions_reference.csv
"""
import mpmath as mp

mp.mp.dps = 50
rows = []


def s(v):
    # The long double nearest to v (64-bit mantissa), written so that the
    # test reads back exactly that number: the reference is then the value
    # at the argument the test really passes.
    with mp.workprec(64):
        r = +mp.mpf(v)
    return mp.nstr(r, 25, strip_zeros=False, min_fixed=1, max_fixed=0)


def add(name, a, b, x, value):
    if value == 0 or abs(value) < mp.mpf('1e-4900') or abs(value) > mp.mpf('1e4900'):
        return
    rows.append('%s,%s,%s,%s,%s' % (name, a, b, x, mp.nstr(value, 25)))


def P_series(a, x):
    # x^a e^-x / Gamma(a + 1) 1F1(1; a + 1; x), the series that always converges
    return mp.exp(a * mp.log(x) - x - mp.loggamma(a + 1)) * mp.hyp1f1(1, a + 1, x, maxterms=10**7)


def P(a, x):
    try:
        return mp.gammainc(a, 0, x, regularized=True)
    except mp.libmp.NoConvergence:
        with mp.workdps(80):
            return +P_series(a, x)


def Q(a, x):
    try:
        return mp.gammainc(a, x, mp.inf, regularized=True)
    except mp.libmp.NoConvergence:
        with mp.workdps(400):
            return +(1 - P_series(a, x))


def I_direct(a, b, x):
    # x^a (1 - x)^b / (a B(a, b)) 2F1(a + b, 1; a + 1; x), for x up to the mean
    lead = a * mp.log(x) + b * mp.log1p(-x) - mp.log(a) - (
        mp.loggamma(a) + mp.loggamma(b) - mp.loggamma(a + b))
    return mp.exp(lead) * mp.hyp2f1(a + b, 1, a + 1, x, maxterms=10**6, maxprec=20000)


def I(a, b, x):
    if x <= a / (a + b):
        return I_direct(a, b, x)
    with mp.workdps(120):
        return +(1 - I_direct(b, a, 1 - x))


def Ic(a, b, x):
    if x >= a / (a + b):
        return I_direct(b, a, 1 - x)
    with mp.workdps(120):
        return +(1 - I_direct(a, b, x))


# log-gamma
for x in ['1e-30', '1e-5', '0.5', '1', '1.5', '2', '2.5', '3', '7.25', '14.9', '15', '100.5',
          '1e5', '1e10', '1e100', '1e1000']:
    xs = s(x)
    add('LogGamma', '0', '0', xs, mp.loggamma(mp.mpf(xs)))
for x, y in [(100.5, 100), (1e6, 1e6 - 0.5), (1e10, 1e10 + 3), (20, 30), (0.5, 3),
             (1e15, 1e15 + 0.5), (250000.5, 250000)]:
    xs, ys = s(x), s(y)
    add('LogGammaRatio', xs, ys, '0', mp.loggamma(mp.mpf(xs)) - mp.loggamma(mp.mpf(ys)))

# incomplete gamma, both tails, at small, moderate and huge shapes
gamma_cases = []
for a in ['1e-3', '0.5', '1', '2.5', '10', '100', '1e5']:
    af = mp.mpf(a)
    for f in ['1e-30', '1e-5', '0.01', '0.3', '0.9', '1', '1.1', '2', '5', '30']:
        x = af * mp.mpf(f) if af >= 1 else mp.mpf(f) * 10
        gamma_cases.append((s(af), s(x)))
    if af >= 100:
        for d in [-8, -3, -1, 0.5, 2, 6, 10]:
            gamma_cases.append((s(af), s(af + d * mp.sqrt(af))))
for a, x in [('1e-3', '1e-300'), ('0.5', '800'), ('3', '11000'), ('1e5', '1e3')]:
    gamma_cases.append((s(a), s(x)))
for a, x in gamma_cases:
    add('GammaLower', a, '0', x, P(mp.mpf(a), mp.mpf(x)))
    add('GammaUpper', a, '0', x, Q(mp.mpf(a), mp.mpf(x)))

# incomplete beta, both tails
beta_cases = []
for a, b in [('1e-3', '1e-3'), ('1e-3', '2'), ('0.5', '0.5'), ('0.5', '20'), ('2', '3'),
             ('10', '0.5'), ('30', '40'), ('1e4', '1e4'), ('1e4', '5'), ('3', '1e4')]:
    af, bf = mp.mpf(a), mp.mpf(b)
    m = af / (af + bf)
    sd = mp.sqrt(af * bf / ((af + bf) ** 2 * (af + bf + 1)))
    xs = set()
    for x in ['1e-300', '1e-20', '1e-5', '0.01', '0.25', '0.5', '0.75', '0.99', '0.999999']:
        xs.add(s(x))
    for d in [-6, -2, 0, 2, 6]:
        v = m + d * sd
        if 0 < v < 1:
            xs.add(s(v))
    for x in sorted(xs, key=lambda t: mp.mpf(t)):
        beta_cases.append((s(af), s(bf), x))
for a, b, x in beta_cases:
    add('BetaLower', a, b, x, I(mp.mpf(a), mp.mpf(b), mp.mpf(x)))
    add('BetaUpper', a, b, x, Ic(mp.mpf(a), mp.mpf(b), mp.mpf(x)))

# the own continued fraction's region (shapes from 1/2 to under 100): near
# its edges, around the point (a+1)/(a+b+2) where it changes sides, and in
# the far tails where its prefactor's logarithm grows large
for a, b in [('0.5', '2.5'), ('2.5', '0.5'), ('2.5', '2.5'), ('12.5', '2.5'), ('13', '2.5'),
             ('0.5', '99.5'), ('99.5', '0.5'), ('99', '60'), ('0.5000000001', '7'), ('1', '1'),
             ('4.5', '1')]:
    af, bf = mp.mpf(s(a)), mp.mpf(s(b))
    xs = set()
    for x in ['1e-40', '1e-8', '0.003', '0.2', '0.5', '0.8', '0.9999', '0.99999999']:
        xs.add(s(x))
    sw = (af + 1) / (af + bf + 2)
    for f in [0.999, 1, 1.001]:
        if 0 < sw * f < 1:
            xs.add(s(sw * f))
    for x in sorted(xs, key=lambda t: mp.mpf(t)):
        add('BetaLower', s(af), s(bf), x, I(af, bf, mp.mpf(x)))
        add('BetaUpper', s(af), s(bf), x, Ic(af, bf, mp.mpf(x)))

# large shapes far into both tails, where the fractions and the series with
# Loader's prefactors take over
for a in ['1e6', '1e8']:
    af = mp.mpf(a)
    for d in [-40, -12, -4, 4, 12, 40]:
        x = s(af + d * mp.sqrt(af))
        add('GammaLower', s(af), '0', x, P(af, mp.mpf(x)))
        add('GammaUpper', s(af), '0', x, Q(af, mp.mpf(x)))
for a, b in [('5e5', '5e5'), ('1e3', '5e6'), ('5e6', '200')]:
    af, bf = mp.mpf(a), mp.mpf(b)
    m = af / (af + bf)
    sd = mp.sqrt(af * bf / ((af + bf) ** 2 * (af + bf + 1)))
    for d in [-30, -8, -2, 2, 8, 30]:
        v = m + d * sd
        if 0 < v < 1:
            x = s(v)
            add('BetaLower', s(af), s(bf), x, I(af, bf, mp.mpf(x)))
            add('BetaUpper', s(af), s(bf), x, Ic(af, bf, mp.mpf(x)))

# normal tails and density, erf and erfc
for z in ['-150', '-40', '-38.5', '-20', '-10', '-9', '-8', '-5', '-1.96', '-1', '-1e-10', '0',
          '0.5', '1.96', '3', '9', '10', '20', '40', '106']:
    zs = s(z)
    zf = mp.mpf(zs)
    add('NormalLower', '0', '0', zs, mp.ncdf(zf))
    add('NormalUpper', '0', '0', zs, mp.ncdf(-zf))
    add('NormalDensity', '0', '0', zs, mp.npdf(zf))
for x in ['-5', '-1', '-1e-12', '1e-12', '0.3', '1', '3', '10', '27', '100']:
    xs = s(x)
    add('Erf', '0', '0', xs, mp.erf(mp.mpf(xs)))
    add('Erfc', '0', '0', xs, mp.erfc(mp.mpf(xs)))

# Loader's helpers
for x, m in [(1, 1.1), (10, 10.0001), (1e6, 1e6 + 1), (5, 50), (50, 5), (1e-3, 2), (0.7, 0.7000001)]:
    xs, ms = s(x), s(m)
    xf, mf = mp.mpf(xs), mp.mpf(ms)
    add('Bd0', xs, ms, '0', xf * mp.log(xf / mf) + mf - xf)
for n in ['0.5', '1', '3.5', '14', '15', '100', '1e7']:
    ns = s(n)
    nf = mp.mpf(ns)
    add('StirlingError', '0', '0', ns,
        mp.loggamma(nf + 1) - (mp.log(2 * mp.pi * nf) / 2 + nf * mp.log(nf) - nf))
for x, a in [(5, 5), (0.5, 3), (1e6, 1e6 + 1000), (3, 100), (100, 3), (2.5, 1e-3)]:
    xs, as_ = s(x), s(a)
    xf, af = mp.mpf(xs), mp.mpf(as_)
    add('LogPoissonWeight', xs, as_, '0', -af + xf * mp.log(af) - mp.loggamma(xf + 1))
for x, n, p in [(2, 5, 0.5), (3e6, 1e7, 0.3), (0, 100, 0.01), (1e7, 1e7, 0.999999), (7, 20, 1e-5)]:
    xs, ns, ps = s(x), s(n), s(p)
    xf, nf, pf = mp.mpf(xs), mp.mpf(ns), mp.mpf(ps)
    v = (mp.loggamma(nf + 1) - mp.loggamma(xf + 1) - mp.loggamma(nf - xf + 1) +
         xf * mp.log(pf) + (nf - xf) * mp.log(1 - pf))
    # p is the argument; q = 1 - p is formed by the test in long double.
    add('LogBinomialWeight', ns, ps, xs, v)
for x in ['-0.9', '-1e-5', '1e-10', '0.5', '3', '1e10']:
    xs = s(x)
    add('Log1pmx', '0', '0', xs, mp.log1p(mp.mpf(xs)) - mp.mpf(xs))
for n, k in [(10, 3), (1e6, 5e5), (50.5, 0.5), (1e10, 17)]:
    ns, ks = s(n), s(k)
    add('LogChoose', ns, ks, '0',
        mp.loggamma(mp.mpf(ns) + 1) - mp.loggamma(mp.mpf(ks) + 1) - mp.loggamma(mp.mpf(ns) - mp.mpf(ks) + 1))

print('function,a,b,x,value')
for r in rows:
    print(r)
