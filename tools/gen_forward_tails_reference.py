#!/usr/bin/python3
"""Reference values for both tails of the incomplete beta function and for the
t, F and binomial tails at extreme arguments, computed with mpmath.

The tails of I(x, a, b) come from two methods independent of the library's,
at 60 digits and more:
  - the continued fraction of A&S 26.5.8 at the smaller of x and 1 - x, for
    the tail on that side where the argument lies below that side's mean,
    for parameters up to 1e6; the other tail is the complement, or where that
    is below 1e-40 the quadrature below;
  - for larger parameters, and for the tail on the side of the mean where
    the smaller argument does not lie, the integral of t^(a-1) (1 - t)^(b-1)
    / B(a, b) by Gauss-Legendre quadrature over 80 pieces, each one decay
    length of the integrand long, ending at x (checked against the fraction).
x = 1/2 with a = b gives exactly 1/2 for any a.

The t and F tails take x = nu/(nu + t^2) and x = nu2/(nu2 + nu1 F) exactly in
mpmath, so that t up to 1e300 and F up to 1e308 are reached. Binomial sums
with one or two terms, 1 - (1 - p)^n and the next, are exact.

Writes, under tests/data/:
  beta_tails.txt          x a b I(x,a,b) 1-I(x,a,b)
  distribution_tails.txt  kind u v w value   (1 FDistP, 2 FDistQ, 3 StudentA,
                                              4 StudentAQ, 5 BinomP, 6 BinomQ)
Every argument is written with repr(), so it reads back as the same double.
"""
import math
import pathlib

import mpmath

mpmath.mp.dps = 60
DATA = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data"
DIGITS = 22
FRACTION_TERMS = 200000
# Gauss-Legendre pieces of one decay length each, ending at x.
QUADRATURE_PIECES = 80


def log_beta(a, b):
    return mpmath.loggamma(a) + mpmath.loggamma(b) - mpmath.loggamma(a + b)


def fraction_tail(x, a, b):
    """I(x, a, b) by A&S 26.5.8 (modified Lentz), at 60 digits."""
    tiny = mpmath.mpf(10) ** -500
    eps = mpmath.mpf(10) ** -50
    value, c, d = mpmath.mpf(1), mpmath.mpf(1), mpmath.mpf(0)
    for n in range(1, FRACTION_TERMS):
        m = (n - 1) // 2
        if n % 2:
            term = -(a + m) * (a + b + m) * x / ((a + 2 * m) * (a + 2 * m + 1))
        else:
            term = (m + 1) * (b - m - 1) * x / ((a + 2 * m + 1) * (a + 2 * m + 2))
        d = 1 + term * d
        d = 1 / (d if d != 0 else tiny)
        c = 1 + term / c
        c = c if c != 0 else tiny
        value *= c * d
        if abs(c * d - 1) < eps:
            log_prefactor = a * mpmath.log(x) + b * mpmath.log1p(-x) - mpmath.log(a) - log_beta(a, b)
            return mpmath.exp(log_prefactor) / value
    raise ArithmeticError("the fraction did not converge at %s %s %s" % (x, a, b))


def quadrature_tail(x, a, b, upward=False):
    """I(x, a, b) as the integral from 0 to x (or 1 - I(x, a, b), from x to
    1, when upward), in pieces of one decay length of the integrand each,
    starting at x, where the integrand is largest."""
    log_norm = -log_beta(a, b)

    def density(t):
        if t <= 0 or t >= 1:
            return mpmath.mpf(0)
        return mpmath.exp((a - 1) * mpmath.log(t) + (b - 1) * mpmath.log1p(-t) + log_norm)

    width = mpmath.sqrt(a * b / ((a + b) ** 2 * (a + b + 1)))
    slope = abs((a - 1) / x - (b - 1) / (1 - x))
    scale = min(width, 1 / slope) if slope > 0 else width
    if upward:
        # Beyond 80 decay lengths the log-concave integrand is below e^-80 of
        # its value at x, unless b < 1 raises it again towards 1.
        points = [x + k * scale for k in range(QUADRATURE_PIECES + 1) if x + k * scale < 1]
        if b < 1 or len(points) <= QUADRATURE_PIECES:
            points.append(mpmath.mpf(1))
        return mpmath.quad(density, points, method="gauss-legendre")
    points = [x - k * scale for k in range(QUADRATURE_PIECES, -1, -1) if x - k * scale > 0]
    return mpmath.quad(density, [mpmath.mpf(0)] + points, method="gauss-legendre")


