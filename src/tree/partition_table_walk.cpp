#include "tree/partition_table_walk.h"

#include "disk/memory_blocks.h"
#include "tree/system_indicators.h"

namespace brovane {

namespace {

// A partition's record: the drive and extension value of the table's item,
// the entry's CHS start, the given base and the entry's sector count (what
// a copy of the partition takes).
void AddPartition(Expansion& expansion, const PartitionEntry& entry, bool inExtendedTable,
                  std::uint32_t baseSector) {
    const SystemIndicatorInfo& info = LookUpSystemIndicator(entry.systemIndicator);
    TreeItemInfo* record = NewChildRecord(expansion);
    if (record == nullptr) {
        return;
    }
    record->driveNumber = expansion.parent.driveNumber;
    record->int13Extensions = expansion.parent.int13Extensions;
    record->cylinder = entry.startCylinder;
    record->head = entry.startHead;
    record->sector = entry.startSector;
    record->sectorCount = 1;
    record->kind = inExtendedTable ? info.kindInExtendedTable : info.kindInMasterBootRecord;
    record->fatType = info.fatType;
    record->relativeSector = record->kind == IK_UNKNOWN ? 1 : 0;
    record->baseSector = baseSector;
    record->volumeSectors = entry.totalSectors;
    InsertChild(expansion, info.text, record->kind != IK_UNKNOWN, record);
}

}  // namespace

SectorOutcome WalkPartitionTable(Expansion& expansion, std::string_view failureText,
                                 bool inExtendedTable, const EntryBase& baseOf) {
    PlatformBlock table = AllocateSectors(expansion.io.platform, expansion.parent.sectorCount);
    SectorOutcome outcome = ReadItemSector(expansion, table.data(), failureText);
    if (outcome != SectorOutcome::Read) {
        return outcome;
    }
    for (int index = 0; index < kPartitionEntries; ++index) {
        PartitionEntry entry = ReadPartitionEntry(table.bytes(), index);
        if (entry.systemIndicator != kEmptyEntry) {
            AddPartition(expansion, entry, inExtendedTable, SectorFromFields(baseOf(entry)));
        }
    }
    return SectorOutcome::Read;
}

}  // namespace brovane
