#!/usr/bin/python3
"""Reference quantiles of the beta and chi-square distributions far into
both tails, for the inverse beta, t, F and chi-square routines.

  gen_inverse_tails.py beta  > tests/data/beta_inverse_tails.txt
  gen_inverse_tails.py chi   > tests/data/chisq_inverse_tails.txt

p runs over 1e-300, 1e-100, 1e-30, 1e-10, 1e-6 and 1 - 1e-6, 1 - 1e-9,
1 - 1e-12; the parameters a, b (and nu) over a log grid from 0.05 to 1e6
(0.1 to 2e6 degrees of freedom for t and F, 0.1 to 1e6 for chi-square),
with 1/2 among them so that the rows with b = 1/2 serve Student's t.

The tails are those of tools/accuracy_reference.py: the incomplete beta
function from its positive power series summed in exact rational arithmetic,
the incomplete gamma function from mpmath's gammainc (or the same kind of
series where that gives up), each to far more digits than a double holds,
the smaller tail directly. The root of ln(tail) - ln(target) in
u = ln(x/(1 - x)) (beta) or u = ln x (chi-square) is bracketed by a scan and
then found by mpmath's findroot (Anderson-Bjorck) to 30 digits. Rows whose
quantile is not a normal double (x or 1 - x below 2.2e-308) are left out.

Beta rows: p a b x 1-x. Chi-square rows: p nu x. Each p and parameter is
written so that it reads back as exactly the double it was computed for.
"""
import math
import os
import sys
from fractions import Fraction

import mpmath

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import accuracy_reference as ref  # noqa: E402

mpmath.mp.dps = 40

PROBABILITIES = (1e-300, 1e-100, 1e-30, 1e-10, 1e-6, 1 - 1e-6, 1 - 1e-9, 1 - 1e-12)
BETA_PARAMETERS = (0.05, 0.3, 0.5, 2.0, 15.0, 120.0, 1000.0, 1e4, 1e5, 1e6)
CHI_DEGREES = (0.1, 0.5, 1.0, 3.0, 10.0, 50.0, 300.0, 3000.0, 3e4, 3e5, 1e6)
SMALLEST_NORMAL = mpmath.mpf(2) ** -1022


def show(value):
    return mpmath.nstr(value, 22, min_fixed=1, max_fixed=0)


def root(h, low, high):
    """The root of the increasing h on [low, high], where h(low) < 0 < h(high)."""
    with mpmath.workdps(40):
        return mpmath.findroot(h, (mpmath.mpf(low), mpmath.mpf(high)), solver='anderson',
                               tol=mpmath.mpf(10) ** -60, maxsteps=400)


def bracket(h, start, step):
    """[low, high] around the root of the increasing h, from start outward."""
    low = high = start
    if h(start) < 0:
        while h(high) < 0:
            low, high, step = high, high + step, step * 2
    else:
        while h(low) > 0:
            high, low, step = low, low - step, step * 2
    return low, high


def beta_quantile(p, a, b):
    """(x, 1 - x) with I(x, a, b) = p, or None where x or 1 - x is not a
    normal double."""
    pe, ae, be = Fraction(p), Fraction(a), Fraction(b)
    lower_target = pe <= Fraction(1, 2)
    target = mpmath.log(ref.to_mpf(pe if lower_target else 1 - pe))

    def point(u):
        u = mpmath.mpf(u)
        if u < 0:
            z = ref.exact(1 / (1 + mpmath.exp(-u)))
            return z, 1 - z
        w = ref.exact(1 / (1 + mpmath.exp(u)))
        return 1 - w, w

    def h(u):
        z, w = point(u)
        lower, upper = ref.beta_tails(ae, be, z, w)
        if lower_target:
            return mpmath.log(lower) - target if lower > 0 else -mpmath.mpf(10) ** 6
        return target - mpmath.log(upper) if upper > 0 else mpmath.mpf(10) ** 6

    low, high = bracket(h, math.log(a / b), 4.0)
    u = root(h, low, high)
    x = 1 / (1 + mpmath.exp(-u))
    y = 1 / (1 + mpmath.exp(u))
    if x < SMALLEST_NORMAL or y < SMALLEST_NORMAL:
        return None
    return x, y


def chi_square_quantile(p, nu):
    """The x with Q(x|nu) = p, or None where x is not a normal double."""
    upper_target = p <= 0.5
    pe = Fraction(p)
    target = mpmath.log(ref.to_mpf(pe if upper_target else 1 - pe))

    def h(s):
        x = ref.exact(mpmath.exp(s))
        lower, upper = ref.chi_square_tails(x, nu)
        if upper_target:
            return target - mpmath.log(upper) if upper > 0 else mpmath.mpf(10) ** 6
        return mpmath.log(lower) - target if lower > 0 else -mpmath.mpf(10) ** 6

    low, high = bracket(h, math.log(nu), 1.0)
    x = mpmath.exp(root(h, low, high))
    if x < SMALLEST_NORMAL or x > mpmath.mpf("1.7e308"):
        return None
    return x


def main():
    table = sys.argv[1] if len(sys.argv) > 1 else "beta"
    if table == "beta":
        print("# p a b x 1-x   with I(x,a,b) = p   (exact series, mpmath findroot, 22 digits)")
        for a in BETA_PARAMETERS:
            for b in BETA_PARAMETERS:
                for p in PROBABILITIES:
                    quantile = beta_quantile(p, a, b)
                    if quantile is not None:
                        print(f"{p!r} {a!r} {b!r} {show(quantile[0])} {show(quantile[1])}",
                              flush=True)
    elif table == "chi":
        print("# p nu x   with Q(x|nu) = p   (mpmath gammainc, findroot, 22 digits)")
        for nu in CHI_DEGREES:
            for p in PROBABILITIES:
                x = chi_square_quantile(p, nu)
                if x is not None:
                    print(f"{p!r} {nu!r} {show(x)}", flush=True)
    else:
        sys.exit(f"unknown table {table}; use beta or chi")


if __name__ == "__main__":
    main()
