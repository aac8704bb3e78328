// The batch routines' driver: lockstep stages by chunks, on one thread or
// split across cores, then the ordered stage on the calling thread.
#include "specfun/batch.hpp"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

namespace specfun::detail {
namespace {

void LockstepByChunks(std::size_t begin, std::size_t end, ElementFlag* flags,
                      const LockstepStage& lockstep) {
  for (std::size_t start = begin; start < end; start += kChunkLength) {
    const std::size_t stop = std::min(end, start + kChunkLength);
    lockstep(start, stop, flags + (start - begin));
  }
}

void FinishInOrder(std::size_t begin, std::size_t end, const ElementFlag* flags,
                   const OrderedStage& ordered) {
  for (std::size_t i = begin; i < end; ++i) {
    if (flags[i - begin] != kDone) ordered(i, flags[i - begin]);
  }
}

std::size_t ThreadsFor(std::size_t count) {
  if (count < kParallelFrom) return 1;
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  return std::max<std::size_t>(1, std::min(cores, count / kLeastPerThread));
}

}  // namespace

void RunBatch(std::size_t count, const LockstepStage& lockstep, const OrderedStage& ordered) {
  const std::size_t threads = ThreadsFor(count);
  if (threads <= 1) {
    ElementFlag flags[kChunkLength];
    for (std::size_t start = 0; start < count; start += kChunkLength) {
      const std::size_t stop = std::min(count, start + kChunkLength);
      lockstep(start, stop, flags);
      FinishInOrder(start, stop, flags, ordered);
    }
    return;
  }
  std::vector<ElementFlag> flags(count);
  const std::size_t share = (count + threads - 1) / threads;
  std::vector<std::thread> workers;
  // The calling thread takes the first range; a range whose thread cannot
  // be started is taken by the calling thread too.
  std::size_t ownEnd = std::min(count, share);
  std::vector<std::size_t> leftOver;
  for (std::size_t begin = share; begin < count; begin += share) {
    const std::size_t end = std::min(count, begin + share);
    try {
      workers.emplace_back(LockstepByChunks, begin, end, flags.data() + begin, std::cref(lockstep));
    } catch (const std::system_error&) {
      leftOver.push_back(begin);
    }
  }
  LockstepByChunks(0, ownEnd, flags.data(), lockstep);
  for (std::size_t begin : leftOver) {
    const std::size_t end = std::min(count, begin + share);
    LockstepByChunks(begin, end, flags.data() + begin, lockstep);
  }
  for (std::thread& worker : workers) worker.join();
  FinishInOrder(0, count, flags.data(), ordered);
}

}  // namespace specfun::detail
