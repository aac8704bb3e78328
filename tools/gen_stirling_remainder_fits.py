#!/usr/bin/python3
"""Writes specfun/kernels/stirling_remainder_fits.hpp: polynomials for
Stirling's remainder mu(z) = ln Γ(z) - (z - ½) ln z + z - ln √(2π) on the
unit intervals [k, k + 1), k = 1 ... 6, each in t = z - k - ½, fitted with
mpmath (Chebyshev interpolation, 40 digits) to an absolute error below 1e-19.
"""
import os
import mpmath as mp

mp.mp.dps = 40
FIRST, LAST = 1, 6
TOLERANCE = mp.mpf("1e-19")


def remainder(z):
    return mp.loggamma(z) - (z - mp.mpf(1) / 2) * mp.log(z) + z - mp.log(2 * mp.pi) / 2


def fit(k):
    centre = k + mp.mpf(1) / 2
    for degree in range(6, 60):
        poly, err = mp.chebyfit(lambda t: remainder(centre + t), [-0.5, 0.5], degree + 1, error=True)
        if err < TOLERANCE:
            return poly[::-1], err
    raise RuntimeError("no fit for %d" % k)


def main():
    fits = [fit(k) for k in range(FIRST, LAST + 1)]
    width = max(len(c) for c, _ in fits)
    lines = [
        "// Polynomials for Stirling's remainder mu(z) on [k, k + 1), k = 1 ... 6 (internal),",
        "// written by tools/gen_stirling_remainder_fits.py (mpmath, 40 digits): each in",
        "// t = z - k - ½, to an absolute error below 1e-19, lowest power first (zeros pad).",
        "#pragma once",
        "",
        "namespace specfun::detail {",
        "",
        "inline constexpr int kRemainderFitFirst = %d;" % FIRST,
        "inline constexpr int kRemainderFitCount = %d;" % (LAST - FIRST + 1),
        "inline constexpr int kRemainderFitTerms = %d;" % width,
        "// The number of terms each fit uses.",
        "inline constexpr int kRemainderFitLengths[kRemainderFitCount] = {%s};"
        % ", ".join(str(len(c)) for c, _ in fits),
        "inline constexpr double kRemainderFits[kRemainderFitCount][kRemainderFitTerms] = {",
    ]
    for coefficients, _ in fits:
        padded = list(coefficients) + [mp.mpf(0)] * (width - len(coefficients))
        lines.append("    {")
        row = [mp.nstr(c, 20, min_fixed=-4, max_fixed=4) if c != 0 else "0.0" for c in padded]
        for i in range(0, len(row), 3):
            lines.append("        " + ", ".join(row[i:i + 3]) + ",")
        lines.append("    },")
    lines += ["};", "", "}  // namespace specfun::detail", ""]
    out = os.path.join(os.path.dirname(__file__), "..", "specfun", "kernels",
                       "stirling_remainder_fits.hpp")
    with open(out, "w") as f:
        f.write("\n".join(lines))
    for k, (c, err) in zip(range(FIRST, LAST + 1), fits):
        print(k, len(c), mp.nstr(err, 3))


if __name__ == "__main__":
    main()
