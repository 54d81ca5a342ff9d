// The platform's command-line options and the namespace names.
#include <gtest/gtest.h>

#include "platform/device_name.h"
#include "platform/platform_options.h"

namespace brovane {
namespace {

TEST(PlatformOptionsTest, OptionsAreTakenOutTheRestKeepsItsOrderAndAMissingPathIsAnError) {
    std::vector<std::string> args = {"--disk",         "a.img",          "script",
                                     "--floppy=f.img", "--disk-library", "--disk=b.img",
                                     "--other",        "--floppy",       "g.img"};
    PlatformOptions options;
    std::string error;
    ASSERT_TRUE(ExtractPlatformOptions(args, options, error));
    EXPECT_EQ(args, (std::vector<std::string>{"script", "--other"}));
    EXPECT_EQ(options.disks, (std::vector<std::string>{"a.img", "b.img"}));
    EXPECT_EQ(options.floppies, (std::vector<std::string>{"f.img", "g.img"}));
    EXPECT_TRUE(options.diskLibrary);
    EXPECT_TRUE(error.empty());
    // An option without its path is an error that names it.
    for (const char* option : {"--disk", "--floppy", "--disk="}) {
        args = {"x", option};
        EXPECT_FALSE(ExtractPlatformOptions(args, options, error)) << option;
        EXPECT_NE(error.find(std::string(option).substr(0, 6)), std::string::npos) << error;
    }
}

TEST(DeviceNameTest, NamesParseIntoKindAndIndex) {
    const auto disk = ParseDeviceName("\\\\.\\PHYSICALDRIVE12");
    const auto floppy = ParseDeviceName("\\\\.\\b:");
    ASSERT_TRUE(disk && floppy);
    EXPECT_EQ(disk->kind, DeviceKind::kHardDisk);
    EXPECT_EQ(disk->index, 12u);
    EXPECT_EQ(floppy->kind, DeviceKind::kFloppy);
    EXPECT_EQ(floppy->index, 1u);
    for (const char* name :
         {"\\\\.\\PHYSICALDRIVE99999999999999999999999", "\\\\.\\PHYSICALDRIVE+1", "\\\\.\\1:"}) {
        EXPECT_FALSE(ParseDeviceName(name)) << name;
    }
}

}  // namespace
}  // namespace brovane
