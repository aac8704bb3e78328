#!/usr/bin/python3
"""Reference tables for the gamma, chi-square and Poisson distributions,
computed with mpmath at 50 digits.

The regularized incomplete gamma functions come from
  - Q(a, x) by Legendre's continued fraction (A&S 6.5.31, Lentz at 50
    digits) for x > a, P = 1 - Q (at 50 digits the complement keeps every
    digit a double can hold down to Q ~ 1e-30; below that Q itself is used);
  - P(a, x) = x^a e^(-x)/Γ(a + 1) 1F1(1; a + 1; x) (A&S 6.5.29) for x <= a;
  - for a above 1e4 and x within the reach of Temme's uniform expansion
    (|η| <= 1.2), that expansion to twelve orders at 50 digits with sixty
    Taylor terms of each (its truncation there is below 1e-27), its
    coefficients from
    tools/gen_incomplete_gamma_coefficients.py;
and mpmath.gammainc checks them where it converges (small a).

Quantiles are the exact root at the given probability: damped Newton steps
at 50 digits on the logarithm of the smaller tail.

Writes, under tests/data/distributions/ (every argument written with
repr(), so it reads back as the same double; values rounded to doubles):
  gamma_tails.txt      shape scale x P Q lnP lnQ pdf lnpdf
  gamma_quantiles.txt  shape scale kind target x
      kind 0: cdf(x) = target, 1: sf(x) = target, 2: ln cdf = target,
      3: ln sf = target
  poisson.txt          mean k cdf sf lncdf lnsf pmf lnpmf
  poisson_quantiles.txt mean kind target k  (kinds as above; k the
      smallest whole number with cdf(k) >= p, or sf(k) <= q)
"""
import math
import pathlib
import random
import sys

import mpmath as mp

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import gen_incomplete_gamma_coefficients as coefficients  # noqa: E402

mp.mp.dps = 50
DATA = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data" / "distributions"
TEMME_FROM = 1e4
_temme = None


def temme_coefficients():
    global _temme
    if _temme is None:
        coefficients.ORDERS, coefficients.TERMS = 12, 60
        coefficients.WORK = coefficients.TERMS + 2 * coefficients.ORDERS + 4
        with mp.workdps(60):
            _temme = coefficients.temme_coefficients()
    return _temme


def eta_of(a, x):
    lam = x / a
    return mp.sign(lam - 1) * mp.sqrt(2 * (lam - 1 - mp.log(lam)))


def temme_tails(a, x):
    eta = eta_of(a, x)
    s = sum(mp.polyval(ck[::-1], eta) / a ** k for k, ck in enumerate(temme_coefficients()))
    r = mp.exp(-a * eta ** 2 / 2) / mp.sqrt(2 * mp.pi * a) * s
    if eta < 0:
        p = mp.erfc(-eta * mp.sqrt(a / 2)) / 2 - r
        return p, 1 - p
    q = mp.erfc(eta * mp.sqrt(a / 2)) / 2 + r
    return 1 - q, q


def log_term(a, x):
    """ln(x^a e^-x / Γ(a + 1))."""
    a = mp.mpf(a)
    return a * mp.log(x) - x - mp.loggamma(a + 1)


def upper_by_fraction(a, x):
    tiny = mp.mpf(10) ** -300
    b = x + 1 - a
    f = b if b != 0 else tiny
    c, d, n = f, mp.mpf(0), 1
    while True:
        an = n * (a - n)
        b += 2
        d = b + an * d
        d = tiny if d == 0 else d
        c = b + an / c
        c = tiny if c == 0 else c
        d = 1 / d
        delta = c * d
        f *= delta
        if abs(delta - 1) < mp.mpf(10) ** -45:
            break
        n += 1
    return mp.exp(log_term(a, x) + mp.log(a)) / f


def tails(a, x):
    """P(a, x), Q(a, x) at 50 digits."""
    a, x = mp.mpf(a), mp.mpf(x)
    if x == 0:
        return mp.mpf(0), mp.mpf(1)
    if a > TEMME_FROM and abs(eta_of(a, x)) <= 1.2:
        return temme_tails(a, x)
    if x > a:
        q = upper_by_fraction(a, x)
        return 1 - q, q
    p = mp.exp(log_term(a, x)) * mp.hyp1f1(1, a + 1, x, maxterms=10 ** 7)
    return p, 1 - p


