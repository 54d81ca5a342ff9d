// brovane-batch's command language: one user action a line, run against the
// text front-end and the core, with what the user would see printed.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/copy_out_command.h"
#include "app/session.h"
#include "batch/printed_forms.h"
#include "batch/text_screen.h"

namespace brovane {

class BatchRunner {
  public:
    BatchRunner(TextScreen& screen, Session& session, std::ostream& out);

    // Runs one line. False, with the reason in error, when it cannot be run.
    bool RunLine(std::string_view line, std::string& error);
    // Runs every line of a script; answers the exit code (0, or 2 after
    // naming the line that could not be run on err).
    int RunScript(std::istream& script, std::ostream& err);

    // The item a PATH names, or kNoTreeItem.
    TreeItemHandle FindItem(std::string_view path);
    // The PATH of an item: its texts from the root, joined by '/'.
    std::string PathOf(TreeItemHandle item);

  private:
    bool PrintTree(std::string_view arguments, std::string& error);
    bool PrintSelected(std::string_view arguments, std::string& error);
    bool PrintStatus(std::string_view arguments, std::string& error);
    bool PrintMenu(std::string_view arguments, std::string& error);
    bool PrintList(std::string_view arguments, std::string& error);
    bool ExpandPath(std::string_view path, std::string& error);
    bool CollapsePath(std::string_view path, std::string& error);
    bool SelectPath(std::string_view path, std::string& error);
    bool RightClick(std::string_view arguments, std::string& error);
    bool EditRow(std::string_view arguments, std::string& error);
    bool Answer(std::string_view arguments, std::string& error);
    bool ChooseCommand(std::string_view name, std::string& error);
    bool GoTo(std::string_view arguments, std::string& error);
    bool Choose(std::string_view entry, std::string& error);
    bool PrintClipboard(std::string_view arguments, std::string& error);
    bool SetClipboard(std::string_view text, std::string& error);
    bool CopyDisk(std::string_view arguments, std::string& error);
    bool ReportDamage(std::string_view arguments, std::string& error);
    bool SearchItem(std::string_view arguments, std::string& error);
    bool CopyOutPath(std::string_view arguments, std::string& error);
    bool CopyOutListRow(std::string_view arguments, std::string& error);
    void PrintCopyOut(const std::optional<CopyOutResult>& result);
    CopiedSink CopiedPrinter();
    bool FindPattern(std::string_view arguments, std::string& error);
    // The item at the PATH in front of a host path; the PATH and the host
    // path are left in itemPath and hostPath.
    TreeItemInfo* ItemAndHostPath(std::string_view arguments, std::string& itemPath,
                                  std::string& hostPath, std::string& error);
    bool PressKey(std::string_view key, std::string& error);
    void RunCommand(int command);
    CommandState CurrentCommandState();

    TextScreen& screen_;
    Session& session_;
    std::ostream& out_;
};

}  // namespace brovane
