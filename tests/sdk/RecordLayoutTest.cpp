// sdk/ against the shipping layout: every line of host-abi-layout-win-x64.txt (sizes,
// alignments, offsets and constants, taken from machine-generated bindings of the shipping
// interface) as an expression over our declarations. The Windows runner checks the same
// facts under wine, where the layout is the one that ships.
#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "AE_EffectPixelFormat.h"
#include "AE_EffectSuites.h"
#include "AE_EffectUI.h"
#include "DrawbotSuite.h"
#include "SPBasic.h"

namespace {

struct LayoutFact {
    const char* fact;
    long long declared;  // what sdk/ gives
    long long shipping;  // what the table says
};

const LayoutFact kFacts[] = {
#include "LayoutFacts.inc"  // generated from the table by tests/CMakeLists.txt
};

TEST(RecordLayoutTest, EveryFactOfTheShippingTableHolds) {
    for (const LayoutFact& fact : kFacts) EXPECT_EQ(fact.declared, fact.shipping) << fact.fact;
}

// The table as it was compared: a truncated copy would pass the test above unnoticed.
TEST(RecordLayoutTest, TheTableHoldsAllItsFacts) { EXPECT_EQ(std::size(kFacts), 304u); }

}  // namespace
