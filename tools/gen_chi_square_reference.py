#!/usr/bin/python3
"""Reference values for the chi-square family, computed with mpmath.

Writes tests/data/chisq_tails.txt (x, nu, P, Q), tests/data/chisq_fraction_limits.txt
(x, nu, P, Q, T: where thirty levels of either fraction come nearest their
bound, T being the tail that the fraction taken thirty levels deep gives in
exact arithmetic, so that a wrong level or a wrong depth shows),
tests/data/chisq_inverse.txt
(p, nu, x), tests/data/chisq_noncentral.txt (x, nu, lambda, P, Q) and
tests/data/chisq_noncentral_regions.txt (x, nu, lambda, P, Q: the upper tail
far above nu + lambda, large lambda and large nu) and
tests/data/chisq_noncentral_pearson.txt (the same, lambda beyond 2e6). Every argument is the
double written in the row.

The central tails are mpmath's regularized incomplete gamma functions at 50
digits. Where mpmath's series do not converge (large degrees of freedom)
they are the integral of the density by tanh-sinh quadrature, each tail
scaled by the density's largest value on its range so that the quadrature's
error test is relative; the two ways agree to 20 digits where both work.
The inverse is the root of log Q(x|nu) - log p, bracketed by doubling and
halving and then found by mpmath's Anderson-Bjorck solver. The non-central
tails are the Poisson mixture of central tails, the central tail computed
once as above and carried along j by its recurrence.

Usage: gen_chi_square_reference.py [tails|limits|inverse|noncentral|regions|pearson] > table
"""
import math
import random
import sys

import mpmath

mpmath.mp.dps = 40


def _breakpoints(a, z, upward):
    """Points that split [z, inf) (upward) or [0, z] for the quadrature:
    around the peak of t^(a-1) e^-t and along the decay away from z."""
    peak = a - 1 if a > 1 else mpmath.mpf(0)
    width = mpmath.sqrt(a) + 1
    sign = 1 if upward else -1
    points = [z]
    if (z < peak) if upward else (z > peak):
        for k in (-30, -15, -8, -4, -2, -1, 0, 1, 2, 4, 8, 15, 30, 50):
            p = peak + sign * k * width
            if (p > points[-1]) if upward else (0 < p < points[-1]):
                points.append(p)
    last = points[-1]
    slope = abs(1 - peak / last) if last > 0 else 1
    step = min(1 / slope if slope > 0 else width, width)
    for k in (0.25, 0.5, 1, 2, 4, 8, 16, 32, 64, 128):
        p = last + sign * k * step
        if upward or p > 0:
            points.append(p)
    points.append(mpmath.inf if upward else mpmath.mpf(0))
    return points if upward else points[::-1]


def _quadrature_tails(a, z):
    lg = mpmath.loggamma(a)
    peak = a - 1 if a > 1 else mpmath.mpf(0)

    def log_density(t):
        return (a - 1) * mpmath.log(t) - t

    top_q = max(z, peak)
    top_p = min(z, peak) if min(z, peak) > 0 else z
    scale_q = log_density(top_q)
    scale_p = log_density(top_p)
    q = mpmath.quad(lambda t: mpmath.exp(log_density(t) - scale_q), _breakpoints(a, z, True))
    p = mpmath.quad(lambda t: mpmath.exp(log_density(t) - scale_p), _breakpoints(a, z, False))
    return p * mpmath.exp(scale_p - lg), q * mpmath.exp(scale_q - lg)


def tails(x, nu):
    """(P(x|nu), Q(x|nu)) as mpf."""
    a = mpmath.mpf(nu) / 2
    z = mpmath.mpf(x) / 2
    if z == 0:
        return mpmath.mpf(0), mpmath.mpf(1)
    try:
        with mpmath.workdps(50):
            p = mpmath.gammainc(a, 0, z, regularized=True)
            q = mpmath.gammainc(a, z, mpmath.inf, regularized=True)
        return +p, +q
    except (mpmath.libmp.NoConvergence, ValueError, RecursionError):
        return _quadrature_tails(a, z)


