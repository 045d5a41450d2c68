#!/usr/bin/python3
"""Exact null distributions of the signed rank and Mann-Whitney statistics
by Python integer arithmetic, for tests/distrib/rank_sums_test.cpp.

Writes rank_exact.csv: type, m, n, x, P(X = x), P(X <= x), P(X > x), each
probability to 25 significant digits, at the tails and at spread points.
Signed rank counts come from subset-sum counting, Mann-Whitney counts from
the Gaussian binomial coefficient (exact integers, so the subtracting
recursion is safe here).  Run: python3 tests/data/rank_exact.py
"""
from decimal import Decimal, getcontext
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


def write(out, kind, m, n, c):
    total = sum(c)
    cum = 0
    cums = []
    for v in c:
        cum += v
        cums.append(cum)
    for x in points(len(c) - 1):
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


if __name__ == "__main__":
    main()
