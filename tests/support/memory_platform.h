// The platform's test double: in-memory disks with injectable faults, an
// in-memory disk library and virtual device, counted allocations, and logs
// of every call a test may want to count.
//
// Disks are known by drive number: hard disk n is 128 + n, floppy i is i,
// named "\\.\PHYSICALDRIVEn" and "\\.\X:" (X = 'A' + i) in the namespace.
// The library loads only from programDirectory + "Disk32.DLL" and the
// virtual device opens only as "\\.\" + programDirectory + "DISK.VXD", so a
// wrongly formed name is seen as a missing file. What is not configured
// works; tests set the public settings and disk fields to make it fail.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/handle_table.h"
#include "platform/platform.h"
#include "support/memory_disk.h"
#include "support/memory_disk_library.h"
#include "support/memory_host_files.h"

namespace brovane {

struct MemoryPlatformSettings {
    bool diskLibrary = false;  // the version test's high bit
    std::string programDirectory = "/opt/brovane/";
    bool libraryMissing = false;
    std::set<std::string> missingFunctions;  // library lookups that answer nothing
    bool virtualDeviceMissing = false;
    // What control code 1 answers; nothing for the number of floppies added.
    std::optional<std::uint32_t> virtualDeviceFloppyCount;
    unsigned failingAllocation = 0;  // the n-th allocation (from 1) fails; 0 for none
    std::string journalPath = "/journal";
    bool journalLocked = false;  // another program holds the journal's lock
};

struct MemoryPlatformCounters {
    unsigned opens = 0;  // every OpenDevice call, failed ones included
    unsigned failedOpens = 0;
    unsigned reads = 0;
    unsigned writes = 0;
    unsigned closes = 0;
    unsigned libraryLoads = 0;  // successful loads
    unsigned libraryFrees = 0;
    unsigned libraryReads = 0;   // ReadDisk32 calls
    unsigned libraryWrites = 0;  // WriteDisk32 calls
    unsigned extensionChecks = 0;
    unsigned virtualDeviceOpens = 0;  // successful opens
    unsigned virtualDeviceCloses = 0;
    unsigned allocations = 0;  // every AllocateZeroed call, the failing one included
    unsigned frees = 0;        // FreeMemory of a block this platform handed out
    unsigned badFrees = 0;     // FreeMemory of anything else but nullptr
};

// One ReadAt or WriteAt.
struct DeviceTransferRecord {
    bool write = false;
    DeviceHandle handle = 0;
    std::uint64_t offset = 0;
    std::uint32_t bytes = 0;  // asked for
    std::uint32_t moved = 0;  // answered
};

class MemoryPlatform : public Platform {
  public:
    MemoryPlatform() = default;
    // Frees the blocks still allocated (tests read LiveBlocks() for leaks).
    ~MemoryPlatform() override;
    MemoryPlatform(const MemoryPlatform&) = delete;
    MemoryPlatform& operator=(const MemoryPlatform&) = delete;

    // Adds the next hard disk or floppy and answers its drive number.
    unsigned AddHardDisk(std::uint64_t sectorCount);
    unsigned AddFloppy(std::uint64_t sectorCount);
    // The disk of a drive number, for its contents, faults and geometry;
    // nullptr when there is none.
    MemoryDisk* FindDisk(unsigned driveNumber);
    std::size_t LiveBlocks() const { return liveBlocks_.size(); }

    MemoryPlatformSettings settings;
    MemoryPlatformCounters counters;
    std::vector<std::string> openedNames;  // every OpenDevice name, in order
    std::vector<DeviceTransferRecord> transfers;
    std::vector<DiskLibraryCall> libraryCalls;
    std::vector<std::uint32_t> extensionCheckDrives;
    std::vector<std::uint32_t> controlCodes;
    MemoryHostFiles hostFiles;

    std::uint32_t GetVersion() override;
    std::string GetProgramDirectory() override;
    std::string GetShortPathName(const std::string& path) override;

    DeviceHandle OpenDevice(const std::string& path) override;
    std::uint32_t ReadAt(DeviceHandle handle, std::uint64_t offset, void* buffer,
                         std::uint32_t bytes) override;
    std::uint32_t WriteAt(DeviceHandle handle, std::uint64_t offset, const void* buffer,
                          std::uint32_t bytes) override;
    void CloseDevice(DeviceHandle handle) override;
    std::uint64_t DeviceBytes(const std::string& path) override;

