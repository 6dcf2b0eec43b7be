// The optical media found in a mount table.
#include "ui/OpticalMedia.h"

#include <gtest/gtest.h>

namespace tarvenox {
namespace {

TEST(OpticalMedia, KeepsDiscFileSystemsInMountOrderWithTheirEscapesDecoded) {
    // As the kernel writes /proc/self/mounts: blank, tab, newline and backslash in a
    // mount point are octal escapes.
    const char* mounts = "/dev/sda1 / ext4 rw,relatime 0 0\n"
                         "/dev/sr0 /media/anna/My\\040Disc;1 iso9660 ro,nosuid,nodev 0 0\n"
                         "tmpfs /run tmpfs rw,nosuid 0 0\n"
                         "/dev/sdb1 /media/anna/udf vfat rw 0 0\n"  // a name that looks like a type
                         "/dev/sr1 /media/dvd\\011tab\\012line udf ro 0 0\n"
                         "/dev/loop0 /mnt/back\\134slash\\04 iso9660 ro 0 0\n"  // a cut-off escape stays
                         "fuse /mnt/iso fuse.iso9660 ro 0 0\n"
                         "incomplete line\n"
                         "/dev/sr2 /media/last udf ro 0 0";  // no newline at the end
    EXPECT_EQ(opticalMediaRoots(mounts), (std::vector<std::string>{"/media/anna/My Disc;1", "/media/dvd\ttab\nline",
                                                                   "/mnt/back\\slash\\04", "/media/last"}));
    EXPECT_TRUE(opticalMediaRoots("").empty());
}

}  // namespace
}  // namespace tarvenox
