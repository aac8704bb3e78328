// The batch routines' driver: lockstep stages by chunks, on one thread or
// split across cores, then the ordered stage on the calling thread.
#include "specfun/kernels/batch.hpp"

#include <algorithm>
#include <system_error>
#include <thread>

namespace specfun::detail {
namespace {

// Sorts the records from `first` on, all of elements [start, start +
// kChunkLength), by element, each element's records kept in their order: a
// counting sort, as lanes finish out of element order.
void SortByElement(DeferredRecords& records, std::size_t first, std::size_t start) {
  const auto byElement = [](const DeferredRecord& x, const DeferredRecord& y) {
    return x.element < y.element;
  };
  if (std::is_sorted(records.begin() + first, records.end(), byElement)) return;
  std::size_t position[kChunkLength + 1] = {};
  for (std::size_t k = first; k < records.size(); ++k) ++position[records[k].element - start + 1];
  for (std::size_t i = 1; i <= kChunkLength; ++i) position[i] += position[i - 1];
  DeferredRecords sorted(records.size() - first);
  for (std::size_t k = first; k < records.size(); ++k) {
    sorted[position[records[k].element - start]++] = records[k];
  }
  if (first == 0) {
    records.swap(sorted);
  } else {
    std::copy(sorted.begin(), sorted.end(), records.begin() + first);
  }
}

// Elements [begin, end) in chunks; appends the records, sorted by element.
void LockstepByChunks(std::size_t begin, std::size_t end, ElementFlag* flags,
                      DeferredRecords* records, const LockstepStage* lockstep) {
  for (std::size_t start = begin; start < end; start += kChunkLength) {
    const std::size_t stop = std::min(end, start + kChunkLength);
    const std::size_t first = records->size();
    (*lockstep)(start, stop, flags + (start - begin), *records);
    SortByElement(*records, first, start);
  }
}

void FinishInOrder(std::size_t begin, std::size_t end, const ElementFlag* flags,
                   const DeferredRecords& records, const OrderedStage& ordered) {
  std::size_t next = 0;
  for (std::size_t i = begin; i < end; ++i) {
    const ElementFlag flag = flags[i - begin];
    if (flag == kDone) continue;
    while (next < records.size() && records[next].element < i) ++next;
    if (flag == kEvaluateScalar) {
      ordered(i);
      continue;
    }
    for (; next < records.size() && records[next].element == i; ++next) {
      records[next].emit(records[next]);
    }
  }
}

// A thread running LockstepByChunks. The closure's type belongs to this
// file alone, so a shared library exports nothing of the thread's state.
std::thread StartLockstep(std::size_t begin, std::size_t end, ElementFlag* flags,
                          DeferredRecords* records, const LockstepStage* lockstep) {
  return std::thread([=] { LockstepByChunks(begin, end, flags, records, lockstep); });
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
    DeferredRecords records;
    for (std::size_t start = 0; start < count; start += kChunkLength) {
      const std::size_t stop = std::min(count, start + kChunkLength);
      records.clear();
      LockstepByChunks(start, stop, flags, &records, &lockstep);
      FinishInOrder(start, stop, flags, records, ordered);
    }
    return;
  }
  std::vector<ElementFlag> flags(count);
  const std::size_t share = (count + threads - 1) / threads;
  const std::size_t ranges = (count + share - 1) / share;
  std::vector<DeferredRecords> records(ranges);
  std::vector<std::thread> workers;
  // The calling thread takes the first range, and any range whose thread
  // cannot be started.
  std::vector<std::size_t> leftOver = {0};
  for (std::size_t range = 1; range < ranges; ++range) {
    const std::size_t begin = range * share;
    const std::size_t end = std::min(count, begin + share);
    try {
      workers.push_back(
          StartLockstep(begin, end, flags.data() + begin, &records[range], &lockstep));
    } catch (const std::system_error&) {
      leftOver.push_back(range);
    }
  }
  for (std::size_t range : leftOver) {
    const std::size_t begin = range * share;
    const std::size_t end = std::min(count, begin + share);
    LockstepByChunks(begin, end, flags.data() + begin, &records[range], &lockstep);
  }
  for (std::thread& worker : workers) worker.join();
  for (std::size_t range = 0; range < ranges; ++range) {
    const std::size_t begin = range * share;
    const std::size_t end = std::min(count, begin + share);
    FinishInOrder(begin, end, flags.data() + begin, records[range], ordered);
  }
}

void RunQuietBatch(std::size_t count,
                   const std::function<void(std::size_t, std::size_t)>& lockstep) {
  RunBatch(
      count,
      [&](std::size_t begin, std::size_t end, ElementFlag* flags, DeferredRecords&) {
        lockstep(begin, end);
        std::fill(flags, flags + (end - begin), kDone);
      },
      [](std::size_t) {});
}

}  // namespace specfun::detail
