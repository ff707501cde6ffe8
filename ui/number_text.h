#pragma once
// Number entry and display of the windows. Every number the user types is passed through
// NormalizeNumberText and then converted with the current locale's decimal separator;
// every number shown is written in the general format. QLocale() (the default locale)
// supplies the separator, so a program or a test fixes it with QLocale::setDefault.

#include <QString>
#include <stdexcept>

// A text that the locale-aware conversion cannot turn into a number.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString& text);
    const QString& Text() const { return text_; }        // the offending text
    const QString& Message() const { return message_; }  // "'<text>' is not a valid floating point value."

private:
    QString text_;
    QString message_;
};

// Turns a typed number into a text the conversion accepts: an empty text gives "0"; a comma
// or a full stop becomes the locale's decimal separator; ASCII digits are kept; any other
// character (a sign, a letter, a space ...) turns the whole entry into "0".
QString NormalizeNumberText(const QString& text);

// Locale-aware conversion of a normalised text: optional digits, at most one decimal
// separator, optional digits ("5," = 5, ",5" = 0.5, "," = 0), correctly rounded (a value below
// the smallest double gives 0). Throws ConversionError for anything else, such as two
// separators, and for a number too large for a double.
double StrToFloat(const QString& text);

// NormalizeNumberText followed by StrToFloat: the value of one entry field.
double NumberFromText(const QString& text);

// General number format: the shortest text with up to 15 significant digits and the locale's
// decimal separator; scientific form (1E-5, 2,5E-6, 1E20) for magnitudes below 0.0001 or with
// more than 15 digits before the separator; 0 gives "0".
QString FormatGeneral(double value);
