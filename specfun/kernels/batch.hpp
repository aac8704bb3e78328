// The batch routines' driver (internal): lockstep evaluation of a range of
// elements, then one pass in element order for what must be done in order.
//
// A lockstep stage evaluates every element it can without reporting
// anything: it holds back the records an element reports (kDeferred) or
// leaves the element to its scalar routine (kEvaluateScalar). The ordered
// stage then walks the elements in order on the calling thread, handing the
// held-back records to the diagnostic sink and calling the scalar routine
// where asked, so every element's records come in element order, from the
// thread that called the batch routine.
//
// Large batches split their lockstep stage across the processor's cores, in
// contiguous ranges; the ordered stage stays on the calling thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "specfun/kernels/lanes.hpp"

namespace specfun::detail {

using ElementFlag = std::uint8_t;
// Nothing left to do.
inline constexpr ElementFlag kDone = 0;
// The element's records are held back for the ordered stage.
inline constexpr ElementFlag kDeferred = 1;
// The element is evaluated by its scalar routine in the ordered stage.
inline constexpr ElementFlag kEvaluateScalar = 2;

// A record held back by a lockstep stage: emit(record) reports it.
struct DeferredRecord {
  std::size_t element;
  void (*emit)(const DeferredRecord& record);
  int integer;
  double values[8];
};
using DeferredRecords = std::vector<DeferredRecord>;

// Elements handed to one lockstep stage at a time on one thread.
inline constexpr std::size_t kChunkLength = 512;
// Batches at least this long split their lockstep stage across cores.
inline constexpr std::size_t kParallelFrom = 10000;
// No core is given fewer elements than this.
inline constexpr std::size_t kLeastPerThread = 4096;

// lockstep(begin, end, flags, records) evaluates elements [begin, end) (at
// most kChunkLength of them), sets flags[i - begin] for each and appends the
// records of those it marks kDeferred, each element's in the order it
// reports them; ordered(i) evaluates element i by its scalar routine.
using LockstepStage = std::function<void(std::size_t, std::size_t, ElementFlag*, DeferredRecords&)>;
using OrderedStage = std::function<void(std::size_t)>;

void RunBatch(std::size_t count, const LockstepStage& lockstep, const OrderedStage& ordered);

// A lockstep stage that reports nothing and leaves nothing to the scalar
// routine: lockstep(begin, end) evaluates elements [begin, end).
void RunQuietBatch(std::size_t count,
                   const std::function<void(std::size_t, std::size_t)>& lockstep);

// Element indices sorted into the evaluation methods of one chunk.
// Up to two runs per element.
struct MethodGroups {
  std::size_t index[2 * kChunkLength];
  std::size_t count = 0;
  void Add(std::size_t i) { index[count++] = i; }
};

// Runs kernel(index, used) over the group, kLaneCount elements at a time:
// index[lane] is the element of each lane, and a last, partial set of lanes
// (used < kLaneCount) repeats the group's last element in the lanes it does
// not use.
template <class Kernel>
void ForEachLaneSet(const MethodGroups& group, Kernel kernel) {
  for (std::size_t first = 0; first < group.count; first += kLaneCount) {
    std::size_t index[kLaneCount];
    for (std::size_t lane = 0; lane < kLaneCount; ++lane) {
      index[lane] = group.index[first + lane < group.count ? first + lane : group.count - 1];
    }
    const std::size_t left = group.count - first;
    kernel(index, left < kLaneCount ? left : kLaneCount);
  }
}

// The elements of `values` at the lanes' indices.
inline void Gather(const double* values, const std::size_t* index, double* lanes) {
  for (std::size_t lane = 0; lane < kLaneCount; ++lane) lanes[lane] = values[index[lane]];
}
// The lanes' values into their elements of `values`, for the lanes in use.
inline void Scatter(const double* lanes, const std::size_t* index, std::size_t used,
                    double* values) {
  for (std::size_t lane = 0; lane < used; ++lane) values[index[lane]] = lanes[lane];
}

}  // namespace specfun::detail