def thirty_level_tail(x, nu):
    """The tail that thirty levels of the classical fraction give: for
    x > 2 nu Legendre's fraction of Gamma(a, z) (A&S 6.5.31) for Q, else
    the fraction of gamma(a, z) (DLMF 8.9) for P, a = nu/2, z = x/2, each
    evaluated from its deepest level up, starting from 1 below it."""
    a, z = mpmath.mpf(nu) / 2, mpmath.mpf(x) / 2
    if x > 2 * nu:
        # z^a e^-z / Gamma(a) / (z + (1 - a)/(1 + 1/(z + (2 - a)/(1 + 2/(z + ...))))),
        # written as levels 1 + c_k/(z f) with c_k = k/2 (k even), (k + 1)/2 - a (k odd).
        f = mpmath.mpf(1)
        for k in range(30, 0, -1):
            c = mpmath.mpf(k) / 2 if k % 2 == 0 else mpmath.mpf(k + 1) / 2 - a
            f = 1 + c / (z * f)
        return mpmath.exp((a - 1) * mpmath.log(z) - z - mpmath.loggamma(a)) / f
    # z^a e^-z / Gamma(a + 1) / (1 - z/(a + 1) / (1 + z/((a + 1)(a + 2)) / (1 - ...))),
    # the level k (2 ... 30) being 1 + (k/2) z/((a + k)(a + k - 1)) for k
    # even and 1 - (a + (k - 1)/2) z/((a + k)(a + k - 1)) for k odd.
    s = mpmath.mpf(1)
    for k in range(30, 1, -1):
        d = (a + k) * (a + k - 1)
        s = 1 + (mpmath.mpf(k) / 2) * z / d / s if k % 2 == 0 else 1 - (a + mpmath.mpf(k - 1) / 2) * z / d / s
    s = 1 - z / (a + 1) / s
    return mpmath.exp(a * mpmath.log(z) - z - mpmath.loggamma(a + 1)) / s


def inverse(p, nu):
    """The x with Q(x|nu) = p: bracketing on log Q, then secant steps."""
    target = mpmath.log(mpmath.mpf(p))

    def g(x):
        return mpmath.log(tails(x, nu)[1]) - target

    lo, hi = mpmath.mpf(0), mpmath.mpf(max(nu, 1))
    while g(hi) > 0:
        lo, hi = hi, hi * 2
    if lo == 0:
        lo = hi / 2
        while g(lo) < 0:
            hi, lo = lo, lo / 2 ** 8
    return mpmath.findroot(g, (lo, hi), solver='anderson', tol=mpmath.mpf(10) ** -32)


def noncentral(x, nu, lam):
    """(P, Q) of the non-central chi-square distribution: the Poisson mixture
    of central tails over every j whose weight e^(-h) h^j/j! (h = lam/2) is
    above 1e-30, the central upper tail found once at the lowest such j and
    carried upward by Q(a + 1, z) = Q(a, z) + z^a e^(-z)/Gamma(a + 1), which
    only adds."""
    x, nu, lam = mpmath.mpf(x), mpmath.mpf(nu), mpmath.mpf(lam)
    if lam == 0:
        return tails(x, nu)
    h, z = lam / 2, x / 2

    def log_weight(j):
        return j * mpmath.log(h) - h - mpmath.loggamma(j + 1)

    floor = mpmath.log(mpmath.mpf(10) ** -30)
    mode = int(mpmath.floor(h))
    low = mode
    while low > 0 and log_weight(low - 1) > floor:
        low -= 1
    a = nu / 2 + low
    q = tails(x, 2 * a)[1]
    p_sum = q_sum = mpmath.mpf(0)
    j = low
    while True:
        lw = log_weight(j)
        if j > mode and lw < floor:
            break
        w = mpmath.exp(lw)
        q_sum += w * q
        p_sum += w * (1 - q)
        if z > 0:
            q += mpmath.exp(a * mpmath.log(z) - z - mpmath.loggamma(a + 1))
        a += 1
        j += 1
    return p_sum, q_sum


def log_uniform(rng, lo, hi):
    return math.exp(rng.uniform(math.log(lo), math.log(hi)))


