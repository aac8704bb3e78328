#!/usr/bin/python3
"""Reference values for the beta family, computed with mpmath at 60 digits.

The incomplete beta function is summed from the series of positive terms
    I(x, a, b) = x^a (1 - x)^b / (a B(a, b)) * sum_k (a + b)_k / (a + 1)_k x^k
(A&S 26.5.23), on the side of I(x, a, b) = 1 - I(1 - x, b, a)
where it is shorter, and on the other side as well when the complement so
formed would lose its digits; it is checked against mpmath.betainc where
that converges. Inverses are found by bisection in log(x/(1 - x)) followed by
Newton steps at full precision.

Writes, under tests/data/:
  beta_incomplete.txt   x a b I(x,a,b) 1-I(x,a,b)
  beta_inverse.txt      p a b x 1-x        with I(x, a, b) = p
  beta_distributions.txt kind u v w value   (kinds below)
Every argument is written with repr(), so it reads back as the same double.
"""
import math
import pathlib

import mpmath

mpmath.mp.dps = 60
DATA = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data"


def log_beta(a, b):
    return mpmath.loggamma(a) + mpmath.loggamma(b) - mpmath.loggamma(a + b)


def lower_series(x, one_minus_x, a, b):
    """I(x, a, b) by the positive series."""
    eps = mpmath.mpf(10) ** (-mpmath.mp.dps - 5)
    term = mpmath.mpf(1)
    total = mpmath.mpf(1)
    k = 0
    while True:
        term *= (a + b + k) * x / (a + 1 + k)
        total += term
        k += 1
        if term < eps * total:
            break
    log_prefactor = a * mpmath.log(x) + b * mpmath.log(one_minus_x) - mpmath.log(a) - log_beta(a, b)
    return mpmath.exp(log_prefactor) * total


def direct_series_is_shorter(log_x, log_y, a, b):
    """Whether the series for I(x, a, b) ends before the one for I(1 - x, b, a),
    both counted term by term in floating point (log_x = ln x, log_y = ln(1 - x))."""
    state = [[log_x, a, b, 0.0, 0.0], [log_y, b, a, 0.0, 0.0]]  # ln ratio base, a, b, ln term, ln peak
    for k in range(400000):
        for side, (log_z, p, q, log_term, log_peak) in enumerate(state):
            log_term += math.log(p + q + k) + log_z - math.log(p + 1 + k)
            log_peak = max(log_peak, log_term)
            if log_term < log_peak - 150.0:
                return side == 0
            state[side][3:] = [log_term, log_peak]
    return True


def incomplete_beta(x, a, b, one_minus_x=None):
    """(I(x, a, b), 1 - I(x, a, b)), each with full relative precision.

    The side of I(x, a, b) = 1 - I(1 - x, b, a) whose series is shorter is
    summed; the other side too when the complement so formed would have lost
    its digits."""
    xm, am, bm = mpmath.mpf(x), mpmath.mpf(a), mpmath.mpf(b)
    ym = 1 - xm if one_minus_x is None else mpmath.mpf(one_minus_x)
    if xm <= 0:
        return mpmath.mpf(0), mpmath.mpf(1)
    if ym <= 0:
        return mpmath.mpf(1), mpmath.mpf(0)
    tiny = mpmath.mpf(10) ** (25 - mpmath.mp.dps)
    if direct_series_is_shorter(float(mpmath.log(xm)), float(mpmath.log(ym)), float(a), float(b)):
        lower = lower_series(xm, ym, am, bm)
        upper = 1 - lower
        if upper < tiny:
            upper = lower_series(ym, xm, bm, am)
    else:
        upper = lower_series(ym, xm, bm, am)
        lower = 1 - upper
        if lower < tiny:
            lower = lower_series(xm, ym, am, bm)
    return lower, upper


def density(x, one_minus_x, a, b):
    a, b = mpmath.mpf(a), mpmath.mpf(b)
    return mpmath.exp((a - 1) * mpmath.log(x) + (b - 1) * mpmath.log(one_minus_x) - log_beta(a, b))


def inverse(p, a, b):
    """(x, 1 - x) with I(x, a, b) = p; the smaller tail is matched."""
    p = mpmath.mpf(p)
    use_upper = p > 0.5
    target = 1 - p if use_upper else p

    def miss(u):  # signed tail error at x = 1/(1 + e^-u), increasing in u
        lower, upper = incomplete_beta(1 / (1 + mpmath.exp(-u)), a, b, 1 / (1 + mpmath.exp(u)))
        return (target - upper) if use_upper else (lower - target)

    lo, hi = mpmath.mpf(-1500), mpmath.mpf(1500)
    for _ in range(64):
        mid = (lo + hi) / 2
        if miss(mid) < 0:
            lo = mid
        else:
            hi = mid
    u = (lo + hi) / 2
    for _ in range(8):
        x = 1 / (1 + mpmath.exp(-u))
        one_minus_x = 1 / (1 + mpmath.exp(u))
        # dI/du = density(x) x (1 - x)
        step = miss(u) / (density(x, one_minus_x, a, b) * x * one_minus_x)
        u -= step
        if abs(step) < mpmath.mpf(10) ** -35:
            break
    return 1 / (1 + mpmath.exp(-u)), 1 / (1 + mpmath.exp(u))


def show(v):
    return mpmath.nstr(v, 22, min_fixed=1, max_fixed=0)


