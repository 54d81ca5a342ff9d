// The two presenters whose rows are finished texts: a partition table as
// forty rows of field and value, a boot record as thirteen.
#pragma once

#include "tree/tree_item_info.h"

namespace brovane {

class Session;

// Both read the item's first sector into the current buffer (as large as
// the item's sectors) and show every row, or, after a failure, only the
// column headings.
void ShowPartitionTable(Session& session, const TreeItemInfo& item);
void ShowBootRecord(Session& session, const TreeItemInfo& item);

}  // namespace brovane
