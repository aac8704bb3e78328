#!/usr/bin/python3
"""Writes specfun/kernels/table_log_points.hpp: for the reduced arguments
m in [√½, √2), split at the points c_j = 1 + j/256, the reciprocals r_j of
c_j rounded to 20 significant bits (so that m·r_j is exact in double-double
from the halves of m) and -ln r_j in double-double (mpmath, 40 digits).
"""
import os
import mpmath as mp

mp.mp.dps = 40
STEPS = 256
FIRST = int(mp.floor((mp.sqrt(0.5) - 1) * STEPS))
LAST = int(mp.ceil((mp.sqrt(2) - 1) * STEPS))
BITS = 20


def reciprocal(j):
    c = 1 + mp.mpf(j) / STEPS
    scale = mp.mpf(2) ** (BITS - 1 - int(mp.floor(mp.log(1 / c, 2))))
    return mp.nint(scale / c) / scale


def double_double(x):
    hi = float(x)
    lo = float(x - mp.mpf(hi))
    return hi, lo


def main():
    lines = [
        "// The points of TableLog (internal), written by tools/gen_table_log.py",
        "// (mpmath, 40 digits): for c_j = 1 + j/256, j = kTableLogFirst ... kTableLogLast,",
        "// the reciprocal r_j of c_j to 20 significant bits and -ln r_j in double-double.",
        "#pragma once",
        "",
        "#include \"specfun/kernels/double_double.hpp\"",
        "",
        "namespace specfun::detail {",
        "",
        "inline constexpr int kTableLogSteps = %d;" % STEPS,
        "inline constexpr int kTableLogFirst = %d;" % FIRST,
        "inline constexpr int kTableLogLast = %d;" % LAST,
        "struct TableLogPoint {",
        "  double reciprocal;",
        "  DoubleDouble minusLog;",
        "};",
        "inline constexpr TableLogPoint kTableLogPoints[] = {",
    ]
    for j in range(FIRST, LAST + 1):
        r = reciprocal(j)
        assert float(r) == r
        hi, lo = double_double(-mp.log(r))
        lines.append("    {%s, {%s, %s}}," % (repr(float(r)), repr(hi), repr(lo)))
    lines += ["};", "", "}  // namespace specfun::detail", ""]
    out = os.path.join(os.path.dirname(__file__), "..", "specfun", "kernels", "table_log_points.hpp")
    with open(out, "w") as f:
        f.write("\n".join(lines))
    print(FIRST, LAST)


if __name__ == "__main__":
    main()
