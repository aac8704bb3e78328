#!/usr/bin/python3
"""Reference tables of the accuracy report, tests/data/accuracy/<table>.txt,
covering every routine of the library over the whole range its dialogues
accept. Values come from tools/accuracy_reference.py (mpmath at 40 digits and
more; methods independent of the library's own).

  gen_accuracy_tables.py [--jobs N] [--only TABLE,...] [--out DIR] [--list]

Each table starts with comment lines (#) naming its columns; each row holds
the arguments, written so that they read back as exactly the doubles the
references were computed for, then the reference values to 22 digits.
Arguments whose reference is not a double (an inverse below 1e-300 or above
1e300) are left out. The whole set takes a few minutes on one core."""
import argparse
import math
import multiprocessing
import os
import random
import sys
import time
from fractions import Fraction

import mpmath

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import accuracy_reference as ref  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DIGITS = 22
F = Fraction


def fmt(value):
    value = mpmath.mpf(value)
    if value == 0:
        return "0"
    return mpmath.nstr(value, DIGITS, min_fixed=-4, max_fixed=6)


def log_uniform(rng, low, high):
    return 10.0 ** rng.uniform(math.log10(low), math.log10(high))


def representable(value):
    return value == 0 or mpmath.mpf("1e-300") <= abs(value) <= mpmath.mpf("1e300")


# ---------------------------------------------------------------- log-gamma

def ln_gamma_points():
    points = set()
    for k in range(-300, 301):
        for mantissa in (1.0, 3.7):
            points.add(float(f"{mantissa}e{k}"))
    points.update(k / 16 for k in range(1, 193))
    for centre in (1.0, 2.0):
        for k in range(1, 16):
            points.update((centre - 10.0 ** -k, centre + 10.0 ** -k))
    rng = random.Random(101)
    points.update(rng.uniform(0.0, 20.0) for _ in range(200))
    return sorted(x for x in points if 0.0 < x <= 1e300)


def ln_gamma_row(x):
    return [fmt(mpmath.loggamma(mpmath.mpf(x)))]


# ---------------------------------------------------------------- Gaussian

def normal_tails(x):
    x = mpmath.mpf(x)
    return mpmath.erfc(-x / mpmath.sqrt(2)) / 2, mpmath.erfc(x / mpmath.sqrt(2)) / 2


def qgauss_points():
    points = {-12.0 + k / 16 for k in range(0, 52 * 16 + 1)}
    for k in range(-32, 65):
        points.update((2.25 + k / 256, -2.25 - k / 256))
    rng = random.Random(102)
    points.update(rng.uniform(-11.0, 37.0) for _ in range(300))
    return sorted(points)


def qgauss_row(x):
    return [fmt(normal_tails(x)[1])]


def qgauss_inv_points():
    points = set()
    for k in range(1, 301):
        points.update((float(f"1e-{k}"), float(f"3e-{k}")))
    points.update(k / 256 for k in range(1, 256))
    points.update(1.0 - 10.0 ** -k for k in range(1, 17))
    rng = random.Random(103)
    points.update(rng.random() for _ in range(200))
    return sorted(p for p in points if 1e-300 <= p < 1.0)


def qgauss_inv_row(p):
    def evaluate(x):
        lower, upper = normal_tails(x)
        return lower, upper, mpmath.npdf(x)
    p_exact = F(p)
    x = ref.solve_increasing(evaluate, ref.to_mpf(1 - p_exact), ref.to_mpf(p_exact), 0)
    return [fmt(x)]


# ---------------------------------------------------------------- beta family

BETA_PARAMETERS = (0.01, 0.1, 0.5, 1.0, 1.5, 3.0, 10.0, 50.0, 300.0, 1000.0, 1e4, 1e5, 1e6)


def beta_moments(a, b):
    mean = a / (a + b)
    spread = math.sqrt(a * b / ((a + b) ** 2 * (a + b + 1)))
    return mean, spread


def betaf_points():
    points = set()
    for a in BETA_PARAMETERS:
        for b in BETA_PARAMETERS:
            mean, spread = beta_moments(a, b)
            xs = [mean + k * spread for k in (-6, -3, -1, 0, 1, 3, 6)]
            xs += [1e-12, 1e-4, 0.05, 0.5, 0.95, 1 - 1e-4]
            points.update((x, a, b) for x in xs if 0.0 < x < 1.0)
    rng = random.Random(104)
    for i in range(300):
        a, b = log_uniform(rng, 0.01, 1e6), log_uniform(rng, 0.01, 1e6)
        mean, spread = beta_moments(a, b)
        x = rng.random() if i % 2 else mean + rng.gauss(0.0, 2.0) * spread
        if 0.0 < x < 1.0:
            points.add((x, a, b))
    # The cases the routine's own edge cases and mends name.
    points.update([(1e-30, 0.5, 0.5), (0.5, 1e5, 1e5), (0.5, 1000.0, 1000.0),
                   (0.5, 300.0, 300.0), (0.2, 50.0, 40.0), (0.3, 2.0, 3.0)])
    return sorted(points)


