// The process's standard descriptors and its standard output.
#pragma once

#include <array>
#include <streambuf>

namespace console {

// Opens each of the descriptors 0, 1 and 2 that is closed on /dev/null, so
// that no file the program opens later takes its place. Returns whether
// standard output was closed.
bool OpenClosedStandardDescriptors();

// Lets a write beyond the file-size limit fail with EFBIG, to be reported
// like any other failed write, instead of ending the process by SIGXFSZ.
void IgnoreFileSizeSignal();

// The run's end when standard output was closed at start: one line on
// standard error saying so; returns 2.
int ReportClosedStandardOutput();

// A buffered stream of bytes to a descriptor that keeps the reason of its
// first failed write; after a failure every further write fails too.
class DescriptorOutput final : public std::streambuf {
 public:
  explicit DescriptorOutput(int descriptor) : descriptor_(descriptor) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
  }
  DescriptorOutput(const DescriptorOutput&) = delete;
  DescriptorOutput& operator=(const DescriptorOutput&) = delete;

  // Writes what is buffered and closes the descriptor. The errno value of
  // the first failed write or of the close, or 0 when all went well.
  int Close();

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  bool Drain();

  int descriptor_;
  int error_ = 0;
  std::array<char, 4096> buffer_{};
};

// A buffered stream of bytes from a descriptor. in_avail() is 0 exactly
// when a read would wait for more input: nothing is buffered and the
// descriptor has nothing ready (neither data nor its end).
class DescriptorInput final : public std::streambuf {
 public:
  explicit DescriptorInput(int descriptor) : descriptor_(descriptor) {
    setg(buffer_.data(), buffer_.data(), buffer_.data());
  }
  DescriptorInput(const DescriptorInput&) = delete;
  DescriptorInput& operator=(const DescriptorInput&) = delete;

 protected:
  int_type underflow() override;
  std::streamsize showmanyc() override;

 private:
  int descriptor_;
  std::array<char, 65536> buffer_{};
};

// Closes standard output (`output`, on descriptor 1). When a write or the
// close failed, writes one line naming the reason to standard error and
// returns 2; otherwise returns `status`.
int FinishStandardOutput(DescriptorOutput& output, int status);

}  // namespace console
