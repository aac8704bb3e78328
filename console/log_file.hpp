// The log file logtest.txt: created at start-up when absent, left untouched
// until the first record, then holding only this run's records.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "console/channels.hpp"

namespace console {

// The log could not be opened, written or closed; the message names the
// file and the system's reason.
class LogError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class LogFile final : public LogChannel {
 public:
  explicit LogFile(std::filesystem::path path);
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;
  ~LogFile() override;

  // Writes one record through to the file; the first one cuts the old
  // content away.
  void WriteLine(std::string_view line) override;
  void Close();

 private:
  [[noreturn]] void Fail(std::string_view action) const;

  std::filesystem::path path_;
  int descriptor_ = -1;
  bool truncated_ = false;
};

}  // namespace console
