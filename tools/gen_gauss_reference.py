#!/usr/bin/python3
"""Reference values for the Gaussian tail and its inverse, computed with
mpmath at 50 significant digits.

  gen_gauss_reference.py tail     > tests/data/gauss_upper_tail.txt
  gen_gauss_reference.py inverse  > tests/data/gauss_inverse.txt
  gen_gauss_reference.py double   > tests/data/gauss_double_evaluation.txt

Rows of the tail table: x, Q(x) = erfc(x / sqrt 2) / 2. Rows of the inverse
table: p, the x with Q(x) = p, found by Newton's method on ln Q at high
precision.

The third table is not a high-precision reference: it holds the exact
doubles that a plain double-precision evaluation of the two fixed-depth
continued fractions and the three Newton steps gives, in the stated order of
operations, with the C library's exp, log and sqrt (which Python's math
module calls). Rows: 0, x, QGauss(x) or 1, p, QGaussInv(p), as hexadecimal
floats. Regenerate it on the C library the tests run against.

Every argument is written so that it reads back as exactly the
double the reference was computed for."""
import math
import random
import sys

import mpmath

mpmath.mp.dps = 50


def upper_tail(x):
    return mpmath.erfc(mpmath.mpf(x) / mpmath.sqrt(2)) / 2


def tail_arguments():
    points = set()
    # A regular grid over the computed range [-11, 37], exact in binary.
    for k in range(0, 48 * 16 + 1):
        points.add(-11.0 + k / 16)
    # Dense on both sides of the switch between the two fractions at 2.25.
    for k in range(1, 129):
        for sign in (-1, 1):
            points.add(sign * (2.25 + k / 512))
            points.add(sign * (2.25 - k / 512))
    for sign in (-1, 1):
        points.add(sign * 2.25)
    # Irregular arguments with full-length binary fractions.
    generator = random.Random(20240603)
    for _ in range(400):
        points.add(generator.uniform(-11.0, 37.0))
    for _ in range(200):
        points.add(generator.uniform(-3.0, 3.0))
    return sorted(points)


def deviate(p):
    """The x with Q(x) = p, by Newton's method on ln Q(x) - ln p."""
    target = mpmath.log(mpmath.mpf(p))
    x = -mpmath.sqrt(2) * mpmath.erfinv(2 * mpmath.mpf(p) - 1) if p > 1e-30 else \
        mpmath.sqrt(-2 * target)
    for _ in range(200):
        q = upper_tail(x)
        density = mpmath.exp(-x * x / 2) / mpmath.sqrt(2 * mpmath.pi)
        step = (mpmath.log(q) - target) * q / density
        x += step
        if abs(step) < mpmath.mpf(10) ** -45 * max(1, abs(x)):
            return x
    raise RuntimeError(f"no convergence at p = {p!r}")


def inverse_arguments():
    points = set()
    for k in range(1, 301):
        for mantissa in (1.0, 3.0):
            points.add(float(f"{mantissa}e-{k}"))
    for k in range(1, 512):
        points.add(k / 512)
    for k in range(1, 17):
        points.add(1.0 - 10.0 ** -k)
    points.update((0.025, 0.975, 0.05, 0.95, 0.01, 0.99))
    generator = random.Random(20240604)
    for _ in range(300):
        points.add(generator.random())
    return sorted(p for p in points if 0.0 < p < 1.0)


INV_SQRT_TWO_PI = 0.3989422804014327


def double_upper_tail(x):
    """Q(x) in double precision: the centre fraction (A&S 26.2.15) at 27
    levels for |x| <= 2.25, Laplace's fraction (A&S 26.2.14) at 40 levels
    above, each evaluated bottom-up; 1 below -11, 0 above 37 and for NaN."""
    if x < -11.0:
        return 1.0
    if not x <= 37.0:
        return 0.0
    y = abs(x)
    s = x * x
    density = math.exp(-s / 2.0) * INV_SQRT_TWO_PI
    if y <= 2.25:
        t = s * 22.0 / 45.0
        for k in range(27, 0, -1):
            sign = 1.0 if k % 2 == 0 else -1.0
            t = sign * k * s / (2 * k + 1 + t)
        r = 0.5 - y * density / (1.0 + t)
    else:
        t = 35.0 / y
        for k in range(40, 0, -1):
            t = k / (y + t)
        r = density / (y + t)
    return 1.0 - r if x < 0.0 else r


def double_deviate(p):
    """The rational start of A&S 26.2.23 and three Newton steps on Q, for
    0 < p < 1."""
    pp = p if p <= 0.5 else 1.0 - p
    t = math.sqrt(-2.0 * math.log(pp))
    numerator = 2.515517 + 0.802853 * t + 0.010328 * t * t
    denominator = 1.0 + 1.432788 * t + 0.189269 * t * t + 0.001308 * t * t * t
    x = t - numerator / denominator
    if p > 0.5:
        x = -x
    for _ in range(3):
        density = math.exp(-x * x / 2.0) * INV_SQRT_TWO_PI
        x = x + (double_upper_tail(x) - p) / density
    return x


def double_table():
    generator = random.Random(20240605)
    deviates = [k / 8 for k in range(-88, 297)]
    deviates += [generator.uniform(-2.25, 2.25) for _ in range(100)]
    deviates += [generator.uniform(-11.0, 37.0) for _ in range(100)]
    for x in deviates:
        print(f"0 {x.hex()} {double_upper_tail(x).hex()}")
    probabilities = [10.0 ** -k for k in range(1, 301, 3)]
    probabilities += [k / 64 for k in range(1, 64)]
    probabilities += [generator.random() for _ in range(100)]
    for p in probabilities:
        print(f"1 {p.hex()} {double_deviate(p).hex()}")


def main():
    table = sys.argv[1] if len(sys.argv) > 1 else "tail"
    if table == "tail":
        print("# x  Q(x) = erfc(x/sqrt(2))/2   (mpmath, 50 digits)")
        for x in tail_arguments():
            print(f"{x!r} {mpmath.nstr(upper_tail(x), 20)}")
    elif table == "inverse":
        print("# p  x with Q(x) = p   (mpmath, 50 digits)")
        for p in inverse_arguments():
            print(f"{p!r} {mpmath.nstr(deviate(p), 20)}")
    elif table == "double":
        print("# 0 x QGauss(x)  or  1 p QGaussInv(p)   (plain double evaluation)")
        double_table()
    else:
        sys.exit(f"unknown table {table}; use tail, inverse or double")


if __name__ == "__main__":
    main()
