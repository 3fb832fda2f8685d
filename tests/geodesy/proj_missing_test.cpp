// The PROJ unit built to open a library that is not there, as on a machine
// where the package that holds PROJ was removed: every call answers with
// the reason, none touches a function it could not find.
#include "geodesy/proj_systems.h"

#include <gtest/gtest.h>

using namespace quillet::proj;

namespace {

const std::string kWhy = "PROJ is not installed (" QUILLET_PROJ_LIBRARY ")";

TEST(ProjMissing, EveryCallSaysPROJIsNotInstalledAndConvertsNothing) {
    std::string why;
    EXPECT_FALSE(DescribeSystem("EPSG:27700", &why));
    EXPECT_EQ(why, kWhy);
    // Twice each: the second answer comes from what the first one kept.
    for (int round = 0; round < 2; ++round) {
        const Transformed results[] = {FromWgs84("EPSG:27700", 51.5, -0.1), ToWgs84("EPSG:2157", {700000, 700000}),
                                       Transform("EPSG:4326", "EPSG:27700", {-0.1, 51.5}, true)};
        for (const Transformed& result : results) {
            EXPECT_EQ(result.failure, Failure::UnknownSystem) << round;
            EXPECT_EQ(result.why, kWhy) << round;
        }
        const TransformationInfo info = DescribeTransformation("EPSG:4326", "EPSG:27700");
        EXPECT_TRUE(info.operations.empty());
        EXPECT_EQ(info.why, kWhy);
    }
}

}  // namespace
