// Every text the program shows: the announcement, the menu, its messages,
// the prompts and messages of the readers and prompt loops, the titles and
// header lines of the dialogues, and the titles and labels of the general
// test. The console, its tests and the fuzz grammar of the log all use these.
// The spelling and punctuation are the program's own, misspellings included.
#pragma once

#include <string_view>

namespace console::texts {

inline constexpr std::string_view kAnnouncement = "Output in file logtest.txt";

// The menu block, one exact-text record per line.
inline constexpr std::string_view kMenu[] = {
    "Options:",
    "0  Exit program",
    "1  Run general test and exit",
    "2  Use logarithm of Gamma function",
    "3  Use Gaussian distribution",
    "4  Use Chi-square distribution",
    "5  Use Non-central chi-square distributino",
    "6  Use Student's t distribution",
    "7  Use F-distribution",
    "8  Use binomial distribution",
    "9  Use Incomplete beta function",
    "Your selection?",
    "",
};
inline constexpr std::string_view kInvalidSelection = "Input must be valid integer";
inline constexpr std::string_view kSelectionOutOfRange = "Option not in range:";

// The texts of one prompt loop. An empty retry line is not written.
struct PromptTexts {
  std::string_view prompt;
  std::string_view readError;
  std::string_view readErrorRetry;
  std::string_view rangeMessage;
  std::string_view rangeRetry;
};

inline constexpr std::string_view kTryAgain = "Please try again.";
inline constexpr std::string_view kTryAgainWithoutStop = "Please try again";

// The readers.
inline constexpr PromptTexts kProbability{
    "Please input a probability or confidence level (greater than 0, less than 1):",
    "Please input a valid floating point number between 0 and 1:", kTryAgain,
    "Probability must be greater than 0.0 and less than 1.00;", kTryAgain};
inline constexpr PromptTexts kNonnegativeLimit{
    "Please input a nonnegative floating point variable limit X:",
    "Please input a valid nonnegative floating point number", kTryAgain,
    "Variable limit X must be nonnegative.", kTryAgain};
inline constexpr PromptTexts kAnyLimit{"Please input a floating point variable limit X:",
                                       "Please input a valid floating point number", kTryAgain,
                                       "", ""};
inline constexpr PromptTexts kDegreesOfFreedom{
    "Please input the number of degrees of freedom (floating point):",
    "Please input valid positive floating point number.", "",
    "Degrees of freedom must be greater than 0.", kTryAgain};

// The local prompt loops of the dialogues.
inline constexpr PromptTexts kNonCentrality{
    "Please input the non-centrality parameter (floating point)",
    "Please input valid positive floating point number", "",
    "Non-centrality paramter must be greater than 0", kTryAgainWithoutStop};
inline constexpr std::string_view kDegreesOfFreedomPairPrompt =
    "Please input the two DOFs (floating point) separated by commas:";
inline constexpr PromptTexts kInverseFDegreesOfFreedom{
    kDegreesOfFreedomPairPrompt, "Please input valid positive floating point numbers.", "",
    "Degrees of freedom must both be greater than 0.", kTryAgain};
inline constexpr PromptTexts kFDegreesOfFreedom{
    kDegreesOfFreedomPairPrompt, "Please input valid positive floating point number", "",
    "Degreess of freedom must both be greater than 0", kTryAgainWithoutStop};
inline constexpr PromptTexts kBinomialProbability{
    "Please input probability parameter p",
    "Please input valid nonnegative floating point number", "",
    "Number for P(x,nu) and Q(x,nu) must be nonnegative", kTryAgain};
inline constexpr PromptTexts kSumParameters{
    "Please input the numbers a and n (floating point) separated by commas:",
    "Please input valid positive floating point number", "",
    "Bith a and n must be greater than 0", kTryAgainWithoutStop};
inline constexpr PromptTexts kInverseBetaParameters{
    "Please input the degrees of freedom paramters a and b (floating point) separated by "
    "commas:",
    "Please input valid positive floating point numbers", "",
    "Degrees of freedom parameters must both be greater than 0", kTryAgainWithoutStop};
inline constexpr PromptTexts kBetaPoint{
    "Please input the paramter x between 0 and 1 (inclusive)",
    "Please input valid nonnegative floating point number", "",
    "Number for paramter x must not be negative or >1", kTryAgain};
inline constexpr PromptTexts kBetaParameters{
    "Please input the degrees of freedom parameters a and b (floating point) separated by "
    "commas:",
    "Please input valid positive floating point numbers", "",
    "Degreess of freedom paramters must both be greater than 0", kTryAgainWithoutStop};

// Section titles of the dialogues (WriteBoth).
inline constexpr std::string_view kLogGammaTitle = "Log Gamma function";
inline constexpr std::string_view kInverseGaussianTitle = "Inverse Gaussian distribution function";
inline constexpr std::string_view kGaussianTitle = "Gaussian distribution function";
inline constexpr std::string_view kInverseChiSquareTitle = "Inverse chi-square distribution function";
inline constexpr std::string_view kChiSquareTitle = "Chi-square distribution function";
inline constexpr std::string_view kNonCentralChiSquareTitle =
    "Non-central chi-square distribution function";
inline constexpr std::string_view kInverseStudentTitle = "Inverse Student's t distribution";
inline constexpr std::string_view kStudentTitle = "Student's t distribution";
inline constexpr std::string_view kInverseFTitle = "Inverse F-distribution";
inline constexpr std::string_view kFTitle = "F-distribution";
inline constexpr std::string_view kBinomialTitle =
    "Binomial distribution sum(i=0 to a-1): (n!/(i!*(n-i)!)*p^i*(1-p)^n-i)";
inline constexpr std::string_view kInverseBetaTitle = "Inverse incomplete beta function";
inline constexpr std::string_view kBetaTitle = "Incomplete beta function";

// Header lines of the dialogues (WriteBoth), each followed by a value row.
inline constexpr std::string_view kLogGammaHeader = "x, log(Gamma(x)), Gamma(x)";
inline constexpr std::string_view kInverseGaussianHeader =
    "p, Inverse P(p), inverse Q(p), Q(inverse Q(p)):";
inline constexpr std::string_view kGaussianHeader = "x, P(x), Q(x), inverse Q(Q(x)):";
inline constexpr std::string_view kDegreesOfFreedomHeader = "Number of degrees of freedom:";
inline constexpr std::string_view kInverseChiSquareHeader =
    "p,Inverse P(p), inverse Q(p), Q(inverse Q(p)):";
// Also the header of the Student's t and F sections.
inline constexpr std::string_view kTailsHeader = "x,P(x,nu), Q(x,nu), Q(inverse Q(x,nu)):";
inline constexpr std::string_view kNonCentralityHeader = "Non-centrality parameter:";
inline constexpr std::string_view kNonCentralTailsHeader = "x,P(x,nu,lambda), Q(x,nu,lambda):";
inline constexpr std::string_view kStudentDegreesHeader = "Number of degrees of freedom nu:";
inline constexpr std::string_view kInverseStudentHeader =
    "p,Inverse A(p), inverse AQ(p), AQ(inverse AQ(p)):";
inline constexpr std::string_view kFDegreesHeader = "Numbers of degrees of freedom nu1, nu2:";
inline constexpr std::string_view kInverseFHeader =
    "p,Inverse F(p,nu1,nu2), inverse FQ(p,nu1,nu2), FQ(inverse FQ(p,nu1,nu2)):";
inline constexpr std::string_view kBinomialProbabilityHeader = "Binomial probability parameter p:";
inline constexpr std::string_view kSumParametersHeader = "Sum parameters a and n:";
inline constexpr std::string_view kBinomialSumsHeader = "P(a,n), Q(a,n):";
inline constexpr std::string_view kInverseBetaParametersHeader =
    "Degrees of freedom parameters a, b:";
inline constexpr std::string_view kInverseBetaHeader =
    "x,Inverse I(x,a,b), inverse IQ(x,a,b), I(inverse FQ(p,a,b),a,b):";
inline constexpr std::string_view kBetaParametersHeader = "Degrees of freedom paramters a, b:";
inline constexpr std::string_view kBetaHeader = "x, I(x,a,b), 1-I(x,a,b), I(inverse I(x,a,b)a,b):";

// Titles and labels of the general test's records.
inline constexpr std::string_view kGeneralLogGammaTitle = "x, ln(Gamma(x)), Gamma(x):";
inline constexpr std::string_view kGeneralFTitles[] = {
    "F-distribution Q = 0.5; A&S p. 986",
    "F-distribution Q = 0.25, A&S p. 986",
    "F-distribution Q = 0.001, A&S p. 989",
};
inline constexpr std::string_view kGeneralStudentTitle = "Student's t distribution, A&S p. 990";
inline constexpr std::string_view kGeneralChiSquareTitle = "Chi-square distribution, A&S p. 978";
inline constexpr std::string_view kDegreesPairLabel = "nu1, nu2:";
inline constexpr std::string_view kInverseLabel = "Inverse:";
inline constexpr std::string_view kFLowerLabel = "P(z,nu1,nu2):";
inline constexpr std::string_view kFUpperLabel = "Q(z,nu1,nu2):";
inline constexpr std::string_view kProbabilityDegreesLabel = "p, nu:";
inline constexpr std::string_view kStudentCentralLabel = "AP(z,nu):";
inline constexpr std::string_view kStudentTailLabel = "AQ(z,nu):";
inline constexpr std::string_view kChiSquareArgumentsLabel = "chisq,nu:";
inline constexpr std::string_view kChiSquareLowerLabel = "P(chisq,nu):";
inline constexpr std::string_view kChiSquareUpperLabel = "Q(chisq,nu):";
inline constexpr std::string_view kChiSquareRoundTripLabel = "p,nu,chisq:";

}  // namespace console::texts
