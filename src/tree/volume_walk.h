// A volume's first expansion: its boot record into its FATs and its root
// directory.
#pragma once

#include "tree/child_expansion.h"

namespace brovane {

// Nothing is added for a boot record that is not a FAT one.
SectorOutcome WalkVolumeBootRecord(Expansion& expansion);

}  // namespace brovane
