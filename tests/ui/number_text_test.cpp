// Number entry and display under a locale with a decimal comma (Russian) and one with a point.
#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>
#include <string>

#include "number_text.h"

namespace {

// Sets the default locale for one test and puts back the one the test binary fixed.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale) : saved_(QLocale()) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(saved_); }

private:
    QLocale saved_;
};

const QLocale kRussian(QLocale::Russian, QLocale::Russia);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

struct EntryCase {
    const char* typed;
    const char* normalisedRu;  // under the Russian locale; the English one has '.' for ','
    double value;
};

class NumberEntry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(NumberEntry, NormalisesAndConvertsAlikeUnderCommaAndPointLocales) {
    const EntryCase& c = GetParam();
    for (const QLocale& locale : {kRussian, kEnglish}) {
        const LocaleScope scope(locale);
        const QString expected = QString::fromUtf8(c.normalisedRu).replace(u',', locale.decimalPoint());
        EXPECT_EQ(NormalizeNumberText(QString::fromUtf8(c.typed)), expected) << locale.name().toStdString();
        EXPECT_EQ(NumberFromText(QString::fromUtf8(c.typed)), c.value) << locale.name().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, NumberEntry,
                         ::testing::Values(EntryCase{"0,0108", "0,0108", 0.0108}, EntryCase{"0.0108", "0,0108", 0.0108},
                                           EntryCase{"13800000", "13800000", 13800000.0},
                                           EntryCase{"", "0", 0}, EntryCase{"-5", "0", 0}, EntryCase{"+5", "0", 0},
                                           EntryCase{"1e3", "0", 0}, EntryCase{" 7", "0", 0},
                                           EntryCase{"7 ", "0", 0}, EntryCase{"12abc", "0", 0},
                                           EntryCase{"١٢", "0", 0},  // digits, but not 0-9
                                           EntryCase{",", ",", 0}, EntryCase{"5,", "5,", 5},
                                           EntryCase{",5", ",5", 0.5}, EntryCase{".5", ",5", 0.5}));

class BadEntry : public ::testing::TestWithParam<std::string> {};

TEST_P(BadEntry, FailsWithTheNormalisedTextInTheMessage) {
    for (const QLocale& locale : {kRussian, kEnglish}) {
        const LocaleScope scope(locale);
        const QString normalised = NormalizeNumberText(QString::fromStdString(GetParam()));
        try {
            NumberFromText(QString::fromStdString(GetParam()));
            ADD_FAILURE() << GetParam() << " converted under " << locale.name().toStdString();
        } catch (const ConversionError& error) {
            EXPECT_EQ(error.Message(), QStringLiteral("'%1' is not a valid floating point value.").arg(normalised));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, BadEntry, ::testing::Values("1,2,3", "1.2,3", ",,", "5..",
                                                       "1" + std::string(400, '0')));  // beyond a double

TEST(NumberEntry, TinyValuesRoundToTheNearestDoubleNotToAnError) {
    const std::string zeros(330, '0');
    for (const QLocale& locale : {kRussian, kEnglish}) {
        const LocaleScope scope(locale);
        // Below half the smallest double: the nearest double is zero.
        EXPECT_EQ(NumberFromText(QString::fromStdString("0," + zeros + "1")), 0) << locale.name().toStdString();
        EXPECT_EQ(NumberFromText(QString::fromStdString("." + zeros + "9")), 0) << locale.name().toStdString();
        // Subnormal values are kept.
        EXPECT_EQ(NumberFromText(QString::fromStdString("0," + zeros.substr(0, 322) + "5")), 5e-323)
            << locale.name().toStdString();
    }
}

TEST(StrToFloat, AcceptsOnlyTheLocaleSeparator) {
    const LocaleScope scope(kRussian);
    EXPECT_EQ(StrToFloat(QStringLiteral("2,5")), 2.5);
    EXPECT_THROW(StrToFloat(QStringLiteral("2.5")), ConversionError);
    EXPECT_THROW(StrToFloat(QStringLiteral("-2,5")), ConversionError);
}

struct FormatCase {
    double value;
    const char* textRu;  // the English locale writes '.' for ','
};

class GeneralFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(GeneralFormat, WritesFifteenSignificantDigitsWithTheLocaleSeparator) {
    for (const QLocale& locale : {kRussian, kEnglish}) {
        const LocaleScope scope(locale);
        const QString expected = QString::fromUtf8(GetParam().textRu).replace(u',', locale.decimalPoint());
        EXPECT_EQ(FormatGeneral(GetParam().value), expected) << locale.name().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, GeneralFormat,
    ::testing::Values(FormatCase{0, "0"}, FormatCase{-0.0, "0"}, FormatCase{4, "4"}, FormatCase{0.9, "0,9"},
                      FormatCase{2.5, "2,5"}, FormatCase{-3.75, "-3,75"}, FormatCase{13800000, "13800000"},
                      FormatCase{0.1 + 0.2, "0,3"}, FormatCase{1.0 / 3, "0,333333333333333"},
                      FormatCase{2.0 / 3, "0,666666666666667"}, FormatCase{0.0108, "0,0108"},
                      FormatCase{0.0001, "0,0001"}, FormatCase{0.00012345, "0,00012345"},
                      FormatCase{9.999999999999996e-5, "0,0001"},  // below 0.0001, but 15 digits round it up
                      FormatCase{1e-5, "1E-5"}, FormatCase{2.5e-6, "2,5E-6"}, FormatCase{-2.5e-6, "-2,5E-6"},
                      FormatCase{1.5e-300, "1,5E-300"}, FormatCase{123456789012345, "123456789012345"},
                      FormatCase{1e15, "1E15"}, FormatCase{1234567890123456, "1,23456789012346E15"},
                      FormatCase{1e20, "1E20"}, FormatCase{99999999999999.99, "100000000000000"}));

TEST(GeneralFormat, ReadsBackThroughTheEntryFields) {
    const LocaleScope scope(kRussian);
    for (double value : {0.0108, 2.0 / 3, 4.0, 123.456, 0.0001})
        EXPECT_NEAR(NumberFromText(FormatGeneral(value)), value, std::fabs(value) * 1e-14);
}

}  // namespace