def check_against_betainc():
    for x, a, b in [(0.3, 2.0, 3.0), (0.01, 0.5, 7.5), (0.9, 12.0, 4.0), (0.5, 0.3, 0.2),
                    (0.999, 30.0, 0.5)]:
        mine = incomplete_beta(x, a, b)[0]
        theirs = mpmath.betainc(a, b, 0, x, regularized=True)
        assert abs(mine - theirs) <= mpmath.mpf(10) ** -30 * abs(theirs), (x, a, b)


# Parameters spread over [0.01, 1e6], with more of them in the range the
# inverses must meet (0.5 to 1e4).
BETAF_PARAMETERS = [0.01, 0.1, 0.5, 0.6, 1.0, 2.5, 7.0, 30.0, 123.0, 1000.0, 1e4, 1e5, 1e6]
BETAF_FRACTIONS = [1e-12, 1e-3, 0.1, 0.5, 0.9, 0.99, 1.0, 1.01, 1.1, 2.0]


def beta_arguments():
    rows = set()
    for a in BETAF_PARAMETERS:
        for b in BETAF_PARAMETERS:
            mean = a / (a + b)
            sd = mpmath.sqrt(a * b / ((a + b) ** 2 * (a + b + 1)))
            points = {0.3, 0.5, 1e-6, 1 - 1e-6}
            for f in BETAF_FRACTIONS:
                points.add(float(mean * f))
            for k in (-3, -1, 1, 3):
                points.add(float(mean + k * sd))
            for x in points:
                if 0 < x < 1:
                    rows.add((x, a, b))
    return sorted(rows, key=lambda r: (r[1], r[2], r[0]))


INVERSE_PARAMETERS = [0.5, 0.52, 0.6, 0.77, 1.0, 1.5, 2.5, 7.1, 20.0, 42.0, 150.0, 800.0,
                      3000.0, 1e4]
INVERSE_PROBABILITIES = [1e-4, 0.001, 0.025, 0.2, 0.5, 0.8, 0.975, 0.999, 1 - 1e-4]


def distribution_rows():
    """kind u v w value:
    1 FDistP(F, n1, n2)  2 FDistQ  3 StudentA(t, n, 0)  4 StudentAQ
    5 BinomP(p, a, n)    6 BinomQ   (binomial by exact finite sums)."""
    rows = []
    for f, n1, n2 in [(1.0, 2.0, 2.0), (2.9222772, 3.0, 30.0), (0.3, 10.0, 5.0),
                      (9.7591531, 60.0, 1.0), (150.0, 1.5, 7.0), (1e-4, 4.0, 40.0)]:
        x = mpmath.mpf(n1) * f / (n2 + mpmath.mpf(n1) * f)
        lower, upper = incomplete_beta(x, n1 / 2, n2 / 2)
        rows += [(1, f, n1, n2, lower), (2, f, n1, n2, upper)]
    for t, n in [(2.015, 5.0), (1.0, 1.0), (2.2281389, 10.0), (0.01, 30.0), (40.0, 3.0),
                 (6.1190756, 30.0), (1.3, 0.7)]:
        x = mpmath.mpf(n) / (n + mpmath.mpf(t) ** 2)
        tail, central = incomplete_beta(x, n / 2, 0.5)
        rows += [(3, t, n, 0, central), (4, t, n, 0, tail)]
    for p, a, n in [(0.5, 1, 3), (0.3, 4, 10), (0.1, 10, 50), (0.7, 60, 100), (0.02, 3, 200),
                    (0.45, 20, 40), (0.999, 1, 1)]:
        pp = mpmath.mpf(p)
        terms = [mpmath.binomial(n, i) * pp ** i * (1 - pp) ** (n - i) for i in range(n + 1)]
        fewer = mpmath.fsum(terms[:a])
        rows += [(5, p, a, n, fewer), (6, p, a, n, mpmath.fsum(terms[a:]))]
    return rows


def main():
    check_against_betainc()
    DATA.mkdir(parents=True, exist_ok=True)
    with open(DATA / "beta_incomplete.txt", "w") as out:
        out.write("# x a b I(x,a,b) 1-I(x,a,b)   (mpmath, 60 digits, positive series)\n")
        for x, a, b in beta_arguments():
            lower, upper = incomplete_beta(x, a, b)
            out.write(f"{x!r} {a!r} {b!r} {show(lower)} {show(upper)}\n")
    with open(DATA / "beta_inverse.txt", "w") as out:
        out.write("# p a b x 1-x   with I(x,a,b) = p   (mpmath, 60 digits)\n")
        for a in INVERSE_PARAMETERS:
            for b in INVERSE_PARAMETERS:
                for p in INVERSE_PROBABILITIES:
                    x, one_minus_x = inverse(p, a, b)
                    out.write(f"{p!r} {a!r} {b!r} {show(x)} {show(one_minus_x)}\n")
    with open(DATA / "beta_distributions.txt", "w") as out:
        out.write("# kind u v w value   1 FDistP(F,n1,n2) 2 FDistQ 3 StudentA(t,n) 4 StudentAQ"
                  " 5 BinomP(p,a,n) 6 BinomQ   (mpmath, 60 digits)\n")
        for kind, u, v, w, value in distribution_rows():
            out.write(f"{kind} {float(u)!r} {float(v)!r} {float(w)!r} {show(value)}\n")


if __name__ == "__main__":
    main()
