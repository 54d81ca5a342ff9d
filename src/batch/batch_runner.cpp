#include "batch/batch_runner.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "app/command_state.h"

namespace brovane {

namespace {

std::string_view Trim(std::string_view text) {
    const std::string_view blanks = " \t\r";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool NoArguments(std::string_view arguments, std::string& error) {
    if (!arguments.empty()) {
        error = "unexpected arguments '" + std::string(arguments) + "'";
        return false;
    }
    return true;
}

// "#N" names the N-th child (from 1); answers 0 when the segment is not of that form.
std::size_t ChildNumber(std::string_view segment) {
    if (segment.size() < 2 || segment[0] != '#') {
        return 0;
    }
    std::size_t number = 0;
    auto [end, problem] =
        std::from_chars(segment.data() + 1, segment.data() + segment.size(), number);
    return problem == std::errc{} && end == segment.data() + segment.size() ? number : 0;
}

}  // namespace

BatchRunner::BatchRunner(TextScreen& screen, Session& session, std::ostream& out)
    : screen_(screen), session_(session), out_(out) {}

int BatchRunner::RunScript(std::istream& script, std::ostream& err) {
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        std::string error;
        if (!RunLine(line, error)) {
            out_.flush();
            err << "brovane-batch: line " << number << ": " << error << '\n';
            return 2;
        }
    }
    return 0;
}

bool BatchRunner::RunLine(std::string_view line, std::string& error) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') {
        return true;
    }
    std::size_t space = line.find_first_of(" \t");
    std::string_view command = line.substr(0, space);
    std::string_view arguments = space == std::string_view::npos ? "" : Trim(line.substr(space));
    using Handler = bool (BatchRunner::*)(std::string_view, std::string&);
    static constexpr std::pair<std::string_view, Handler> kCommands[] = {
        {"tree", &BatchRunner::PrintTree},        {"selected", &BatchRunner::PrintSelected},
        {"status", &BatchRunner::PrintStatus},    {"menu", &BatchRunner::PrintMenu},
        {"expand", &BatchRunner::ExpandPath},     {"collapse", &BatchRunner::CollapsePath},
        {"select", &BatchRunner::SelectPath},     {"list", &BatchRunner::PrintList},
        {"command", &BatchRunner::ChooseCommand}, {"key", &BatchRunner::PressKey},
        {"rightclick", &BatchRunner::RightClick}, {"edit", &BatchRunner::EditRow},
        {"answer", &BatchRunner::Answer},
    };
    for (const auto& [name, handler] : kCommands) {
        if (command == name) {
            return (this->*handler)(arguments, error);
        }
    }
    error = "unknown command '" + std::string(command) + "'";
    return false;
}

// ---- Paths ----

TreeItemHandle BatchRunner::FindChild(TreeItemHandle parent, std::string_view segment) {
    std::vector<TreeItemHandle> children = screen_.Children(parent);
    if (std::size_t number = ChildNumber(segment); number != 0) {
        return number <= children.size() ? children[number - 1] : kNoTreeItem;
    }
    for (TreeItemHandle child : children) {
        if (screen_.ItemText(child) == segment) {
            return child;
        }
    }
    return kNoTreeItem;
}

TreeItemHandle BatchRunner::FindItem(std::string_view path) {
    TreeItemHandle item = kTreeRoot;
    while (!path.empty()) {
        std::size_t slash = path.find('/');
        item = FindChild(item, path.substr(0, slash));
        if (item == kNoTreeItem) {
            return kNoTreeItem;
        }
        path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
    }
    return item;
}

std::string BatchRunner::PathOf(TreeItemHandle item) {
    std::string path;
    for (; item != kNoTreeItem; item = screen_.Parent(item)) {
        path = path.empty() ? screen_.ItemText(item) : screen_.ItemText(item) + "/" + path;
    }
    return path;
}

TreeItemHandle BatchRunner::RequireItem(std::string_view path, std::string& error) {
    TreeItemHandle item = path.empty() ? kNoTreeItem : FindItem(path);
    if (item == kNoTreeItem) {
        error = "no such item '" + std::string(path) + "'";
    }
    return item;
}

// ---- Actions on the tree ----

bool BatchRunner::ExpandPath(std::string_view path, std::string& error) {
    TreeItemHandle item = RequireItem(path, error);
    if (item != kNoTreeItem) {
        screen_.Expand(item);
    }
    return item != kNoTreeItem;
}

bool BatchRunner::CollapsePath(std::string_view path, std::string& error) {
    TreeItemHandle item = RequireItem(path, error);
    if (item != kNoTreeItem) {
        screen_.Collapse(item);
    }
    return item != kNoTreeItem;
}