def tails(x, a, b):
    """(I(x, a, b), 1 - I(x, a, b)): the tail on the side of the mean where x
    lies by the fraction (for parameters up to 1e6, and at the smaller of x
    and 1 - x where the other parameter is larger) or else by quadrature from
    x outwards; the other as its complement,
    or by quadrature where that would be below 1e-40. The working precision
    grows with the parameters (ln B(a, b) is as large as a ln a)."""
    x, a, b = mpmath.mpf(x), mpmath.mpf(a), mpmath.mpf(b)
    if x == mpmath.mpf(0.5) and a == b:
        return mpmath.mpf(0.5), mpmath.mpf(0.5)
    with mpmath.workdps(60 + max(0, int(mpmath.log10(max(a, b))))):
        y = 1 - x
        # The fraction at an argument near 1 beside a parameter beyond 1e6
        # converges to the wrong value; there the quadrature is used.
        moderate = max(a, b) <= 1e6
        by_fraction = min(a, b) <= 1e6
        if x * (a + b) <= a:
            lower = fraction_tail(x, a, b) if by_fraction and (x <= y or moderate) else \
                quadrature_tail(x, a, b)
            upper = 1 - lower if 1 - lower > 1e-40 else quadrature_tail(x, a, b, upward=True)
        else:
            upper = fraction_tail(y, b, a) if by_fraction and (y < x or moderate) else \
                quadrature_tail(x, a, b, upward=True)
            lower = 1 - upper if 1 - upper > 1e-40 else quadrature_tail(x, a, b)
    return +lower, +upper


def show(value):
    value = mpmath.mpf(value)
    return "0" if value == 0 else mpmath.nstr(value, DIGITS, min_fixed=-4, max_fixed=6)


def beta_points():
    """x at and around the mean in units of the width, and far out."""
    small = [0.01, 0.1, 0.6, 1.0, 3.5]
    moderate = [30.0, 300.0, 3000.0]
    large = [3e4, 1.2e5, 1.3e5, 1e6]
    huge = [1e7, 1e9, 1e12, 1e15, 1e20]
    pairs = [(a, b) for a in small + moderate + large for b in small + moderate + large]
    pairs += [(a, b) for a in huge for b in huge if a <= b]
    pairs += [(a, b) for a in (0.5, 3.0, 1000.0) for b in huge + [1e100, 1e300]]
    pairs += [(b, a) for a, b in pairs if a != b]
    steps = [0.0, -1.0, 1.0, -3.0, 3.0, -10.0, 10.0, -30.0, 30.0]
    points = set()
    for a, b in pairs:
        mean = a / (a + b)
        width = math.sqrt(a) * math.sqrt(b) / (a + b) / math.sqrt(a + b + 1)
        for k in steps:
            x = mean + k * width
            if 0.0 < x < 1.0 and (k == 0.0 or x != mean):
                points.add((x, a, b))
        if max(a, b) <= 1e6:
            for x in (1e-300, 1e-30, 1e-8, 0.5, 1.0 - 1e-8):
                points.add((x, a, b))
    for a in (1e6, 1e10, 1e100, 1e300, 1.7976931348623157e308):
        points.add((0.5, a, a))
    return sorted(points, key=lambda p: (p[1], p[2], p[0]))


