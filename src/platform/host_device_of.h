// Which disk a host path lies on, told by device numbers and the sysfs
// folders of block devices ("MAJ:MIN" links in /sys/dev/block): a
// partition's folder holds a `partition` file and sits in its disk's
// folder, and a loop device's folder names the file behind it in
// loop/backing_file.
#pragma once

#include <string>

namespace brovane {

// True when the existing file or folder at path lies on the block device or
// image file at drivePath, as Platform::IsHostPathOnDrive tells it; false
// when either cannot be examined. sysDevBlockRoot holds the "MAJ:MIN" links.
bool HostPathLiesOn(const std::string& path, const std::string& drivePath,
                    const std::string& sysDevBlockRoot);

}  // namespace brovane
