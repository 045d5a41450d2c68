#!/usr/bin/python3
"""Exact null distributions of the signed rank and Mann-Whitney statistics
by Python integer arithmetic, for tests/distrib/rank_sums_test.cpp.

Writes rank_exact.csv: type, m, n, x, P(X = x), P(X <= x), P(X > x), each
probability to 25 significant digits, at the tails and at spread points.
Signed rank counts come from subset-sum counting, Mann-Whitney counts from
the Gaussian binomial coefficient (exact integers, so the subtracting
recursion is safe here).  The large sizes (signed rank 1000 and 1100, Mann-Whitney
200 x 1000 and 1000 x 1000) add the points where the tails pass 10^-k, down
to 10^-300; they take a few minutes.  Run: python3 tests/data/rank_exact.py
"""
from decimal import Decimal, getcontext
from itertools import accumulate
import os

getcontext().prec = 40


def signed_rank(n):
    top = n * (n + 1) // 2
    c = [0] * (top + 1)
    c[0] = 1
    for i in range(1, n + 1):
        for j in range(i * (i - 1) // 2, -1, -1):
            c[j + i] += c[j]
    return c


def mann_whitney(m, n):
    s, l = min(m, n), max(m, n)
    c = [0] * (m * n + 1)
    for j in range(l + 1):
        c[j] = 1
    for i in range(2, s + 1):
        h = i * l
        for j in range(h, l + i - 1, -1):
            c[j] -= c[j - l - i]
        for j in range(i, h + 1):
            c[j] += c[j - i]
    return c


def mann_whitney_half(m, n):
    """The lower half 0..floor(mn/2) of the same counts, by the same
    recursion on halves (the upper half mirrored), list-at-a-time: fast
    enough for m = n = 1000 in plain Python."""
    s, l = min(m, n), max(m, n)
    c = [1] * (l // 2 + 1)
    deg_prev = l
    for i in range(2, s + 1):
        h = i * l // 2
        ext = c + [c[deg_prev - j] for j in range(len(c), h + 1)]
        d = ext[:l + i] + [a - b for a, b in zip(ext[l + i:], ext)]
        for r in range(i):
            d[r::i] = list(accumulate(d[r::i]))
        c = d
        deg_prev = i * l
    return c


def full(half, top):
    return half + [half[top - j] for j in range(len(half), top + 1)]


def fmt(num, den):
    if num == 0:
        return "0"
    return "{:.24e}".format(Decimal(num) / Decimal(den))


def points(top):
    xs = set(range(0, min(top, 12) + 1))
    xs |= set(range(max(0, top - 12), top + 1))
    for k in range(1, 40):
        xs.add(top * k // 40)
    return sorted(xs)


def quantile_points(cums, total):
    """The points where P(X <= x) first reaches 10^-k (k = 1..300) and the
    mirrored points of the upper tail, for the large sizes."""
    xs = set()
    top = len(cums) - 1
    for k in range(1, 301):
        # smallest x with cums[x] * 10^k >= total
        lo, hi = 0, top
        while lo < hi:
            mid = (lo + hi) // 2
            if cums[mid] * 10 ** k >= total:
                hi = mid
            else:
                lo = mid + 1
        if k <= 20 or k % 10 == 0:
            xs.add(lo)
            xs.add(top - lo)
    for p in (1, 5, 25, 50):  # percent: the usual test levels
        lo, hi = 0, top
        while lo < hi:
            mid = (lo + hi) // 2
            if cums[mid] * 100 >= total * p:
                hi = mid
            else:
                lo = mid + 1
        xs |= {lo - 1, lo, top - lo}
    return xs


def write(out, kind, m, n, c, extra=False):
    total = sum(c)
    cum = 0
    cums = []
    for v in c:
        cum += v
        cums.append(cum)
    xs = set(points(len(c) - 1))
    if extra:
        xs |= quantile_points(cums, total)
    for x in sorted(xs):
        out.write("%s,%d,%d,%d,%s,%s,%s\n" % (kind, m, n, x, fmt(c[x], total),
                                          fmt(cums[x], total), fmt(total - cums[x], total)))


def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "rank_exact.csv")
    with open(path, "w") as out:
        out.write("type,m,n,x,pmf,cdf,sf\n")
        for n in (50, 100, 250, 400):
            write(out, "signedrank", n, 0, signed_rank(n))
        for m, n in ((50, 50), (30, 100), (100, 100), (250, 250), (120, 400), (400, 400)):
            write(out, "mannwhitney", m, n, mann_whitney(m, n))
        # Large sizes: also the points where the tails pass 10^-k.
        for n in (1000, 1100):
            write(out, "signedrank", n, 0, signed_rank(n), True)
        for m, n in ((200, 1000), (1000, 1000)):
            write(out, "mannwhitney", m, n, full(mann_whitney_half(m, n), m * n), True)


if __name__ == "__main__":
    main()
