"""Random sweep of the beta family's quantiles against mpmath (a
development aid): the returned root is within 1e-14 relative when the exact
tail at root·(1 ∓ 1e-14) brackets the target (binomial: exact, by the tails
at k - 1 and k).
  sweep_beta_family_quantiles.py FAMILY COUNT SEED [PARAMETER_MAX]"""
import random
import sys

from beta_family_reference import mpf, log, exp, log1p, log_tails
from sweep_beta_family import evaluate, log_uniform

TOL = 1e-14
LOG_REACH = 700.0


def lower_log(family, v, params):
    """ln P(X <= v) (t: for any sign)."""
    v = mpf(v)
    if family == "beta":
        a, b = params
        if v <= 0:
            return mpf("-inf")
        if v >= 1:
            return mpf(0)
        return log_tails(v, 1 - v, a, b)[0]
    if family == "f":
        d1, d2 = params
        r, s = d1 * v, mpf(d2)
        return log_tails(r / (r + s), s / (r + s), d1 / 2, d2 / 2)[0]
    if family == "t":
        (nu,) = params
        t2, n = v * v, mpf(nu)
        inside, outside = log_tails(t2 / (n + t2), n / (n + t2), 0.5, nu / 2)
        return outside - log(2) if v < 0 else log1p(-exp(outside) / 2)
    raise ValueError(family)


def main():
    family, count, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    pmax = float(sys.argv[4]) if len(sys.argv) > 4 else 1e5
    global LOG_REACH
    LOG_REACH = float(sys.argv[5]) if len(sys.argv) > 5 else LOG_REACH
    random.seed(seed)
    rows, cases = [], []
    for _ in range(count):
        params = {"beta": lambda: (log_uniform(1e-3, pmax), log_uniform(1e-3, pmax)),
                  "f": lambda: (log_uniform(1e-3, pmax), log_uniform(1e-3, pmax)),
                  "t": lambda: (log_uniform(1e-3, pmax),)}[family]()
        lp = -log_uniform(1e-3, LOG_REACH) if random.random() < 0.7 else -log_uniform(1e-16, 0.7)
        rows.append((lp,) + params)
        cases.append((lp, params))
    got = evaluate(family + ".quantile_log", rows)
    worst = (0, None)
    for (lp, params), v in zip(cases, got):
        if abs(v) < 2.3e-308 or abs(v) == float("inf") or v != v:
            continue
        lo, hi = sorted([v * (1 - TOL), v * (1 + TOL)])
        if family == "beta" and hi >= 1:
            continue
        try:
            a, b = lower_log(family, lo, params), lower_log(family, hi, params)
        except Exception:
            continue
        ok = a <= lp <= b
        if not ok:
            # how far outside, in units of TOL
            miss = float(min(abs(a - lp), abs(b - lp)) / max(abs(b - a), mpf(1e-300)))
            if miss > worst[0]:
                worst = (miss, (lp,) + params, v)
    print(family, "worst miss (in units of the 1e-14 bracket):", worst)


if __name__ == "__main__":
    main()
