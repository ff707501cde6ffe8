// Fuzz target: number entry and display. Every input is typed into an entry field under a
// decimal-comma locale (Russian) and a decimal-point locale (English), as UTF-8 text and, when
// its length allows, as raw UTF-16; its first eight bytes are also shown as a double.
//
// Properties, each checked against an oracle independent of the code under test:
// - a typed text is a number exactly when, spaces trimmed, it matches digits, at most one comma
//   or point, at least one digit in all, and optionally e/E/е/Е, a sign and digits (an oracle
//   written here by hand); its normal form then has "." and "e" in their places, and reading
//   the normal form again gives it back;
// - the conversion equals the correctly rounded value of that form (std::from_chars) or, for
//   no number or one beyond a double's range, throws ConversionError naming the field; it is
//   never negative nor infinite, and a refused text never reads as 0;
// - the general format writes the value rounded to 15 significant digits, shortest, with the
//   locale's separator, in scientific form exactly for magnitudes below 0.0001 or of 1E15 and
//   more; a plain text reads back through the entry field to that rounded value.

#include <QLocale>
#include <QString>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "number_text.h"

namespace {

[[noreturn]] void Fail(const char* property, const QString& text, const QLocale& locale) {
    std::fprintf(stderr, "number_text_fuzz: %s\n  text: \"%s\"\n  locale: %s\n", property,
                 text.toUtf8().constData(), locale.name().toUtf8().constData());
    std::abort();
}

void Check(bool holds, const char* property, const QString& text) {
    if (!holds) Fail(property, text, QLocale());
}

// The value rounded to 15 significant digits, as printf rounds it (correctly).
double Round15(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    return std::strtod(buffer, nullptr);
}

// Decimal exponent of the value once rounded to 15 significant digits.
int Exponent15(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    return std::atoi(std::strchr(buffer, 'e') + 1);
}

bool IsAsciiDigit(QChar ch) { return ch.unicode() >= u'0' && ch.unicode() <= u'9'; }

// The normal form a typed text must have, by hand: "" when it is no number.
QString ExpectedForm(const QString& typed) {
    const QString t = typed.trimmed();
    QString out;
    qsizetype i = 0;
    int digits = 0;
    for (; i < t.size() && IsAsciiDigit(t[i]); ++i, ++digits) out += t[i];
    if (i < t.size() && (t[i] == u',' || t[i] == u'.')) {
        out += u'.';
        for (++i; i < t.size() && IsAsciiDigit(t[i]); ++i, ++digits) out += t[i];
    }
    if (digits == 0) return {};
    if (i < t.size() && QStringLiteral("eEеЕ").contains(t[i])) {
        out += u'e';
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) out += t[i++];
        int power = 0;
        for (; i < t.size() && IsAsciiDigit(t[i]); ++i, ++power) out += t[i];
        if (power == 0) return {};
    }
    return i == t.size() ? out : QString();
}

void CheckNormalising(const QString& typed, const QString& normalised, QChar) {
    Check(normalised == ExpectedForm(typed), "the normal form is not the expected one", typed);
    if (!normalised.isEmpty())
        Check(NormalizeNumberText(normalised) == normalised, "normalising the normal form changes it", typed);
}

// The converted value, or nothing when the text was refused.
std::optional<double> CheckConversion(const QString& typed, const QString& normalised, QChar) {
    std::optional<double> expected;
    if (!normalised.isEmpty()) {
        const std::string ascii = normalised.toStdString();
        double value = -1;
        const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
        if (error == std::errc() && end == ascii.data() + ascii.size()) expected = value;
    }
    try {
        const double value = NumberFromText(typed, QStringLiteral("поле"));
        Check(expected.has_value(), "a text that is no number, or beyond a double, was converted", typed);
        Check(std::isfinite(value) && !std::signbit(value), "a conversion gave a negative or infinite value", typed);
        Check(value == *expected, "a conversion is not the correctly rounded value", typed);
        return value;
    } catch (const ConversionError& error) {
        Check(!expected.has_value(), "a number within a double's range was refused", typed);
        Check(error.Message().startsWith(QStringLiteral("Поле «поле»: ")), "the refusal does not name the field", typed);
    }
    return std::nullopt;
}

bool IsDigit(QChar ch) { return ch.unicode() >= u'0' && ch.unicode() <= u'9'; }

