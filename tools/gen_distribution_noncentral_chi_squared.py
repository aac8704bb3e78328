#!/usr/bin/python3
"""Reference values for the non-central chi-square distribution, with mpmath.

With a = df/2, m = ncp/2, z = x/2 and the Poisson weights
w_j = e^-m m^j / j!, the distribution is the Poisson mixture

    P = sum_j w_j P(a + j, z),   Q = sum_j w_j Q(a + j, z),
    f(x) = 1/2 sum_j w_j z^(a+j-1) e^-z / Gamma(a + j),

summed here at 50 digits over every term above 1e-45 of the sum. The
central tail is found once (mpmath's incomplete gamma function, or the
quadrature of its density where mpmath's series fail: the project's
chi-square generator) at the end of the range the sum needs, and carried
across it by the recurrences that only add (A&S 6.5.21):
P(b, z) = P(b + 1, z) + e_b downward and Q(b + 1, z) = Q(b, z) + e_b upward,
e_b = z^b e^-z / Gamma(b + 1). The range ends where a bound on the terms
left out (their ratios are at most (m/(j+1)) min(1, z/(a+j+1)) above the
weights' mode for P, (j/m) min(1, (a+j-1)/z) below it for Q) falls below
1e-45 of the term at the mode. With `check`, the density is compared with its
Bessel form and the tails with the quadrature of that density.

Every row: df ncp x P Q lnP lnQ pdf lnpdf, then the exact quantiles of the
doubles nearest P, Q, lnP, lnQ (xp xq xlp xlq: Newton's steps from x on the
tail that is the smaller there), 'nan' where that double is not a normal one
below 1.

Usage: gen_distribution_noncentral_chi_squared.py [moderate|far|large|check] > table
       gen_distribution_noncentral_chi_squared.py accuracy   (writes tests/data/accuracy/ncchisq_*)
"""
import math
import os
import random
import sys

import mpmath

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen_chi_square_reference import tails as central_tails  # noqa: E402

mpmath.mp.dps = 50
NEGLIGIBLE = math.log(1e-45)


def log_weight(j, m):
    return j * mpmath.log(m) - m - mpmath.loggamma(j + 1)


def log_poisson_term(b, z):
    return b * mpmath.log(z) - z - mpmath.loggamma(b + 1)


def _end_of_lower_range(a, m, z, mode):
    """The j above which the terms of P add below 1e-45 of the mode's."""
    j, log_bound = mode, 0.0
    a, m, z = float(a), float(m), float(z)
    while True:
        r = (m / (j + 1)) * min(1.0, z / (a + j + 1))
        if r < 1 and log_bound + math.log(r / (1 - r)) < NEGLIGIBLE:
            return j
        log_bound += math.log(r)
        j += 1


def _start_of_upper_range(a, m, z, mode):
    """The j below which the terms of Q add below 1e-45 of the mode's."""
    j, log_bound = mode, 0.0
    a, m, z = float(a), float(m), float(z)
    while j > 0:
        r = (j / m) * min(1.0, (a + j - 1) / z)
        if r < 1 and log_bound + math.log(r / (1 - r)) < NEGLIGIBLE:
            return j
        log_bound += math.log(r)
        j -= 1
    return 0


def lower_tail(a, m, z):
    mode = int(mpmath.floor(m))
    j = _end_of_lower_range(a, m, z, mode)
    p = central_tails(2 * z, 2 * (a + j))[0]
    w = mpmath.exp(log_weight(j, m))
    e = mpmath.exp(log_poisson_term(a + j, z))
    total = mpmath.mpf(0)
    while True:
        term = w * p
        total += term
        if j == 0:
            return total
        if j < mode:
            rho = (j / m) * (1 + (e / p) * (a + j) / z)
            if rho < 1 and term * rho / (1 - rho) < mpmath.mpf(10) ** -45 * total:
                return total
        e = e * (a + j) / z
        p += e
        w = w * j / m
        j -= 1


def upper_tail(a, m, z):
    mode = int(mpmath.floor(m))
    j = _start_of_upper_range(a, m, z, mode)
    q = central_tails(2 * z, 2 * (a + j))[1]
    w = mpmath.exp(log_weight(j, m))
    e = mpmath.exp(log_poisson_term(a + j, z))
    total = mpmath.mpf(0)
    while True:
        term = w * q
        total += term
        if j >= mode:
            rho = (m / (j + 1)) * (1 + e / q)
            weights_left = w * (m / (j + 1)) / (1 - m / (j + 2))
            left = weights_left if rho >= 1 else min(weights_left, term * rho / (1 - rho))
            if left < mpmath.mpf(10) ** -45 * total:
                return total
        q += e
        e = e * z / (a + j + 1)
        w = w * m / (j + 1)
        j += 1


