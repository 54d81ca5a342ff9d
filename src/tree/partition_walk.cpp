#include "tree/partition_walk.h"

#include "tree/child_expansion.h"
#include "tree/directory_listing.h"
#include "tree/extended_table_walk.h"
#include "tree/master_boot_record_walk.h"
#include "tree/volume_walk.h"

namespace brovane {

bool ExpandItem(const PlatformDiskScreen& io, ItemStorage& items, TreeWalkState& walk,
                TreeItemHandle item, TreeItemInfo* info, bool expandedOnce) {
    io.screen.SetStatusText(kProgressPane, "");
    if (expandedOnce || info == nullptr) {
        return true;
    }
    Expansion expansion{io, items, walk, item, *info};
    SectorOutcome outcome = SectorOutcome::Read;
    switch (info->kind) {
        case IK_HARD_DISK:
            outcome = WalkMasterBootRecord(expansion);
            break;
        case IK_EXTENDED:
            outcome = WalkExtendedTable(expansion);
            break;
        case IK_VOLUME:
            outcome = WalkVolumeBootRecord(expansion);
            break;
        // A listing ended by a message leaves the progress text as it is.
        case IK_ROOT_DIR:
            if (!ListRootDirectory(io, items, item, *info)) {
                return true;
            }
            break;
        case IK_DIR_ENTRY:
            if (!ListChainDirectory(io, items, item, *info)) {
                return true;
            }
            break;
        default:
            break;
    }
    io.screen.SetStatusText(kProgressPane, "");
    return outcome != SectorOutcome::Refused;
}

}  // namespace brovane
