#include "platform/posix_platform.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/aligned_block.h"
#include "platform/device_name.h"
#include "platform/device_transfer.h"
#include "platform/drive_type.h"
#include "platform/host_device_of.h"
#include "platform/posix_host_file.h"
#include "platform/shared_object.h"
#include "platform/version_answer.h"

namespace brovane {

namespace {

void ReportOpenFailure(const std::string& path, int error) {
    std::fprintf(stderr, "brovane: cannot open %s: %s\n", path.c_str(), std::strerror(error));
}

}  // namespace

PosixPlatform::PosixPlatform(PlatformOptions options, const std::string& sysBlockRoot,
                             const std::string& devRoot, std::string sysDevBlockRoot)
    : options_(std::move(options)),
      namespace_(options_, sysBlockRoot, devRoot),
      sysDevBlockRoot_(std::move(sysDevBlockRoot)) {}

PosixPlatform::~PosixPlatform() {
    devices_.Clear([](PosixDevice& device) { ClosePosixDevice(device); });
    virtualDevices_.Clear([](VirtualDevice& device) { UnloadSharedObject(device.object); });
    libraries_.Clear([](void* object) { UnloadSharedObject(object); });
    hostFiles_.Clear([](int fd) { ::close(fd); });
}

std::uint32_t PosixPlatform::GetVersion() {
    return VersionAnswer(options_.diskLibrary);
}

std::string PosixPlatform::GetProgramDirectory() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return "./";
    }
    return executable.parent_path().string() + '/';
}

std::string PosixPlatform::GetShortPathName(const std::string& path) {
    return path;
}

DeviceHandle PosixPlatform::OpenDevice(const std::string& path) {
    const std::string* file = namespace_.Resolve(path);
    if (file == nullptr) {
        return kInvalidHandle;
    }
    PosixDevice device;
    const int error = OpenPosixDevice(*file, device);
    if (error != 0) {
        ReportOpenFailure(*file, error);
        return kInvalidHandle;
    }
    return devices_.Add(device);
}

std::uint32_t PosixPlatform::ReadAt(DeviceHandle handle, std::uint64_t offset, void* buffer,
                                    std::uint32_t bytes) {
    const PosixDevice* device = devices_.Find(handle);
    return device == nullptr ? 0 : ReadPosixDevice(*device, offset, buffer, bytes);
}

std::uint32_t PosixPlatform::WriteAt(DeviceHandle handle, std::uint64_t offset, const void* buffer,
                                     std::uint32_t bytes) {
    const PosixDevice* device = devices_.Find(handle);
    return device == nullptr ? 0 : WritePosixDevice(*device, offset, buffer, bytes);
}

void PosixPlatform::CloseDevice(DeviceHandle handle) {
    if (auto device = devices_.Take(handle)) {
        ClosePosixDevice(*device);
    }
}

std::uint64_t PosixPlatform::DeviceBytes(const std::string& path) {
    const std::string* file = namespace_.Resolve(path);
    return file == nullptr ? 0 : PosixDeviceBytes(*file);
}

unsigned PosixPlatform::GetDriveType(const std::string& rootPath) {
    return DriveTypeOfRoot(rootPath, namespace_.Floppies().size());
}

DeviceHandle PosixPlatform::OpenVirtualDevice(const std::string& deviceName) {
    if (!deviceName.starts_with(kDeviceNamespacePrefix)) {
        return kInvalidHandle;
    }
    void* object =
        LoadSharedObject(deviceName.substr(kDeviceNamespacePrefix.size()), namespace_.Table());
    const auto control = FindFunction<BrovaneVxdControlProc>(object, BROVANE_VXD_CONTROL_NAME);
    if (control == nullptr) {
        UnloadSharedObject(object);
        return kInvalidHandle;
    }
    return virtualDevices_.Add(VirtualDevice{object, control});
}

bool PosixPlatform::DeviceIoControl(DeviceHandle handle, std::uint32_t code, void* output,
                                    std::uint32_t outputSize, std::uint32_t* bytesReturned) {
    const VirtualDevice* device = virtualDevices_.Find(handle);
    std::uint32_t returned = 0;
    const bool done =
        device != nullptr && device->control(code, output, outputSize, &returned) != 0;
    if (bytesReturned != nullptr) {
        *bytesReturned = returned;
    }
    return done;
}

void PosixPlatform::CloseVirtualDevice(DeviceHandle handle) {
    if (auto device = virtualDevices_.Take(handle)) {
        UnloadSharedObject(device->object);
    }
}

LibraryHandle PosixPlatform::LoadLibrary(const std::string& path) {
    void* object = LoadSharedObject(path, namespace_.Table());
    return object == nullptr ? 0 : libraries_.Add(object);
}