def t_rows():
    rows = []
    for nu in (0.01, 0.1, 1.0, 3.0, 30.0, 1e4, 1e6, 1e15, 1e155):
        for t in (1e-300, 1e-160, 1e-20, 0.5, 2.0, 1e10, 1.4e154, 1e155, 1e200, 1e300):
            nu_m, t_m = mpmath.mpf(nu), mpmath.mpf(t)
            x = t_m ** 2 / (nu_m + t_m ** 2)
            lower, upper = tails(x, mpmath.mpf(0.5), nu_m / 2) if x < 0.5 else \
                tuple(reversed(tails(nu_m / (nu_m + t_m ** 2), nu_m / 2, mpmath.mpf(0.5))))
            rows.append((3, t, nu, 0.0, lower))
            rows.append((4, t, nu, 0.0, upper))
    return rows


def f_rows():
    rows = []
    for nu1, nu2 in ((0.02, 4.0), (4.0, 0.02), (0.01, 0.01), (1.0, 1.0), (10.0, 30.0), (1e6, 3.0),
                     (3.0, 1e6), (1e300, 2.0)):
        for f in (1e-300, 1e-100, 1e-10, 0.5, 2.0, 1e10, 1e100, 1e300, 1e308):
            n1, n2, fm = mpmath.mpf(nu1), mpmath.mpf(nu2), mpmath.mpf(f)
            ratio = n1 * fm / n2
            x = ratio / (1 + ratio)
            if x < 0.5:
                lower, upper = tails(x, n1 / 2, n2 / 2)
            else:
                upper, lower = tails(1 / (1 + ratio), n2 / 2, n1 / 2)
            rows.append((1, f, nu1, nu2, lower))
            rows.append((2, f, nu1, nu2, upper))
    return rows


def binomial_rows():
    rows = []
    for p, n in ((1e-17, 1e17), (1e-10, 1e12), (1e-17, 3e16), (1e-3, 1e7), (0.3, 1e8)):
        pm, nm = mpmath.mpf(p), mpmath.mpf(n)
        none = mpmath.exp(nm * mpmath.log1p(-pm))  # P(no success)
        one = nm * pm * mpmath.exp((nm - 1) * mpmath.log1p(-pm))
        rows += [(5, p, 1.0, n, none), (6, p, 1.0, n, 1 - none),
                 (5, p, 2.0, n, none + one), (6, p, 2.0, n, 1 - none - one)]
    return rows


def check_quadrature():
    """The quadrature agrees with the fraction where both apply, from the
    mean to 30 widths out."""
    for a, b in ((1e5, 1e5), (1e4, 1e6), (3.0, 5.0), (2e5, 3e9)):
        mean = a / (a + b)
        width = math.sqrt(a) * math.sqrt(b) / (a + b) / math.sqrt(a + b + 1)
        for k in (0.5, 5.0, 30.0):
            if mean - k * width <= 0:
                continue
            x, am, bm = mpmath.mpf(mean - k * width), mpmath.mpf(a), mpmath.mpf(b)
            by_fraction, by_quadrature = fraction_tail(x, am, bm), quadrature_tail(x, am, bm)
            assert abs(by_fraction / by_quadrature - 1) < 1e-15, (x, a, b, by_fraction, by_quadrature)


def main():
    check_quadrature()
    with open(DATA / "beta_tails.txt", "w") as out:
        out.write("# x a b I(x,a,b) 1-I(x,a,b)   (mpmath, 60 digits: A&S 26.5.8 on each side up to\n"
                  "# parameters of 1e6, quadrature beyond; 0 where below the doubles)\n")
        for x, a, b in beta_points():
            lower, upper = tails(x, a, b)
            out.write("%r %r %r %s %s\n" % (x, a, b, show(lower), show(upper)))
    with open(DATA / "distribution_tails.txt", "w") as out:
        out.write("# kind u v w value   1 FDistP(F,n1,n2) 2 FDistQ 3 StudentA(t,n) 4 StudentAQ\n"
                  "# 5 BinomP(p,a,n) 6 BinomQ   (mpmath, 60 digits)\n")
        for kind, u, v, w, value in t_rows() + f_rows() + binomial_rows():
            out.write("%d %r %r %r %s\n" % (kind, u, v, w, show(value)))


if __name__ == "__main__":
    main()
