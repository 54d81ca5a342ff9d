// The platform operations on POSIX: devices and images through the device
// namespace, shared objects through dlopen, aligned memory. A drive whose
// path cannot be opened at all is reported on standard error with the
// system's reason. Every open device, library and virtual device lives in
// this object's own tables and is released with it.
#pragma once

#include <string>

#include "platform/device_namespace.h"
#include "platform/handle_table.h"
#include "platform/platform.h"
#include "platform/platform_options.h"
#include "platform/posix_device.h"

namespace brovane {

class PosixPlatform : public Platform {
  public:
    // sysDevBlockRoot holds the block devices' "MAJ:MIN" links, for IsHostPathOnDrive.
    explicit PosixPlatform(PlatformOptions options, const std::string& sysBlockRoot = "/sys/block",
                           const std::string& devRoot = "/dev",
                           std::string sysDevBlockRoot = "/sys/dev/block");
    ~PosixPlatform() override;
    PosixPlatform(const PosixPlatform&) = delete;
    PosixPlatform& operator=(const PosixPlatform&) = delete;

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

    DeviceHandle CreateHostFile(const std::string& path) override;
    DeviceHandle OpenHostFile(const std::string& path) override;
    std::uint32_t ReadHostFile(DeviceHandle handle, std::uint64_t offset, void* buffer,
                               std::uint32_t bytes) override;
    std::uint32_t WriteHostFile(DeviceHandle handle, std::uint64_t offset, const void* buffer,
                                std::uint32_t bytes) override;
    bool FlushHostFile(DeviceHandle handle) override;
    void CloseHostFile(DeviceHandle handle) override;
    bool ReplaceHostFile(const std::string& from, const std::string& to) override;
    bool MoveHostFile(const std::string& from, const std::string& to) override;
    bool FlushHostFileSystem(const std::string& path) override;
    bool HostFileExists(const std::string& path) override;
    bool RemoveHostFile(const std::string& path) override;
    bool CreateHostFolder(const std::string& path) override;
    bool HostFolderExists(const std::string& path) override;
    bool SetHostFileTime(const std::string& path, std::int64_t secondsSinceEpoch) override;
    std::optional<std::int64_t> HostFileTime(const std::string& path) override;
    bool IsHostPathOnDrive(const std::string& path, std::uint16_t driveNumber) override;
    std::optional<DriveIdentity> IdentifyDrive(std::uint16_t driveNumber) override;
    std::string JournalPath() override;
    bool LockHostFile(DeviceHandle handle) override;

    void* AllocateZeroed(std::size_t bytes) override;
    void FreeMemory(void* block) override;

    const DeviceNamespace& Namespace() const { return namespace_; }

  private:
    struct VirtualDevice {
        void* object;
        BrovaneVxdControlProc control;
    };

    // The loaded object behind a library handle, or nullptr.
    void* LibraryObject(LibraryHandle library);

    PlatformOptions options_;
    DeviceNamespace namespace_;
    std::string sysDevBlockRoot_;
    HandleTable<PosixDevice, DeviceHandle> devices_;
    HandleTable<VirtualDevice, DeviceHandle> virtualDevices_;
    HandleTable<void*, LibraryHandle> libraries_;
    HandleTable<int, DeviceHandle> hostFiles_;  // descriptors
};

}  // namespace brovane