def density(a, m, z):
    """f(x) = 1/2 sum_j w_j z^(a+j-1) e^-z / Gamma(a+j), from its largest
    term outward (term ratio m z / ((j+1)(a+j)) falls with j)."""
    peak = (-(a + 1) + mpmath.sqrt((a - 1) ** 2 + 4 * m * z)) / 2
    j0 = max(0, int(mpmath.nint(peak)))

    def log_term(j):
        return log_weight(j, m) + log_poisson_term(a + j - 1, z)

    t0 = mpmath.exp(log_term(j0))
    total = t0
    for step in (1, -1):
        j, t = j0, t0
        while True:
            if step > 0:
                ratio = m * z / ((j + 1) * (a + j))
            else:
                if j == 0:
                    break
                ratio = j * (a + j - 1) / (m * z)
            t = t * ratio
            j += step
            total += t
            if ratio < 1 and t * ratio / (1 - ratio) < mpmath.mpf(10) ** -50 * total:
                break
    return total / 2


def mixture(df, ncp, x):
    """(P, Q, f) at the given doubles, as mpf."""
    a, m, z = mpmath.mpf(df) / 2, mpmath.mpf(ncp) / 2, mpmath.mpf(x) / 2
    if m == 0:
        p, q = central_tails(x, df)
        return p, q, mpmath.exp(log_poisson_term(a - 1, z)) / 2
    return lower_tail(a, m, z), upper_tail(a, m, z), density(a, m, z)


def bessel_density(df, ncp, x):
    """f(x) = 1/2 e^-(x+ncp)/2 (x/ncp)^(df/4-1/2) I_(df/2-1)(sqrt(ncp x))."""
    df, ncp, x = mpmath.mpf(df), mpmath.mpf(ncp), mpmath.mpf(x)
    return (mpmath.exp(-(x + ncp) / 2) * (x / ncp) ** (df / 4 - mpmath.mpf(1) / 2)
            * mpmath.besseli(df / 2 - 1, mpmath.sqrt(ncp * x)) / 2)


def _normal_double(v):
    d = float(v)
    return d if d >= 2.2250738585072014e-308 else None


def solve(df, ncp, x, tails, side, log_target):
    """The x with ln T(x) = log_target, T the lower (side 1) or upper (-1)
    tail, by Newton's steps in ln x from x, where tails = (P, Q, f) at x;
    the first step's error is of its square, so one step serves where it
    is small."""
    p, q, f = tails
    for _ in range(30):
        t = p if side > 0 else q
        step = side * (mpmath.log(t) - log_target) * t / (x * f)
        x = x * mpmath.exp(-step)
        if abs(step) < mpmath.mpf(10) ** -24:
            return x
        p, q, f = mixture(df, ncp, x)
    raise RuntimeError("no quantile")


def quantiles(df, ncp, x, tails, lp, lq):
    """The exact quantiles of the doubles nearest P, Q, ln P, ln Q."""
    x = mpmath.mpf(x)
    log_half = -mpmath.log(2)
    results = []
    for value, side in ((tails[0], 1), (tails[1], -1)):
        d = _normal_double(value)
        if d is None or d >= 1:
            results.append(None)
        elif d <= 0.5:
            results.append(solve(df, ncp, x, tails, side, mpmath.log(d)))
        else:
            results.append(solve(df, ncp, x, tails, -side, mpmath.log(1 - mpmath.mpf(d))))
    for log_value, side in ((lp, 1), (lq, -1)):
        d = float(log_value)
        if d == 0 or math.isinf(d):
            results.append(None)
        elif d <= log_half:
            results.append(solve(df, ncp, x, tails, side, mpmath.mpf(d)))
        else:
            results.append(solve(df, ncp, x, tails, -side, mpmath.log(-mpmath.expm1(d))))
    return results


def row(df, ncp, x):
    p, q, f = mixture(df, ncp, x)
    # The larger tail's log from the smaller tail, which has the relative
    # precision (the larger has 50 digits absolute).
    lp = mpmath.log(p) if p < q else mpmath.log1p(-q)
    lq = mpmath.log(q) if q <= p else mpmath.log1p(-p)
    p, q = (p, 1 - p) if p < q else (1 - q, q)
    lf = mpmath.log(f)
    fields = [repr(df), repr(ncp), repr(x)] + [mpmath.nstr(v, 25) for v in (p, q, lp, lq, f, lf)]
    fields += ["nan" if v is None else mpmath.nstr(v, 22) for v in quantiles(df, ncp, x, (p, q, f), lp, lq)]
    return " ".join(fields)


def log_uniform(rng, lo, hi):
    return math.exp(rng.uniform(math.log(lo), math.log(hi)))


def spread_points(rng, count, df_range, ncp_range):
    """Arguments about the mean, in both far tails and near the ends."""
    points = []
    for _ in range(count):
        df, ncp = log_uniform(rng, *df_range), log_uniform(rng, *ncp_range)
        mean, sd = df + ncp, math.sqrt(2 * (df + 2 * ncp))
        kind = rng.random()
        if kind < 0.45:
            x = mean + rng.uniform(-6, 8) * sd
        elif kind < 0.65:
            x = mean * log_uniform(rng, 1e-6, 0.9)
        elif kind < 0.85:
            x = mean + sd * log_uniform(rng, 8, 60) + mean * rng.choice((0.0, log_uniform(rng, 0.01, 3)))
        else:
            x = mean * log_uniform(rng, 1e-300, 1e-6)
        if x > 0:
            points.append((df, ncp, float(x)))
    return points


