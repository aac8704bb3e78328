// Reference tables: rows of numbers computed at high precision by the
// generators in tools/ and stored under tests/data/.
#pragma once

#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

using ReferenceRow = std::vector<double>;

// Reads tests/data/<name>: one row per line, numbers separated by blanks;
// lines starting with # are comments.
inline std::vector<ReferenceRow> ReadReferenceTable(const std::string& name) {
  std::ifstream file(std::string(SPECFUN_TEST_DATA) + "/" + name);
  if (!file) throw std::runtime_error("missing reference table " + name);
  std::vector<ReferenceRow> rows;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    ReferenceRow row;
    std::string field;
    while (fields >> field) row.push_back(std::strtod(field.c_str(), nullptr));
    rows.push_back(row);
  }
  return rows;
}

inline double RelativeError(double computed, double reference) {
  if (computed == reference) return 0.0;
  return std::fabs(computed - reference) / std::fabs(reference);
}

}  // namespace testing_support
