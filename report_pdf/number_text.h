#pragma once
// Number entry and display of the windows. Every number the user types is read by
// NumberFromText, which never turns a typo into 0: spaces around the number are trimmed, a
// decimal comma or point and a power of ten are read, anything else is refused in Russian,
// naming the field. Every number shown is written in the general format. QLocale() (the default
// locale) supplies the separator shown, so a program or a test fixes it with QLocale::setDefault.

#include <QString>
#include <stdexcept>

// A typed text that is not a number the field takes.
class ConversionError : public std::runtime_error {
public:
    ConversionError(const QString& text, const QString& message);
    const QString& Text() const { return text_; }        // the offending text, as typed
    const QString& Message() const { return message_; }  // what is wrong and what the field takes

private:
    QString text_;
    QString message_;
};

// The typed text as the C locale reads it, or empty when it is no number: spaces around it
// trimmed; digits with at most one decimal comma or point ("0,0108", "5,", ",5"); optionally a
// power of ten written with a Latin or Cyrillic e ("1e3", "1,5е-3"). So " 0,0108" gives
// "0.0108" and "1,5е-3" gives "1.5e-3". A sign before the number, a letter, a second separator
// or an empty text give "".
QString NormalizeNumberText(const QString& text);

// The value of a number typed into the field captioned `field` ("Vлин, м/с"): the correctly
// rounded value of NormalizeNumberText's text. Throws ConversionError, whose message names the
// field and what it accepts, for an empty text, a negative number, anything that is no number,
// and a number beyond the range of a double (too large, or nonzero below the smallest one).
double NumberFromText(const QString& text, const QString& field = QString());

// General number format: the shortest text with up to 15 significant digits and the locale's
// decimal separator; scientific form (1E-5, 2,5E-6, 1E20) for magnitudes below 0.0001 or with
// more than 15 digits before the separator; 0 gives "0".
QString FormatGeneral(double value);

// What a window shows of a computed number it does not let the user edit: the general format
// of the value rounded to 4 significant digits ("167,2", "0,0001159", "2,089E-7"); 0 gives "0".
QString FormatShown(double value);
// What a copy or a file keeps: the shortest text that reads back to the same double, with the
// locale's decimal separator ("0,000115909582065", "2,08887244430757e-07").
QString FormatExact(double value);
