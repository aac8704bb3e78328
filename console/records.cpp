#include "console/records.hpp"

#include <string>

namespace console {
std::string FreeForm(std::initializer_list<RecordItem> items) {
  return specfun::FormatFreeFormRecord(specfun::Record(items.begin(), items.size()));
}

void WriteConsole(Channels& channels, std::initializer_list<RecordItem> items) {
  channels.out << FreeForm(items) << '\n';
}

void WriteLog(LogChannel& log, std::initializer_list<RecordItem> items) {
  log.WriteLine(FreeForm(items));
}

void WriteRow(Channels& channels, std::initializer_list<RecordItem> items) {
  const std::string line = FreeForm(items);
  channels.out << line << '\n';
  channels.log.WriteLine(line);
}

void WriteBoth(Channels& channels, std::string_view text) {
  const auto end = text.find_last_not_of(' ');
  const std::string_view trimmed = end == std::string_view::npos ? "" : text.substr(0, end + 1);
  WriteConsole(channels, {Text(trimmed)});
  channels.log.WriteLine(trimmed);
}

}  // namespace console
