// The shell's pure rules: the synchronisation period.
#include <gtest/gtest.h>

#include "app/frmPrincipal.h"

namespace vantrelo {
namespace {

TEST(SyncPeriod, TwoToElevenMinutesAreHonouredEverythingElseIsOneMinute) {
    const struct { int TempoSincro, Minutes; } cases[] = {
        {2, 2}, {4, 4}, {10, 10}, {11, 11}, {1, 1}, {12, 1}, {0, 1}, {-3, 1}, {1000, 1},
    };
    for (auto c : cases) EXPECT_EQ(TfrmPrincipal::SyncPeriod(c.TempoSincro, 60000), c.Minutes * 60000) << c.TempoSincro;
    EXPECT_EQ(TfrmPrincipal::SyncPeriod(3, 10), 30) << "the minute's length is the tests' to choose";
}

} // namespace
} // namespace vantrelo
