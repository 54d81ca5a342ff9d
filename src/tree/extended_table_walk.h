// An extended partition's first expansion: its table into its logical
// partition and the link to the next table of the chain.
#pragma once

#include "tree/child_expansion.h"

namespace brovane {

// Logical partitions count from their own table, links to the next table
// from the first extended partition.
SectorOutcome WalkExtendedTable(Expansion& expansion);

}  // namespace brovane
