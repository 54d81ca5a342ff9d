#include "app/disk_lifecycle.h"

#include "disk/disk_setup.h"
#include "tree/drive_inventory.h"

namespace brovane {

void InitDiskAccess(Session& session) {
    session.disk.programDirectory = session.platform.GetProgramDirectory();
    if (!AllocateItemPools(session.items, session.screen)) {
        return;
    }
    if (!SetUpDiskAccess(session.Io())) {
        return;
    }
    EnumerateDisks(session.Io(), session.items);
}

void ReleaseDiskAccess(Session& session) {
    ReleasePaneBlocks(session.pane);
    session.items.rootPool.Release();
    session.items.itemPool.Release();
    ReleaseDrives(session.platform, session.disk);
}

}  // namespace brovane
