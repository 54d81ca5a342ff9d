#include "tree/system_indicators.h"

#include <array>

namespace brovane {

namespace {

struct IndicatorRow {
    std::uint8_t indicator;
    SystemIndicatorInfo info;
};

constexpr std::array kIndicators{
    IndicatorRow{0x01, {"12-Bit FAT Disk", IK_VOLUME, IK_VOLUME, FT_NONE}},
    IndicatorRow{0x04, {"16-Bit FAT Disk", IK_VOLUME, IK_VOLUME, FT_NONE}},
    IndicatorRow{0x05, {"Extended DOS Partition", IK_EXTENDED, IK_EXTENDED, FT_NONE}},
    IndicatorRow{0x06, {"16-Bit FAT Disk", IK_VOLUME, IK_VOLUME, FT_NONE}},
    IndicatorRow{0x0B, {"32-Bit FAT Disk", IK_VOLUME, IK_VOLUME, FT_FAT32}},
    IndicatorRow{0x0C, {"32-Bit FAT Disk", IK_VOLUME, IK_VOLUME, FT_FAT32}},
    IndicatorRow{0x0E, {"16-Bit FAT Disk", IK_VOLUME, IK_VOLUME, FT_NONE}},
    IndicatorRow{0x0F, {"Extended 32-bit Partition", IK_EXTENDED, IK_EXTENDED, FT_NONE}},
};

constexpr SystemIndicatorInfo kUnknown{"Unknown", IK_UNKNOWN, IK_VOLUME, FT_NONE};

}  // namespace

const SystemIndicatorInfo& LookUpSystemIndicator(std::uint8_t indicator) {
    for (const IndicatorRow& row : kIndicators) {
        if (row.indicator == indicator) {
            return row.info;
        }
    }
    return kUnknown;
}

bool IsExtendedIndicator(std::uint8_t indicator) {
    return LookUpSystemIndicator(indicator).kindInMasterBootRecord == IK_EXTENDED;
}

}  // namespace brovane
