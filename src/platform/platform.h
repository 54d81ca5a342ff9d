// The operating-system operations the core relies on, declared once.
//
// They stand in for the kernel calls of the original platform: a version
// test, the program's directory, library loading, device input and output
// through a device namespace ("\\.\PHYSICALDRIVEn" for hard disk n, "\\.\X:"
// for the removable drive with letter X), drive types, the virtual-device
// request, and zero-filled memory blocks. Two implementations exist: the
// POSIX one (posix_platform.h) and the in-memory test double
// (memory_platform.h); both pass the same interface test suite.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace brovane {

// An open device. 0 means "never opened"; kInvalidHandle is what a failed
// open leaves. Any other value is an open handle.
using DeviceHandle = std::intptr_t;
inline constexpr DeviceHandle kInvalidHandle = -1;

// A loaded library; 0 means none.
using LibraryHandle = std::uintptr_t;

// The version test's answer has its high bit set on the platform that reads
// disks through the disk library.
inline constexpr std::uint32_t kVersionDiskLibraryBit = 0x80000000u;

// Drive types of the drive-type test.
inline constexpr unsigned kDriveNoRootDir = 1;
inline constexpr unsigned kDriveRemovable = 2;

// ReadDisk32 and WriteDisk32: drive number, cylinder, head, sector, sector
// count, buffer, absolute sector number, extension value. Nonzero when every
// sector moved.
using DiskTransferProc =
    std::function<std::uint32_t(std::uint32_t drive, std::uint32_t cylinder, std::uint32_t head,
                                std::uint32_t sector, std::uint32_t count, std::uint8_t* buffer,
                                std::uint32_t absoluteSector, std::uint32_t int13Extensions)>;

// CheckInt13Extension32: drive number in, an opaque value out.
using ExtensionCheckProc = std::function<std::uint32_t(std::uint32_t drive)>;

struct DriveIdentity {
    std::string path;
    std::uint64_t sizeBytes = 0;
    std::uint64_t deviceNumber = 0;
    std::uint64_t inode = 0;  // 0 for a block device
    bool blockDevice = false;
};

class Platform {
  public:
    virtual ~Platform() = default;

    // Version test: kVersionDiskLibraryBit set selects the disk library.
    virtual std::uint32_t GetVersion() = 0;
    // Directory of the running program, with its trailing separator.
    virtual std::string GetProgramDirectory() = 0;
    // The short form of a path (here the path itself).
    virtual std::string GetShortPathName(const std::string& path) = 0;

    // Opens a device-namespace path for reading and writing, exclusively
    // where the system allows it and read-only where it refuses; answers
    // kInvalidHandle when the device cannot be opened at all.
    virtual DeviceHandle OpenDevice(const std::string& path) = 0;
    // Positioned transfers at a 64-bit byte offset; they answer how many
    // bytes moved (a write counts only bytes that reached the device).
    virtual std::uint32_t ReadAt(DeviceHandle handle, std::uint64_t offset, void* buffer,
                                 std::uint32_t bytes) = 0;
    virtual std::uint32_t WriteAt(DeviceHandle handle, std::uint64_t offset, const void* buffer,
                                  std::uint32_t bytes) = 0;
    virtual void CloseDevice(DeviceHandle handle) = 0;
    // The size in bytes of the device a namespace path names, without
    // opening it for transfers; 0 when there is none or the system does not
    // tell. Sizes read from disk are held against it.
    virtual std::uint64_t DeviceBytes(const std::string& path) = 0;

    // Drive type of a root path "X:\".
    virtual unsigned GetDriveType(const std::string& rootPath) = 0;

    // The virtual device: opened by "\\.\" + its file's path, asked one
    // control code with an output buffer, closed at once.
    virtual DeviceHandle OpenVirtualDevice(const std::string& deviceName) = 0;
    virtual bool DeviceIoControl(DeviceHandle handle, std::uint32_t code, void* output,
                                 std::uint32_t outputSize, std::uint32_t* bytesReturned) = 0;
    virtual void CloseVirtualDevice(DeviceHandle handle) = 0;

