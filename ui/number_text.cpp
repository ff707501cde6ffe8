#include "number_text.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

#include "number_format.h"

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
    // One formatter for the windows and the headless runner's summary.
    return QString::fromStdString(zfreport::GeneralNumberText(value, DecimalSeparator().toStdString()));
}