def betaf_row(x, a, b):
    lower, _ = ref.beta_tails(a, b, F(x), 1 - F(x))
    return [fmt(lower)]


STUDENT_DEGREES = (0.01, 0.1, 0.5, 1.0, 2.0, 3.0, 5.0, 10.0, 30.0, 100.0, 1000.0, 1e4, 1e5, 1e6)


def student_points():
    points = set()
    ts = (1e-8, 1e-3, 0.1, 0.5, 1.0, 1.5, 2.0, 3.0, 5.0, 10.0, 30.0, 100.0, 1e3, 1e5,
          1e10, 1e20, 1e50, 1e100, 1e150, 1e200)
    for nu in STUDENT_DEGREES:
        points.update((t, nu) for t in ts)
    rng = random.Random(105)
    for _ in range(300):
        points.add((log_uniform(rng, 1e-4, 1e4), log_uniform(rng, 0.01, 1e6)))
    points.update([(2.015, 5.0), (1e100, 0.1)])
    return sorted(points)


def student_parts(t, nu):
    """A(t | nu) = I(t^2/(nu + t^2), 1/2, nu/2) and its complement."""
    t2, nu = F(t) ** 2, F(nu)
    return ref.beta_tails(F(1, 2), nu / 2, t2 / (nu + t2), nu / (nu + t2))


def student_row(t, nu):
    lower, upper = student_parts(t, nu)
    return [fmt(lower), fmt(upper)]


F_DEGREES = (0.01, 0.1, 0.5, 1.0, 2.0, 5.0, 10.0, 30.0, 100.0, 1000.0, 1e4, 1e6)


def fdist_points():
    points = set()
    for nu1 in F_DEGREES:
        for nu2 in F_DEGREES:
            points.update((f, nu1, nu2) for f in (1e-6, 0.1, 0.5, 1.0, 2.0, 10.0, 1e4))
    rng = random.Random(106)
    for _ in range(300):
        points.add((log_uniform(rng, 1e-3, 1e3), log_uniform(rng, 0.01, 1e6),
                    log_uniform(rng, 0.01, 1e6)))
    points.add((1.0, 1e6, 1e6))
    return sorted(points)


def fdist_row(f, nu1, nu2):
    f, nu1, nu2 = F(f), F(nu1), F(nu2)
    lower, upper = ref.beta_tails(nu1 / 2, nu2 / 2, nu1 * f / (nu2 + nu1 * f),
                                  nu2 / (nu2 + nu1 * f))
    return [fmt(lower), fmt(upper)]


def binom_points():
    points = set()
    for n in (1.0, 2.0, 5.0, 10.0, 30.0, 100.0, 1000.0, 1e4, 1e5, 1e6):
        for p in (1e-6, 0.01, 0.2, 0.5, 0.8, 0.99, 1 - 1e-6):
            spread = math.sqrt(n * p * (1 - p))
            for a in (1.0, n * p - 2 * spread, n * p, n * p + 2 * spread, n):
                a = float(round(a))
                if 1.0 <= a <= n:
                    points.add((p, a, n))
    rng = random.Random(107)
    for _ in range(300):
        n = log_uniform(rng, 1.0, 1e6)
        points.add((rng.random(), rng.uniform(0.0, n + 1.0) or 0.5, n))
    return sorted(points)


def binom_row(p, a, n):
    """BinomQ = I(p, a, n - a + 1) and BinomP its complement."""
    p, a, n = F(p), F(a), F(n)
    lower, upper = ref.beta_tails(a, n - a + 1, p, 1 - p)
    return [fmt(upper), fmt(lower)]


def beta_density(x, w, a, b):
    """x^(a-1) w^(b-1) / B(a, b) with w = 1 - x."""
    return mpmath.exp((a - 1) * mpmath.log(x) + (b - 1) * mpmath.log(w)
                      - mpmath.loggamma(a) - mpmath.loggamma(b) + mpmath.loggamma(a + b))


