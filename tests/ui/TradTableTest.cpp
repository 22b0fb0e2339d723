#include "ui/TradTable.h"

#include <gtest/gtest.h>

namespace {

TEST(TradTable, MapsSimplifiedCharactersToTheirUsualTraditionalForm)
{
    const struct {
        char16_t simplified, traditional;
    } cases[] = {
        {u'确', u'確'}, {u'装', u'裝'}, {u'关', u'關'}, {u'启', u'啟'}, {u'后', u'後'},
        {u'据', u'據'}, {u'网', u'網'}, {u'体', u'體'}, {u'发', u'發'}, {u'户', u'戶'},
        // one simplified form for several traditional ones: the common one
        {u'系', u'系'}, {u'只', u'只'}, {u'面', u'面'}, {u'台', u'台'}, {u'干', u'幹'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToTraditional(c.simplified), c.traditional) << static_cast<int>(c.simplified);
}

TEST(TradTable, LeavesEverythingElseAlone)
{
    for (char16_t c : {u'A', u'\r', u'\0', u'取', u'消', u'確', u'關', u'，', u'（', char16_t(0xFFFF)})
        EXPECT_EQ(ToTraditional(c), c) << static_cast<int>(c);
}

// Every entry is found (the table is sorted and without duplicates), and a
// converted text converts to itself again.
TEST(TradTable, EveryEntryIsFoundAndTheMappingIsIdempotent)
{
    std::size_t changed = 0;
    for (unsigned u = 0; u <= 0xFFFF; ++u) {
        const char16_t c = static_cast<char16_t>(u);
        const char16_t t = ToTraditional(c);
        if (t != c) ++changed;
        EXPECT_EQ(ToTraditional(t), t) << u;
    }
    EXPECT_EQ(changed, TradTableSize());
    EXPECT_GT(TradTableSize(), 2000u);
}

}  // namespace
