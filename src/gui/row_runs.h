// The list pane's rows, stored as runs. A row is either a stored row, with
// its texts, or a callback row, with only the core's item data. Callback
// rows appended with evenly spaced item data (a dump's row numbers, a
// grid's byte offsets, consecutive records) join one run, so a list of
// millions of such rows takes a few bytes; other rows take one run each.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brovane {

class RowRuns {
  public:
    int Count() const { return total_; }
    // row is clamped to 0..Count(); answers where the row went.
    int InsertStored(int row, std::string_view text);
    int InsertCallback(int row, std::uintptr_t itemData);
    void Clear();

    std::uintptr_t ItemData(int row) const;
    // A stored row's texts, or nullptr for a callback row.
    std::vector<std::string>* Texts(int row);
    const std::vector<std::string>* Texts(int row) const;
    std::size_t RunCount() const { return runs_.size(); }

  private:
    static constexpr std::int32_t kCallbackRun = -1;
    struct Run {
        int start;
        int count;
        std::uintptr_t firstData;  // callback runs: the first row's item data
        std::uintptr_t stride;     // and the step to the next row's
        std::int32_t texts;        // stored rows (one a run): index into storedTexts_
    };

    int Insert(int row, const Run& run);
    bool Extends(const Run& run, std::uintptr_t itemData) const;
    std::size_t RunOf(int row) const;
    // The stored texts' index of a row; kCallbackRun for callback rows and no row.
    std::int32_t TextsIndex(int row) const;
    // Splits the run holding row so that a run starts there; answers its index.
    std::size_t SplitAt(int row);

    std::vector<Run> runs_;
    std::vector<std::vector<std::string>> storedTexts_;
    int total_ = 0;
};

}  // namespace brovane