def log_tails(p, q):
    return (mp.log(p) if p < 0.5 else mp.log1p(-q)), (mp.log(q) if q < 0.5 else mp.log1p(-p))


def as_double(v):
    v = mp.mpf(v)
    if v == 0:
        return 0.0
    if abs(v) < mp.mpf(2) ** -1074 / 2:
        return 0.0
    return float(v)


def check_against_gammainc(rng):
    for _ in range(40):
        a = 10 ** rng.uniform(-3, 2)
        x = a * 10 ** rng.uniform(-2, 1)
        p, _ = tails(a, x)
        exact = mp.gammainc(a, 0, x, regularized=True)
        assert abs(p - exact) <= mp.mpf(10) ** -40 * exact, (a, x)


SHAPES = [1e-3, 0.0123, 0.37, 0.5, 1.0, 2.5, 7.3, 19.5, 20.5, 99.5, 1234.5, 1e5,
          3.7e7, 1e10, 1e15]
SCALES = [1.0, 2.0, 0.37, 1e3]


def gamma_points(rng):
    points = []
    for shape in SHAPES + [10 ** rng.uniform(-3, 15) for _ in range(25)]:
        root = math.sqrt(shape)
        zs = [shape, shape + root, shape - root, shape + 7 * root, shape * 1.5, shape / 1.5,
              shape * 1e-3, shape * 30, 1e-300, 1e-30, 0.5, 3.0]
        zs += [shape + rng.choice([-1, 1]) * 10 ** rng.uniform(0, 2) * root for _ in range(4)]
        zs += [shape * 10 ** rng.uniform(-2, 2) for _ in range(2)]
        for z in zs:
            if z > 0:
                points.append((shape, rng.choice(SCALES), z))
    return points


def gamma_rows(rng):
    rows = []
    for shape, scale, z in gamma_points(rng):
        x = z * scale
        if not (0 < x < 1e308):
            continue
        exact_z = mp.mpf(x) / mp.mpf(scale)
        p, q = tails(shape, exact_z)
        lp, lq = log_tails(p, q)
        k = mp.mpf(shape)
        lpdf = (k - 1) * mp.log(exact_z) - exact_z - mp.loggamma(k) - mp.log(scale)
        rows.append((shape, scale, x, p, q, lp, lq, mp.exp(lpdf), lpdf))
    return rows


def density(shape, z):
    """The standard gamma density at z."""
    return mp.exp((shape - 1) * mp.log(z) - z - mp.loggamma(shape))


def root_of_tail(shape, lower, log_t):
    """The z with ln P(shape, z) = log_t (lower) or ln Q(shape, z) = log_t:
    Newton's steps in ln z on the logarithm of whichever tail is below ½,
    each at most 2 (the logarithm of a tail is concave or convex in ln z, so
    the damped steps reach the root), from the tail's leading term. None
    where they do not settle."""
    shape, log_t = mp.mpf(shape), mp.mpf(log_t)
    if log_t > mp.log(0.5):
        lower, log_t = not lower, mp.log(-mp.expm1(log_t))
    if lower:
        z = mp.exp((log_t + mp.loggamma(shape + 1)) / shape)
    else:
        z = shape - log_t
    z = min(max(z, mp.mpf(10) ** -300 * shape), 10 * shape - 10 * log_t)
    for _ in range(400):
        p, q = tails(shape, z)
        tail = p if lower else q
        if tail == 0:
            return None
        slope = z * density(shape, z) / tail * (1 if lower else -1)
        step = max(-2, min(2, (mp.log(tail) - log_t) / slope))
        z = z * mp.exp(-step)
        if abs(step) < mp.mpf(10) ** -40:
            return z
    return None