    unsigned GetDriveType(const std::string& rootPath) override;

    DeviceHandle OpenVirtualDevice(const std::string& deviceName) override;
    bool DeviceIoControl(DeviceHandle handle, std::uint32_t code, void* output,
                         std::uint32_t outputSize, std::uint32_t* bytesReturned) override;
    void CloseVirtualDevice(DeviceHandle handle) override;

    LibraryHandle LoadLibrary(const std::string& path) override;
    DiskTransferProc GetDiskTransferProc(LibraryHandle library, const std::string& name) override;
    ExtensionCheckProc GetExtensionCheckProc(LibraryHandle library,
                                             const std::string& name) override;
    void FreeLibrary(LibraryHandle library) override;

    DeviceHandle CreateHostFile(const std::string& path) override { return hostFiles.Create(path); }
    DeviceHandle OpenHostFile(const std::string& path) override { return hostFiles.Open(path); }
    std::uint32_t ReadHostFile(DeviceHandle handle, std::uint64_t offset, void* buffer,
                               std::uint32_t bytes) override {
        return hostFiles.Read(handle, offset, buffer, bytes);
    }
    std::uint32_t WriteHostFile(DeviceHandle handle, std::uint64_t offset, const void* buffer,
                                std::uint32_t bytes) override {
        return hostFiles.Write(handle, offset, buffer, bytes);
    }
    bool FlushHostFile(DeviceHandle handle) override { return hostFiles.Flush(handle); }
    void CloseHostFile(DeviceHandle handle) override { hostFiles.Close(handle); }
    bool ReplaceHostFile(const std::string& from, const std::string& to) override {
        return hostFiles.Replace(from, to);
    }
    bool MoveHostFile(const std::string& from, const std::string& to) override {
        return hostFiles.Replace(from, to);
    }
    bool FlushHostFileSystem(const std::string&) override { return hostFiles.FlushAll(); }
    bool HostFileExists(const std::string& path) override { return hostFiles.Exists(path); }
    bool RemoveHostFile(const std::string& path) override { return hostFiles.Remove(path); }
    bool CreateHostFolder(const std::string& path) override { return hostFiles.CreateFolder(path); }
    bool HostFolderExists(const std::string& path) override { return hostFiles.FolderExists(path); }
    bool SetHostFileTime(const std::string& path, std::int64_t secondsSinceEpoch) override {
        return hostFiles.SetTime(path, secondsSinceEpoch);
    }
    std::optional<std::int64_t> HostFileTime(const std::string& path) override {
        return hostFiles.Time(path);
    }
    bool IsHostPathOnDrive(const std::string& path, std::uint16_t driveNumber) override {
        return hostFiles.OnDrive(path, driveNumber);
    }
    // "memory:N" of the drive's size; the disk's serial stands for its device number.
    std::optional<DriveIdentity> IdentifyDrive(std::uint16_t driveNumber) override;
    std::string JournalPath() override { return settings.journalPath; }
    bool LockHostFile(DeviceHandle) override { return !settings.journalLocked; }

    void* AllocateZeroed(std::size_t bytes) override;
    void FreeMemory(void* block) override;

  private:
    bool OpenRefused(MemoryDisk& disk);
    // The disk behind an open handle, or nullptr.
    MemoryDisk* DiskOf(DeviceHandle handle);
    // Counts and logs a device transfer; answers the bytes moved.
    std::uint32_t RecordTransfer(bool write, DeviceHandle handle, std::uint64_t offset,
                                 std::uint32_t bytes, std::uint64_t moved);
    std::uint32_t CallLibrary(const DiskLibraryCall& call);
    bool HasLibraryFunction(LibraryHandle library, const std::string& name);

    std::map<unsigned, MemoryDisk> disks_;
    unsigned hardDiskCount_ = 0;
    unsigned floppyCount_ = 0;
    HandleTable<unsigned, DeviceHandle> devices_;  // the drive number of each open device
    HandleTable<bool, DeviceHandle> virtualDevices_;
    HandleTable<bool, LibraryHandle> libraries_;
    std::set<void*> liveBlocks_;
};

}  // namespace brovane
