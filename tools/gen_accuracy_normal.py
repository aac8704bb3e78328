#!/usr/bin/python3
"""Reference tables of the accuracy report for the normal distribution,
tests/data/accuracy/normal_tails.txt (x: cdf, sf, log_cdf, log_sf, pdf),
normal_quantile.txt (p: quantile, quantile_upper) and
normal_quantile_log.txt (ln p: quantile_log, quantile_upper_log), by
tools/normal_reference.py (mpmath at 50 digits), values to 22 digits.
Values below the normal doubles are written as 0 (the report counts no
relative error against 0). Takes about a minute.

Usage: /usr/bin/python3 tools/gen_accuracy_normal.py
"""
import math
import os
import random
import sys

import mpmath as mp

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import normal_reference as ref  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SMALLEST_NORMAL = mp.mpf(2.2250738585072014e-308)


def fmt(value):
    if abs(value) < SMALLEST_NORMAL:
        return "0"
    return mp.nstr(value, 22, min_fixed=-4, max_fixed=6)


def write(name, columns, points, values_of):
    with open(os.path.join(ROOT, "tests", "data", "accuracy", name + ".txt"), "w") as table:
        table.write(f"# {columns}\n")
        table.write("# references: mpmath (tools/gen_accuracy_normal.py), 22 significant digits\n")
        for point in points:
            table.write(" ".join([repr(point)] + [fmt(v) for v in values_of(point)]) + "\n")


def main():
    rng = random.Random(171)
    deviates = {k / 8 for k in range(-320, 321)}
    deviates.update(rng.uniform(-38.5, 38.5) for _ in range(600))
    deviates.update(s * 10.0 ** rng.uniform(-300, 0) for s in (-1, 1) for _ in range(60))
    deviates.update(s * 10.0 ** rng.uniform(1.6, 150) for s in (-1, 1) for _ in range(60))
    write("normal_tails", "x  cdf sf log_cdf log_sf pdf of the standard normal", sorted(deviates),
          lambda x: (ref.upper(-x), ref.upper(x), ref.log_upper(-x), ref.log_upper(x),
                     ref.density(x)))

    probabilities = {float(f"1e-{k}") for k in range(1, 324)}
    probabilities.update(math.exp(rng.uniform(-744.4, -0.01)) for _ in range(500))
    probabilities.update(rng.random() for _ in range(300))
    probabilities.update(1.0 - 10.0 ** -rng.uniform(1, 15.9) for _ in range(150))
    probabilities.update((4.9406564584124654e-324, 1.0 - 2.0**-53, 0.5))
    write("normal_quantile", "p  quantile quantile_upper of the standard normal",
          sorted(p for p in probabilities if 0.0 < p < 1.0),
          lambda p: (-ref.upper_deviate(p), ref.upper_deviate(p)))

    logs = {-(10.0 ** rng.uniform(-20, 300)) for _ in range(500)}
    logs.update(rng.uniform(-3.0, 0.0) for _ in range(200))
    logs.update((-1e300, -745.2, math.log(0.5)))
    write("normal_quantile_log", "ln p  quantile_log quantile_upper_log of the standard normal",
          sorted(lp for lp in logs if lp < 0.0),
          lambda lp: (-ref.upper_deviate_of_log(lp), ref.upper_deviate_of_log(lp)))


if __name__ == "__main__":
    main()
