#include "settings/random.h"

#include <gtest/gtest.h>

using namespace nimbrel;

TEST(Random, LinearCongruentialStepAndScaling) {
    set_random_seed(0);
    EXPECT_EQ(random(100), 0u); // seed 1: (1 * 100) >> 32
    EXPECT_EQ(random_seed(), 1u);
    set_random_seed(0xFFFFFFFFu);
    const std::uint32_t next = 0xFFFFFFFFu * 134775813u + 1u; // mod 2^32
    EXPECT_EQ(random(1000), static_cast<std::uint32_t>((std::uint64_t{next} * 1000) >> 32));
    EXPECT_EQ(random(0), 0u);
}

TEST(Random, RangesAndMeansHold) {
    set_random_seed(12345);
    int plus = 0;
    double sum = 0;
    for (int i = 0; i < 20000; ++i) {
        EXPECT_LT(random(7), 7u);
        const double r = random_real();
        EXPECT_TRUE(r >= 0.0 && r < 1.0) << r;
        plus += random_sign() > 0;
        sum += gaussian(5.0, 2.0);
    }
    EXPECT_NEAR(plus, 10000, 1000);
    EXPECT_NEAR(sum / 20000, 5.0, 0.1);
}
