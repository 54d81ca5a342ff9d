// The texts of the message and confirmation boxes, each once, exactly as
// the system shows them. Views that fail alike say the same text.
#pragma once

#include <string_view>

namespace brovane {

inline constexpr std::string_view kDllNotFoundText = "Disk32.DLL not found";
inline constexpr std::string_view kReadFunctionMissingText = "ReadDisk32 Function not accessible!";
inline constexpr std::string_view kWriteFunctionMissingText =
    "WriteDisk32 Function not accessible!";
inline constexpr std::string_view kExtensionFunctionMissingText =
    "DllCheckInt13Extension Function not accessible!";
inline constexpr std::string_view kVxdNotOpenedText = "Unable to open DISK.VXD";
inline constexpr std::string_view kDrivePacketMemoryText = "Drive Packet memory not enough";
inline constexpr std::string_view kPacketsMemoryText = "Packets memory not enough";
inline constexpr std::string_view kDriveNotAccessibleText = "Drive not accessible!";
inline constexpr std::string_view kPartitionTableNotAccessibleText =
    "Partition table not accessible!";
inline constexpr std::string_view kExtendedNotAccessibleText = "Extended partition not accessible!";
inline constexpr std::string_view kBootRecordNotAccessibleText = "Boot Record not accessible!";
inline constexpr std::string_view kPartitionTableViewNotAccessibleText =
    "Partition Table not accessible!";
inline constexpr std::string_view kPartitionTableInaccessibleText = "Partition Table inaccessible!";
inline constexpr std::string_view kBootRecordInaccessibleText = "Boot Record inaccessible!";
inline constexpr std::string_view kFatNotAccessibleText = "FAT not accessible!";
inline constexpr std::string_view kRootNotFullyAccessibleText =
    "Root Directory not fully accessible!";
inline constexpr std::string_view kSubDirectoryNotLoadedText = "Not able to load the sub-directory";
inline constexpr std::string_view kSubDirectoryNotFullyLoadedText =
    "Not able to fully load the sub-directory";
inline constexpr std::string_view kNoListingMemoryText = "Unable to allocate memory";
inline constexpr std::string_view kSectorNotAccessibleText = "Sector not accessible!";
inline constexpr std::string_view kClusterNotAccessibleText = "Cluster not accessible!";
inline constexpr std::string_view kCriticalSectorNotAccessibleText =
    "Critical Sector not accessible!";
inline constexpr std::string_view kWriteConfirmText = "Are you sure to write to disk?";
inline constexpr std::string_view kChangesWrittenText = "Changes written successfully!";
inline constexpr std::string_view kReadBackDiffersText =
    "The changes were written, but the sectors read back differ from them.";
inline constexpr std::string_view kEditingNeedsDumpingModeText =
    "Editing is possible only in Sector/Cluster dumping modes\n"
    "Select 'Action->Sector/Cluster Dumping or Raw Sector Dumping' from main menu";
inline constexpr std::string_view kNoBufferOfMemoryText =
    "Fatal Error!  Not able to allocate a buffer of memory!";
inline constexpr std::string_view kNoBufferText = "Fatal Error!  Not able to allocate a buffer!";
inline constexpr std::string_view kNoBufferCapitalText =
    "Fatal Error!  Not able to allocate a Buffer!";
inline constexpr std::string_view kNoBufferOneSpaceText =
    "Fatal Error! Not able to allocate a buffer!";
inline constexpr std::string_view kNoBufferOneSpaceCapitalText =
    "Fatal Error! Not able to allocate a Buffer!";
inline constexpr std::string_view kNoFatBufferText =
    "Fatal Error!  Not able to allocate a Buffer For FAT!";
inline constexpr std::string_view kNoFatEntriesBufferText =
    "Fatal Error!  Not able to allocate a buffer for FAT Entries!";
inline constexpr std::string_view kNoFatEntriesBufferCapitalText =
    "Fatal Error!  Not able to allocate a Buffer for FAT Entries!";
inline constexpr std::string_view kNoRootBufferText =
    "Fatal Error!  Not able to allocate a Buffer for Root Directory!";

}  // namespace brovane
