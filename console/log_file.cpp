#include "console/log_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace console {

LogFile::LogFile(std::filesystem::path path) : path_(std::move(path)) {
  descriptor_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor_ < 0) Fail("cannot open");
}

LogFile::~LogFile() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

void LogFile::WriteLine(std::string_view line) {
  if (!truncated_) {
    if (::ftruncate(descriptor_, 0) != 0) Fail("cannot write");
    truncated_ = true;
  }
  std::string record(line);
  record += '\n';
  std::string_view rest = record;
  while (!rest.empty()) {
    const ssize_t written = ::write(descriptor_, rest.data(), rest.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) Fail("cannot write");
    rest.remove_prefix(static_cast<std::size_t>(written));
  }
}

void LogFile::Close() {
  const int descriptor = descriptor_;
  descriptor_ = -1;
  if (descriptor >= 0 && ::close(descriptor) != 0) Fail("cannot close");
}

void LogFile::Fail(std::string_view action) const {
  const int error = errno;
  throw LogError(std::string(action) + " log file " + path_.string() + ": " +
                 std::strerror(error));
}

}  // namespace console
