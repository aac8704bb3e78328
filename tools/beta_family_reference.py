"""Reference values of the beta, Student's t, F and binomial distributions
at the given doubles, by mpmath at 50 digits: the incomplete beta function
from its continued fraction (A&S 26.5.8) on the side of the mean where the
fraction converges fast, or from mpmath's own betainc, and the t, F and
binomial distributions through it (A&S 26.7.1, 26.6.2, 26.5.24)."""
from mpmath import mp, mpf, log, exp, loggamma, betainc, ncdf, npdf, erfc, sqrt, pi, log1p, expm1

mp.dps = 50


def log_prefactor(x, y, a, b):
    """ln(x^a y^b / B(a, b))."""
    return a * log(x) + b * log(y) - (loggamma(a) + loggamma(b) - loggamma(a + b))


def fraction(x, a, b):
    """h with I(x, a, b) = x^a y^b h / (a B(a, b)): the continued fraction
    of A&S 26.5.8 by Lentz's method (Numerical Recipes' betacf); None where
    it converges too slowly."""
    tiny = mpf(10) ** -300
    eps = mpf(10) ** -45
    c = mpf(1)
    d = 1 - (a + b) * x / (a + 1)
    d = 1 / (d if abs(d) > tiny else tiny)
    h = d
    for m in range(1, 300000):
        for num in (m * (b - m) * x / ((a + 2 * m - 1) * (a + 2 * m)),
                    -(a + m) * (a + b + m) * x / ((a + 2 * m) * (a + 2 * m + 1))):
            d = 1 + num * d
            d = 1 / (d if abs(d) > tiny else tiny)
            c = 1 + num / c
            c = c if abs(c) > tiny else tiny
            delta = c * d
            h *= delta
        if abs(delta - 1) < eps:
            return h
    return None


def log_tails(x, y, a, b):
    """(ln I(x, a, b), ln(1 - I(x, a, b))) for exact mpf x, y = 1 - x."""
    x, y, a, b = mpf(x), mpf(y), mpf(a), mpf(b)
    if x <= (a + 1) / (a + b + 2):
        fr = fraction(x, a, b)
        if fr is not None:
            ll = log_prefactor(x, y, a, b) - log(a) + log(fr)
            return ll, log1p(-exp(ll))
    else:
        fr = fraction(y, b, a)
        if fr is not None:
            lu = log_prefactor(y, x, b, a) - log(b) + log(fr)
            return log1p(-exp(lu)), lu
    lo = betainc(a, b, 0, x, regularized=True, maxterms=10**6)
    return log(lo), log(1 - lo)
