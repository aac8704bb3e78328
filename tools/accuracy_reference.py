"""High-precision reference values for the accuracy report, by methods that
share nothing with the library's own algorithms.

- ln Gamma, the normal tail: mpmath's loggamma and erfc.
- The incomplete beta function: the power series of A&S 26.5.4,
  I_x(a, b) = x^a (1-x)^b / (a B(a, b)) * 2F1(a+b, 1; a+1; x), whose terms are
  all positive, summed in exact fixed-point integer arithmetic on exact
  rational arguments. Of the two sides of I_x(a, b) = 1 - I_(1-x)(b, a) the one
  whose series finishes first is summed, and the other tail is its complement
  at a working precision raised until that tail is resolved.
- The incomplete gamma function: mpmath's gammainc; where it gives up, the
  positive-term Kummer series of A&S 6.5.29 in the same fixed-point way.
- The non-central chi-square: its Poisson mixture of central tails, with the
  central tails carried along the mixture by the exact recurrences
  P(a-1, z) = P(a, z) + g(a-1) and Q(a+1, z) = Q(a, z) + g(a),
  g(a) = z^a e^-z / Gamma(a+1), each in the direction in which it only adds.
- Inverses: a bracketed Newton iteration at high precision on the logarithm of
  the tail being inverted, to a relative step of 1e-28.
"""
from fractions import Fraction
import functools
import math

import mpmath

mpmath.mp.dps = 40

# Below this a value is zero in double precision.
UNDERFLOW = mpmath.mpf("1e-330")
# Relative precision, in bits, of the tails handed back.
BASE_BITS = 160
# Guard against runaway series: no side of a series runs past this.
MAX_TERMS = 4_000_000


def exact(value):
    """A double, int, Fraction or mpf as an exact Fraction."""
    if isinstance(value, Fraction):
        return value
    if isinstance(value, mpmath.mpf):
        man, exp = mpmath.mpf(value).man_exp
        return Fraction(man) * (Fraction(2) ** exp)
    return Fraction(value)


def to_mpf(fraction):
    return mpmath.mpf(fraction.numerator) / fraction.denominator


