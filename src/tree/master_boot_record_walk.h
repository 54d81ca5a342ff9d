// A hard disk's first expansion: its master boot record into its partitions.
#pragma once

#include "tree/child_expansion.h"

namespace brovane {

// Primaries lie where their entries say; an extended entry also becomes
// the disk's extended base.
SectorOutcome WalkMasterBootRecord(Expansion& expansion);

}  // namespace brovane
