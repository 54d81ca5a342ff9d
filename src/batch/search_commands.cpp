// search PATH PATTERN lists every hit of the item's raw range, calling the
// search itself; find PATTERN is the Find dialog answered with PATTERN.
#include "app/find_command.h"
#include "batch/batch_runner.h"
#include "batch/script_parsing.h"
#include "batch/tree_paths.h"

namespace brovane {

namespace {

constexpr std::string_view kPatternForms = "a pattern hex:BYTES, text:WORDS or itext:WORDS";

}  // namespace

bool BatchRunner::SearchItem(std::string_view arguments, std::string& error) {
    const auto parts = SplitAtPattern(arguments);
    if (!parts) {
        error = "search needs an item PATH and " + std::string(kPatternForms);
        return false;
    }
    const TreeItemHandle handle = RequireItem(screen_, parts->first, error);
    if (handle == kNoTreeItem) {
        return false;
    }
    const TreeItemInfo& item = *screen_.GetTreeItemInfo(handle);
    std::string message;
    const std::optional<SearchPattern> pattern = PatternOf(*ParsePattern(parts->second), message);
    if (!pattern) {
        screen_.Notify(message);
        return true;
    }
    const PlatformDiskScreen io = session_.Io();
    const std::optional<SearchRange> range = RangeToSearch(io, item, *pattern);
    if (!range) {
        return true;
    }
    const std::uint64_t first =
        std::uint64_t{range->origin.baseSector} + range->origin.relativeSector;
    const CancelFlag cancel{false};
    const SearchOutcome outcome = SearchSectors(
        io.platform, io.disk, *range, PatternMatcher(*pattern), 0,
        [&](const SearchHit& hit) {
            out_ << "found: " << first + hit.sector << ' ' << hit.offset << '\n';
            return true;
        },
        [](const WorkProgress&) {}, cancel);
    if (outcome.stop == SearchStop::kNoMemory) {
        screen_.Notify(kSearchNoMemoryText);
        return true;
    }
    out_ << "searched: " << outcome.searched << " sectors, " << outcome.unreadable
         << " unreadable\n";
    return true;
}

// find PATTERN: Find, with PATTERN typed into its dialog and OK pressed.
bool BatchRunner::FindPattern(std::string_view arguments, std::string& error) {
    const std::optional<SearchRequest> request = ParsePattern(arguments);
    if (!request) {
        error = "find needs " + std::string(kPatternForms);
        return false;
    }
    screen_.SetNextSearch(request);
    RunCommand(CMD_FIND);
    screen_.SetNextSearch(std::nullopt);
    return true;
}

}  // namespace brovane