def tail_points():
    rng = random.Random(20240605)
    points = []
    # Values stated for the routine, and its edge cases.
    points += [(2.0, 1.0), (2.0, 5.0), (2.0, 10.0), (2.0, 16.0), (10.0, 10.0), (2.0, 2.0),
               (10.0, 4.0), (10.0, 4.000001), (6.5, 3.0), (60.0, 30.0), (150.0, 100.0),
               (1999.0, 1000.0), (1.0, 0.4), (2.1, 1.0), (0.0001, 4.0), (50.0, 5.0)]
    # Everywhere: nu from 1e-6 to 1e6, x/nu from 1e-3 to 1e3.
    for _ in range(300):
        nu = log_uniform(rng, 1e-6, 1e6)
        points.append((nu * log_uniform(rng, 1e-3, 1e3), nu))
    # Small x with x/nu > 2, where the upper fraction needs more than 30 levels.
    for _ in range(250):
        nu = log_uniform(rng, 1e-12, 5.0)
        x = rng.uniform(2.0 * nu, 12.0) if rng.random() < 0.7 else log_uniform(rng, 2 * nu, 12.0)
        if x > 2.0 * nu:
            points.append((x, nu))
    # Near x = nu for large nu, where the lower fraction needs more than 30.
    for _ in range(400):
        nu = log_uniform(rng, 13.5, 1e6)
        a = nu / 2
        u = rng.uniform(max(-7.0, -math.sqrt(a)), min(8.0, math.sqrt(a)))
        points.append((2.0 * (a + u * math.sqrt(a)), nu))
    # Up to x/nu = 2 exactly, and just above it.
    for _ in range(60):
        nu = log_uniform(rng, 10.0, 1e6)
        points.append((2.0 * nu, nu))
        points.append((2.0 * nu * (1 + 1e-9), nu))
    # Beyond 1e6 degrees of freedom, around the centre.
    for nu in (3e6, 1e8, 1e11, 1e14):
        a = nu / 2
        for u in (-8.0, -3.0, -0.5, 0.0, 0.5, 3.0, 8.0):
            points.append((2.0 * (a + u * math.sqrt(a)), nu))
    return points


def fraction_limit_points():
    """Points just inside the regions where thirty levels of a fraction are
    kept, at their edges: there the thirtieth level still moves the tail by
    several 1e-13, so a level more or less, or a wrong one, shows."""
    points = []
    # The upper fraction (x > 2 nu) from x = 10.22 - 0.6 nu (nu < 2) or 8.1 on.
    for nu in (1e-3, 0.3, 1.0, 1.5, 1.9, 2.5, 3.0, 3.5, 3.9):
        points.append(((10.22 - 0.6 * nu if nu < 2 else 8.1) + 0.002, nu))
    # The lower fraction up to x = 2 nu while nu <= 12.3, then up to
    # x/2 = a + u sqrt(a) (a = nu/2), u falling with nu (to -5.3 from 1e6 on).
    for nu in (0.5, 3.0, 7.5, 12.29):
        points.append((2.0 * nu, nu))
    for nu, u in ((13.0, 2.372), (15.0, 2.083), (20.0, 1.539), (30.0, 0.851), (50.0, 0.095),
                  (100.0, -0.761), (200.0, -1.615), (300.0, -2.080), (700.0, -2.920),
                  (1e3, -3.233), (5e3, -4.250), (1e4, -4.526), (1e5, -5.025), (1e6, -5.3)):
        a = nu / 2
        points.append((2.0 * (a + (u - 0.002) * math.sqrt(a)), nu))
    return points


def inverse_points():
    rng = random.Random(20240606)
    points = [(0.5, 1.0), (0.5, 2.0), (0.05, 2.0), (0.01, 10.0), (0.001, 10.0), (1e-6, 10.0),
              (0.95, 0.6), (0.5, 29.99), (0.5, 30.0), (1e-10, 200.0)]
    for _ in range(150):
        points.append((log_uniform(rng, 1e-300, 0.9), log_uniform(rng, 0.5, 1e6)))
    for _ in range(40):
        points.append((rng.uniform(0.5, 0.9), log_uniform(rng, 0.5, 1e6)))
    return points


