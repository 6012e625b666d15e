// The kernel level a program starts at: a benchmark's chosen level is what
// every reset returns to and caps what a later force may raise it to.
#include "platform/cpu_features.h"

#include <gtest/gtest.h>

namespace {

using cpu::KernelLevel;

class StartLevel : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_TRUE(cpu::SetStartKernelLevel(cpu::BestKernelLevel()));
    cpu::ResetKernelLevel();
  }
};

TEST_F(StartLevel, ResetsReturnToTheChosenLevelAndForcesStayBelowIt) {
  ASSERT_TRUE(cpu::SetStartKernelLevel(KernelLevel::kPlain));
  EXPECT_EQ(cpu::ActiveKernelLevel(), KernelLevel::kPlain);
  cpu::ForceKernelLevel(cpu::BestKernelLevel());
  EXPECT_EQ(cpu::ActiveKernelLevel(), KernelLevel::kPlain);
  EXPECT_FALSE(cpu::KernelLevelAtLeast(KernelLevel::kSse2));
  cpu::ResetKernelLevel();
  EXPECT_EQ(cpu::StartKernelLevel(), KernelLevel::kPlain);
  EXPECT_EQ(cpu::ActiveKernelLevel(), KernelLevel::kPlain);
  if (cpu::BestKernelLevel() >= KernelLevel::kSse2) {
    ASSERT_TRUE(cpu::SetStartKernelLevel(KernelLevel::kSse2));
    cpu::ForceKernelLevel(KernelLevel::kPlain);
    EXPECT_EQ(cpu::ActiveKernelLevel(), KernelLevel::kPlain);
    cpu::ResetKernelLevel();
    EXPECT_EQ(cpu::ActiveKernelLevel(), KernelLevel::kSse2);
  }
}

TEST_F(StartLevel, ALevelAboveTheProcessorIsRefusedAndChangesNothing) {
  if (cpu::BestKernelLevel() == KernelLevel::kAvx512) GTEST_SKIP() << "every level runs here";
  const auto above = static_cast<KernelLevel>(static_cast<int32_t>(cpu::BestKernelLevel()) + 1);
  ASSERT_TRUE(cpu::SetStartKernelLevel(KernelLevel::kPlain));
  EXPECT_FALSE(cpu::SetStartKernelLevel(above));
  EXPECT_EQ(cpu::StartKernelLevel(), KernelLevel::kPlain);
  EXPECT_EQ(cpu::ActiveKernelLevel(), KernelLevel::kPlain);
}

TEST_F(StartLevel, NamesRoundTripAndOthersAreRefused) {
  for (const KernelLevel l : {KernelLevel::kPlain, KernelLevel::kSse2, KernelLevel::kAvx2, KernelLevel::kAvx512}) {
    KernelLevel back = KernelLevel::kPlain;
    ASSERT_TRUE(cpu::ParseKernelLevel(cpu::KernelLevelName(l), back));
    EXPECT_EQ(back, l);
  }
  KernelLevel l = KernelLevel::kSse2;
  for (const char* bad : {"", "SSE2", "avx", "avx2 ", "sse3"}) EXPECT_FALSE(cpu::ParseKernelLevel(bad, l)) << bad;
  EXPECT_EQ(l, KernelLevel::kSse2);
}

}  // namespace