bool BatchRunner::SelectPath(std::string_view path, std::string& error) {
    if (path == "-") {
        screen_.SelectTreeItem(kNoTreeItem);
        return true;
    }
    TreeItemHandle item = RequireItem(path, error);
    if (item != kNoTreeItem) {
        screen_.SelectTreeItem(item);
    }
    return item != kNoTreeItem;
}

// ---- Printing ----

void BatchRunner::PrintItems(TreeItemHandle parent, int depth) {
    for (TreeItemHandle item : screen_.Children(parent)) {
        const char* mark = screen_.IsExpanded(item) ? "- " : screen_.HasButton(item) ? "+ " : ". ";
        out_ << std::string(static_cast<std::size_t>(depth) * 2, ' ') << mark
             << EscapeText(screen_.ItemText(item)) << '\n';
        if (screen_.IsExpanded(item)) {
            PrintItems(item, depth + 1);
        }
    }
}

bool BatchRunner::PrintTree(std::string_view arguments, std::string& error) {
    if (!NoArguments(arguments, error)) {
        return false;
    }
    PrintItems(kTreeRoot, 0);
    return true;
}

bool BatchRunner::PrintSelected(std::string_view arguments, std::string& error) {
    if (!NoArguments(arguments, error)) {
        return false;
    }
    TreeItemHandle caret = screen_.GetCaretItem();
    out_ << (caret == kNoTreeItem ? "-" : EscapeText(PathOf(caret))) << '\n';
    return true;
}

bool BatchRunner::PrintStatus(std::string_view arguments, std::string& error) {
    if (!NoArguments(arguments, error)) {
        return false;
    }
    out_ << "0: " << EscapeText(screen_.StatusText(0)) << '\n';
    out_ << "1: " << EscapeText(screen_.StatusText(1)) << '\n';
    return true;
}

CommandState BatchRunner::CurrentCommandState() {
    WindowState window{screen_.toolbarVisible, screen_.statusBarVisible, screen_.listStyle};
    return BuildCommandState(session_.disk, session_.pane, screen_, window);
}

bool BatchRunner::PrintMenu(std::string_view arguments, std::string& error) {
    if (!NoArguments(arguments, error)) {
        return false;
    }
    CommandState state = CurrentCommandState();
    for (const CommandInfo& info : Commands()) {
        out_ << info.id << (IsCommandEnabled(info.id, state) ? " enabled" : " disabled")
             << (IsCommandChecked(info.id, state) ? " checked" : "") << '\n';
    }
    return true;
}

}  // namespace brovane

namespace brovane {

namespace {

// Reads an optional row number; false when the text is not one.
bool ParseCount(std::string_view text, int& value) {
    auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    return problem == std::errc{} && end == text.data() + text.size() && value >= 0;
}

}  // namespace

bool BatchRunner::PrintList(std::string_view arguments, std::string& error) {
    int first = 0;
    int count = screen_.GetListItemCount();
    std::size_t space = arguments.find(' ');
    std::string_view firstText = arguments.substr(0, space);
    std::string_view countText =
        space == std::string_view::npos ? "" : Trim(arguments.substr(space));
    if ((!firstText.empty() && !ParseCount(firstText, first)) ||
        (!countText.empty() && !ParseCount(countText, count))) {
        error = "bad row numbers '" + std::string(arguments) + "'";
        return false;
    }
    out_ << "# ";
    for (std::size_t column = 0; column < screen_.Columns().size(); ++column) {
        out_ << (column == 0 ? "" : "\t") << EscapeText(screen_.Columns()[column].heading);
    }
    out_ << '\n';
    int last =
        std::min(screen_.GetListItemCount(), first + std::min(count, screen_.GetListItemCount()));
    for (int row = first; row < last; ++row) {
        for (int column = 0; column < screen_.GetListColumnCount(); ++column) {
            out_ << (column == 0 ? "" : "\t") << EscapeText(screen_.CellText(row, column));
        }
        out_ << '\n';
    }
    return true;
}

namespace {

// Splits the words of an edit line; a word in single quotes is taken as
// written, spaces included ('' is the empty text).
bool SplitWords(std::string_view text, std::vector<std::string>& words, std::string& error) {
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ' || text[at] == '\t') {
            ++at;
            continue;
        }
        if (text[at] == '\'') {
            std::size_t end = text.find('\'', at + 1);
            if (end == std::string_view::npos) {
                error = "unclosed quote in '" + std::string(text) + "'";
                return false;
            }
            words.emplace_back(text.substr(at + 1, end - at - 1));
            at = end + 1;
            continue;
        }
        std::size_t end = text.find_first_of(" \t", at);
        end = end == std::string_view::npos ? text.size() : end;
        words.emplace_back(text.substr(at, end - at));
        at = end;
    }
    return true;
}

}  // namespace

