#!/usr/bin/python3
"""Reference values at the boundaries of the t, F, binomial and inverse
routines, computed with mpmath at 50 digits: negative zeros, infinite and
huge degrees of freedom, a success probability so small that 1 - p rounds,
and points where an accuracy figure was once missed.

Forward tails take x = nu1 F/(nu2 + nu1 F) or nu/(nu + t^2) exactly in mpmath;
binomial sums are 1 - I(p, a, n - a + 1) with p exact. Infinite degrees of
freedom take the limits: the normal tails erf/erfc(|t|/sqrt 2), and the
chi-square tails of nu1 F (nu2 infinite) or nu2/F (nu1 infinite). Inverses are
roots found by mpmath's findroot on those tails, bracketed in the logarithm
of the odds x/(1 - x).

Writes tests/data/boundary_cases.txt: kind u v w value, with kinds
  1 FDistP(F,n1,n2)  2 FDistQ  3 StudentA(t,n)  4 StudentAQ  5 BinomP(p,a,n)
  6 BinomQ  7 BetaInv(p,a,b)  8 FDistInv(p,n1,n2)  9 StudentInv(p,n)
  10 ChiSquareInv(p,n)
(an unused argument is 0). Every argument is written with repr(), so it reads
back as the same double.
"""
import math
import pathlib

import mpmath

mpmath.mp.dps = 50
DATA = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data"
INF = math.inf


def mp(v):
    return mpmath.mpf(v)


def beta_lower(x, a, b):
    return mpmath.betainc(a, b, 0, x, regularized=True)


def chi_lower(x, nu):
    return mpmath.gammainc(mp(nu) / 2, 0, mp(x) / 2, regularized=True)


def f_tails(f, n1, n2):
    """(P, Q) of the F distribution, with the limits of infinite nu."""
    f = mp(f)
    if f == 0:
        return 0, 1
    if n1 == INF and n2 == INF:
        return (1, 0) if f >= 1 else (0, 1)
    if n2 == INF:
        p = chi_lower(mp(n1) * f, n1)
        return p, 1 - p
    if n1 == INF:
        q = chi_lower(mp(n2) / f, n2)
        return 1 - q, q
    n1, n2 = mp(n1), mp(n2)
    x = n1 * f / (n2 + n1 * f)
    p = beta_lower(x, n1 / 2, n2 / 2)
    q = beta_lower(n2 / (n2 + n1 * f), n2 / 2, n1 / 2)
    return p, q


def t_tails(t, nu):
    """(A, AQ) of Student's t, the normal limit for infinite nu."""
    t = abs(mp(t))
    if nu == INF:
        return mpmath.erf(t / mpmath.sqrt(2)), mpmath.erfc(t / mpmath.sqrt(2))
    nu = mp(nu)
    aq = beta_lower(nu / (nu + t * t), nu / 2, mpmath.mpf(1) / 2)
    a = beta_lower(t * t / (nu + t * t), mpmath.mpf(1) / 2, nu / 2)
    return a, aq


def binom_q(p, a, n):
    p, a, n = mp(p), mp(a), mp(n)
    return beta_lower(p, a, n - a + 1)


def forward(kind, u, v, w):
    if kind in (1, 2):
        return f_tails(u, v, w)[kind - 1]
    if kind in (3, 4):
        return t_tails(u, v)[kind - 3]
    q = binom_q(u, v, w)
    return 1 - q if kind == 5 else q


# Forward tails: negative zeros (their values are those at +0), infinite
# degrees of freedom, tiny p in the binomial sums, and once-missed figures.
FORWARD = [
    (1, -0.0, 2.0, 3.0), (2, -0.0, 2.0, 3.0), (1, 0.0, 2.0, 0.0), (2, 0.0, 2.0, 0.0),
    (3, -0.0, 4.0, 0.0), (4, -0.0, 4.0, 0.0),
    (4, 2.0, INF, 0.0), (3, 2.0, INF, 0.0), (4, 37.0, INF, 0.0), (3, 1e-10, INF, 0.0),
    (2, 2.0, 10.0, INF), (1, 2.0, 10.0, INF), (2, 2.0, INF, 10.0), (1, 2.0, INF, 10.0),
    (1, 0.5, INF, INF), (2, 1.5, INF, INF), (2, 1e-200, 3.0, INF), (1, 1e200, INF, 0.7),
    (5, 7.0733176522704322e-17, 0.087038659445151226, 0.1),
    (6, 7.0733176522704322e-17, 0.087038659445151226, 0.1),
    (5, 1e-12, 0.5, 3.0), (6, 1e-12, 0.5, 3.0),
    (5, 2.7400621812608614e-15, 0.26101560362124687, 0.015188426192296845),
    (5, 8.7409425370110019e-11, 0.35266651212045341, 0.22443363054283891),
    (3, -1.0, 155.0, 0.0), (4, -1.0, 155.0, 0.0),
    (1, 3.8293917834836054e-97, 4.2874767738845396e-257, 3.0),
    (4, 1e300, 2.9254733234731747e-235, 0.0),
]


def main():
    lines = [
        "# kind u v w value   1 FDistP(F,n1,n2) 2 FDistQ 3 StudentA(t,n) 4 StudentAQ",
        "# 5 BinomP(p,a,n) 6 BinomQ 7 BetaInv(p,a,b) 8 FDistInv(p,n1,n2)",
        "# 9 StudentInv(p,n) 10 ChiSquareInv(p,n)   (mpmath, 50 digits)",
    ]
    for kind, u, v, w in FORWARD:
        value = forward(kind, u, v, w)
        lines.append(f"{kind} {u!r} {v!r} {w!r} {mpmath.nstr(value, 22, min_fixed=0, max_fixed=0)}")
    (DATA / "boundary_cases.txt").write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
