#include "number_text.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <string>

#include "number_format.h"

namespace {

bool IsDigit(QChar ch) { return ch >= u'0' && ch <= u'9'; }
// The letter of a power of ten: Latin e/E, or the Cyrillic е/Е a Russian keyboard gives.
bool IsExponentLetter(QChar ch) { return ch == u'e' || ch == u'E' || ch == u'е' || ch == u'Е'; }

// Appends the run of ASCII digits at `at` and returns how many there were.
int TakeDigits(const QString& text, qsizetype& at, QString& out) {
    int count = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at, ++count) out += text[at];
    return count;
}

// What the field takes, said in every refusal.
const QString kAccepted = QStringLiteral(
    "Введите неотрицательное число: цифры с десятичной запятой или точкой, например 0,0108; "
    "степень десяти — буквой e, например 1,5e-3.");

QString Refusal(const QString& field, const QString& what) {
    const QString where = field.isEmpty() ? QString() : QStringLiteral("Поле «%1»: ").arg(field);
    return where + what + QStringLiteral(". ") + kAccepted;
}

}  // namespace

ConversionError::ConversionError(const QString& text, const QString& message)
    : std::runtime_error(message.toStdString()), text_(text), message_(message) {}

QString NormalizeNumberText(const QString& typed) {
    const QString text = typed.trimmed();
    QString out;
    qsizetype at = 0;
    int mantissa = TakeDigits(text, at, out);
    if (at < text.size() && (text[at] == u',' || text[at] == u'.')) {
        out += u'.';
        ++at;
        mantissa += TakeDigits(text, at, out);
    }
    if (mantissa == 0) return {};
    if (at < text.size() && IsExponentLetter(text[at])) {
        out += u'e';
        if (++at < text.size() && (text[at] == u'+' || text[at] == u'-')) out += text[at++];
        if (TakeDigits(text, at, out) == 0) return {};
    }
    return at == text.size() ? out : QString();
}

double NumberFromText(const QString& text, const QString& field) {
    const QString normalised = NormalizeNumberText(text);
    const QString shown = text.trimmed();
    if (shown.isEmpty()) throw ConversionError(text, Refusal(field, QStringLiteral("значение не задано")));
    if (normalised.isEmpty()) {
        const bool negative = shown.startsWith(u'-') || shown.startsWith(QChar(0x2212));
        const QString why = negative && !NormalizeNumberText(shown.mid(1)).isEmpty()
                                ? QStringLiteral("отрицательное значение «%1» не имеет смысла").arg(shown)
                                : QStringLiteral("«%1» — не число").arg(shown);
        throw ConversionError(text, Refusal(field, why));
    }
    const std::string ascii = normalised.toStdString();
    double value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    // Beyond the largest double, or a nonzero value below the smallest one: no double holds it.
    if (error != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value))
        throw ConversionError(text, Refusal(field, QStringLiteral("число «%1» вне диапазона чисел с плавающей точкой "
                                                                  "(от 1E-307 до 1E308)")
                                                       .arg(shown)));
    return value;
}

QString FormatGeneral(double value) {
    // One formatter for the windows and the headless runner's summary.
    return QString::fromStdString(zfreport::GeneralNumberText(value, QLocale().decimalPoint().toStdString()));
}

QString FormatShown(double value) {
    if (!std::isfinite(value) || value == 0) return FormatGeneral(value);
    // Scientific with 3 decimals rounds to 4 significant digits, correctly and whatever the
    // C locale; read back, the general format writes it without the digits it no longer has.
    constexpr int kShownDigits = 4;
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, kShownDigits - 1);
    double rounded = value;
    std::from_chars(text, written.ptr, rounded);
    return FormatGeneral(rounded);
}

QString FormatExact(double value) {
    return QString::fromStdString(zf::NumberText(value)).replace(u'.', QLocale().decimalPoint());
}