    // Library loading. Lookups answer an empty function when the library
    // lacks the name.
    virtual LibraryHandle LoadLibrary(const std::string& path) = 0;
    virtual DiskTransferProc GetDiskTransferProc(LibraryHandle library,
                                                 const std::string& name) = 0;
    virtual ExtensionCheckProc GetExtensionCheckProc(LibraryHandle library,
                                                     const std::string& name) = 0;
    virtual void FreeLibrary(LibraryHandle library) = 0;

    // Files of the host's own file system, which the program writes: disk
    // images, their mapfiles, copied-out files. CreateHostFile makes the
    // file anew (empty) or empties the one there; OpenHostFile opens one that
    // exists. Both open for reading and writing and answer kInvalidHandle on
    // failure. Transfers answer the bytes moved; FlushHostFile answers
    // whether everything written so far reached stable storage.
    // ReplaceHostFile renames `from` over `to` in one step and makes the
    // rename itself stable, so `to` is either the old file or the whole new
    // one.
    virtual DeviceHandle CreateHostFile(const std::string& path) = 0;
    virtual DeviceHandle OpenHostFile(const std::string& path) = 0;
    virtual std::uint32_t ReadHostFile(DeviceHandle handle, std::uint64_t offset, void* buffer,
                                       std::uint32_t bytes) = 0;
    virtual std::uint32_t WriteHostFile(DeviceHandle handle, std::uint64_t offset,
                                        const void* buffer, std::uint32_t bytes) = 0;
    virtual bool FlushHostFile(DeviceHandle handle) = 0;
    virtual void CloseHostFile(DeviceHandle handle) = 0;
    virtual bool ReplaceHostFile(const std::string& from, const std::string& to) = 0;
    // Many files at once: MoveHostFile renames `from` over `to` in one step,
    // stable only after FlushHostFileSystem, which makes everything written,
    // renamed and stamped on the file system holding `path` stable.
    virtual bool MoveHostFile(const std::string& from, const std::string& to) = 0;
    virtual bool FlushHostFileSystem(const std::string& path) = 0;
    virtual bool HostFileExists(const std::string& path) = 0;
    virtual bool RemoveHostFile(const std::string& path) = 0;
    // Makes the folder (its parent must exist). True when a folder is there
    // afterwards, also one that was there before; false for a file of that
    // name or any failure.
    virtual bool CreateHostFolder(const std::string& path) = 0;
    // True when a folder of that name exists.
    virtual bool HostFolderExists(const std::string& path) = 0;
    // Sets the modification and access times of the file or folder, in
    // seconds since 1970-01-01 UTC.
    virtual bool SetHostFileTime(const std::string& path, std::int64_t secondsSinceEpoch) = 0;
    // The modification time, or nothing when the path is not there.
    virtual std::optional<std::int64_t> HostFileTime(const std::string& path) = 0;
    // True when the existing file or folder at path lies on the drive (0x80+n
    // a hard disk, 0..n a floppy, as the platform's device options name them):
    // on the drive's block device itself or a file system on one of its
    // partitions; for a drive that is an image file, on a file system of a
    // loop device backed by that file (/sys/dev/block/MAJ:MIN/loop/backing_file),
    // or the image file itself. False when it cannot be told (unknown drive,
    // stat fails).
    virtual bool IsHostPathOnDrive(const std::string& path, std::uint16_t driveNumber) = 0;
    // Who the drive is, for the write journal: its path and size in bytes;
    // for a block device its device number, for an image file the device of
    // its file system and its inode. Nothing for a drive not there.
    virtual std::optional<DriveIdentity> IdentifyDrive(std::uint16_t driveNumber) = 0;
    // Where the write journal lives: the --journal option's path, else
    // $XDG_DATA_HOME/brovane/journal, else ~/.local/share/brovane/journal;
    // empty when none of them can be told.
    virtual std::string JournalPath() = 0;
    // Waits for the file's lock and holds it until the handle is closed, so
    // that two programs never append to one journal at once. False when the
    // lock cannot be had.
    virtual bool LockHostFile(DeviceHandle handle) = 0;

    // Zero-filled, sector-aligned memory; nullptr when it cannot be had.
    virtual void* AllocateZeroed(std::size_t bytes) = 0;
    virtual void FreeMemory(void* block) = 0;
};

}  // namespace brovane