bool BatchRunner::EditRow(std::string_view arguments, std::string& error) {
    std::vector<std::string> words;
    if (!SplitWords(arguments, words, error)) {
        return false;
    }
    int row = 0;
    if (words.empty() || !ParseCount(words[0], row) || row >= screen_.GetListItemCount()) {
        error = "no such row '" + (words.empty() ? std::string() : words[0]) + "'";
        return false;
    }
    std::optional<TextScreen::BoxTexts> boxes;
    if (words.size() == 2 && words[1] == "cancel") {
        boxes.reset();
    } else if (words.size() == 17) {
        boxes.emplace();
        for (std::size_t n = 0; n < boxes->size(); ++n) {
            if (words[n + 1].size() > static_cast<std::size_t>(kByteBoxLimit)) {
                error = "a box takes at most 2 characters: '" + words[n + 1] + "'";
                return false;
            }
            (*boxes)[n] = words[n + 1];
        }
    } else {
        error = "edit needs ROW and sixteen box texts, or ROW cancel";
        return false;
    }
    screen_.SetNextEdit(std::move(boxes));
    screen_.DoubleClickList(row);
    screen_.SetNextEdit(std::nullopt);
    return true;
}

bool BatchRunner::Answer(std::string_view arguments, std::string& error) {
    if (arguments != "yes" && arguments != "no") {
        error = "answer needs yes or no";
        return false;
    }
    screen_.QueueAnswer(arguments == "yes");
    return true;
}

bool BatchRunner::RightClick(std::string_view arguments, std::string& error) {
    std::size_t space = arguments.find(' ');
    std::string_view pane = arguments.substr(0, space);
    std::string_view target = space == std::string_view::npos ? "" : Trim(arguments.substr(space));
    if (pane == "tree") {
        TreeItemHandle item = RequireItem(target, error);
        if (item == kNoTreeItem) {
            return false;
        }
        screen_.RightClickTree(item);
    } else if (pane == "list") {
        int row = 0;
        if (!ParseCount(target, row) || row >= screen_.GetListItemCount()) {
            error = "no such row '" + std::string(target) + "'";
            return false;
        }
        screen_.RightClickList(row);
    } else {
        error = "rightclick needs 'tree PATH' or 'list ROW'";
        return false;
    }
    for (const PopupEntry& entry : screen_.LastPopup()) {
        out_ << EscapeText(entry.text) << '\n';
    }
    return true;
}

}  // namespace brovane

namespace brovane {

// ---- Commands ----

bool BatchRunner::ChooseCommand(std::string_view name, std::string& error) {
    const CommandInfo* info = FindCommandByName(name);
    if (info == nullptr) {
        error = "unknown command name '" + std::string(name) + "'";
        return false;
    }
    RunCommand(info->id);
    return true;
}

bool BatchRunner::PressKey(std::string_view key, std::string& error) {
    static constexpr std::string_view kKeys[] = {"F1",      "F4",     "F5",     "F6",    "Shift+F6",
                                                 "Ctrl+F4", "Ctrl+G", "Ctrl+X", "Ctrl+Z"};
    if (std::find(std::begin(kKeys), std::end(kKeys), key) == std::end(kKeys)) {
        error = "unknown key '" + std::string(key) + "'";
        return false;
    }
    // A key without an accelerator does nothing.
    if (int command = FindAccelerator(key); command != 0) {
        RunCommand(command);
    }
    return true;
}

// The window's own commands are answered here; the rest go to the core.
void BatchRunner::RunCommand(int command) {
    if (!IsCommandEnabled(command, CurrentCommandState())) {
        out_ << "disabled: " << command << '\n';
        return;
    }
    switch (command) {
        case CMD_APP_ABOUT:
            out_ << "dialog: About Brovane\n";
            break;
        case CMD_VIEW_TOOLBAR:
            screen_.toolbarVisible = !screen_.toolbarVisible;
            break;
        case CMD_VIEW_STATUS_BAR:
            screen_.statusBarVisible = !screen_.statusBarVisible;
            break;
        case CMD_VIEW_DETAILS:
            screen_.listStyle = ListStyle::Report;
            break;
        case CMD_NEXT_PANE:
        case CMD_PREV_PANE:
            screen_.focusOnList = !screen_.focusOnList;
            break;
        default:
            session_.OnCommand(command);
            break;
    }
}

}  // namespace brovane
