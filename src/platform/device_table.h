/* How the platform tells the disk library and the virtual device which
   images stand for which drives. Both shared objects export
   BrovaneAttachDevices; the platform calls it right after loading them. */
#ifndef BROVANE_DEVICE_TABLE_H
#define BROVANE_DEVICE_TABLE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

struct BrovaneDeviceTable {
    uint32_t hardDiskCount;
    const char* const* hardDisks; /* paths of hard disks 0, 1, ... */
    uint32_t floppyCount;
    const char* const* floppies; /* paths of floppy drives A:, B:, ... */
};

typedef void (*BrovaneAttachDevicesProc)(const struct BrovaneDeviceTable* table);

/* The virtual device's one entry: control code in, output bytes out. Nonzero on success. */
typedef int32_t (*BrovaneVxdControlProc)(uint32_t code, void* output, uint32_t outputSize,
                                         uint32_t* bytesReturned);

#define BROVANE_ATTACH_DEVICES_NAME "BrovaneAttachDevices"
#define BROVANE_VXD_CONTROL_NAME "BrovaneVxdControl"

#ifdef __cplusplus
}
#endif

#endif