def beta_inv_points():
    grid = (0.01, 0.5, 0.6, 2.0, 30.0, 1000.0, 1e4, 1e6)
    probabilities = (1e-300, 1e-100, 1e-10, 1e-4, 0.05, 0.5, 0.95, 1 - 1e-4, 1 - 1e-10)
    points = {(p, a, b) for a in grid for b in grid for p in probabilities}
    rng = random.Random(108)
    for _ in range(100):
        points.add((rng.random(), log_uniform(rng, 0.5, 1e4), log_uniform(rng, 0.5, 1e4)))
    points.update([(0.3, 2.0, 3.0), (0.5, 1000.0, 1000.0), (0.5, 0.6, 0.6), (0.05, 0.4, 5.0)])
    return sorted(points)


def beta_inv_row(p, a, b):
    a_exact, b_exact = F(a), F(b)
    mp_a, mp_b = ref.to_mpf(a_exact), ref.to_mpf(b_exact)

    def evaluate(u):
        # x and w = 1 - x exactly (the prefactor x^a w^b needs them to agree
        # far beyond the working precision when a or b is large), the
        # smaller one carrying full relative precision.
        if u < 0:
            z = ref.exact(1 / (1 + mpmath.exp(-u)))
            w = 1 - z
        else:
            w = ref.exact(1 / (1 + mpmath.exp(u)))
            z = 1 - w
        lower, upper = ref.beta_tails(a_exact, b_exact, z, w)
        x, mw = ref.to_mpf(z), ref.to_mpf(w)
        return lower, upper, beta_density(x, mw, mp_a, mp_b) * x * mw

    p_exact = F(p)
    u = ref.solve_increasing(evaluate, ref.to_mpf(p_exact), ref.to_mpf(1 - p_exact),
                             math.log(a / b))
    x = 1 / (1 + mpmath.exp(-u))
    return [fmt(x)] if representable(x) else None


def student_inv_points():
    probabilities = (1e-300, 1e-100, 1e-20, 1e-8, 1e-4, 0.01, 0.05, 0.3, 0.5, 0.9, 0.99,
                     1 - 1e-6, 1 - 1e-10)
    grid = (0.01, 0.1, 0.5, 1.0, 2.0, 5.0, 10.0, 30.0, 100.0, 1000.0, 1e4, 1e6)
    points = {(p, nu) for nu in grid for p in probabilities}
    rng = random.Random(109)
    for _ in range(100):
        points.add((rng.random(), log_uniform(rng, 1.0, 2e4)))
    points.update([(0.05, 10.0), (1e-6, 30.0), (0.99, 1e4), (0.999999, 30.0)])
    return sorted(points)


def student_inv_row(p, nu):
    nu_exact = F(nu)
    mp_nu = ref.to_mpf(nu_exact)
    half = mpmath.mpf(0.5)

    def evaluate(u):
        t = mpmath.exp(u)
        t2 = ref.exact(t) ** 2
        z, w = t2 / (nu_exact + t2), nu_exact / (nu_exact + t2)
        lower, upper = ref.beta_tails(F(1, 2), nu_exact / 2, z, w)
        mz, mw = ref.to_mpf(z), ref.to_mpf(w)
        slope = beta_density(mz, mw, half, mp_nu / 2) * 2 * t * t * mp_nu / (mp_nu + t * t) ** 2
        return lower, upper, slope

    p_exact = F(p)
    u = ref.solve_increasing(evaluate, ref.to_mpf(1 - p_exact), ref.to_mpf(p_exact), 0)
    t = mpmath.exp(u)
    return [fmt(t)] if representable(t) else None


def fdist_inv_points():
    grid = (0.1, 0.6, 1.0, 3.0, 10.0, 100.0, 1000.0, 1e5)
    probabilities = (1e-100, 1e-10, 1e-4, 0.05, 0.5, 0.95, 1 - 1e-6)
    points = {(p, nu1, nu2) for nu1 in grid for nu2 in grid for p in probabilities}
    rng = random.Random(110)
    for _ in range(80):
        points.add((rng.random(), log_uniform(rng, 1.0, 2e4), log_uniform(rng, 1.0, 2e4)))
    points.update([(0.05, 3.0, 30.0), (0.001, 3.0, 30.0), (0.25, 60.0, 1.0), (0.5, 1.2, 1.2)])
    return sorted(points)


def fdist_inv_row(p, nu1, nu2):
    n1, n2 = F(nu1), F(nu2)
    m1, m2 = ref.to_mpf(n1), ref.to_mpf(n2)

    def evaluate(u):
        f = ref.exact(mpmath.exp(u))
        z, w = n1 * f / (n2 + n1 * f), n2 / (n2 + n1 * f)
        lower, upper = ref.beta_tails(n1 / 2, n2 / 2, z, w)
        mf = ref.to_mpf(f)
        slope = beta_density(ref.to_mpf(z), ref.to_mpf(w), m1 / 2, m2 / 2) \
            * mf * m1 * m2 / (m2 + m1 * mf) ** 2
        return lower, upper, slope

    p_exact = F(p)
    u = ref.solve_increasing(evaluate, ref.to_mpf(1 - p_exact), ref.to_mpf(p_exact), 0)
    f = mpmath.exp(u)
    return [fmt(f)] if representable(f) else None


