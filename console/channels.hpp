// The program's three channels: console input, console output and the log.
#pragma once

#include <istream>
#include <ostream>
#include <stdexcept>
#include <string_view>

namespace console {

// The transcript of a run: one line per record.
class LogChannel {
 public:
  virtual ~LogChannel() = default;
  virtual void WriteLine(std::string_view line) = 0;
};

struct Channels {
  std::istream& in;
  std::ostream& out;
  LogChannel& log;
};

// The console input has ended: the program ends as for option 0.
class EndOfInput : public std::runtime_error {
 public:
  EndOfInput() : std::runtime_error("end of console input") {}
};

}  // namespace console
