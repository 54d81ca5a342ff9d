// Shared objects loaded at run time: the disk library and the virtual device.
// Both serve the drives of the device namespace, so each is handed the
// device table right after loading when it exports BrovaneAttachDevices.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/device_table.h"

namespace brovane {

// The exported C functions of the disk library.
using DiskTransferFunction = std::uint32_t (*)(std::uint32_t drive, std::uint32_t cylinder,
                                               std::uint32_t head, std::uint32_t sector,
                                               std::uint32_t count, std::uint8_t* buffer,
                                               std::uint32_t absoluteSector,
                                               std::uint32_t int13Extensions);
using ExtensionCheckFunction = std::uint32_t (*)(std::uint32_t drive);

// Loads the object at exactly path; nullptr when it cannot be loaded.
void* LoadSharedObject(const std::string& path, const BrovaneDeviceTable& table);
void UnloadSharedObject(void* object);
void* FindSymbol(void* object, const char* name);

// An exported function by name, or nullptr.
template <typename Function>
Function FindFunction(void* object, const char* name) {
    void* symbol = FindSymbol(object, name);
    Function function = nullptr;
    static_assert(sizeof(function) == sizeof(symbol));
    std::memcpy(&function, &symbol, sizeof(function));
    return function;
}

}  // namespace brovane
