#include "gui/row_runs.h"

#include <algorithm>

namespace brovane {

bool RowRuns::Extends(const Run& run, std::uintptr_t itemData) const {
    if (run.texts != kCallbackRun) {
        return false;
    }
    // Item data wraps like the unsigned number it is.
    return run.count == 1 ||
           run.firstData + static_cast<std::uintptr_t>(run.count) * run.stride == itemData;
}

std::size_t RowRuns::RunOf(int row) const {
    auto after = std::upper_bound(runs_.begin(), runs_.end(), row,
                                  [](int value, const Run& run) { return value < run.start; });
    return static_cast<std::size_t>(after - runs_.begin()) - 1;
}

std::size_t RowRuns::SplitAt(int row) {
    std::size_t index = RunOf(row);
    Run& run = runs_[index];
    if (run.start == row) {
        return index;
    }
    auto offset = static_cast<std::uintptr_t>(row - run.start);
    Run tail = run;
    tail.start = row;
    tail.count = run.count - (row - run.start);
    tail.firstData = run.firstData + offset * run.stride;
    run.count = row - run.start;
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(index) + 1, tail);
    return index + 1;
}

int RowRuns::Insert(int row, const Run& run) {
    row = std::clamp(row, 0, total_);
    if (row == total_) {
        if (!runs_.empty() && run.texts == kCallbackRun && Extends(runs_.back(), run.firstData)) {
            Run& last = runs_.back();
            if (last.count == 1) {
                last.stride = run.firstData - last.firstData;
            }
            ++last.count;
        } else {
            runs_.push_back(run);
            runs_.back().start = row;
        }
        ++total_;
        return row;
    }
    std::size_t index = SplitAt(row);
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(index), run);
    runs_[index].start = row;
    for (std::size_t later = index + 1; later < runs_.size(); ++later) {
        ++runs_[later].start;
    }
    ++total_;
    return row;
}

int RowRuns::InsertStored(int row, std::string_view text) {
    storedTexts_.push_back({std::string(text)});
    return Insert(row, Run{0, 1, 0, 0, static_cast<std::int32_t>(storedTexts_.size() - 1)});
}

int RowRuns::InsertCallback(int row, std::uintptr_t itemData) {
    return Insert(row, Run{0, 1, itemData, 0, kCallbackRun});
}

void RowRuns::Clear() {
    runs_.clear();
    storedTexts_.clear();
    total_ = 0;
}

std::uintptr_t RowRuns::ItemData(int row) const {
    if (row < 0 || row >= total_) {
        return 0;
    }
    const Run& run = runs_[RunOf(row)];
    return run.firstData + static_cast<std::uintptr_t>(row - run.start) * run.stride;
}

std::int32_t RowRuns::TextsIndex(int row) const {
    return row >= 0 && row < total_ ? runs_[RunOf(row)].texts : kCallbackRun;
}

const std::vector<std::string>* RowRuns::Texts(int row) const {
    std::int32_t index = TextsIndex(row);
    return index == kCallbackRun ? nullptr : &storedTexts_[static_cast<std::size_t>(index)];
}

std::vector<std::string>* RowRuns::Texts(int row) {
    std::int32_t index = TextsIndex(row);
    return index == kCallbackRun ? nullptr : &storedTexts_[static_cast<std::size_t>(index)];
}

}  // namespace brovane