// "[-]d[,ddd]E[-]x": one nonzero digit before the separator, no trailing zero after it, an
// exponent without plus or leading zeros.
bool IsScientific(const QString& s, QChar separator) {
    qsizetype i = s.startsWith(u'-') ? 1 : 0;
    if (i >= s.size() || !IsDigit(s[i]) || s[i] == u'0') return false;
    ++i;
    if (i < s.size() && s[i] == separator) {
        const qsizetype first = ++i;
        while (i < s.size() && IsDigit(s[i])) ++i;
        if (i == first || s[i - 1] == u'0') return false;
    }
    if (i >= s.size() || s[i] != u'E') return false;
    if (++i < s.size() && s[i] == u'-') ++i;
    if (i >= s.size() || s[i] == u'0') return false;
    for (; i < s.size(); ++i)
        if (!IsDigit(s[i])) return false;
    return true;
}

// "[-]ddd[,ddd]": no leading zero but the one before the separator, no trailing zero after it.
bool IsPlain(const QString& s, QChar separator) {
    qsizetype i = s.startsWith(u'-') ? 1 : 0;
    const qsizetype first = i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    if (i == first || (s[first] == u'0' && i - first > 1)) return false;
    if (i == s.size()) return true;
    if (s[i] != separator) return false;
    const qsizetype fraction = ++i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    return i == s.size() && i > fraction && s[i - 1] != u'0';
}

int SignificantDigits(const QString& s) {
    int count = 0;
    bool leading = true;
    for (const QChar ch : s) {
        if (ch == u'E') break;
        if (!IsDigit(ch) || (leading && ch == u'0')) continue;
        leading = false;
        ++count;
    }
    return count;
}

// The value of a general-format text read as C would read it.
double ReadBack(const QString& s, QChar separator) {
    QString c = s;
    c.replace(separator, u'.').replace(u'E', u'e');
    return std::strtod(c.toLatin1().constData(), nullptr);
}

void CheckFormat(double value, QChar separator) {
    const QString text = FormatGeneral(value);
    const QString shown = QStringLiteral("%1 (value %2)").arg(text).arg(value, 0, 'g', 17);
    if (std::isnan(value)) return Check(text == QStringLiteral("NAN"), "NaN is not shown as NAN", shown);
    if (std::isinf(value))
        return Check(text == (value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF")), "infinity is misshown", shown);
    if (value == 0) return Check(text == QStringLiteral("0"), "zero is not shown as 0", shown);

    const double rounded = Round15(value);
    const int exponent = Exponent15(value);
    const bool scientific = exponent < -4 || exponent >= 15;
    Check(scientific ? IsScientific(text, separator) : IsPlain(text, separator),
          "the general format has the wrong shape", shown);
    Check(SignificantDigits(text) <= 15, "the general format has more than 15 significant digits", shown);
    Check(ReadBack(text, separator) == rounded, "the general format is not the value to 15 digits", shown);
    // An entry field takes what the general format shows of a non-negative number, E and all.
    // The largest doubles round up past the largest one at 15 digits: nothing to read back.
    if (value < 0 || !std::isfinite(rounded)) return;
    const double entered = NumberFromText(text);
    Check(entered == rounded, "the shown value does not read back", shown);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QLocale kLocales[] = {QLocale(QLocale::Russian, QLocale::Russia),
                                       QLocale(QLocale::English, QLocale::UnitedStates)};
    std::u16string utf16(size / 2, u'\0');  // copied: the input need not be aligned for char16_t
    if (!utf16.empty()) std::memcpy(utf16.data(), data, utf16.size() * 2);
    const QString typedTexts[] = {
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
        QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size())),
    };
    double shown = 0;
    if (size >= sizeof shown) std::memcpy(&shown, data, sizeof shown);

    for (const QLocale& locale : kLocales) {
        QLocale::setDefault(locale);
        const QString separatorText = locale.decimalPoint();
        if (separatorText.size() != 1) Fail("the locale's separator is not one character", separatorText, locale);
        const QChar separator = separatorText[0];
        for (const QString& typed : typedTexts) {
            const QString normalised = NormalizeNumberText(typed);
            CheckNormalising(typed, normalised, separator);
            if (const std::optional<double> converted = CheckConversion(typed, normalised, separator))
                CheckFormat(*converted, separator);
        }
        CheckFormat(shown, separator);
    }
    return 0;
}
