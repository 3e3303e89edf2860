#include "core/ParallelRun.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace kw {
namespace {

constexpr size_t BlocksPerThread = 16;
constexpr size_t MaxBlock = 64;

// What the threads of one run share: the next item to take, the items done, and why the
// run stops early.
class SharedRun {
public:
  SharedRun(size_t count, size_t block, const std::function<void(size_t, int)>& work)
      : count_(count), block_(block), work_(work) {}

  // Takes blocks of items and does them until none is left or the run stops; after each
  // block `afterBlock` is told the items done so far.
  template <typename AfterBlock> void workUntilDone(int thread, AfterBlock afterBlock) {
    try {
      while (!stopped_.load(std::memory_order_relaxed)) {
        const size_t first = next_.fetch_add(block_, std::memory_order_relaxed);
        if (first >= count_)
          return;
        const size_t end = std::min(first + block_, count_);
        for (size_t item = first; item < end; ++item)
          work_(item, thread);
        afterBlock(done_.fetch_add(end - first, std::memory_order_acq_rel) + (end - first));
      }
    } catch (...) {
      std::lock_guard lock(failureMutex_);
      if (!failure_)
        failure_ = std::current_exception();
      stop();
    }
  }

  void stop() { stopped_.store(true, std::memory_order_relaxed); }
  size_t done() const { return done_.load(std::memory_order_acquire); }
  void rethrowFailure() const {
    if (failure_)
      std::rethrow_exception(failure_);
  }

private:
  const size_t count_;
  const size_t block_;
  const std::function<void(size_t, int)>& work_;
  std::atomic<size_t> next_ = 0;
  std::atomic<size_t> done_ = 0;
  std::atomic<bool> stopped_ = false;
  std::mutex failureMutex_;
  std::exception_ptr failure_;
};

} // namespace

int RunThreads(int requested, size_t items) {
  const int perCore = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  const int wanted = requested > 0 ? requested : perCore;
  const size_t cap = std::max<size_t>(items, 1);
  return static_cast<int>(std::min<size_t>(static_cast<size_t>(wanted), cap));
}

bool RunEach(size_t count, const RunControl& control, const std::function<void(size_t)>& work) {
  return RunEachOnThreads(count, control, [&work](size_t item, int) { work(item); });
}

bool RunEachOnThreads(size_t count, const RunControl& control,
                      const std::function<void(size_t item, int thread)>& work) {
  if (count == 0)
    return true;
  const size_t step = std::max<size_t>(control.reportEvery, 1);
  const int threads = RunThreads(control.threads, count);
  // Items are taken in blocks, so that taking one costs little beside the item itself,
  // yet small enough to keep every thread busy to the end and to report in time.
  const size_t block = std::clamp<size_t>(count / (static_cast<size_t>(threads) * BlocksPerThread),
                                          1, std::min(MaxBlock, step));
  SharedRun run(count, block, work);
  size_t nextReport = step;
  size_t lastReported = 0;
  bool cancelled = false;
  // Only the calling thread reports, so a window's progress dialog is touched from its own
  // thread.
  const auto report = [&](size_t done) {
    if (!control.progress || cancelled || done < nextReport)
      return;
    nextReport = (done / step + 1) * step;
    lastReported = done;
    if (!control.progress(done, count)) {
      cancelled = true;
      run.stop();
    }
  };
  {
    std::vector<std::jthread> helpers;
    for (int t = 1; t < threads; ++t)
      helpers.emplace_back([&run, t] { run.workUntilDone(t, [](size_t) {}); });
    run.workUntilDone(0, report);
  }
  run.rethrowFailure();
  if (cancelled)
    return false;
  // The last report tells the whole count, unless the last step already did.
  if (control.progress && lastReported != count && !control.progress(run.done(), count))
    return false;
  return true;
}

} // namespace kw
