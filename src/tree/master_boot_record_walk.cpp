#include "tree/master_boot_record_walk.h"

#include "screen/messages.h"

#include "tree/partition_table_walk.h"
#include "tree/system_indicators.h"

namespace brovane {

SectorOutcome WalkMasterBootRecord(Expansion& expansion) {
    std::uint32_t& extendedBase = expansion.walk.extendedBase[expansion.parent.driveNumber];
    extendedBase = 0;
    return WalkPartitionTable(expansion, kPartitionTableNotAccessibleText, false,
                              [&extendedBase](const PartitionEntry& entry) {
                                  if (IsExtendedIndicator(entry.systemIndicator)) {
                                      extendedBase = entry.relativeSectors;
                                  }
                                  return std::uint64_t{entry.relativeSectors};
                              });
}

}  // namespace brovane
