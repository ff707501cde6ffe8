#include "number_text.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

QString DecimalSeparator() { return QLocale().decimalPoint(); }

}  // namespace

ConversionError::ConversionError(const QString& text)
    : std::runtime_error(QStringLiteral("'%1' is not a valid floating point value.").arg(text).toStdString()),
      text_(text),
      message_(QStringLiteral("'%1' is not a valid floating point value.").arg(text)) {}

QString NormalizeNumberText(const QString& text) {
    if (text.isEmpty()) return QStringLiteral("0");
    const QString separator = DecimalSeparator();
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        if (ch == u',' || ch == u'.') {
            result += separator;
        } else if (ch >= u'0' && ch <= u'9') {
            result += ch;
        } else {
            // A sign, an exponent, a space: the entry is not a plain decimal number.
            return QStringLiteral("0");
        }
    }
    return result;
}

double StrToFloat(const QString& text) {
    const QString separator = DecimalSeparator();
    // Split at the separator into the digits before and after it; reject everything else.
    QString whole = text;
    QString fraction;
    const qsizetype at = text.indexOf(separator);
    if (at >= 0) {
        whole = text.left(at);
        fraction = text.mid(at + separator.size());
    }
    const auto allDigits = [](const QString& s) {
        for (const QChar ch : s)
            if (ch < u'0' || ch > u'9') return false;
        return true;
    };
    if (!allDigits(whole) || !allDigits(fraction)) throw ConversionError(text);
    if (whole.isEmpty() && fraction.isEmpty()) return 0;  // a lone separator

    // The digits are plain ASCII now; the C locale reads them exactly (correct rounding).
    const QString canonical = (whole.isEmpty() ? QStringLiteral("0") : whole) + u'.' +
                              (fraction.isEmpty() ? QStringLiteral("0") : fraction);
    bool ok = false;
    const double value = QLocale::c().toDouble(canonical, &ok);
    // Qt refuses a value below half the smallest double as an underflow; for an entry field
    // that is simply the nearest double, zero. Only digits before the separator can overflow.
    const bool belowOne = std::all_of(whole.cbegin(), whole.cend(), [](QChar ch) { return ch == u'0'; });
    if (!ok && belowOne) return 0;
    if (!ok || !std::isfinite(value)) throw ConversionError(text);
    return value;
}

double NumberFromText(const QString& text) { return StrToFloat(NormalizeNumberText(text)); }

QString FormatGeneral(double value) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0) return QStringLiteral("0");  // also -0

    // 15 significant digits, correctly rounded: d.dddddddddddddde±x
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    const QString printed = QString::fromLatin1(buffer);
    const qsizetype ePos = printed.indexOf(u'e');
    QString digits = printed.left(1) + printed.mid(2, ePos - 2);
    const int exponent = printed.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(u'0')) digits.chop(1);

    const QString separator = DecimalSeparator();
    QString text = value < 0 ? QStringLiteral("-") : QString();
    if (exponent < -4 || exponent >= 15) {
        // Scientific: the separator after the first digit, the shortest exponent, no plus.
        text += digits.left(1);
        if (digits.size() > 1) text += separator + digits.mid(1);
        text += u'E' + QString::number(exponent);
    } else if (exponent < 0) {
        text += u'0' + separator + QString(-exponent - 1, u'0') + digits;
    } else if (digits.size() <= exponent + 1) {
        text += digits + QString(exponent + 1 - digits.size(), u'0');
    } else {
        text += digits.left(exponent + 1) + separator + digits.mid(exponent + 1);
    }
    return text;
}
