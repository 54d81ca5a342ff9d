#include "platform/shared_object.h"

#include <dlfcn.h>

namespace brovane {

void* LoadSharedObject(const std::string& path, const BrovaneDeviceTable& table) {
    void* object = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (object == nullptr) {
        return nullptr;
    }
    const auto attach = FindFunction<BrovaneAttachDevicesProc>(object, BROVANE_ATTACH_DEVICES_NAME);
    if (attach != nullptr) {
        attach(&table);
    }
    return object;
}

void UnloadSharedObject(void* object) {
    if (object != nullptr) {
        ::dlclose(object);
    }
}

void* FindSymbol(void* object, const char* name) {
    return object == nullptr ? nullptr : ::dlsym(object, name);
}

}  // namespace brovane