# ---------------------------------------------------------------- chi-square family

CHI_DEGREES = (0.001, 0.01, 0.1, 0.5, 1.0, 2.0, 3.0, 4.0, 5.0, 10.0, 29.5, 30.0, 100.0,
               300.0, 1000.0, 1e4, 1e5, 1e6)


def chi_square_points():
    points = set()
    for nu in CHI_DEGREES:
        spread = math.sqrt(2 * nu)
        xs = [nu + k * spread for k in (-5, -3, -1, 0, 1, 3, 5, 10, 20)]
        xs += [nu * r for r in (0.5, 1.5, 1.9, 1.99, 1.999, 2.0, 2.001, 2.01, 2.1, 3.0, 5.0)]
        xs += [1e-10, 1e-3, 0.1, 1.0, 2.0, 10.0, 100.0, 1000.0]
        points.update((x, nu) for x in xs if x >= 0.0)
    rng = random.Random(111)
    for _ in range(500):
        nu = log_uniform(rng, 0.01, 1e6)
        x = nu * log_uniform(rng, 1e-3, 10.0) if rng.random() < 0.5 else \
            max(0.0, nu + rng.gauss(0.0, 3.0) * math.sqrt(2 * nu))
        points.add((x, nu))
    points.update([(60.0, 30.0), (150.0, 100.0), (1999.0, 1000.0), (1.0, 0.4), (2.1, 1.0),
                   (0.0, 3.0), (10.0, 4.000001), (6.5, 3.0)])
    return sorted(points)


def chi_square_row(x, nu):
    lower, upper = ref.chi_square_tails(x, nu)
    return [fmt(lower), fmt(upper)]


def chi_square_inv_points():
    grid = (0.01, 0.1, 0.3, 0.5, 0.6, 1.0, 2.0, 3.0, 10.0, 29.99, 30.0, 100.0, 300.0, 303.0,
            1000.0, 1e4, 1e5, 1e6)
    probabilities = (1e-300, 1e-100, 1e-20, 1e-10, 1e-4, 0.01, 0.05, 0.3, 0.5, 0.9, 0.95,
                     0.99, 1 - 1e-6, 1 - 1e-10)
    points = {(p, nu) for nu in grid for p in probabilities}
    rng = random.Random(112)
    for _ in range(150):
        points.add((rng.random(), log_uniform(rng, 0.5, 1e6)))
    points.update([(0.5, 1.0), (0.05, 2.0), (0.01, 10.0), (0.001, 10.0), (1e-6, 10.0),
                   (0.95, 0.6), (1e-10, 200.0)])
    return sorted(points)


def chi_square_inv_row(p, nu):
    mp_nu = mpmath.mpf(nu)

    def evaluate(u):
        x = mpmath.exp(u)
        lower, upper = ref.chi_square_tails(ref.exact(x), nu)
        density = mpmath.exp((mp_nu / 2 - 1) * u - x / 2 - mp_nu / 2 * mpmath.log(2)
                             - mpmath.loggamma(mp_nu / 2))
        return lower, upper, density * x

    p_exact = F(p)
    u = ref.solve_increasing(evaluate, ref.to_mpf(1 - p_exact), ref.to_mpf(p_exact),
                             math.log(nu))
    x = mpmath.exp(u)
    return [fmt(x)] if representable(x) else None


