// A count agrees with its noun: the last two digits choose the form.

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

#include "count_text.h"

using namespace zfreport;

namespace {

struct Agreement {
    long long n;
    const char* rooms;  // CountText(n, kRoomsWord)
};
void PrintTo(const Agreement& c, std::ostream* os) { *os << c.n; }

}  // namespace

class CountAgreement : public testing::TestWithParam<Agreement> {};

TEST_P(CountAgreement, NounTakesTheFormOfTheLastTwoDigits) {
    EXPECT_EQ(CountText(GetParam().n, kRoomsWord), GetParam().rooms);
}

INSTANTIATE_TEST_SUITE_P(
    Rooms, CountAgreement,
    testing::Values(Agreement{0, "0 помещений"}, Agreement{1, "1 помещение"}, Agreement{2, "2 помещения"},
                    Agreement{4, "4 помещения"}, Agreement{5, "5 помещений"}, Agreement{10, "10 помещений"},
                    Agreement{11, "11 помещений"}, Agreement{12, "12 помещений"}, Agreement{14, "14 помещений"},
                    Agreement{15, "15 помещений"}, Agreement{21, "21 помещение"}, Agreement{22, "22 помещения"},
                    Agreement{25, "25 помещений"}, Agreement{101, "101 помещение"}, Agreement{111, "111 помещений"},
                    Agreement{112, "112 помещений"}, Agreement{1001, "1001 помещение"}, Agreement{-1, "-1 помещение"},
                    Agreement{-12, "-12 помещений"}));

// Each noun carries its own three forms: a word whose "few" and "many" forms were swapped, or
// whose "one" form was copied from another word, shows here.
struct Word {
    const NounForms* noun;
    long long n;
    const char* text;
};
void PrintTo(const Word& c, std::ostream* os) { *os << c.text; }
class CountWords : public testing::TestWithParam<Word> {};

TEST_P(CountWords, EveryWordHasItsOwnForms) { EXPECT_EQ(CountText(GetParam().n, *GetParam().noun), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Words, CountWords,
    testing::Values(Word{&kOpeningsWord, 3, "3 проема"}, Word{&kRunsWord, 21, "21 расчет"}, Word{&kRunsWord, 13, "13 расчетов"},
                    Word{&kRoutesWord, 2, "2 пути"}, Word{&kRoutesWord, 5, "5 путей"}, Word{&kSegmentsWord, 1, "1 участок"},
                    Word{&kPeopleWord, 3, "3 человека"}, Word{&kPeopleWord, 25, "25 человек"}, Word{&kStepsWord, 19999, "19999 шагов"},
                    Word{&kStepsWord, 2, "2 шага"}, Word{&kLayersWord, 3, "3 слоя"}, Word{&kCellsWord, 7, "7 ячеек"},
                    Word{&kVaryingInputsWord, 1, "1 изменяемый параметр"}, Word{&kRunsGenitive, 21, "21 расчета"},
                    Word{&kRunsGenitive, 2, "2 расчетов"},
                    Word{&kCompletedRunsGenitive, 21, "21 завершенного расчета"}));

TEST(CountAgreement, TheSmallestCountDoesNotOverflow) {
    EXPECT_EQ(CountNoun(LLONG_MIN, kRoomsWord), "помещений");  // …808: last digit 8
}
