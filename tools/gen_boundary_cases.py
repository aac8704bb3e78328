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

The sweep of the inverses with parameters from 1e16 to the largest double
(and, for the beta and F inverses, the other parameter either there or
between 0.05 and 1e5) takes the limits that are exact to far below 1e-9
there: both parameters of the beta distribution beyond 1e16, the log-odds
ln(x/(1 - x)) = ln G(a) - ln G(b) to its third cumulant (Cornish-Fisher,
both above 1e10,
mean psi(a) - psi(b), variance psi'(a) + psi'(b), third cumulant
psi''(a) - psi''(b)); one of them beyond 1e16 and the other below 1e5, the
gamma limit 1 - I(x, a, b) -> P(b, -(a + (b - 1)/2) ln x) (and its mirror);
Student's t beyond 1e16 degrees of freedom, the expansion
t = z + (z^3 + z)/(4 nu) + (5z^5 + 16z^3 + 3z)/(96 nu^2) (A&S 26.7.5) about
the normal deviate z of p/2. Normal and gamma quantiles are roots found by
findroot on the logarithm of the tail.

Writes tests/data/boundary_cases.txt: kind u v w value, with kinds
  1 FDistP(F,n1,n2)  2 FDistQ  3 StudentA(t,n)  4 StudentAQ  5 BinomP(p,a,n)
  6 BinomQ  7 BetaInv(p,a,b)  8 FDistInv(p,n1,n2)  9 StudentInv(p,n)
  10 ChiSquareInv(p,n)
