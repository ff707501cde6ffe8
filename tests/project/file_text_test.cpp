// The UTF-8 routines every message and table counts characters with.

#include <gtest/gtest.h>

#include <string>

#include "project/file_text.h"

using zf::project::CharCount;
using zf::project::CutText;
using zf::project::Utf8SequenceLength;

namespace {

struct Sequence {
    const char* name;
    std::string bytes;    // a sequence followed by "x", which must never be counted into it
    std::size_t length;   // of the sequence at 0; 0: no well-formed one starts there
};
void PrintTo(const Sequence& c, std::ostream* os) { *os << c.name; }
class Utf8Sequence : public testing::TestWithParam<Sequence> {};

TEST_P(Utf8Sequence, LengthAtTheStart) {
    EXPECT_EQ(Utf8SequenceLength(GetParam().bytes, 0), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Sequence,
    testing::Values(Sequence{"ascii", "ax", 1}, Sequence{"nul", std::string(1, '\0') + "x", 1},
                    Sequence{"cyrillic", "Пx", 2}, Sequence{"number_sign", "№x", 3}, Sequence{"euro", "€x", 3},
                    Sequence{"fire_emoji", "\xF0\x9F\x94\xA5x", 4}, Sequence{"last_code_point", "\xF4\x8F\xBF\xBFx", 4},
                    Sequence{"stray_continuation", "\x80x", 0}, Sequence{"overlong_two", "\xC0\x80x", 0},
                    Sequence{"overlong_three", "\xE0\x80\x80x", 0}, Sequence{"overlong_four", "\xF0\x80\x80\x80x", 0},
                    Sequence{"surrogate", "\xED\xA0\x80x", 0}, Sequence{"beyond_10FFFF", "\xF4\x90\x80\x80x", 0},
                    Sequence{"lead_F5", "\xF5\x80\x80\x80x", 0}, Sequence{"third_byte_not_continuing", "\xE2\x82x", 0},
                    Sequence{"cut_by_the_end", "\xE2\x82", 0}),
    [](const testing::TestParamInfo<Sequence>& info) { return std::string(info.param.name); });

TEST(Utf8Sequence, ReadsFromThePositionGiven) {
    const std::string text = "a№\xFF";
    EXPECT_EQ(Utf8SequenceLength(text, 1), 3u);
    EXPECT_EQ(Utf8SequenceLength(text, 2), 0u);  // inside "№"
    EXPECT_EQ(Utf8SequenceLength(text, 4), 0u);  // a byte no UTF-8 text holds
}

TEST(CharCount, CountsCharactersNotBytes) {
    EXPECT_EQ(CharCount(""), 0u);
    EXPECT_EQ(CharCount("T0, К"), 5u);
    EXPECT_EQ(CharCount("Помещение №10"), 13u);
    EXPECT_EQ(CharCount("\xF0\x9F\x94\xA5 —"), 3u);
    // An ill-formed byte that begins nothing still takes a place, as a terminal shows "\xNN".
    EXPECT_EQ(CharCount("a\xFF" "b"), 3u);
}

TEST(CutText, KeepsWholeCharactersAndMarksTheCut) {
    EXPECT_EQ(CutText("Коридор", 7), "Коридор");
    EXPECT_EQ(CutText("Коридор", 3), "Кор…");
    EXPECT_EQ(CutText("№№№", 0), "…");
    EXPECT_EQ(CharCount(CutText(std::string(100, 'x'))), zf::project::kQuotedChars + 1);
}

}  // namespace
