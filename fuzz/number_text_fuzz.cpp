// Fuzz target: number entry and display. Every input is typed into an entry field under a
// decimal-comma locale (Russian) and a decimal-point locale (English), as UTF-8 text and, when
// its length allows, as raw UTF-16; its first eight bytes are also shown as a double.
//
// Properties, each checked against an oracle independent of the code under test:
// - normalising is idempotent and leaves only ASCII digits and the locale's separator, or "0";
// - a text of digits, commas and points keeps its length, both separators becoming the locale's;
// - the conversion equals the correctly rounded value of the digits (std::from_chars); it
//   throws ConversionError, with the normalised text in its message, only for two or more
//   separators or a value beyond the range of a double; a value below the smallest one is 0;
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

// What converting a normalised text must give: a value, or a refusal.
struct Expected {
    bool refused = false;
    double value = 0;
};

Expected ExpectedValue(const QString& normalised, QChar separator) {
    if (normalised.count(separator) >= 2) return {true, 0};
    std::string ascii;
    bool wholeHasValue = false;  // a nonzero digit before the separator
    bool beforeSeparator = true;
    for (const QChar ch : normalised) {
        if (ch == separator) {
            ascii += '.';
            beforeSeparator = false;
        } else {
            ascii += static_cast<char>(ch.unicode());
            if (beforeSeparator && ch != u'0') wholeHasValue = true;
        }
    }
    if (ascii.empty() || ascii == ".") return {false, 0};
    if (ascii.front() == '.') ascii.insert(ascii.begin(), '0');
    double value = -1;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Beyond the largest double is refused; below the smallest one rounds to zero.
        return wholeHasValue ? Expected{true, 0} : Expected{false, 0};
    }
    if (error != std::errc() || end != ascii.data() + ascii.size()) return {true, 0};
    return {false, value};
}

void CheckNormalising(const QString& typed, const QString& normalised, QChar separator) {
    Check(NormalizeNumberText(normalised) == normalised, "normalising is not idempotent", typed);
    bool plain = !typed.isEmpty();  // only digits, commas and points were typed
    for (const QChar ch : typed)
        if (!(ch.unicode() >= u'0' && ch.unicode() <= u'9') && ch != u',' && ch != u'.') plain = false;
    if (!plain) {
        Check(normalised == QStringLiteral("0"), "a text with another character is not normalised to \"0\"", typed);
        return;
    }
    Check(normalised.size() == typed.size(), "a plain number text changed its length", typed);
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const QChar want = (typed[i] == u',' || typed[i] == u'.') ? separator : typed[i];
        Check(normalised[i] == want, "a digit or separator was not kept in place", typed);
    }
}

// The converted value, or nothing when the text was refused.
std::optional<double> CheckConversion(const QString& typed, const QString& normalised, QChar separator) {
    const Expected expected = ExpectedValue(normalised, separator);
    try {
        const double value = NumberFromText(typed);
        Check(!expected.refused, "a text with two separators or beyond a double was converted", typed);
        Check(std::isfinite(value) && !std::signbit(value), "a conversion gave a negative or infinite value", typed);
        Check(value == expected.value, "a conversion is not the correctly rounded value", typed);
        return value;
    } catch (const ConversionError& error) {
        Check(expected.refused, "a text with at most one separator and a double's value was refused", typed);
        Check(error.Message() == QStringLiteral("'%1' is not a valid floating point value.").arg(normalised),
              "the refusal does not quote the normalised text", typed);
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
    // An entry field takes a plain non-negative number; a sign or an exponent makes it 0.
    const double entered = NumberFromText(text);
    Check(entered == (scientific || value < 0 ? 0 : rounded), "the shown value does not read back", shown);
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
