#include "console/standard_streams.hpp"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

namespace console {

namespace {

int ReportOutputFailure(int error) {
  std::cerr << "specfun: cannot write standard output: " << std::strerror(error) << std::endl;
  return 2;
}

}  // namespace

bool OpenClosedStandardDescriptors() {
  bool outputClosed = false;
  for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
    if (::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    if (descriptor == STDOUT_FILENO) outputClosed = true;
    const int opened = ::open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    // open takes the lowest free descriptor, which is this one; dup2 covers
    // the case where it is not.
    if (opened >= 0 && opened != descriptor) {
      ::dup2(opened, descriptor);
      ::close(opened);
    }
  }
  return outputClosed;
}

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

int ReportClosedStandardOutput() { return ReportOutputFailure(EBADF); }

bool DescriptorOutput::Drain() {
  std::string_view rest(pbase(), static_cast<std::size_t>(pptr() - pbase()));
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  while (error_ == 0 && !rest.empty()) {
    const ssize_t written = ::write(descriptor_, rest.data(), rest.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error_ = written < 0 ? errno : EIO;
      break;
    }
    rest.remove_prefix(static_cast<std::size_t>(written));
  }
  return error_ == 0;
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

int DescriptorOutput::sync() { return Drain() ? 0 : -1; }

int DescriptorOutput::Close() {
  Drain();
  if (::close(descriptor_) != 0 && error_ == 0) error_ = errno;
  return error_;
}

DescriptorInput::int_type DescriptorInput::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  for (;;) {
    const ssize_t got = ::read(descriptor_, buffer_.data(), buffer_.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return traits_type::eof();
    setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
    return traits_type::to_int_type(*gptr());
  }
}

std::streamsize DescriptorInput::showmanyc() {
  pollfd ready{descriptor_, POLLIN, 0};
  // Data, the end of the input or an error: a read would not wait.
  return ::poll(&ready, 1, 0) > 0 ? 1 : 0;
}

int FinishStandardOutput(DescriptorOutput& output, int status) {
  const int error = output.Close();
  if (error == 0) return status;
  return ReportOutputFailure(error);
}

}  // namespace console
