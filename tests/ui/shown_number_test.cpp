// Numbers a window shows and numbers it copies, over values of every size: what is shown has
// at most 4 significant digits and lies within half a unit of the fourth of them; what is
// copied reads back to the very same double.
#include <QRegularExpression>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

#include "number_text.h"

namespace {

// The significant digits of a general-format text ("0,0001159" has 4, "2,089E-7" has 4).
int SignificantDigits(const QString& text) {
    QString mantissa = text.section(QRegularExpression(QStringLiteral("[eE]")), 0, 0);
    mantissa.remove(u'-').remove(u',').remove(u'.');
    while (mantissa.startsWith(u'0')) mantissa.remove(0, 1);
    while (mantissa.endsWith(u'0')) mantissa.chop(1);
    return static_cast<int>(mantissa.size());
}

double Read(const QString& text) {
    const bool negative = text.startsWith(u'-');
    return NumberFromText(negative ? text.mid(1) : text) * (negative ? -1 : 1);
}

TEST(ShownNumbers, AtMostFourDigitsAndExactCopiesOverEveryMagnitude) {
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> mantissa(1, 10);
    std::uniform_int_distribution<int> exponent(-12, 12);
    for (int i = 0; i < 20000; ++i) {
        const double value = (i % 2 == 0 ? 1 : -1) * mantissa(random) * std::pow(10.0, exponent(random));
        const QString shown = FormatShown(value);
        ASSERT_LE(SignificantDigits(shown), 4) << shown.toStdString();
        ASSERT_LE(std::fabs(Read(shown) - value), 5.0001e-4 * std::fabs(value)) << shown.toStdString();
        ASSERT_EQ(Read(FormatExact(value)), value) << FormatExact(value).toStdString();
    }
}

TEST(ShownNumbers, ZeroAndTheNonFiniteAreWrittenAsEver) {
    EXPECT_EQ(FormatShown(0), QString("0"));
    EXPECT_EQ(FormatShown(-0.0), FormatGeneral(-0.0));
    EXPECT_EQ(FormatShown(INFINITY), FormatGeneral(INFINITY));
    EXPECT_EQ(FormatShown(NAN), FormatGeneral(NAN));
}

}  // namespace
