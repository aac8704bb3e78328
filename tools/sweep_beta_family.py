"""Random sweep of the beta family against mpmath (a development aid):
  sweep_beta_family.py FAMILY COUNT SEED [PARAMETER_MAX]
prints the worst relative errors of the tails, their logs and the density
(FAMILY beta, t, f or binom), evaluated by `specfun eval`."""
import random
import subprocess
import sys

from beta_family_reference import mpf, log, exp, log1p, log_tails, log_prefactor, mp

SPECFUN = "build/release/console/specfun"


def evaluate(name, rows):
    text = "".join(" ".join(repr(v) for v in r) + "\n" for r in rows)
    out = subprocess.run([SPECFUN, "eval", name], input=text, capture_output=True, text=True).stdout
    return [float(v) for v in out.split()]


def log_uniform(lo, hi):
    return float(exp(mpf(random.uniform(float(log(lo)), float(log(hi))))))


def beta_case(pmax):
    a, b = log_uniform(1e-3, pmax), log_uniform(1e-3, pmax)
    m = a / (a + b)
    r = random.random()
    if r < 0.3:
        x = random.random()
    elif r < 0.6:
        x = min(max(m + random.gauss(0, 1) * (a * b / (a + b) ** 3) ** 0.5 * 8, 1e-300), 1 - 2**-53)
    else:
        x = log_uniform(1e-300, 0.5) if random.random() < 0.5 else 1 - log_uniform(2**-53, 0.5)
    x = float(x)
    return (x, a, b), (mpf(x), 1 - mpf(x), a, b, None)


def t_case(pmax):
    nu = log_uniform(1e-3, pmax)
    t = log_uniform(1e-5, 1e300) * random.choice([-1, 1])
    if random.random() < 0.5:
        t = random.gauss(0, 6)
    t2, n = mpf(t) ** 2, mpf(nu)
    return (t, nu), (t2 / (n + t2), n / (n + t2), 0.5, nu / 2, t)


def f_case(pmax):
    d1, d2 = log_uniform(1e-3, pmax), log_uniform(1e-3, pmax)
    f = log_uniform(1e-300, 1e300) if random.random() < 0.5 else log_uniform(0.05, 20)
    r, s = mpf(d1) * mpf(f), mpf(d2)
    return (f, d1, d2), (r / (r + s), s / (r + s), d1 / 2, d2 / 2, None)


def binom_case(pmax):
    n = float(int(log_uniform(1, pmax)))
    p = log_uniform(1e-6, 0.5) if random.random() < 0.5 else random.random()
    mean = n * p
    k = float(int(min(max(mean + random.gauss(0, 1) * (mean * (1 - p) + 1) ** 0.5 * random.choice([1, 5, 30]), 0), n)))
    # P(X <= k) = I(1 - p; n - k, k + 1)
    if k >= n:
        return None
    return (k, n, p), (1 - mpf(p), mpf(p), n - k, k + 1, None)


def main():
    family, count, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    pmax = float(sys.argv[4]) if len(sys.argv) > 4 else 1e5
    random.seed(seed)
    make = {"beta": beta_case, "t": t_case, "f": f_case, "binom": binom_case}[family]
    cases = [c for c in (make(pmax) for _ in range(count)) if c is not None]
    rows = [c[0] for c in cases]
    got = {fn: evaluate(family + "." + fn, rows) for fn in ("cdf", "sf", "log_cdf", "log_sf", "pdf")}
    worst = {}
    for i, (row, (x, y, a, b, t)) in enumerate(cases):
        try:
            ll, lu = log_tails(x, y, a, b)
        except Exception as e:  # noqa
            continue
        if family == "t":
            half = log(mpf(2))
            inside, outside = exp(ll), lu
            near = lu - half
            far = log1p(-exp(lu) / 2)
            ll, lu = (near, far) if t < 0 else (far, near)
        if family == "binom":
            ll, lu = lu, ll  # P(X <= k) is the upper tail of the beta at p
            ll, lu = lu, ll
        refs = {"cdf": exp(ll), "sf": exp(lu), "log_cdf": ll, "log_sf": lu}
        lpdf = log_prefactor(x, y, mpf(a), mpf(b))
        if family == "beta":
            refs["pdf"] = exp(lpdf - log(x) - log(y))
        elif family == "f":
            refs["pdf"] = exp(lpdf - log(mpf(row[0])))
        elif family == "t":
            refs["pdf"] = exp(lpdf - log(abs(mpf(row[0])))) if row[0] != 0 else None
        elif family == "binom":
            n, k = mpf(row[1]), mpf(row[0])
            refs["pdf"] = exp(lpdf - log(n - k) - log(y))
        if refs["pdf"] is None:
            del refs["pdf"]
        for fn, ref in refs.items():
            v = got[fn][i]
            if abs(ref) < mpf(2.3e-308):
                continue
            err = float(abs((mpf(v) - ref) / ref)) if ref != 0 else (0.0 if v == 0 else 1.0)
            if err > worst.get(fn, (0, None))[0]:
                worst[fn] = (err, row, float(ref), v)
    for fn, w in worst.items():
        print(fn, "%.3g" % w[0], w[1], w[2], w[3])


if __name__ == "__main__":
    main()
