#include "batch/batch_runner.h"

#include <algorithm>
#include <utility>

#include "app/command_state.h"
#include "batch/script_parsing.h"
#include "batch/tree_paths.h"

namespace brovane {

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
    const std::optional<ScriptLine> words = SplitLine(line);
    if (!words) {
        return true;
    }
    using Handler = bool (BatchRunner::*)(std::string_view, std::string&);
    static constexpr std::pair<std::string_view, Handler> kCommands[] = {
        {"tree", &BatchRunner::PrintTree},
        {"selected", &BatchRunner::PrintSelected},
        {"status", &BatchRunner::PrintStatus},
        {"menu", &BatchRunner::PrintMenu},
        {"expand", &BatchRunner::ExpandPath},
        {"collapse", &BatchRunner::CollapsePath},
        {"select", &BatchRunner::SelectPath},
        {"list", &BatchRunner::PrintList},
        {"command", &BatchRunner::ChooseCommand},
        {"key", &BatchRunner::PressKey},
        {"rightclick", &BatchRunner::RightClick},
        {"edit", &BatchRunner::EditRow},
        {"answer", &BatchRunner::Answer},
        {"copy-disk", &BatchRunner::CopyDisk},
        {"damage", &BatchRunner::ReportDamage},
        {"goto", &BatchRunner::GoTo},
        {"choose", &BatchRunner::Choose},
        {"clipboard", &BatchRunner::PrintClipboard},
        {"clipboard-set", &BatchRunner::SetClipboard},
        {"search", &BatchRunner::SearchItem},
        {"find", &BatchRunner::FindPattern},
        {"copy-out", &BatchRunner::CopyOutPath},
        {"copy-out-row", &BatchRunner::CopyOutListRow},
    };
    for (const auto& [name, handler] : kCommands) {
        if (words->command == name) {
            return (this->*handler)(words->arguments, error);
        }
    }
    error = "unknown command '" + std::string(words->command) + "'";
    return false;
}

TreeItemHandle BatchRunner::FindItem(std::string_view path) {
    return FindItemByPath(screen_, path);
}

std::string BatchRunner::PathOf(TreeItemHandle item) {
    return PathOfItem(screen_, item);
}

// ---- Actions on the tree ----

bool BatchRunner::ExpandPath(std::string_view path, std::string& error) {
    TreeItemHandle item = RequireItem(screen_, path, error);
    if (item != kNoTreeItem) {
        screen_.Expand(item);
    }
    return item != kNoTreeItem;
}

bool BatchRunner::CollapsePath(std::string_view path, std::string& error) {
    TreeItemHandle item = RequireItem(screen_, path, error);
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
    TreeItemHandle item = RequireItem(screen_, path, error);
    if (item != kNoTreeItem) {
        screen_.SelectTreeItem(item);
    }
    return item != kNoTreeItem;
}

// ---- Printing ----

bool BatchRunner::PrintTree(std::string_view arguments, std::string& error) {
    if (!NoArguments(arguments, error)) {
        return false;
    }
    PrintTreeItems(out_, screen_, kTreeRoot, 0);
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
    PrintStatusPanes(out_, screen_);
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
    PrintMenuStates(out_, CurrentCommandState());
    return true;
}

bool BatchRunner::PrintList(std::string_view arguments, std::string& error) {
    int first = 0;
    int count = screen_.GetListItemCount();
    auto [firstText, countText] = SplitFirstWord(arguments);
    if ((!firstText.empty() && !ParseCount(firstText, first)) ||
        (!countText.empty() && !ParseCount(countText, count))) {
        error = "bad row numbers '" + std::string(arguments) + "'";
        return false;
    }
    PrintListRows(out_, screen_, first, count);
    return true;
}

// ---- Actions on the list and the message boxes ----

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
    if (!ParseBoxTexts(words, boxes, error)) {
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
    auto [pane, target] = SplitFirstWord(arguments);
    if (pane == "tree") {
        TreeItemHandle item = RequireItem(screen_, target, error);
        if (item == kNoTreeItem) {
            return false;
        }
        screen_.RightClickTree(item);
    } else if (pane == "list") {
        // ROW, or FIRST-LAST: a click on FIRST and a Shift+click on LAST first.
        const std::size_t dash = target.find('-');
        int first = 0;
        int row = 0;
        const int rows = screen_.GetListItemCount();
        if ((dash != std::string_view::npos &&
             (!ParseCount(target.substr(0, dash), first) || first >= rows)) ||
            !ParseCount(target.substr(dash == std::string_view::npos ? 0 : dash + 1), row) ||
            row >= rows) {
            error = "no such row '" + std::string(target) + "'";
            return false;
        }
        if (dash != std::string_view::npos) {
            screen_.SelectListRows(first, row);
        }
        screen_.RightClickList(row);
    } else {
        error = "rightclick needs 'tree PATH' or 'list ROW' or 'list FIRST-LAST'";
        return false;
    }
    PrintPopupEntries(out_, screen_);
    return true;
}

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
    static constexpr std::string_view kKeys[] = {
        "F1",      "F3",     "F4",     "F5",     "F6",     "Shift+F6", "Ctrl+F",
        "Ctrl+F4", "Ctrl+G", "Ctrl+I", "Ctrl+O", "Ctrl+X", "Ctrl+Z"};
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

// goto N: Go to a Sector, with N typed into its dialog and OK pressed.
bool BatchRunner::GoTo(std::string_view arguments, std::string&) {
    screen_.SetNextLine(std::string(arguments));
    RunCommand(CMD_GOTO_SECTOR);
    screen_.SetNextLine(std::nullopt);
    return true;
}

// choose ENTRY: the entry of the pop-up menu shown last, as printed or
// without its '&', is picked; the menu closes and its command runs.
bool BatchRunner::Choose(std::string_view entry, std::string& error) {
    for (const PopupEntry& shown : screen_.LastPopup()) {
        std::string plain = shown.text;
        std::erase(plain, '&');
        if (entry == shown.text || entry == plain) {
            const int command = shown.command;
            screen_.ClosePopup();
            RunCommand(command);
            return true;
        }
    }
    error = "no pop-up entry '" + std::string(entry) + "'";
    return false;
}

// The clipboard's text one line a line, escaped; a final line break ends
// the last line.
bool BatchRunner::PrintClipboard(std::string_view arguments, std::string& error) {
    if (!NoArguments(arguments, error)) {
        return false;
    }
    const std::string held = screen_.ClipboardText();
    for (std::string_view text = held; !text.empty();) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        out_ << EscapeText(text.substr(0, end)) << '\n';
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return true;
}

// clipboard-set TEXT: the rest of the line, written as printed texts are
// (\x0A a line break, \\ a backslash).
bool BatchRunner::SetClipboard(std::string_view text, std::string& error) {
    std::string value;
    if (!UnescapeText(text, value)) {
        error = "bad escape in '" + std::string(text) + "'";
        return false;
    }
    screen_.SetClipboardText(value);
    return true;
}

// The window's own commands are answered here; the rest go to the core.
// Commands outside the table (a pop-up's) are not greyed, as in the GUI.
void BatchRunner::RunCommand(int command) {
    if (FindCommand(command) != nullptr && !IsCommandEnabled(command, CurrentCommandState())) {
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