def moderate_points():
    rng = random.Random(20261207)
    points = [(1.0, 1.0, 1.0), (2.0, 3.0, 4.0), (0.001, 0.001, 1e-5), (10.0, 80.0, 150.0),
              (3.0, 100.0, 400.0), (5.0, 1e5, 1e5), (1e5, 1e5, 2e5), (0.5, 1e5, 1e3),
              (1e-3, 1e5, 2.5e5), (4.0, 50.0, 1e-200), (100.0, 2000.0, 2500.0)]
    points += spread_points(rng, 260, (1e-3, 1e5), (1e-3, 1e5))
    points += spread_points(rng, 60, (1e-3, 10.0), (1e-3, 100.0))
    return points


def far_points():
    """Both tails far out, where the terms' ratios move the dominant index far
    from the weights' mode (ln tail down to -1e6)."""
    rng = random.Random(20261209)
    points = []
    for _ in range(16):
        df, ncp = log_uniform(rng, 1e-3, 1e5), log_uniform(rng, 1e-3, 1e5)
        points.append((df, ncp, (df + ncp) * log_uniform(rng, 10, 3e4)))
    for _ in range(8):
        df, ncp = log_uniform(rng, 1e-3, 1e3), log_uniform(rng, 1e3, 1e5)
        points.append((df, ncp, (df + ncp) * log_uniform(rng, 1e-3, 0.3)))
    return points


def large_points():
    rng = random.Random(20261208)
    points = []
    points += spread_points(rng, 14, (1e5, 1e10), (1e-3, 1e10))
    points += spread_points(rng, 14, (1e-3, 1e10), (1e5, 1e10))
    return points


def check():
    """The density against its Bessel form, the tails against its integral."""
    rng = random.Random(7)
    worst = 0
    for df, ncp, x in spread_points(rng, 12, (0.01, 100.0), (0.01, 100.0)):
        p, q, f = mixture(df, ncp, x)
        fb = bessel_density(df, ncp, x)
        # t = u^(2/df) takes away the density's t^(df/2-1) at 0.
        k = mpmath.mpf(df) / 2
        pq = mpmath.quad(lambda u: bessel_density(df, ncp, u ** (1 / k)) * u ** (1 / k - 1) / k,
                         [0, mpmath.mpf(min(x, df + ncp)) ** k, mpmath.mpf(x) ** k])
        for a, b in ((f, fb), (p, pq)):
            worst = max(worst, abs(a / b - 1))
        worst = max(worst, abs(p + q - 1))
        print(df, ncp, x, mpmath.nstr(abs(f / fb - 1), 3), mpmath.nstr(abs(p / pq - 1), 3))
    print("worst", mpmath.nstr(worst, 3))


def accuracy_tables(root):
    """The accuracy report's tables, from the test tables' rows: the tails
    (df ncp x P Q lnP lnQ pdf lnpdf) and one table per quantile (df ncp t x,
    t the row's P, Q, ln P or ln Q as written, whose double the quantile
    takes)."""
    rows = []
    for name in ("ncchisq_moderate.txt", "ncchisq_far.txt", "ncchisq_large.txt"):
        with open(os.path.join(root, "tests/data/distributions", name)) as table:
            rows += [line.split() for line in table if line.strip() and not line.startswith("#")]
    out = os.path.join(root, "tests/data/accuracy")
    header = "# references: mpmath (tools/gen_distribution_noncentral_chi_squared.py), 50 digits\n"
    with open(os.path.join(out, "ncchisq_tails.txt"), "w") as table:
        table.write("# df ncp x P Q lnP lnQ pdf lnpdf\n" + header)
        for row in rows:
            table.write(" ".join(row[:9]) + "\n")
    for k, name in enumerate(("quantile", "quantile_upper", "quantile_log", "quantile_upper_log")):
        with open(os.path.join(out, "ncchisq_%s.txt" % name), "w") as table:
            table.write("# df ncp t x (t as written; the quantile of its double)\n" + header)
            for row in rows:
                if row[9 + k] != "nan":
                    table.write(" ".join(row[:2] + [row[3 + k], row[9 + k]]) + "\n")


def main():
    which = sys.argv[1] if len(sys.argv) > 1 else "moderate"
    if which == "check":
        check()
        return
    if which == "accuracy":
        accuracy_tables(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
        return
    points = {"moderate": moderate_points, "far": far_points, "large": large_points}[which]()
    print("# df ncp x P Q lnP lnQ pdf lnpdf xp xq xlp xlq   (mpmath, 50 digits)")
    for df, ncp, x in points:
        print(row(df, ncp, x), flush=True)


if __name__ == "__main__":
    main()