(an unused argument is 0). Every argument is written with repr(), so it reads
back as the same double. The sweep goes to
tests/data/boundary_inverse_sweep.txt in the same form.
"""
import math
import pathlib
import random
import sys

import mpmath

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import gen_inverse_tails  # noqa: E402  (the exact-series beta quantile)

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


HUGE = 1e16
SMALLEST_NORMAL = mpmath.mpf(2) ** -1022
LARGEST = mpmath.mpf(1.7976931348623157e308)
# Both beta parameters beyond this (half a degree of freedom beyond 1e16 is
# 5e15): the log-odds' fourth cumulant moves the quantile by below 1e-12.
BOTH_LARGE = 1e10


def log_tail_root(log_tail, log_target, start):
    """The root s of log_tail(s) = log_target, log_tail monotone in s:
    bracketed by a scan outward from start, then found by Anderson-Bjorck."""
    def h(s):
        return log_tail(s) - log_target

    step = mpmath.mpf(1)
    low = high = mpmath.mpf(start)
    h_low = h_high = h(low)
    rising = h(low + 1e-3) > h_low
    while (h_high < 0) == (h_low < 0):
        if (h_low < 0) == rising:
            low, h_low, high, h_high = high, h_high, high + step, h(high + step)
        else:
            high, h_high, low, h_low = low, h_low, low - step, h(low - step)
        step *= 2
    return mpmath.findroot(h, (low, high), solver="anderson", tol=mpmath.mpf(10) ** -45,
                           maxsteps=400)


def normal_quantile(p):
    """The z with P(Z <= z) = p, p exact."""
    p = mp(p)
    lower = p <= mpmath.mpf(1) / 2
    tail = p if lower else 1 - p
    start = -math.sqrt(-2 * math.log(float(tail))) if tail < 0.3 else -0.5
    z = log_tail_root(lambda z: mpmath.log(mpmath.ncdf(z)), mpmath.log(tail), start)
    return z if lower else -z


def gamma_quantile(p, a, upper=False):
    """The w with P(a, w) = p (Q(a, w) = p when upper; the regularized
    incomplete gamma functions), p exact: the smaller tail is solved for."""
    p, a = mp(p), mp(a)
    flip = p > mpmath.mpf(1) / 2
    tail = 1 - p if flip else p
    lower = flip == upper

    def log_tail(s):
        w = mpmath.exp(s)
        return mpmath.log(mpmath.gammainc(a, 0, w, regularized=True) if lower
                          else mpmath.gammainc(a, w, mpmath.inf, regularized=True))

    # Wilson-Hilferty for the start, or the leading term of a small lower tail.
    z = float(normal_quantile(tail)) * (1 if lower else -1)
    c = 1 / (9 * float(a))
    start = float(a) * max(1 - c + z * math.sqrt(c), 1e-3) ** 3
    if lower and (float(a) < 1 or z < -5):
        start = float(mpmath.exp((mpmath.log(tail) + mpmath.loggamma(a + 1)) / a))
    start = min(max(start, 1e-300), 1e300)
    return mpmath.exp(log_tail_root(log_tail, mpmath.log(tail), math.log(start)))


def beta_log_odds(p, a, b):
    """u = ln(x/(1 - x)) with I(x, a, b) = p, by the limit for these
    parameters (one or both beyond 1e16)."""
    a, b = mp(a), mp(b)
    if a >= BOTH_LARGE and b >= BOTH_LARGE:
        z = normal_quantile(p)
        mean = mpmath.psi(0, a) - mpmath.psi(0, b)
        sd = mpmath.sqrt(mpmath.psi(1, a) + mpmath.psi(1, b))
        skew = (mpmath.psi(2, a) - mpmath.psi(2, b)) / sd ** 3
        return mean + sd * (z + (z * z - 1) * skew / 6)
    if b >= a:
        w = gamma_quantile(p, a) / (b + (a - 1) / 2)
        x = -mpmath.expm1(-w)
        return mpmath.log(x) + w
    w = gamma_quantile(p, b, upper=True) / (a + (b - 1) / 2)
    return -w - mpmath.log(-mpmath.expm1(-w))


def inverse(kind, p, u, v):
    if kind == 7:
        return 1 / (1 + mpmath.exp(-beta_log_odds(p, u, v)))
    if kind == 8:
        return mp(v) / mp(u) * mpmath.exp(-beta_log_odds(p, mp(v) / 2, mp(u) / 2))
    z = -normal_quantile(mp(p) / 2)
    nu = mp(u)
    return z + (z ** 3 + z) / (4 * nu) + (5 * z ** 5 + 16 * z ** 3 + 3 * z) / (96 * nu ** 2)


def sweep_rows(count_per_kind=120, seed=22):
    rng = random.Random(seed)

    def log_uniform(low, high):
        return math.exp(rng.uniform(math.log(low), math.log(high)))

    def probability():
        r = rng.random()
        if r < 1 / 3:
            return rng.random()
        if r < 2 / 3:
            return log_uniform(1e-300, 0.5)
        return 1 - log_uniform(1e-12, 0.5)

    def huge():
        return log_uniform(HUGE, float(LARGEST))

    rows = []
    for kind in (7, 8, 9):
        for _ in range(count_per_kind):
            p = probability()
            if kind == 9:
                rows.append((kind, p, huge(), 0.0))
                continue
            low = 0.05 if kind == 7 else 0.1
            pair = [huge(), huge() if rng.random() < 0.4 else log_uniform(low, 1e5)]
            rng.shuffle(pair)
            rows.append((kind, p, pair[0], pair[1]))
    return rows


def show(value):
    return mpmath.nstr(value, 22, min_fixed=0, max_fixed=0)


# Inverses where a defect once stood: F and beta roots beside a parameter
# beyond 1e16, t with a degree of freedom so small that the root is beyond
# the doubles, F's odds from a quantile kept from the Newton run, chi-square
# roots below the smallest subnormal, and the beta quantile on both sides of
# p = 1/2.
INVERSES = [
    (8, 0.0025024653055712737, 7.8453909095628143e22, 1241.4808536990465),
    (8, 0.012287286671228345, 1.1985722451879369e290, 0.11501810996163357),
    (8, 0.99561047191540053, 0.11640874488421528, 3.7042992363636062e287),
    (7, 0.0015104036624967725, 623.05697483582992, 2.7991957323544915e99),
    (9, 0.3, 1e-300, 0.0), (9, 0.999, 1e-36, 0.0),
    (8, 1.3317927239273263e-54, 23758.97797871056, 29445.04205211927),
    (10, 0.99990248609567123, 0.024781540352494413, 0.0),
    (10, 0.9999070805482202, 0.024781540352494413, 0.0),
    (7, 0.49999999999996736, 0.95361073286814224, 77295.76665707471),
    (7, 0.5, 0.95361073286814224, 77295.76665707471),
    (7, 0.50000000000003264, 0.95361073286814224, 77295.76665707471),
]


def reference_inverse(kind, p, u, v):
    if kind == 10:
        return 2 * gamma_quantile(p, mp(u) / 2, upper=True)
    if kind == 9 and u < 1e-35:
        return mpmath.inf
    halves = {7: (u, v), 8: (v / 2, u / 2), 9: (u / 2, 0.5)}[kind]
    if max(halves) >= HUGE:
        return inverse(kind, p, u, v)
    x, y = gen_inverse_tails.beta_quantile(p, *halves)
    if kind == 7:
        return x
    if kind == 8:
        return mp(v) * y / (mp(u) * x)
    return mpmath.sqrt(mp(u) * y / x)


def main():
    lines = [
        "# kind u v w value   1 FDistP(F,n1,n2) 2 FDistQ 3 StudentA(t,n) 4 StudentAQ",
        "# 5 BinomP(p,a,n) 6 BinomQ 7 BetaInv(p,a,b) 8 FDistInv(p,n1,n2)",
        "# 9 StudentInv(p,n) 10 ChiSquareInv(p,n)   (mpmath, 50 digits)",
    ]
    for kind, u, v, w in FORWARD:
        value = forward(kind, u, v, w)
        lines.append(f"{kind} {u!r} {v!r} {w!r} {show(value)}")
    for kind, p, u, v in INVERSES:
        lines.append(f"{kind} {p!r} {u!r} {v!r} {show(reference_inverse(kind, p, u, v))}")
    (DATA / "boundary_cases.txt").write_text("\n".join(lines) + "\n")
    sweep = ["# kind p u v value   7 BetaInv(p,a,b) 8 FDistInv(p,n1,n2) 9 StudentInv(p,n);",
             "# parameters from 1e16 to the largest double (limits exact there, 50 digits)"]
    for kind, p, u, v in sweep_rows():
        value = inverse(kind, p, u, v)
        # Roots that are not normal doubles are left out.
        if SMALLEST_NORMAL <= value <= LARGEST:
            sweep.append(f"{kind} {p!r} {u!r} {v!r} {show(value)}")
    (DATA / "boundary_inverse_sweep.txt").write_text("\n".join(sweep) + "\n")


if __name__ == "__main__":
    main()