def noncentral_points():
    rng = random.Random(20240607)
    points = [(1.0, 2.0, 1.0), (50.0, 5.0, 30.0), (0.0001, 4.0, 0.0), (0.0, 3.0, 10.0)]
    for _ in range(40):
        nu = log_uniform(rng, 0.1, 1e4)
        lam = log_uniform(rng, 0.01, 1e3)
        mean, sd = nu + lam, math.sqrt(2 * (nu + 2 * lam))
        points.append((max(0.0, mean + rng.uniform(-6, 6) * sd), nu, lam))
    for lam, ks in ((1500.0, (-4.0, 0.0, 3.0)), (2e4, (-4.0, 0.0, 3.0)), (1e6, (-1.0, 2.0))):
        nu = log_uniform(rng, 0.1, 1e4)
        mean, sd = nu + lam, math.sqrt(2 * (nu + 2 * lam))
        for k in ks:
            points.append((mean + k * sd, nu, lam))
    return points


def noncentral_region_points():
    rng = random.Random(20240608)
    points = [(61.7249938995, 0.5, 10.0), (35.0410196625, 0.5, 1.0)]
    # The upper tail far above nu + lambda, where every term of the sum is
    # below 1e-7 long before the sum is: lambda from 0.1 to 100.
    for _ in range(120):
        lam = log_uniform(rng, 0.1, 100.0)
        nu = log_uniform(rng, 0.01, 1e4) if rng.random() < 0.5 else log_uniform(rng, 0.01, 20.0)
        mean, sd = nu + lam, math.sqrt(2 * (nu + 2 * lam))
        points.append((mean + rng.uniform(2.0, 14.0) * sd, nu, lam))
    # Beyond nu = 400 with a small or moderate lambda, around the centre.
    for _ in range(30):
        nu = log_uniform(rng, 400.0, 1e4)
        lam = log_uniform(rng, 0.01, 1400.0)
        mean, sd = nu + lam, math.sqrt(2 * (nu + 2 * lam))
        points.append((max(0.0, mean + rng.uniform(-7.0, 7.0) * sd), nu, lam))
    # Large lambda, up to 1e6.
    for _ in range(24):
        lam = log_uniform(rng, 1400.0, 1e6)
        nu = log_uniform(rng, 0.1, 1e4)
        mean, sd = nu + lam, math.sqrt(2 * (nu + 2 * lam))
        points.append((max(0.0, mean + rng.uniform(-7.0, 7.0) * sd), nu, lam))
    return points


def pearson_points():
    """Beyond lambda = 2e6, at the centre and three standard deviations out."""
    nu, lam = 10.0, 3e6
    mean, sd = nu + lam, math.sqrt(2 * (nu + 2 * lam))
    return [(mean + k * sd, nu, lam) for k in (-3.0, 0.0, 3.0)]


def main():
    which = sys.argv[1] if len(sys.argv) > 1 else "tails"
    if which == "tails":
        print("# x  nu  P(x|nu)  Q(x|nu)   (mpmath, 20 digits)")
        for x, nu in tail_points():
            p, q = tails(x, nu)
            print(f"{x!r} {nu!r} {mpmath.nstr(p, 20)} {mpmath.nstr(q, 20)}")
    elif which == "limits":
        print("# x  nu  P(x|nu)  Q(x|nu)  tail of thirty levels   (mpmath, 20 digits)")
        for x, nu in fraction_limit_points():
            p, q = tails(x, nu)
            t = thirty_level_tail(x, nu)
            print(f"{x!r} {nu!r} {mpmath.nstr(p, 20)} {mpmath.nstr(q, 20)} {mpmath.nstr(t, 20)}")
    elif which == "inverse":
        print("# p  nu  x with Q(x|nu) = p   (mpmath, 20 digits)")
        for p, nu in inverse_points():
            print(f"{p!r} {nu!r} {mpmath.nstr(inverse(p, nu), 20)}")
    else:
        points = {"noncentral": noncentral_points, "regions": noncentral_region_points,
                  "pearson": pearson_points}[which]()
        print("# x  nu  lambda  P  Q   (mpmath, 20 digits)")
        for x, nu, lam in points:
            p, q = noncentral(x, nu, lam)
            print(f"{x!r} {nu!r} {lam!r} {mpmath.nstr(p, 20)} {mpmath.nstr(q, 20)}")


if __name__ == "__main__":
    main()
