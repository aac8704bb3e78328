#!/usr/bin/python3
"""Reference inverses for the inverse sections of options 3, 4, 6, 7 and 9
far in the tails (tests/test_inverse_dialogue_tails.cpp), where 1 - p rounds
to 1 and the inverse at 1 - p is taken from p itself.

  gen_inverse_dialogue_tails.py

Each quantile is the root of ln(tail) - ln(p), found by mpmath's findroot in
the logarithm of the variable at 50 digits: the normal upper tail from erfc,
the chi-square tails from the regularized incomplete gamma function, the t
and F distributions through the incomplete beta function
(A(t | nu) = I(t²/(nu + t²), 1/2, nu/2), P(F | nu1, nu2) =
I(nu1·F/(nu2 + nu1·F), nu1/2, nu2/2)); the incomplete beta function with
a = 1 in closed form, I(x, 1, b) = 1 - (1 - x)^b.
"""
import mpmath as mp

mp.mp.dps = 50


def root(f, start):
    return mp.exp(mp.findroot(f, start))


def gauss_upper(p):
    return mp.findroot(lambda x: mp.log(mp.erfc(x / mp.sqrt(2)) / 2) - mp.log(p), 37)


def chi_square(p, nu, upper):
    a = mp.mpf(nu) / 2
    if upper:
        tail = lambda x: mp.gammainc(a, x / 2, mp.inf, regularized=True)
        start = mp.log(2 * a - 2 * mp.log(p))
    else:
        tail = lambda x: mp.gammainc(a, 0, x / 2, regularized=True)
        start = (mp.log(p) + mp.loggamma(a + 1)) / a + mp.log(2)
    return root(lambda lx: mp.log(tail(mp.exp(lx))) - mp.log(p), start)


def beta_odds(p, a, b):
    """y/(1 - y) for the y with I(y, a, b) = p, p small."""
    a, b = mp.mpf(a), mp.mpf(b)
    start = (mp.log(p) + mp.log(a) + mp.log(mp.beta(a, b))) / a
    y = root(lambda ly: mp.log(mp.betainc(a, b, 0, mp.exp(ly), regularized=True)) - mp.log(p),
             start)
    return y / (1 - y)


def student(p, nu):
    """The central and the two-sided upper inverses."""
    return (mp.sqrt(nu * beta_odds(p, 0.5, nu / 2)), mp.sqrt(nu / beta_odds(p, nu / 2, 0.5)))


def f_inverses(p, nu1, nu2):
    """The lower and the upper inverses."""
    return (mp.mpf(nu2) / nu1 * beta_odds(p, nu1 / 2, nu2 / 2),
            mp.mpf(nu2) / nu1 / beta_odds(p, nu2 / 2, nu1 / 2))


def show(name, values):
    print(name, " ".join(mp.nstr(v, 20) for v in values))


p = mp.mpf("1e-300")
show("option 3, p = 1e-300: lower, upper", (-gauss_upper(p), gauss_upper(p)))
show("option 4, p = 1e-300, nu = 10: lower, upper",
     (chi_square(p, 10, False), chi_square(p, 10, True)))
show("option 6, p = 1e-300, nu = 10: central, two-sided", student(p, 10))
show("option 7, p = 1e-300, nu = 10, 5: lower, upper", f_inverses(p, 10, 5))
show("option 7, p = 1e-20, nu = 1, 60: lower, upper", f_inverses(mp.mpf("1e-20"), 1, 60))
show("option 6, p = 1e-30, nu = 3: central, two-sided", student(mp.mpf("1e-30"), 3))
show("option 9, p = 1e-300, a = 1, b = 1000: at 1 - p, at p",
     (1 - p ** (mp.mpf(1) / 1000), -mp.expm1(mp.log1p(-p) / 1000)))