void* PosixPlatform::LibraryObject(LibraryHandle library) {
    void* const* object = libraries_.Find(library);
    return object == nullptr ? nullptr : *object;
}

DiskTransferProc PosixPlatform::GetDiskTransferProc(LibraryHandle library,
                                                    const std::string& name) {
    return DiskTransferProc(
        FindFunction<DiskTransferFunction>(LibraryObject(library), name.c_str()));
}

ExtensionCheckProc PosixPlatform::GetExtensionCheckProc(LibraryHandle library,
                                                        const std::string& name) {
    return ExtensionCheckProc(
        FindFunction<ExtensionCheckFunction>(LibraryObject(library), name.c_str()));
}

void PosixPlatform::FreeLibrary(LibraryHandle library) {
    if (auto object = libraries_.Take(library)) {
        UnloadSharedObject(*object);
    }
}

DeviceHandle PosixPlatform::CreateHostFile(const std::string& path) {
    const int fd = CreatePosixHostFile(path);
    return fd < 0 ? kInvalidHandle : hostFiles_.Add(fd);
}

DeviceHandle PosixPlatform::OpenHostFile(const std::string& path) {
    const int fd = OpenPosixHostFile(path);
    return fd < 0 ? kInvalidHandle : hostFiles_.Add(fd);
}

std::uint32_t PosixPlatform::ReadHostFile(DeviceHandle handle, std::uint64_t offset, void* buffer,
                                          std::uint32_t bytes) {
    const int* fd = hostFiles_.Find(handle);
    return fd == nullptr ? 0 : ReadPosixHostFile(*fd, offset, buffer, bytes);
}

std::uint32_t PosixPlatform::WriteHostFile(DeviceHandle handle, std::uint64_t offset,
                                           const void* buffer, std::uint32_t bytes) {
    const int* fd = hostFiles_.Find(handle);
    return fd == nullptr ? 0 : WritePosixHostFile(*fd, offset, buffer, bytes);
}

bool PosixPlatform::FlushHostFile(DeviceHandle handle) {
    const int* fd = hostFiles_.Find(handle);
    return fd != nullptr && FlushPosixHostFile(*fd);
}

void PosixPlatform::CloseHostFile(DeviceHandle handle) {
    if (auto fd = hostFiles_.Take(handle)) {
        ::close(*fd);
    }
}

bool PosixPlatform::ReplaceHostFile(const std::string& from, const std::string& to) {
    return ReplacePosixHostFile(from, to);
}

bool PosixPlatform::MoveHostFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixPlatform::FlushHostFileSystem(const std::string& path) {
    return FlushPosixFileSystem(path);
}

bool PosixPlatform::HostFileExists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

bool PosixPlatform::RemoveHostFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool PosixPlatform::CreateHostFolder(const std::string& path) {
    return CreatePosixHostFolder(path);
}

bool PosixPlatform::HostFolderExists(const std::string& path) {
    return PosixHostFolderExists(path);
}

bool PosixPlatform::SetHostFileTime(const std::string& path, std::int64_t secondsSinceEpoch) {
    return SetPosixHostFileTime(path, secondsSinceEpoch);
}

std::optional<std::int64_t> PosixPlatform::HostFileTime(const std::string& path) {
    return PosixHostFileTime(path);
}

bool PosixPlatform::IsHostPathOnDrive(const std::string& path, std::uint16_t driveNumber) {
    const std::string* drivePath = namespace_.PathOfDrive(driveNumber);
    return drivePath != nullptr && HostPathLiesOn(path, *drivePath, sysDevBlockRoot_);
}

std::optional<DriveIdentity> PosixPlatform::IdentifyDrive(std::uint16_t driveNumber) {
    const std::string* path = namespace_.PathOfDrive(driveNumber);
    return path != nullptr ? IdentifyPosixDevice(*path) : std::nullopt;
}

std::string PosixPlatform::JournalPath() {
    if (!options_.journal.empty()) {
        return options_.journal;
    }
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return std::string(data) + "/brovane/journal";
    }
    const char* home = std::getenv("HOME");
    return home != nullptr && home[0] == '/' ? std::string(home) + "/.local/share/brovane/journal"
                                             : std::string();
}

bool PosixPlatform::LockHostFile(DeviceHandle handle) {
    const int* fd = hostFiles_.Find(handle);
    return fd != nullptr && LockPosixHostFile(*fd);
}

void* PosixPlatform::AllocateZeroed(std::size_t bytes) {
    return AllocateAlignedZeroed(bytes);
}

void PosixPlatform::FreeMemory(void* block) {
    FreeAligned(block);
}

}  // namespace brovane
