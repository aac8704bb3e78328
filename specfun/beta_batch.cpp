// Batch forms of the incomplete beta function and of the F, t and binomial
// distributions built on it.
#include "specfun/specfun.hpp"

namespace specfun {

void BETAFBatch(const double* x, const double* a, const double* b, double* result,
                std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) result[i] = BETAF(x[i], a[i], b[i]);
}
void FDistPBatch(const double* f, const double* nu1, const double* nu2, double* result,
                 std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) result[i] = FDistP(f[i], nu1[i], nu2[i]);
}
void FDistQBatch(const double* f, const double* nu1, const double* nu2, double* result,
                 std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) result[i] = FDistQ(f[i], nu1[i], nu2[i]);
}
void StudentABatch(const double* t, const double* nu, double* result, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) result[i] = StudentA(t[i], nu[i]);
}
void StudentAQBatch(const double* t, const double* nu, double* result, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) result[i] = StudentAQ(t[i], nu[i]);
}
void BinomPBatch(const double* p, const double* a, const double* n, double* result,
                 std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) result[i] = BinomP(p[i], a[i], n[i]);
}
void BinomQBatch(const double* p, const double* a, const double* n, double* result,
                 std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) result[i] = BinomQ(p[i], a[i], n[i]);
}

}  // namespace specfun
