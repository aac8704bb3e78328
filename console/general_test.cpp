// The general test: the library at fixed arguments, written to the log as
// free-form records for checking by eye against the printed tables of
// Abramowitz & Stegun (pages cited in the section titles). Every inverse is
// shown as a round trip: its result, then the forward tails at that result.
#include "console/general_test.hpp"

#include <array>
#include <string_view>

#include "console/extended_exp.hpp"
#include "console/records.hpp"
#include "console/texts.hpp"
#include "specfun/specfun.hpp"

namespace console {
namespace {

struct DegreesOfFreedom {
  double nu1, nu2;
};

struct FSection {
  double q;
  std::string_view title;
};

constexpr int kLogGammaRows = 20;
constexpr double kLogGammaStep = 0.05;

constexpr std::array<FSection, 3> kFSections = {{
    {0.5, texts::kGeneralFTitles[0]},
    {0.25, texts::kGeneralFTitles[1]},
    {0.001, texts::kGeneralFTitles[2]},
}};
constexpr std::array<DegreesOfFreedom, 3> kFDegrees = {{{1.0, 1.0}, {60.0, 1.0}, {3.0, 30.0}}};

constexpr std::array<double, 3> kStudentProbabilities = {0.2, 0.5, 0.999999};
constexpr std::array<double, 3> kStudentDegrees = {1.0, 5.0, 30.0};

constexpr double kChiSquareValue = 2.0;
constexpr std::array<double, 4> kChiSquareDegrees = {1.0, 5.0, 10.0, 16.0};

struct ChiSquareCase {
  double p, nu;
};
constexpr std::array<ChiSquareCase, 4> kChiSquareInverseCases = {
    {{0.5, 1.0}, {0.01, 10.0}, {0.001, 10.0}, {0.000001, 10.0}}};

void WriteBlank(LogChannel& log) { WriteLog(log, {}); }

void LogGammaTable(LogChannel& log) {
  WriteLog(log, {Text(texts::kGeneralLogGammaTitle)});
  for (int i = 1; i <= kLogGammaRows; ++i) {
    const double x = i * kLogGammaStep + 1.0;
    const double lnGamma = specfun::LnGamma(x);
    WriteLog(log, {Real(x), Real(lnGamma), Real(ExtendedExp(lnGamma))});
  }
}

void FDistributionRoundTrips(LogChannel& log, const FSection& section) {
  WriteLog(log, {Text(section.title)});
  for (const DegreesOfFreedom& dof : kFDegrees) {
    WriteLog(log, {Text(texts::kDegreesPairLabel), Real(dof.nu1), Real(dof.nu2)});
    const double z = specfun::FDistInv(section.q, dof.nu1, dof.nu2);
    WriteLog(log, {Text(texts::kInverseLabel), Real(z)});
    WriteLog(log, {Text(texts::kFLowerLabel), Real(specfun::FDistP(z, dof.nu1, dof.nu2))});
    WriteLog(log, {Text(texts::kFUpperLabel), Real(specfun::FDistQ(z, dof.nu1, dof.nu2))});
  }
  WriteBlank(log);
}

void StudentRoundTrips(LogChannel& log) {
  WriteLog(log, {Text(texts::kGeneralStudentTitle)});
  for (const double p : kStudentProbabilities) {
    for (const double nu : kStudentDegrees) {
      const double tail = 1.0 - p;
      const double t = specfun::StudentInv(tail, nu);
      WriteLog(log, {Text(texts::kProbabilityDegreesLabel), Real(p), Real(nu)});
      WriteLog(log, {Text(texts::kInverseLabel), Real(t)});
      WriteLog(log, {Text(texts::kStudentCentralLabel), Real(specfun::StudentA(t, nu))});
      WriteLog(log, {Text(texts::kStudentTailLabel), Real(specfun::StudentAQ(t, nu))});
    }
    WriteBlank(log);
  }
}

void WriteChiSquareTails(LogChannel& log, double chisq, double nu) {
  WriteLog(log, {Text(texts::kChiSquareLowerLabel),
                 Real(specfun::ChiSquare(chisq, nu, specfun::kLowerTail))});
  WriteLog(log, {Text(texts::kChiSquareUpperLabel),
                 Real(specfun::ChiSquare(chisq, nu, specfun::kUpperTail))});
}

void ChiSquareTable(LogChannel& log) {
  WriteLog(log, {Text(texts::kGeneralChiSquareTitle)});
  for (const double nu : kChiSquareDegrees) {
    WriteLog(log, {Text(texts::kChiSquareArgumentsLabel), Real(kChiSquareValue), Real(nu)});
    WriteChiSquareTails(log, kChiSquareValue, nu);
  }
}

void ChiSquareRoundTrips(LogChannel& log) {
  for (const ChiSquareCase& c : kChiSquareInverseCases) {
    const double chisq = specfun::ChiSquareInv(c.p, c.nu);
    WriteLog(log, {Text(texts::kChiSquareRoundTripLabel), Real(c.p), Real(c.nu), Real(chisq)});
    WriteChiSquareTails(log, chisq, c.nu);
  }
}

}  // namespace

void GeneralTest(LogChannel& log) {
  LogGammaTable(log);
  WriteBlank(log);
  for (const FSection& section : kFSections) FDistributionRoundTrips(log, section);
  StudentRoundTrips(log);
  ChiSquareTable(log);
  WriteBlank(log);
  ChiSquareRoundTrips(log);
}

}  // namespace console
