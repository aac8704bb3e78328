#!/usr/bin/python3
"""Reference values of ln Γ(x) for tests/data/log_gamma.txt, computed with
mpmath at 40 significant digits. Each row: x, ln Γ(x) (x exactly the double)."""
import mpmath

mpmath.mp.dps = 40


def arguments():
    points = set()
    # Log-spaced over the whole positive range.
    for k in range(-300, 301):
        for mantissa in (1.0, 2.5, 6.0):
            points.add(float(f"{mantissa}e{k}"))
    # Dense where the shift and the recurrence act, and around the zeros.
    for i in range(1, 1000):
        points.add(i * 0.007)
    for centre in (1.0, 2.0, 5.0):
        for k in range(-12, 0):
            for sign in (-1, 1):
                points.add(centre + sign * 10.0 ** k)
    return sorted(p for p in points if 0 < p <= 1e300)


def main():
    print("# x  lnGamma(x)   (mpmath, 40 digits)")
    for x in arguments():
        print(f"{x!r} {mpmath.nstr(mpmath.loggamma(mpmath.mpf(x)), 20)}")


if __name__ == "__main__":
    main()
