// Writing records to the console and the log.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "console/channels.hpp"
#include "specfun/diagnostics.hpp"

namespace console {

using specfun::Integer;
using specfun::Real;
using specfun::RecordItem;
using specfun::Text;

// The line of a free-form record.
std::string FreeForm(std::initializer_list<RecordItem> items);

// A free-form record on the console only (prompts and messages).
void WriteConsole(Channels& channels, std::initializer_list<RecordItem> items);

// A free-form record on the log only.
void WriteLog(LogChannel& log, std::initializer_list<RecordItem> items);

// A value row: the same free-form record on the console, then in the log.
void WriteRow(Channels& channels, std::initializer_list<RecordItem> items);

// A title or header line: the text without its trailing blanks, as a
// free-form record on the console and as exact text in the log.
void WriteBoth(Channels& channels, std::string_view text);

}  // namespace console
