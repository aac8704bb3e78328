#!/usr/bin/python3
"""Writes specfun/kernels/incomplete_gamma_coefficients.hpp: the coefficients
of Temme's uniform asymptotic expansion of the incomplete gamma function and
of the series of ln Γ(2 + z), computed with mpmath at 60 digits.

Temme's expansion (N. M. Temme, SIAM J. Math. Anal. 10 (1979) 757-766;
Special Functions, 1996, 11.2):
  Q(a, x) = erfc(η √(a/2))/2 + e^(-a η²/2)/√(2πa) Σ_k C_k(η) a^-k,
  η²/2 = λ - 1 - ln λ, λ = x/a, sign(η) = sign(λ - 1),
  C_0(η) = 1/(λ - 1) - 1/η,
  C_k(η) = C'_(k-1)(η)/η + (-1)^k γ_k/(λ - 1),
where Γ(a) = √(2π/a) (a/e)^a Σ_k γ_k a^-k (γ_1 = 1/12, γ_2 = 1/288, ...).
Each C_k is taken as its Taylor series in η: λ - 1 as a series in η by
reverting η = μ √(2(μ - ln(1 + μ)))/μ, then the recurrence on the series.

ln Γ(2 + z) = (1 - γ) z + Σ_(k>=2) (-1)^k (ζ(k) - 1) z^k / k (A&S 6.1.33
shifted by one), |z| < 2.
"""
import os
import mpmath as mp

mp.mp.dps = 60
TERMS = 40        # Taylor coefficients kept of each C_k (|η| <= 1.1 to 1e-19)
ORDERS = 12       # C_0 ... C_11
WORK = TERMS + 2 * ORDERS + 4
LOG_GAMMA_TERMS = 28  # |z| <= 0.5 to 1e-19


def mul(p, q, n):
    r = [mp.mpf(0)] * n
    for i, pi in enumerate(p[:n]):
        if pi:
            for j, qj in enumerate(q[:n - i]):
                r[i + j] += pi * qj
    return r


def reciprocal(p, n):
    r = [mp.mpf(0)] * n
    r[0] = 1 / p[0]
    for k in range(1, n):
        r[k] = -sum(p[j] * r[k - j] for j in range(1, min(k, len(p) - 1) + 1)) / p[0]
    return r


def square_root(p, n):
    r = [mp.mpf(0)] * n
    r[0] = mp.sqrt(p[0])
    for k in range(1, n):
        r[k] = (p[k] - sum(r[j] * r[k - j] for j in range(1, k))) / (2 * r[0])
    return r


def compose(p, q, n):
    """p(q(t)) for q(0) = 0."""
    r = [mp.mpf(0)] * n
    power = [mp.mpf(1)] + [mp.mpf(0)] * (n - 1)
    for c in p[:n]:
        r = [ri + c * wi for ri, wi in zip(r, power)]
        power = mul(power, q, n)
    return r


def temme_coefficients():
    n = WORK
    # η = μ h(μ), h = √(2 Σ_(k>=2) (-1)^k μ^(k-2)/k); μ = η g(η), g = 1/h(μ(η)).
    h = square_root([2 * mp.mpf(-1) ** k / (k + 2) for k in range(n)], n)
    g = [mp.mpf(1)] + [mp.mpf(0)] * (n - 1)
    for _ in range(n + 2):
        g = reciprocal(compose(h, [mp.mpf(0)] + g[:n - 1], n), n)
    over_mu = reciprocal(g, n)  # 1/μ = over_mu(η)/η
    # γ_k from Γ*(a) = exp(Σ_j B_2j/(2j(2j - 1)) a^(1 - 2j)).
    m = ORDERS + 2
    log_series = [mp.mpf(0)] * m
    for j in range(1, m):
        if 2 * j - 1 < m:
            log_series[2 * j - 1] = mp.bernoulli(2 * j) / (2 * j * (2 * j - 1))
    gamma_star = [mp.mpf(1)] + [mp.mpf(0)] * (m - 1)
    term = list(gamma_star)
    for k in range(1, m):
        term = [t / k for t in mul(term, log_series, m)]
        gamma_star = [s + t for s, t in zip(gamma_star, term)]
    c = [over_mu[1:]]
    for k in range(1, ORDERS):
        prev = c[-1]
        gk = (-1) ** k * gamma_star[k]
        # The 1/η terms of C'_(k-1)/η and of γ_k/μ cancel.
        assert abs(prev[1] + gk * over_mu[0]) < mp.mpf(10) ** -45
        c.append([j * prev[j] + gk * over_mu[j - 1] for j in range(2, len(prev))])
    return [ck[:TERMS] for ck in c]


def log_gamma_coefficients():
    coefficients = [1 - mp.euler]
    for k in range(2, LOG_GAMMA_TERMS + 1):
        coefficients.append((-1) ** k * (mp.zeta(k) - 1) / k)
    return coefficients


def literal(v):
    return mp.nstr(v, 20, min_fixed=-4, max_fixed=4) if v else "0.0"


def rows(values, indent, per_row=3):
    texts = [literal(v) + "," for v in values]
    return [indent + " ".join(texts[i:i + per_row]) for i in range(0, len(texts), per_row)]


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = os.path.join(root, "specfun", "kernels", "incomplete_gamma_coefficients.hpp")
    lines = [
        "// Coefficients of the incomplete gamma function's expansions (internal),",
        "// written by tools/gen_incomplete_gamma_coefficients.py (mpmath, 60 digits).",
        "#pragma once",
        "",
        "namespace specfun::detail {",
        "",
        "// The Taylor coefficients in η of C_k(η), k = 0 ... %d, of Temme's uniform" % (ORDERS - 1),
        "// expansion Q(a, x) = erfc(η √(a/2))/2 + e^(-aη²/2)/√(2πa) Σ_k C_k(η) a^-k.",
        "inline constexpr int kTemmeOrders = %d;" % ORDERS,
        "inline constexpr int kTemmeTerms = %d;" % TERMS,
        "inline constexpr double kTemmeCoefficients[kTemmeOrders][kTemmeTerms] = {",
    ]
    for ck in temme_coefficients():
        lines.append("    {")
        lines += rows(ck, "        ")
        lines.append("    },")
    lines += [
        "};",
        "",
        "// ln Γ(2 + z) = Σ_(k>=1) c_k z^k: c_1 = 1 - γ, c_k = (-1)^k (ζ(k) - 1)/k",
        "// (A&S 6.1.33), here c_1 ... c_%d." % LOG_GAMMA_TERMS,
        "inline constexpr int kLogGammaTwoTerms = %d;" % LOG_GAMMA_TERMS,
        "inline constexpr double kLogGammaTwoCoefficients[kLogGammaTwoTerms] = {",
    ]
    lines += rows(log_gamma_coefficients(), "    ")
    lines.append("};")
    lines += ["", "}  // namespace specfun::detail", ""]
    with open(path, "w") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