def gamma_quantile_rows(rng):
    rows = []
    for shape in SHAPES + [10 ** rng.uniform(-3, 15) for _ in range(8)]:
        scale = rng.choice(SCALES)
        root = math.sqrt(shape)
        zs = [shape * 10 ** rng.uniform(-3, 0.5), shape + rng.uniform(-8, 8) * root,
              shape + 30 * root, shape * 10 ** rng.uniform(-50 / max(shape, 1), -1),
              shape + max(root, 1) * 10 ** rng.uniform(0, 2.5)]
        for z in zs:
            if z <= 0 or z * scale >= 1e308:
                continue
            z = mp.mpf(z)
            p, q = tails(shape, z)
            lp, lq = log_tails(p, q)
            for kind, value in enumerate((p, q, lp, lq)):
                target = as_double(value)
                if target == 0 or target in (1.0, -0.0) or (kind < 2 and abs(target) < 1e-307):
                    continue
                log_t = mp.mpf(target) if kind >= 2 else mp.log(target)
                root = root_of_tail(shape, kind in (0, 2), log_t)
                if root is not None:
                    rows.append((shape, scale, kind, target, root * scale))
    return rows


def poisson_rows(rng):
    rows = []
    means = [1e-3, 0.37, 1.0, 4.5, 20.0, 99.5, 1234.5, 1e5, 3.7e7, 1e10, 1e15]
    means += [10 ** rng.uniform(-3, 15) for _ in range(15)]
    for mean in means:
        root = math.sqrt(mean)
        ks = {0.0, 1.0, math.floor(mean), math.floor(mean + root), math.floor(mean + 12 * root + 10),
              max(0.0, math.floor(mean - 5 * root)), math.floor(mean / 2), math.floor(mean * 3 + 40)}
        ks |= {max(0.0, float(math.floor(mean + rng.uniform(-10, 30) * root))) for _ in range(3)}
        for k in sorted(ks):
            sf, cdf = tails(k + 1, mean)
            lcdf, lsf = log_tails(cdf, sf)
            lpmf = k * mp.log(mean) - mean - mp.loggamma(k + 1)
            rows.append((mean, k, cdf, sf, lcdf, lsf, mp.exp(lpmf), lpmf))
    return rows


def smallest_k(mean, kind, target):
    """Smallest k with cdf(k) >= p (kinds 0, 2) or sf(k) <= q (kinds 1, 3)."""
    t = mp.exp(mp.mpf(target)) if kind >= 2 else mp.mpf(target)

    def reaches(k):
        sf, cdf = tails(k + 1, mean)
        return cdf >= t if kind in (0, 2) else sf <= t

    low, high = -1, max(1, int(mean + 50 * math.sqrt(mean) + 50))
    while not reaches(high):
        low, high = high, 2 * high
    while high - low > 1:
        middle = (low + high) // 2
        if reaches(middle):
            high = middle
        else:
            low = middle
    return high


def poisson_quantile_rows(rng):
    rows = []
    for mean in [1e-3, 0.37, 1.0, 4.5, 20.0, 1234.5, 1e5, 1e10] + [10 ** rng.uniform(-3, 10) for _ in range(8)]:
        for kind in range(4):
            for _ in range(3):
                if kind < 2:
                    target = rng.choice([rng.random(), 10 ** rng.uniform(-300, 0), 1 - 10 ** rng.uniform(-15, -1)])
                else:
                    target = -10 ** rng.uniform(-15, 3)
                rows.append((mean, kind, target, smallest_k(mean, kind, target)))
    return rows


def write(name, header, rows):
    with open(DATA / name, "w") as f:
        f.write("# " + header + "\n")
        for row in rows:
            f.write(" ".join(repr(as_double(v)) if isinstance(v, mp.mpf) else repr(v) for v in row) + "\n")


TABLES = {
    "gamma_tails": ("shape scale x P Q lnP lnQ pdf lnpdf", gamma_rows),
    "gamma_quantiles": ("shape scale kind target x", gamma_quantile_rows),
    "poisson": ("mean k cdf sf lncdf lnsf pmf lnpmf", poisson_rows),
    "poisson_quantiles": ("mean kind target k", poisson_quantile_rows),
}


def main():
    """gen_distribution_gamma.py [TABLE ...]: all tables, or those named."""
    DATA.mkdir(parents=True, exist_ok=True)
    check_against_gammainc(random.Random(20261207))
    for index, (name, (header, rows)) in enumerate(TABLES.items()):
        if len(sys.argv) == 1 or name in sys.argv[1:]:
            write(name + ".txt", header, rows(random.Random(20261207 + index)))


if __name__ == "__main__":
    main()
