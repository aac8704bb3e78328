#!/usr/bin/python3
"""Reference values for the incomplete beta function where one parameter is
far below 1 and the tail beside it holds nearly all the mass, and for the
logarithm of a tail below the doubles' range, computed with mpmath.

The tails come from mpmath's betainc at 400 digits (its hypergeometric
series), so that a tail of 1e-300 survives the complement of one near 1.
The smaller of x and 1 - x is the double written; the other is its exact
complement, as IncompleteBetaTails takes it.

Writes, under tests/data/:
  beta_near_one_tails.txt  x y a b I(x,a,b) 1-I(x,a,b)
  beta_log_tails.txt       lnx a b lnI(x,a,b)    (x = e^lnx, 1 - x exact)
Every argument is written with repr(), so it reads back as the same double.
"""
import pathlib

import mpmath

NEAR_ONE = [
    # (smaller argument, is it x?, a, b)
    (7.0367680460183822e-14, False, 316693.3041825564, 5.2910139371812238e-07),
    (1e-3, False, 20.0, 1e-3),
    (1e-112, False, 24331.0, 3.8e-33),
    (1e-5, False, 3.0, 1e-4),
    (1e-20, False, 0.5, 1e-15),
    (3.1363594e-36, True, 1.9180131784592696e-30, 746897.07533198153),
    (4.8974e-73, True, 1.9180131784592696e-30, 746897.07533198153),
    (0.01, True, 1e-300, 0.01),
    (0.01, True, 1e-300, 2.0),
    (0.1, True, 1.1684093468718129e-240, 0.99999999999900002),
    (1e-10, False, 1e6, 1.2533145543437763e-10),
    (2e-7, False, 4.5e5, 2e-3),
    (0.3, True, 1e-4, 0.25),
]

LOG_TAILS = [
    # (ln x, a, b): x itself below the doubles, or I(x, a, b) below them
    (-800.0, 0.5, 3.0),
    (-1400.0, 2.0, 7.5),
    (-460.5170185988091, 2.0, 3.0),
    (-3.0, 400.0, 5.0),
    (-1.2, 2000.0, 3000.0),
]


def write(path, header, rows):
    with open(path, "w") as out:
        out.write(header)
        for row in rows:
            out.write(" ".join(row) + "\n")


def show(value):
    return mpmath.nstr(value, 22, min_fixed=1, max_fixed=0)


def main():
    mpmath.mp.dps = 400
    data = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data"
    rows = []
    for small, is_x, a, b in NEAR_ONE:
        s = mpmath.mpf(small)
        x, y = (s, 1 - s) if is_x else (1 - s, s)
        ma, mb = mpmath.mpf(a), mpmath.mpf(b)
        if is_x:
            lower = mpmath.betainc(ma, mb, 0, x, regularized=True)
            upper = mpmath.betainc(mb, ma, 0, y, regularized=True) if lower > 0.5 else 1 - lower
            lower = 1 - upper if lower > 0.5 else lower
        else:
            upper = mpmath.betainc(mb, ma, 0, y, regularized=True)
            lower = mpmath.betainc(ma, mb, 0, x, regularized=True) if upper > 0.5 else 1 - upper
            upper = 1 - lower if upper > 0.5 else upper
        rows.append([repr(float(x)), repr(float(y)), repr(a), repr(b), show(lower), show(upper)])
    write(data / "beta_near_one_tails.txt",
          "# x y a b I(x,a,b) 1-I(x,a,b)   (mpmath betainc, 400 digits; the smaller of x, y exact)\n",
          rows)
    rows = []
    for log_x, a, b in LOG_TAILS:
        x = mpmath.exp(mpmath.mpf(log_x))
        value = mpmath.log(mpmath.betainc(mpmath.mpf(a), mpmath.mpf(b), 0, x, regularized=True))
        rows.append([repr(log_x), repr(a), repr(b), show(value)])
    write(data / "beta_log_tails.txt",
          "# lnx a b lnI(x,a,b)   (mpmath betainc, 400 digits, x = e^lnx)\n", rows)


if __name__ == "__main__":
    main()
