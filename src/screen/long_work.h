// Long work that the screen runs with a progress dialog and Cancel (a copy
// to an image): the work reports how far it is and looks at the cancel
// flag, which the screen sets from its own thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace brovane {

// Units (sectors) done of all, and how many of them went bad; work over
// files (Copy Out) also says how many files are done of all and names the
// one it is at.
struct WorkProgress {
    std::uint64_t done = 0;
    std::uint64_t total = 0;
    std::uint64_t bad = 0;
    std::uint64_t filesDone = 0;
    std::uint64_t filesTotal = 0;
    std::string current;
};

using ProgressReport = std::function<void(const WorkProgress&)>;
using CancelFlag = std::atomic<bool>;
using LongWork = std::function<void(const ProgressReport& report, const CancelFlag& cancel)>;

}  // namespace brovane
