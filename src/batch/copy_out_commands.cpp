// copy-out PATH DIR and copy-out-row ROW DIR: the tree item at PATH, or row
// ROW of the directory listing on screen, copied into the host folder DIR,
// the line's last word. Each file is printed as it is written, then the
// counts.
#include "app/copy_out_command.h"
#include "batch/batch_runner.h"
#include "batch/printed_forms.h"
#include "batch/script_parsing.h"

namespace brovane {

void BatchRunner::PrintCopyOut(const std::optional<CopyOutResult>& result) {
    if (!result) {
        return;
    }
    if (result->stop != CopyOutStop::kNone) {
        screen_.Notify(CopyOutResultText(*result));
    }
    out_ << "copy-out: " << result->files << " files, " << result->folders << " directories, "
         << result->bytes << " bytes\n";
}

CopiedSink BatchRunner::CopiedPrinter() {
    return [this](const CopiedItem& copied) { out_ << EscapeText(CopiedText(copied)) << '\n'; };
}

bool BatchRunner::CopyOutPath(std::string_view arguments, std::string& error) {
    std::string path;
    std::string folder;
    TreeItemInfo* item = ItemAndHostPath(arguments, path, folder, error);
    if (item == nullptr) {
        return false;
    }
    if (!IsCopyOutItem(*item)) {
        out_ << "disabled: " << CMD_COPY_OUT << '\n';
        return true;
    }
    PrintCopyOut(CopyOutItem(session_.Io(), *item, folder, CopiedPrinter()));
    return true;
}

bool BatchRunner::CopyOutListRow(std::string_view arguments, std::string& error) {
    const auto [rowText, folder] = SplitFirstWord(arguments);
    int row = 0;
    if (!ParseCount(rowText, row) || row >= screen_.GetListItemCount() || folder.empty()) {
        error = "copy-out-row needs a ROW of the list and a host folder";
        return false;
    }
    PrintCopyOut(
        CopyOutRow(session_.Io(), session_.pane, row, std::string(folder), CopiedPrinter()));
    return true;
}

}  // namespace brovane
