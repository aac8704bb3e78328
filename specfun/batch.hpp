// The batch routines' driver (internal): lockstep evaluation of a range of
// elements, then one pass in element order for what must be done in order.
//
// A lockstep stage evaluates every element it can without reporting
// anything, and marks the others in an array of flags, one per element: an
// element left to its scalar routine (kEvaluateScalar), or one whose single
// record the stage has deferred (any other non-zero flag, a value the
// routine interprets). The ordered stage then walks the elements in order on
// the calling thread, so every element's records reach the diagnostic sink
// in element order, from the thread that called the batch routine.
//
// Large batches split their lockstep stage across the processor's cores, in
// contiguous ranges; the ordered stage stays on the calling thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "specfun/lanes.hpp"

namespace specfun::detail {

using ElementFlag = std::uint8_t;
// Nothing left to do.
inline constexpr ElementFlag kDone = 0;
// The element is evaluated by its scalar routine in the ordered stage.
inline constexpr ElementFlag kEvaluateScalar = 0xFF;

// Elements handed to one lockstep stage at a time on one thread.
inline constexpr std::size_t kChunkLength = 512;
// Batches at least this long split their lockstep stage across cores.
inline constexpr std::size_t kParallelFrom = 10000;
// No core is given fewer elements than this.
inline constexpr std::size_t kLeastPerThread = 4096;

// lockstep(begin, end, flags) evaluates elements [begin, end) (at most
// kChunkLength of them) and sets flags[i - begin] for each; ordered(i, flag)
// finishes element i, called in element order for each non-zero flag.
using LockstepStage = std::function<void(std::size_t, std::size_t, ElementFlag*)>;
using OrderedStage = std::function<void(std::size_t, ElementFlag)>;

void RunBatch(std::size_t count, const LockstepStage& lockstep, const OrderedStage& ordered);

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

// Lockstep kernels the batch routines build on; none of them reports.

// LnGamma of count arguments, kLaneCount at a time.
void LnGammaInLockstep(const double* x, double* result, std::size_t count);

// Whether QGauss(x) takes the centre fraction (else the tail fraction or a
// limit).
bool QGaussInCentre(double x);

// QGauss of kLaneCount arguments side by side.
void QGaussLanes(const double* x, double* result);

}  // namespace specfun::detail
