#!/usr/bin/python3
"""Reference tables of the accuracy report for the gamma and Poisson
distributions, tests/data/accuracy/<table>.txt, with the 50-digit incomplete
gamma functions of tools/gen_distribution_gamma.py.

  gamma.txt        x shape P(shape, x) Q(shape, x)        (scale 1)
  gamma_inv.txt    p shape x with P(shape, x) = p
  poisson.txt      k mean cdf(k) sf(k)

Shapes and means log-uniform from 1e-3 to 1e15, arguments on both sides of
the mean out to tails near 1e-300; values to 22 digits."""
import math
import os
import random
import sys

import mpmath as mp

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_distribution_gamma as gd  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "tests", "data", "accuracy")


def fmt(value):
    value = mp.mpf(value)
    return "0" if value == 0 else mp.nstr(value, 22, min_fixed=-4, max_fixed=6)


def log_uniform(rng, low, high):
    return 10.0 ** rng.uniform(math.log10(low), math.log10(high))


def argument_near(rng, centre):
    """A point on either side of a mean, out to the far tails."""
    root = math.sqrt(centre)
    r = rng.random()
    if r < 0.4:
        return centre + rng.gauss(0.0, 3.0) * root
    if r < 0.7:
        return centre * 10.0 ** rng.uniform(-1.0, 1.0)
    return centre + rng.choice([-1, 1]) * 10.0 ** rng.uniform(0.0, 2.5) * max(root, 1.0)


def gamma_rows(rng, count):
    for _ in range(count):
        shape = log_uniform(rng, 1e-3, 1e15)
        x = argument_near(rng, shape)
        if x <= 0:
            x = shape * 10.0 ** rng.uniform(-300.0 / max(shape, 1.0), -1.0)
        p, q = gd.tails(shape, x)
        if p < mp.mpf("1e-300") or q < mp.mpf("1e-300"):
            continue
        yield f"{x!r} {shape!r} {fmt(p)} {fmt(q)}"


def gamma_inv_rows(rng, count):
    for _ in range(count):
        shape = log_uniform(rng, 1e-3, 1e15)
        p = rng.choice([10.0 ** rng.uniform(-300.0, 0.0), rng.random(), 1.0 - 10.0 ** rng.uniform(-15.0, -1.0)])
        z = gd.root_of_tail(shape, True, mp.log(p))
        if z is None or not mp.mpf("1e-300") <= z <= mp.mpf("1e300"):
            continue
        yield f"{p!r} {shape!r} {fmt(z)}"


def poisson_rows(rng, count):
    for _ in range(count):
        mean = log_uniform(rng, 1e-3, 1e15)
        k = float(max(0, math.floor(argument_near(rng, mean))))
        sf, cdf = gd.tails(k + 1.0, mean)
        if cdf < mp.mpf("1e-300") or sf < mp.mpf("1e-300"):
            continue
        yield f"{k!r} {mean!r} {fmt(cdf)} {fmt(sf)}"


def main():
    rng = random.Random(17)
    tables = [("gamma", "x  shape  P(shape, x)  Q(shape, x)", gamma_rows(rng, 600)),
              ("gamma_inv", "p  shape  x with P(shape, x) = p", gamma_inv_rows(rng, 300)),
              ("poisson", "k  mean  cdf(k)  sf(k)", poisson_rows(rng, 500))]
    for name, header, rows in tables:
        with open(os.path.join(OUT, name + ".txt"), "w") as f:
            f.write(f"# {header}\n# references: mpmath (tools/gen_accuracy_gamma.py), 22 significant digits\n")
            for row in rows:
                f.write(row + "\n")


if __name__ == "__main__":
    main()
