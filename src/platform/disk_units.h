// The units the disk library's calls count in, shared by the core and the
// library's stand-in: 512-byte sectors and BIOS drive numbers.
#pragma once

#include <cstdint>

namespace brovane {

inline constexpr std::uint32_t kSectorBytes = 512;

// Drive numbers: floppy i is i, hard disk n is kFirstHardDisk + n.
inline constexpr std::uint16_t kFirstHardDisk = 0x80;

}  // namespace brovane
