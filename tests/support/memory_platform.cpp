#include "support/memory_platform.h"

#include <cstring>

#include "platform/aligned_block.h"
#include "platform/device_name.h"
#include "platform/drive_type.h"
#include "platform/version_answer.h"

namespace brovane {

namespace {

constexpr unsigned kFirstHardDisk = 128;
constexpr std::uint32_t kFloppyCountCode = 1;

std::string LibraryPath(const MemoryPlatformSettings& settings) {
    return settings.programDirectory + "Disk32.DLL";
}

std::string VirtualDeviceName(const MemoryPlatformSettings& settings) {
    return std::string(kDeviceNamespacePrefix) + settings.programDirectory + "DISK.VXD";
}

// The drive number a namespace name stands for, among the disks added.
std::optional<unsigned> DriveOfName(const std::string& name, unsigned hardDisks,
                                    unsigned floppies) {
    const auto parsed = ParseDeviceName(name);
    if (!parsed) {
        return std::nullopt;
    }
    const bool hardDisk = parsed->kind == DeviceKind::kHardDisk;
    if (parsed->index >= (hardDisk ? hardDisks : floppies)) {
        return std::nullopt;
    }
    const auto index = static_cast<unsigned>(parsed->index);
    return hardDisk ? kFirstHardDisk + index : index;
}

}  // namespace

MemoryPlatform::~MemoryPlatform() {
    for (void* block : liveBlocks_) {
        FreeAligned(block);
    }
}

unsigned MemoryPlatform::AddHardDisk(std::uint64_t sectorCount) {
    const unsigned drive = kFirstHardDisk + hardDiskCount_++;
    disks_[drive].sectorCount = sectorCount;
    return drive;
}

unsigned MemoryPlatform::AddFloppy(std::uint64_t sectorCount) {
    const unsigned drive = floppyCount_++;
    disks_[drive].sectorCount = sectorCount;
    return drive;
}

MemoryDisk* MemoryPlatform::FindDisk(unsigned driveNumber) {
    const auto found = disks_.find(driveNumber);
    return found == disks_.end() ? nullptr : &found->second;
}

std::optional<DriveIdentity> MemoryPlatform::IdentifyDrive(std::uint16_t driveNumber) {
    const MemoryDisk* disk = FindDisk(driveNumber);
    if (disk == nullptr) {
        return std::nullopt;
    }
    return DriveIdentity{"memory:" + std::to_string(driveNumber), disk->SizeInBytes(), disk->serial,
                         0, true};
}

std::uint32_t MemoryPlatform::GetVersion() {
    return VersionAnswer(settings.diskLibrary);
}

std::string MemoryPlatform::GetProgramDirectory() {
    return settings.programDirectory;
}

std::string MemoryPlatform::GetShortPathName(const std::string& path) {
    return path;
}

bool MemoryPlatform::OpenRefused(MemoryDisk& disk) {
    if (disk.faults.failFirstOpens > 0) {
        --disk.faults.failFirstOpens;
        return true;
    }
    return disk.faults.failEveryOpen;
}

DeviceHandle MemoryPlatform::OpenDevice(const std::string& path) {
    ++counters.opens;
    openedNames.push_back(path);
    const auto drive = DriveOfName(path, hardDiskCount_, floppyCount_);
    if (!drive || OpenRefused(disks_[*drive])) {
        ++counters.failedOpens;
        return kInvalidHandle;
    }
    return devices_.Add(*drive);
}

MemoryDisk* MemoryPlatform::DiskOf(DeviceHandle handle) {
    const unsigned* drive = devices_.Find(handle);
    return drive == nullptr ? nullptr : FindDisk(*drive);
}

std::uint32_t MemoryPlatform::RecordTransfer(bool write, DeviceHandle handle, std::uint64_t offset,
                                             std::uint32_t bytes, std::uint64_t moved) {
    ++(write ? counters.writes : counters.reads);
    const auto answer = static_cast<std::uint32_t>(moved);
    transfers.push_back({write, handle, offset, bytes, answer});
    return answer;
}

std::uint32_t MemoryPlatform::ReadAt(DeviceHandle handle, std::uint64_t offset, void* buffer,
                                     std::uint32_t bytes) {
    const MemoryDisk* disk = DiskOf(handle);
    return RecordTransfer(false, handle, offset, bytes,
                          disk == nullptr ? 0 : ReadWithFaults(*disk, offset, buffer, bytes));
}

std::uint32_t MemoryPlatform::WriteAt(DeviceHandle handle, std::uint64_t offset, const void* buffer,
                                      std::uint32_t bytes) {
    MemoryDisk* disk = DiskOf(handle);
    return RecordTransfer(true, handle, offset, bytes,
                          disk == nullptr ? 0 : WriteWithFaults(*disk, offset, buffer, bytes));
}

void MemoryPlatform::CloseDevice(DeviceHandle handle) {
    ++counters.closes;
    devices_.Take(handle);
}

std::uint64_t MemoryPlatform::DeviceBytes(const std::string& path) {
    const auto drive = DriveOfName(path, hardDiskCount_, floppyCount_);
    return drive ? disks_[*drive].SizeInBytes() : 0;
}

unsigned MemoryPlatform::GetDriveType(const std::string& rootPath) {
    return DriveTypeOfRoot(rootPath, floppyCount_);
}

DeviceHandle MemoryPlatform::OpenVirtualDevice(const std::string& deviceName) {
    if (settings.virtualDeviceMissing || deviceName != VirtualDeviceName(settings)) {
        return kInvalidHandle;
    }
    ++counters.virtualDeviceOpens;
    return virtualDevices_.Add(true);
}

bool MemoryPlatform::DeviceIoControl(DeviceHandle handle, std::uint32_t code, void* output,
                                     std::uint32_t outputSize, std::uint32_t* bytesReturned) {
    controlCodes.push_back(code);
    const std::uint32_t floppies = settings.virtualDeviceFloppyCount.value_or(floppyCount_);
    const bool answered = virtualDevices_.Find(handle) != nullptr && code == kFloppyCountCode &&
                          output != nullptr && outputSize >= sizeof(floppies);
    if (answered) {
        std::memcpy(output, &floppies, sizeof(floppies));
    }
    if (bytesReturned != nullptr) {
        *bytesReturned = answered ? sizeof(floppies) : 0;
    }
    return answered;
}

void MemoryPlatform::CloseVirtualDevice(DeviceHandle handle) {
    if (virtualDevices_.Take(handle)) {
        ++counters.virtualDeviceCloses;
    }
}

LibraryHandle MemoryPlatform::LoadLibrary(const std::string& path) {
    if (settings.libraryMissing || path != LibraryPath(settings)) {
        return 0;
    }
    ++counters.libraryLoads;
    return libraries_.Add(true);
}

bool MemoryPlatform::HasLibraryFunction(LibraryHandle library, const std::string& name) {
    return libraries_.Find(library) != nullptr && settings.missingFunctions.count(name) == 0;
}

std::uint32_t MemoryPlatform::CallLibrary(const DiskLibraryCall& call) {
    ++(call.write ? counters.libraryWrites : counters.libraryReads);
    libraryCalls.push_back(call);
    MemoryDisk* disk = FindDisk(call.drive);
    return disk == nullptr ? 0 : ServeLibraryCall(*disk, call);
}

DiskTransferProc MemoryPlatform::GetDiskTransferProc(LibraryHandle library,
                                                     const std::string& name) {
    const bool write = name == "WriteDisk32";
    if ((!write && name != "ReadDisk32") || !HasLibraryFunction(library, name)) {
        return {};
    }
    return [this, write](std::uint32_t drive, std::uint32_t cylinder, std::uint32_t head,
                         std::uint32_t sector, std::uint32_t count, std::uint8_t* buffer,
                         std::uint32_t absoluteSector, std::uint32_t int13Extensions) {
        return CallLibrary(
            {write, drive, cylinder, head, sector, count, buffer, absoluteSector, int13Extensions});
    };
}

ExtensionCheckProc MemoryPlatform::GetExtensionCheckProc(LibraryHandle library,
                                                         const std::string& name) {
    if (name != "CheckInt13Extension32" || !HasLibraryFunction(library, name)) {
        return {};
    }
    return [this](std::uint32_t drive) {
        ++counters.extensionChecks;
        extensionCheckDrives.push_back(drive);
        const MemoryDisk* disk = FindDisk(drive);
        return disk == nullptr ? 0u : disk->int13Extensions;
    };
}

void MemoryPlatform::FreeLibrary(LibraryHandle library) {
    if (libraries_.Take(library)) {
        ++counters.libraryFrees;
    }
}

void* MemoryPlatform::AllocateZeroed(std::size_t bytes) {
    if (++counters.allocations == settings.failingAllocation) {
        return nullptr;
    }
    void* block = AllocateAlignedZeroed(bytes);
    if (block != nullptr) {
        liveBlocks_.insert(block);
    }
    return block;
}

void MemoryPlatform::FreeMemory(void* block) {
    if (block == nullptr) {
        return;
    }
    if (liveBlocks_.erase(block) == 0) {
        ++counters.badFrees;
        return;
    }
    ++counters.frees;
    FreeAligned(block);
}

}  // namespace brovane
