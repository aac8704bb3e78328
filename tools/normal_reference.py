"""The standard normal distribution at 50 digits with mpmath, for the
reference tables of the normal distribution (tests and accuracy report).

Q(x) = erfc(x/sqrt 2)/2; ln Q from the asymptotic series
-x^2/2 - ln x - ln sqrt(2 pi) + ln(1 - 1/x^2 + 3/x^4 - ...) beyond x = 1e4
(where the series is exact to 60 digits within a few terms) and from
log1p(-Q(-x)) below 0; the quantiles by Newton's method on ln Q at 50
digits, from the leading asymptotic term."""
import mpmath as mp

mp.mp.dps = 50
SQRT2 = mp.sqrt(2)
LOG_SQRT_2PI = mp.log(mp.sqrt(2 * mp.pi))


def upper(x):
    return mp.erfc(mp.mpf(x) / SQRT2) / 2


def log_upper(x):
    x = mp.mpf(x)
    if x < -1e4:
        return -mp.exp(log_upper(-x))
    if x < 0:
        return mp.log1p(-upper(-x))
    if x > 1e4:
        u = 1 / (x * x)
        term = total = mp.mpf(1)
        n = 1
        while abs(term) > mp.mpf(10) ** -60:
            term *= -(2 * n - 1) * u
            total += term
            n += 1
        return -x * x / 2 - mp.log(x) - LOG_SQRT_2PI + mp.log(total)
    return mp.log(upper(x))


def density(x):
    return mp.npdf(mp.mpf(x))


def log_density(x):
    x = mp.mpf(x)
    return -x * x / 2 - LOG_SQRT_2PI


def upper_deviate_of_log(lq):
    """The x with ln Q(x) = lq (lq < 0)."""
    lq = mp.mpf(lq)
    if lq > mp.log(mp.mpf(1) / 2):
        # Q(x) > 1/2: x = -w with Q(w) = 1 - e^lq.
        return -upper_deviate_of_log(mp.log(-mp.expm1(lq)))
    t = mp.sqrt(-2 * lq)
    x = t - mp.log(t) / t if t > 2 else t - mp.sqrt(2 * mp.pi) / 2
    for _ in range(200):
        lQ = log_upper(x)
        slope = -(x + 1 / x) if x > 1e4 else -mp.exp(-x * x / 2 - lQ) / mp.sqrt(2 * mp.pi)
        step = (lQ - lq) / slope
        x -= step
        if abs(step) <= abs(x) * mp.mpf(10) ** -42 + mp.mpf(10) ** -300:
            return x
    raise RuntimeError(f"no deviate for ln q = {lq}")


def upper_deviate(q):
    if q == 0.5:
        return mp.mpf(0)
    return upper_deviate_of_log(mp.log(mp.mpf(q)))
