#!/usr/bin/python3
"""Writes specfun/kernels/normal_fits.hpp: the polynomial fits of the
normal distribution's kernels, Chebyshev fits (mpmath.chebyfit) of degree 13
to the functions computed by mpmath at 40 digits.

  S(r)    = (Phi(w) - 1/2) / w with r = w^2, w <= 1/2 (the centre);
  F(w)    = Q(w) exp(w^2/2) on pieces of width 1/4 from 1/2 to 8 (Mills'
            ratio over sqrt(2 pi)), in s = 8 (w - centre);
  H(v)    = w F(w) with v = 1/w^2 for w >= 8 (two pieces in v);
  G(r)    = x / d where Phi(x) = 1/2 + d, r = d^2, |d| <= 3/16;
  D(d)    = that x for 3/16 <= d <= 5/16, on pieces of width 1/32;
  X(y)    = x where Q(x) = exp(-y/2), y from 2 to 2048, on quarters of
            each octave [2^j (1 + i/4), 2^j (1 + (i + 1)/4)];
  W(q)    = x where Q(x) = q, q from 2^-40 to 1/4, on quarters of each
            octave [2^-j (1 + i/4), 2^-j (1 + (i + 1)/4)] (no logarithm).

Each fit is checked at 200 points with its coefficients rounded to doubles;
the script prints the worst relative error of each.

Usage: /usr/bin/python3 tools/gen_normal_fits.py > specfun/kernels/normal_fits.hpp
"""
import sys
import mpmath as mp

mp.mp.dps = 40
DEGREE = 13  # every fit: 14 coefficients


def Q(w):
    return mp.erfc(w / mp.sqrt(2)) / 2


def F(w):
    return Q(w) * mp.exp(w * w / 2)


def H(v):
    if v == 0:
        return 1 / mp.sqrt(2 * mp.pi)
    w = 1 / mp.sqrt(v)
    return w * F(w)


def S(r):
    if r == 0:
        return 1 / mp.sqrt(2 * mp.pi)
    w = mp.sqrt(r)
    return (mp.ncdf(w) - mp.mpf(1) / 2) / w


def G(r):
    if r == 0:
        return mp.sqrt(2 * mp.pi)
    d = mp.sqrt(r)
    return mp.sqrt(2) * mp.erfinv(2 * d) / d


def D(d):
    return mp.sqrt(2) * mp.erfinv(2 * d)


def X(y):
    t = mp.sqrt(y)
    start = t - mp.log(t) / t if t > 2 else t / 2
    return mp.findroot(lambda x: mp.log(Q(x)) + y / 2, start)


def W(q):
    return X(-2 * mp.log(q))


def fit(f, a, b, degree):
    """Coefficients (ascending) of the fit of f(c + h s), s in [-1, 1]."""
    a, b = mp.mpf(a), mp.mpf(b)
    c, h = (a + b) / 2, (b - a) / 2
    g = lambda s: f(c + h * s)
    poly = mp.chebyfit(g, [-1, 1], degree + 1)
    rounded = [float(x) for x in poly]
    worst = max(abs(mp.polyval([mp.mpf(x) for x in rounded], s) - g(s)) / abs(g(s))
                for s in (mp.mpf(i) / 100 - 1 for i in range(201)))
    return list(reversed(rounded)), worst


def fit_direct(f, b, degree):
    """Coefficients (ascending) of the fit of f(r), r in [0, b]."""
    b = mp.mpf(b)
    poly = mp.chebyfit(f, [0, b], degree + 1)
    rounded = [float(x) for x in poly]
    worst = max(abs(mp.polyval([mp.mpf(x) for x in rounded], r) - f(r)) / abs(f(r))
                for r in (b * i / 200 for i in range(201)))
    return list(reversed(rounded)), worst


def row(coefficients, indent="    "):
    """A braced row of coefficients, wrapped within 100 columns."""
    lines, line = [], indent + "{"
    for k, c in enumerate(coefficients):
        item = repr(c) + ("}" if k == len(coefficients) - 1 else ",")
        if len(line) + 1 + len(item) > 99:
            lines.append(line)
            line = indent + " " + item
        else:
            line += ("" if line.endswith("{") else " ") + item
    lines.append(line)
    return "\n".join(lines)