def nc_chi_square_points():
    points = set()
    for nu in (0.1, 1.0, 2.0, 5.0, 10.0, 100.0, 1000.0, 1e4):
        for lam in (0.0, 0.5, 1.0, 5.0, 30.0, 100.0, 1000.0, 1e4):
            mean, spread = nu + lam, math.sqrt(2 * (nu + 2 * lam))
            xs = [mean + k * spread for k in (-4, -2, -1, 0, 1, 2, 4, 8)] + [0.001 * mean]
            points.update((x, nu, lam) for x in xs if x >= 0.0)
    for nu in (1.0, 100.0, 1e4):
        for lam in (1e5, 1e6):
            mean, spread = nu + lam, math.sqrt(2 * (nu + 2 * lam))
            points.update((mean + k * spread, nu, lam) for k in (-3, 0, 3))
    # The upper tail far above nu + lambda, where the terms fall below 1e-7
    # long before their sum does; nu beyond 400 with a moderate lambda.
    for nu in (0.5, 2.0, 10.0, 100.0):
        for lam in (0.1, 1.0, 10.0, 100.0):
            mean, spread = nu + lam, math.sqrt(2 * (nu + 2 * lam))
            points.update((mean + k * spread, nu, lam) for k in (6, 10, 14))
    for nu in (500.0, 3000.0):
        for lam in (1.0, 50.0, 700.0):
            mean, spread = nu + lam, math.sqrt(2 * (nu + 2 * lam))
            points.update((mean + k * spread, nu, lam) for k in (-3, 0, 3))
    points.update([(50.0, 5.0, 30.0), (1.0, 2.0, 1.0), (0.0001, 4.0, 0.0), (0.0, 3.0, 10.0),
                   (1500.0, 10.0, 1500.0), (61.7249938995, 0.5, 10.0), (35.0410196625, 0.5, 1.0)])
    return sorted(points)


def nc_chi_square_row(x, nu, lam):
    lower, upper = ref.nc_chi_square_tails(x, nu, lam)
    return [fmt(lower), fmt(upper)]


# ---------------------------------------------------------------- tables

TABLES = {
    "ln_gamma": ("x  lnGamma(x)", ln_gamma_points, ln_gamma_row),
    "qgauss": ("x  Q(x), the upper normal tail", qgauss_points, qgauss_row),
    "qgauss_inv": ("p  x with Q(x) = p", qgauss_inv_points, qgauss_inv_row),
    "betaf": ("x  a  b  I(x, a, b)", betaf_points, betaf_row),
    "student": ("t  nu  A(t|nu)  AQ(t|nu) = 1 - A", student_points, student_row),
    "fdist": ("F  nu1  nu2  P(F|nu1,nu2)  Q(F|nu1,nu2)", fdist_points, fdist_row),
    "binom": ("p  a  n  BinomP = P(fewer than a successes)  BinomQ", binom_points, binom_row),
    "beta_inv": ("p  a  b  x with I(x, a, b) = p", beta_inv_points, beta_inv_row),
    "student_inv": ("p  nu  t >= 0 with AQ(t|nu) = p", student_inv_points, student_inv_row),
    "fdist_inv": ("p  nu1  nu2  F with Q(F|nu1,nu2) = p", fdist_inv_points, fdist_inv_row),
    "chi_square": ("x  nu  P(x|nu)  Q(x|nu)", chi_square_points, chi_square_row),
    "chi_square_inv": ("p  nu  x with Q(x|nu) = p", chi_square_inv_points, chi_square_inv_row),
    "nc_chi_square": ("x  nu  lambda  P  Q (non-central)", nc_chi_square_points,
                      nc_chi_square_row),
}


def _compute(job):
    name, point = job
    arguments = point if isinstance(point, tuple) else (point,)
    return TABLES[name][2](*arguments)


def write_table(name, directory, jobs):
    columns, points_of, _ = TABLES[name]
    points = points_of()
    started = time.time()
    work = [(name, point) for point in points]
    if jobs > 1:
        with multiprocessing.Pool(jobs) as pool:
            values = pool.map(_compute, work, chunksize=4)
    else:
        values = [_compute(job) for job in work]
    rows = 0
    with open(os.path.join(directory, name + ".txt"), "w") as table:
        table.write(f"# {columns}\n")
        table.write("# references: mpmath (tools/gen_accuracy_tables.py), "
                    f"{DIGITS} significant digits\n")
        for point, value in zip(points, values):
            if value is None:
                continue
            arguments = point if isinstance(point, tuple) else (point,)
            table.write(" ".join([repr(float(a)) for a in arguments] + value) + "\n")
            rows += 1
    print(f"{name}: {rows} rows in {time.time() - started:.1f} s", file=sys.stderr)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--jobs", type=int, default=1, help="worker processes")
    parser.add_argument("--only", default="", help="comma-separated tables to write")
    parser.add_argument("--out", default=os.path.join(ROOT, "tests", "data", "accuracy"))
    parser.add_argument("--list", action="store_true", help="list the tables and stop")
    options = parser.parse_args()
    if options.list:
        for name, (columns, _, _) in TABLES.items():
            print(f"{name}: {columns}")
        return
    names = [n for n in options.only.split(",") if n] or list(TABLES)
    unknown = [n for n in names if n not in TABLES]
    if unknown:
        sys.exit(f"unknown table(s): {', '.join(unknown)}")
    os.makedirs(options.out, exist_ok=True)
    for name in names:
        write_table(name, options.out, options.jobs)


if __name__ == "__main__":
    main()
