#!/usr/bin/python3
"""Reference table of the normal distribution, tests/data/distributions/normal.txt:
the ten functions at the exact doubles given, by tools/normal_reference.py
(mpmath at 50 digits), values to 25 digits.

Rows: code mean sd argument value, with codes 1 cdf, 2 sf, 3 log_cdf,
4 log_sf, 5 pdf, 6 log_pdf, 7 quantile, 8 quantile_upper, 9 quantile_log,
10 quantile_upper_log. Both tails, the centre, the ends of the double range,
log-probabilities down to -1e300; a few rows of other means and sds whose
standardised argument (x - mean)/sd is exact. Values that are not normal
doubles are left out.

Usage: /usr/bin/python3 tools/gen_distribution_normal.py > tests/data/distributions/normal.txt
"""
import math
import os
import random
import sys

import mpmath as mp

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import normal_reference as ref  # noqa: E402

SMALLEST_NORMAL = mp.mpf(2.2250738585072014e-308)
LARGEST = mp.mpf(1.7976931348623157e308)


def standard_value(code, a):
    """The code's function of the standard normal at a."""
    if code == 1:
        return ref.upper(-a)
    if code == 2:
        return ref.upper(a)
    if code == 3:
        return ref.log_upper(-a)
    if code == 4:
        return ref.log_upper(a)
    if code == 5:
        return ref.density(a)
    if code == 6:
        return ref.log_density(a)
    if code == 7:
        return -ref.upper_deviate(a)
    if code == 8:
        return ref.upper_deviate(a)
    if code == 9:
        return -ref.upper_deviate_of_log(a)
    return ref.upper_deviate_of_log(a)


def main():
    rng = random.Random(17)
    deviates = [0.0, 1e-300, 1e-20, 1e-8, 0.1, 0.5, 0.5000000000000001, 0.75, 1.0, 1.5, 2.0,
                3.0, 5.0, 7.999999999999999, 8.0, 8.000000000000002, 10.0, 16.0, 20.0, 30.0,
                37.0, 37.5]
    deviates += [rng.uniform(0.0, 38.0) for _ in range(40)]
    deviates = deviates + [-x for x in deviates if x != 0.0]
    far = [40.0, 100.0, 1e4, 1e10, 1e50, 1e100, 1e150, 1.8e154]
    far = far + [-x for x in far]
    probabilities = [4.9406564584124654e-324, 1e-310, 2.2250738585072014e-308, 1e-300, 1e-200,
                     1e-100, 1e-50, 1e-20, 2.0**-40 * (1 - 2.0**-53), 2.0**-40, 1e-10, 1e-5, 0.001,
                     0.01, 0.1, 0.125, 0.1875, 0.2, 0.25, 0.3,
                     0.5, 0.7, 0.75, 0.8125, 0.9, 0.99, 0.999999, 1 - 2.0**-53]
    probabilities += [math.exp(rng.uniform(-744.0, 0.0)) for _ in range(30)]
    probabilities += [1 - math.exp(rng.uniform(-36.7, -0.7)) for _ in range(15)]
    log_probabilities = [-1e300, -1e200, -1e100, -2.6001776908378725e32, -1e20, -1e16, -1e6,
                         -1025.0, -1024.0, -800.0, -745.2, -100.0, -10.0, -2.0,
                         -1.6739764335716716,
                         math.log(0.5), -0.5, -0.2076393647782445, -0.1, -1e-5, -1e-10, -1e-20,
                         -1e-300]
    log_probabilities += [-math.exp(rng.uniform(-46.0, 690.0)) for _ in range(30)]

    rows = []
    for code in (1, 2, 3, 4, 5, 6):
        arguments = deviates + (far if code in (3, 4, 6) else [])
        rows += [(code, 0.0, 1.0, a) for a in arguments]
    for code in (7, 8):
        rows += [(code, 0.0, 1.0, p) for p in probabilities]
    for code in (9, 10):
        rows += [(code, 0.0, 1.0, lp) for lp in log_probabilities]
    # Other means and sds, with (x - mean)/sd exact.
    for mean, sd in ((3.0, 2.0), (-1e3, 0.25), (1e-3, 1024.0)):
        for z in (-20.0, -2.5, -0.375, 0.0, 0.5, 1.25, 6.0, 30.0):
            for code in (1, 2, 3, 4, 5, 6):
                rows.append((code, mean, sd, mean + sd * z, z))
        for p in (1e-300, 1e-8, 0.3, 0.5):
            for code in (7, 8):
                rows.append((code, mean, sd, p))

    print("# code mean sd argument value: 1 cdf 2 sf 3 log_cdf 4 log_sf 5 pdf 6 log_pdf")
    print("# 7 quantile 8 quantile_upper 9 quantile_log 10 quantile_upper_log (mpmath, 50 digits)")
    for row in rows:
        code, mean, sd, a = row[:4]
        if code <= 6:
            z = row[4] if len(row) > 4 else a
            value = standard_value(code, z)
            if code == 5:
                value /= mp.mpf(sd)
            if code == 6:
                value -= mp.log(mp.mpf(sd))
        else:
            value = mean + sd * standard_value(code, a)
        if value != 0 and not (SMALLEST_NORMAL <= abs(value) <= LARGEST):
            continue
        print(f"{code} {mean!r} {sd!r} {a!r} {mp.nstr(value, 25)}")


if __name__ == "__main__":
    main()