class _PositiveSeries:
    """Sum of t_0 = 1, t_(n+1) = t_n * (c + n) * z / (d + n), or with c in
    place of c + n when c_fixed, scaled by 2^frac, with c, d and z exact.
    Stops once the remaining tail, bounded by the geometric series of the
    largest ratio still to come, is below 2^-bits of the sum."""

    def __init__(self, c, d, z, bits, c_fixed=False):
        den = math.lcm(c.denominator, d.denominator)
        self.c, self.d, self.step = c.numerator * (den // c.denominator), \
            d.numerator * (den // d.denominator), den
        self.zn, self.zd = z.numerator, z.denominator
        self.cf, self.df, self.zf = float(c), float(d), float(z)
        self.c_step = 0 if c_fixed else self.step
        # The ratio decreases towards z when c > d and increases towards it
        # when c < d; with c fixed it decreases to 0.
        self.c_fixed = c_fixed
        self.rises = c < d and not c_fixed
        self.bits = bits
        self.frac = bits + 48
        self.term = 1 << self.frac
        self.sum = self.term
        self.n = 0
        self.done = False

    def advance(self, count):
        for _ in range(count):
            n = self.n
            self.term = (self.term * (self.c + n * self.c_step) * self.zn) // \
                ((self.d + n * self.step) * self.zd)
            self.sum += self.term
            self.n = n + 1
            if self.term == 0:
                self.done = True
                return True
        ratio = (self.cf + (0 if self.c_fixed else self.n)) * self.zf / (self.df + self.n)
        bound = max(ratio, self.zf) if self.rises else ratio
        if bound < 1.0:
            tail = self.term.bit_length() + math.log2(bound / (1.0 - bound) + 1e-300)
            if tail < self.sum.bit_length() - self.bits - 2:
                self.done = True
        if self.n > MAX_TERMS:
            raise RuntimeError("series does not converge")
        return self.done

    def value(self):
        return mpmath.ldexp(mpmath.mpf(self.sum), -self.frac)


@functools.lru_cache(maxsize=64)
def _log_beta_cached(p, q, prec):
    with mpmath.workprec(prec):
        return mpmath.loggamma(p) + mpmath.loggamma(q) - mpmath.loggamma(p + q)


def _log_beta(p, q):
    """ln B(p, q) at the working precision (inverses ask for it again and again)."""
    return _log_beta_cached(p, q, mpmath.mp.prec)


def _beta_series(p, q, z, bits):
    """The series of I_z(p, q) (A&S 26.5.4): ratio (p + q + n) z / (p + 1 + n)."""
    return _PositiveSeries(p + q, p + 1, z, bits)


def _dps_for(bits):
    return int(bits / 3.32) + 20


def beta_tails(p, q, z, w, bits=BASE_BITS):
    """(I_z(p, q), I_w(q, p)) for z + w = 1, all four exact, as mpf values with
    about `bits` correct bits each (tails below UNDERFLOW come back as 0)."""
    p, q, z, w = exact(p), exact(q), exact(z), exact(w)
    if z == 0:
        return mpmath.mpf(0), mpmath.mpf(1)
    if w == 0:
        return mpmath.mpf(1), mpmath.mpf(0)
    def log_prefactors(bits):
        # ln of z^p w^q / (p B(p, q)) and of z^p w^q / (q B(p, q)), to an
        # absolute 2^-bits (their size can reach 1e7, hence the extra digits).
        with mpmath.workdps(_dps_for(bits) + 10):
            mp_p, mp_q = to_mpf(p), to_mpf(q)
            common = mp_p * mpmath.log(to_mpf(z)) + mp_q * mpmath.log(to_mpf(w)) \
                - _log_beta(mp_p, mp_q)
            return common - mpmath.log(mp_p), common - mpmath.log(mp_q)

    log_pref = log_prefactors(bits)
    args = ((p, q, z), (q, p, w))

    def tail_bound(side):
        # The series of a side whose ratios stay below r sums to at most
        # 1/(1 - r); a side with a ratio of 1 or more has no such bound.
        c, d, zz = args[side][0] + args[side][1], args[side][0] + 1, float(args[side][2])
        r = max(float(c / d) * zz, zz)
        if r >= 1.0:
            return mpmath.inf
        return mpmath.exp(log_pref[side]) / (1.0 - r)

    # A side certainly below the double range: the other is 1 to any precision.
    for side in (0, 1):
        if tail_bound(side) < UNDERFLOW:
            result = [mpmath.mpf(0), mpmath.mpf(0)]
            result[1 - side] = mpmath.mpf(1)
            return tuple(result)

    def run(bits, sides=(0, 1), budget=None):
        series = {side: _beta_series(*args[side], bits) for side in sides}
        while True:
            for side in sides:
                if series[side].advance(64):
                    return side, series[side]
            if budget is not None and series[sides[0]].n > budget:
                return None, None

    def tail_of(side, series):
        with mpmath.workdps(_dps_for(series.bits) + 10):
            return mpmath.exp(log_prefactors(series.bits)[side]) * series.value()

    def resolved(value, bits):
        return value > 0 and mpmath.log(value, 2) > -(bits - 96)

    side, series = run(bits)
    with mpmath.workdps(_dps_for(bits) + 10):
        tail = tail_of(side, series)
        other = 1 - tail
    if not resolved(other, bits):
        if tail_bound(1 - side) < UNDERFLOW:
            other = mpmath.mpf(0)
        else:
            # The complement is unresolved. Sum the other side directly if its
            # series finishes within a budget...
            small_side, small = run(bits, sides=(1 - side,), budget=4 * series.n + 2000)
            if small_side is not None:
                other = tail_of(small_side, small)
                with mpmath.workdps(_dps_for(bits) + 10):
                    tail = 1 - other
            # ...else sum the same side again with enough bits to see it (it
            # is at least the other side's prefactor).
            while small_side is None:
                need = int(-float(log_pref[1 - side]) / math.log(2)) + BASE_BITS + 64
                side, series = run(max(need, series.bits * 2), sides=(side,))
                with mpmath.workdps(_dps_for(series.bits) + 10):
                    tail = tail_of(side, series)
                    other = 1 - tail
                    if resolved(other, series.bits):
                        break
                    if series.bits > 4000:
                        other = mpmath.mpf(0)
                        break
    with mpmath.workdps(_dps_for(bits)):
        result = [mpmath.mpf(0), mpmath.mpf(0)]
        result[side], result[1 - side] = +tail, +other
    return tuple(result)


def _gamma_series_tails(a, z, bits=BASE_BITS):
    """(P(a, z), Q(a, z)) from the Kummer series P = g(a) * sum z^n/((a+1)...(a+n))
    (A&S 6.5.29), Q as its complement at raised precision."""
    a, z = exact(a), exact(z)
    if z > a:
        # Q(a, z) <= z^(a-1) e^-z / (Gamma(a) (1 - (a-1)/z)) beyond the mode.
        mp_a, mp_z = to_mpf(a), to_mpf(z)
        bound = mpmath.exp((mp_a - 1) * mpmath.log(mp_z) - mp_z - mpmath.loggamma(mp_a)) \
            / (1 - (mp_a - 1) / mp_z)
        if bound < UNDERFLOW:
            return mpmath.mpf(1), mpmath.mpf(0)
    while True:
        series = _PositiveSeries(Fraction(1), a + 1, z, bits, c_fixed=True)
        while not series.advance(256):
            pass
        with mpmath.workdps(_dps_for(bits) + 10):
            mp_a, mp_z = to_mpf(a), to_mpf(z)
            lower = mpmath.exp(mp_a * mpmath.log(mp_z) - mp_z - mpmath.loggamma(mp_a + 1)) \
                * series.value()
            upper = 1 - lower
            if upper > 0 and mpmath.log(upper, 2) > -(bits - 96):
                return +lower, +upper
            if bits > 4000:
                return +lower, mpmath.mpf(0)
        bits *= 2


def gamma_tails(a, z):
    """(P(a, z), Q(a, z)), the regularized incomplete gamma functions."""
    a, z = exact(a), exact(z)
    if z == 0:
        return mpmath.mpf(0), mpmath.mpf(1)
    mp_a, mp_z = to_mpf(a), to_mpf(z)
    try:
        lower = mpmath.gammainc(mp_a, 0, mp_z, regularized=True)
        upper = mpmath.gammainc(mp_a, mp_z, mpmath.inf, regularized=True)
        return lower, upper
    except (ValueError, mpmath.libmp.NoConvergence):
        return _gamma_series_tails(a, z)


def chi_square_tails(x, nu):
    return gamma_tails(exact(nu) / 2, exact(x) / 2)


def _log_poisson_weight(h, j):
    return -h + j * mpmath.log(h) - mpmath.loggamma(j + 1)


def nc_chi_square_tails(x, nu, lam, relative=mpmath.mpf(10) ** -32):
    """(P, Q) of the non-central chi-square: e^-h sum_j h^j/j! T(x | nu + 2j),
    h = lambda/2, each tail summed from the far side of the Poisson weights
    towards and past their mode until the terms are negligible."""
    x, nu, lam = exact(x), exact(nu), exact(lam)
    if lam == 0:
        return chi_square_tails(x, nu)
    if x == 0:
        return mpmath.mpf(0), mpmath.mpf(1)
    h = to_mpf(lam) / 2
    z = to_mpf(x) / 2
    half_nu = to_mpf(nu) / 2
    mode = int(math.floor(float(h)))
    log_peak = float(_log_poisson_weight(h, mode))

    def weight_far(j):
        return float(_log_poisson_weight(h, j)) < log_peak - 100.0

    # The first indices beyond which the Poisson weights are below e^-100 of
    # their peak, found by doubling then halving the distance from the mode.
    def edge(direction):
        step = 1
        while True:
            j = mode + direction * step
            if j <= 0:
                return 0
            if weight_far(j):
                break
            step *= 2
        inside, outside = step // 2, step
        while outside - inside > 1:
            middle = (inside + outside) // 2
            if weight_far(mode + direction * middle):
                outside = middle
            else:
                inside = middle
        return mode + direction * outside

    low, high = edge(-1), edge(+1)

    def g(a):
        return mpmath.exp(a * mpmath.log(z) - z - mpmath.loggamma(a + 1))

    # Upper tail: Q grows with j, so start low and add upward.
    j = low
    a = half_nu + j
    upper_j = gamma_tails(exact(nu) / 2 + j, exact(x) / 2)[1]
    g_j = g(a)
    w_j = mpmath.exp(_log_poisson_weight(h, j))
    upper, previous = mpmath.mpf(0), mpmath.inf
    while True:
        term = w_j * upper_j
        upper += term
        if j > mode and term < relative * upper and term <= previous:
            break
        previous = term
        upper_j += g_j
        g_j = g_j * z / (a + 1)
        j += 1
        a += 1
        w_j = w_j * h / j
        if j - low > MAX_TERMS // 10:
            raise RuntimeError("non-central upper tail does not converge")

    # Lower tail: P shrinks with j, so start high and add downward.
    j = high
    a = half_nu + j
    lower_j = gamma_tails(exact(nu) / 2 + j, exact(x) / 2)[0]
    g_j = g(a - 1)
    w_j = mpmath.exp(_log_poisson_weight(h, j))
    lower, previous = mpmath.mpf(0), mpmath.inf
    while True:
        term = w_j * lower_j
        lower += term
        if j == 0 or (j < mode and term < relative * lower and term <= previous):
            break
        previous = term
        lower_j += g_j
        a -= 1
        g_j = g_j * a / z
        w_j = w_j * j / h
        j -= 1
        if high - j > MAX_TERMS // 10:
            raise RuntimeError("non-central lower tail does not converge")
    return lower, upper


def solve_increasing(evaluate, target_lower, target_upper, start):
    """The u where the lower tail L(u) (increasing) reaches target_lower, or
    equivalently the upper tail U(u) = 1 - L(u) reaches target_upper.
    evaluate(u) gives (L, U, dL/du). The smaller target is matched in
    logarithms: h(u) = ln L - ln target_lower or ln target_upper - ln U, by
    Newton steps kept inside a bracket, bisecting (or doubling the search
    step) where a step leaves it. Returns u to a step of 1e-28 (relative)."""
    use_lower = target_lower <= target_upper
    goal = mpmath.log(target_lower if use_lower else target_upper)

    def h_and_slope(u):
        lower, upper, slope = evaluate(u)
        tail = lower if use_lower else upper
        if tail <= 0:
            value = -mpmath.inf if use_lower else mpmath.inf
            return value, mpmath.mpf(0)
        value = (mpmath.log(lower) - goal) if use_lower else (goal - mpmath.log(upper))
        return value, slope / tail

    low, high = -mpmath.inf, mpmath.inf
    u, reach = mpmath.mpf(start), mpmath.mpf(1)
    previous = mpmath.inf
    for _ in range(400):
        value, slope = h_and_slope(u)
        if value == 0:
            return u
        if value < 0:
            low = u
        else:
            high = u
        candidate = None
        # Newton's step where it stays in the bracket and the last one at
        # least halved |h|; bisection where the bracket is closed otherwise.
        bracketed = mpmath.isfinite(low) and mpmath.isfinite(high)
        progressing = abs(value) <= abs(previous) / 2
        previous = value
        if mpmath.isfinite(value) and slope > 0 and (progressing or not bracketed):
            candidate = u - value / slope
            if not (low < candidate < high):
                candidate = None
        if candidate is None:
            if mpmath.isfinite(low) and mpmath.isfinite(high):
                candidate = (low + high) / 2
            elif mpmath.isfinite(low):
                candidate, reach = low + reach, reach * 2
            else:
                candidate, reach = high - reach, reach * 2
        # A tiny Newton step counts only where h itself is near zero (far out
        # in a tail the working precision can make steps small but wrong).
        if abs(candidate - u) <= mpmath.mpf(10) ** -28 * max(1, abs(u)) and \
                abs(value) < mpmath.mpf(10) ** -20:
            return candidate
        if mpmath.isfinite(low) and mpmath.isfinite(high) and \
                high - low <= mpmath.mpf(10) ** -28 * max(1, abs(u)):
            return (low + high) / 2
        u = candidate
    raise RuntimeError("inverse does not converge")
