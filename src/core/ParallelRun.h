#pragma once

#include <cstddef>
#include <functional>

namespace kw {

// A long run over many items (files to read, permanences to play or search): on how many
// threads it works and whom it tells how far it got. Such a run gives the same results
// for every thread count; only its speed depends on it.
struct RunControl {
  int threads = 0;          // 0: one per core
  size_t reportEvery = 250; // items between two progress reports
  // Told on the calling thread the items done so far and the items in all, whenever another
  // `reportEvery` items are done and once more at the end. Returning false cancels the run.
  std::function<bool(size_t done, size_t total)> progress{};
};

// The threads a run of `items` items takes when `requested` are asked for (0: one per
// core): at least one, and never more than there are items.
int RunThreads(int requested, size_t items);

// Calls work(i) once for every i in [0, count), spread over the threads of `control`, the
// calling thread included; each call may touch only what belongs to its i. Returns false
// when the progress callback cancelled the run; items not begun by then are left undone.
// An exception thrown by work stops the run and is thrown again here once every thread has
// ended.
bool RunEach(size_t count, const RunControl& control, const std::function<void(size_t)>& work);

// The same, telling work also which of the run's threads does the item: 0 for the calling
// thread, up to RunThreads(control.threads, count) - 1. A thread does its items one after
// another, so what is kept per thread (a script's state, say) needs no lock.
bool RunEachOnThreads(size_t count, const RunControl& control,
                      const std::function<void(size_t item, int thread)>& work);

} // namespace kw
