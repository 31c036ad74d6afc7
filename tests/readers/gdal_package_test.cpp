// The Debian package named when a shared library cannot be loaded, by the policy's rule.

#include <gtest/gtest.h>

#include "gdal_library.h"

TEST(DebianPackageOfLibrary, FollowsTheSharedLibraryNamingRule) {
    const struct {
        const char* soname;
        const char* package;
    } cases[] = {
        {"libgdal.so.32", "libgdal32"},
        {"libfoo2.so.1", "libfoo2-1"},
        {"libcairo.so.2", "libcairo2"},
        {"libz.so.1", "libz1"},
        {"plain", "plain"},
    };
    for (const auto& c : cases) EXPECT_EQ(debianPackageOfLibrary(c.soname), c.package);
}
