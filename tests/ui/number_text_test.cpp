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
    const char* normalised;  // as the C locale reads it
    double value;
};

class NumberEntry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(NumberEntry, ReadsTheSameUnderCommaAndPointLocales) {
    const EntryCase& c = GetParam();
    for (const QLocale& locale : {kRussian, kEnglish}) {
        const LocaleScope scope(locale);
        EXPECT_EQ(NormalizeNumberText(QString::fromUtf8(c.typed)), QString::fromUtf8(c.normalised)) << locale.name().toStdString();
        EXPECT_EQ(NumberFromText(QString::fromUtf8(c.typed), "Vлин, м/с"), c.value) << locale.name().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumberEntry,
    ::testing::Values(EntryCase{"0,0108", "0.0108", 0.0108}, EntryCase{"0.0108", "0.0108", 0.0108},
                      // spaces around the number, typed or pasted, are not part of it
                      EntryCase{" 0,0108", "0.0108", 0.0108}, EntryCase{"0,0108 ", "0.0108", 0.0108},
                      EntryCase{"\t7\u00A0", "7", 7}, EntryCase{"13800000", "13800000", 13800000.0},
                      EntryCase{"5,", "5.", 5}, EntryCase{",5", ".5", 0.5}, EntryCase{".5", ".5", 0.5},
                      // a power of ten, with a Latin or a Cyrillic e
                      EntryCase{"1e3", "1e3", 1000}, EntryCase{"1,5е-3", "1.5e-3", 0.0015},
                      EntryCase{"1,5Е-3", "1.5e-3", 0.0015}, EntryCase{"2.5E+2", "2.5e+2", 250},
                      EntryCase{"5e-323", "5e-323", 5e-323}, EntryCase{"0", "0", 0}));

struct BadCase {
    const char* typed;
    const char* says;  // the reason the message gives
};

class BadEntry : public ::testing::TestWithParam<BadCase> {};

// Nothing typed wrong becomes 0: the message names the field, the reason and what it takes.
TEST_P(BadEntry, IsRefusedNamingTheFieldAndWhatItTakes) {
    for (const QLocale& locale : {kRussian, kEnglish}) {
        const LocaleScope scope(locale);
        // A number beyond a double's range is a number still; only its value is refused.
        if (!std::string(GetParam().says).starts_with("вне"))
            EXPECT_EQ(NormalizeNumberText(QString::fromUtf8(GetParam().typed)), QString());
        try {
            NumberFromText(QString::fromUtf8(GetParam().typed), "Vлин, м/с");
            ADD_FAILURE() << GetParam().typed << " converted under " << locale.name().toStdString();
        } catch (const ConversionError& error) {
            const QString message = error.Message();
            EXPECT_TRUE(message.startsWith("Поле «Vлин, м/с»: ")) << message.toStdString();
            EXPECT_TRUE(message.contains(QString::fromUtf8(GetParam().says))) << message.toStdString();
            EXPECT_TRUE(message.contains("неотрицательное число")) << message.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, BadEntry,
                         ::testing::Values(BadCase{"", "не задано"}, BadCase{"   ", "не задано"},
                                           BadCase{"-5", "отрицательное значение «-5»"},
                                           BadCase{"abc", "«abc» — не число"}, BadCase{"1,2,3", "«1,2,3» — не число"},
                                           BadCase{"12abc", "не число"}, BadCase{"+5", "не число"},
                                           BadCase{"1e", "не число"}, BadCase{"e3", "не число"},
                                           BadCase{"1 000", "не число"}, BadCase{"١٢", "не число"},
                                           BadCase{",", "не число"}, BadCase{"5..", "не число"},
                                           BadCase{"1e999", "вне диапазона"}, BadCase{"1e-400", "вне диапазона"}));

TEST(BadEntry, TooLargeAWholeNumberIsRefused) {
    EXPECT_THROW(NumberFromText(QString::fromStdString("1" + std::string(400, '0'))), ConversionError);
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