def main():
    out = []
    worst = {}
    centre, worst["S"] = fit_direct(S, mp.mpf(1) / 4, DEGREE)
    mills = []
    for k in range(30):
        a = mp.mpf(1) / 2 + mp.mpf(k) / 4
        coefficients, e = fit(F, a, a + mp.mpf(1) / 4, DEGREE)
        mills.append(coefficients)
        worst["F"] = max(worst.get("F", 0), e)
    far = []
    for a, b in [(mp.mpf(1) / 256, mp.mpf(1) / 64), (0, mp.mpf(1) / 256)]:
        coefficients, e = fit(H, a, b, DEGREE)
        far.append(coefficients)
        worst["H"] = max(worst.get("H", 0), e)
    quantile_centre, worst["G"] = fit_direct(G, (mp.mpf(3) / 16)**2, DEGREE)
    near_centre = []
    for k in range(4):
        a = mp.mpf(3) / 16 + mp.mpf(k) / 32
        coefficients, e = fit(D, a, a + mp.mpf(1) / 32, DEGREE)
        near_centre.append(coefficients)
        worst["D"] = max(worst.get("D", 0), e)
    tail = []
    for j in range(1, 11):
        for i in range(4):
            a = mp.mpf(2)**j * (1 + mp.mpf(i) / 4)
            coefficients, e = fit(X, a, a + mp.mpf(2)**j / 4, DEGREE)
            tail.append(coefficients)
            worst["X"] = max(worst.get("X", 0), e)
    probability_tail = []
    for j in range(3, 41):
        for i in range(4):
            a = mp.mpf(2)**-j * (1 + mp.mpf(i) / 4)
            coefficients, e = fit(W, a, a + mp.mpf(2)**-j / 4, DEGREE)
            probability_tail.append(coefficients)
            worst["W"] = max(worst.get("W", 0), e)
    for name, e in worst.items():
        print(f"{name}: worst relative error {mp.nstr(e, 3)}", file=sys.stderr)

    out.append("// Polynomial fits of the normal distribution's kernels (internal),")
    out.append("// written by tools/gen_normal_fits.py (Chebyshev fits with mpmath); do")
    out.append("// not edit. Coefficients ascending.")
    out.append("#pragma once\n")
    out.append("namespace specfun::detail::normal_fits {\n")
    out.append(f"inline constexpr int kCoefficients = {DEGREE + 1};\n")
    out.append("// (Phi(w) - 1/2) / w in r = w^2, 0 <= w <= 1/2.")
    out.append("inline constexpr double kCentre[kCoefficients] =\n" + row(centre) + ";\n")
    out.append("// Q(w) exp(w^2/2) on [1/2 + k/4, 3/4 + k/4], in s = 8 (w - 5/8 - k/4).")
    out.append("inline constexpr int kMillsPieces = 30;")
    out.append("inline constexpr double kMills[kMillsPieces][kCoefficients] = {")
    out.extend(row(c) + "," for c in mills)
    out.append("};\n")
    out.append("// w Q(w) exp(w^2/2) in v = 1/w^2: v in [1/256, 1/64] (s = (v - 5/512) 512/3),")
    out.append("// then v in [0, 1/256] (s = (v - 1/512) 512).")
    out.append("inline constexpr double kMillsFar[2][kCoefficients] = {")
    out.extend(row(c) + "," for c in far)
    out.append("};\n")
    out.append("// x / d where Phi(x) = 1/2 + d, in r = d^2, |d| <= 3/16.")
    out.append("inline constexpr double kQuantileCentre[kCoefficients] =\n"
               + row(quantile_centre) + ";\n")
    out.append("// x where Phi(x) = 1/2 + d on [3/16 + k/32, 7/32 + k/32], in")
    out.append("// s = 64 (d - 13/64 - k/32).")
    out.append("inline constexpr int kNearCentrePieces = 4;")
    out.append("inline constexpr double kQuantileNearCentre[kNearCentrePieces][kCoefficients] = {")
    out.extend(row(c) + "," for c in near_centre)
    out.append("};\n")
    out.append("// x where Q(x) = exp(-y/2) on [2^j (1 + i/4), 2^j (1 + (i + 1)/4)], j = 1..10,")
    out.append("// i = 0..3 (row 4 (j - 1) + i), in s = 8 (y / 2^j - 1) - (2 i + 1).")
    out.append("inline constexpr int kTailOctaves = 10;")
    out.append("inline constexpr double kQuantileTail[4 * kTailOctaves][kCoefficients] = {")
    out.extend(row(c) + "," for c in tail)
    out.append("};\n")
    out.append("// x where Q(x) = q on [2^-j (1 + i/4), 2^-j (1 + (i + 1)/4)], j = 3..40,")
    out.append("// i = 0..3 (row 4 (j - 3) + i), in s = 8 (q 2^j - 1) - (2 i + 1).")
    out.append("inline constexpr int kProbabilityOctaves = 38;")
    out.append("inline constexpr double kQuantileProbabilityTail[4 * kProbabilityOctaves]")
    out.append("                                               [kCoefficients] = {")
    out.extend(row(c) + "," for c in probability_tail)
    out.append("};\n")
    out.append("}  // namespace specfun::detail::normal_fits")
    print("\n".join(out))


if __name__ == "__main__":
    main()
