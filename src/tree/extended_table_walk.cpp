#include "tree/extended_table_walk.h"

#include "screen/messages.h"

#include "tree/partition_table_walk.h"
#include "tree/system_indicators.h"

namespace brovane {

SectorOutcome WalkExtendedTable(Expansion& expansion) {
    std::uint32_t extendedBase = expansion.walk.extendedBase[expansion.parent.driveNumber];
    std::uint32_t tableBase = expansion.parent.baseSector;
    return WalkPartitionTable(expansion, kExtendedNotAccessibleText, true,
                              [extendedBase, tableBase](const PartitionEntry& entry) {
                                  bool link = IsExtendedIndicator(entry.systemIndicator);
                                  return std::uint64_t{link ? extendedBase : tableBase} +
                                         entry.relativeSectors;
                              });
}

}  // namespace brovane
