#pragma once
// The main window's building on disk: a file replaced only whole, and whether a place can be
// written to at all. Knows nothing of the window.
#include <QString>
#include <string>

// Writes the text to a temporary file beside `path` and renames it over `path` only when all of
// it was written: a failure leaves the old file as it was and gives the reason. Unbuffered, so
// a short write (a full disk, a size limit) is seen at once rather than lost in a later flush.
bool WriteWhole(const QString& path, const std::string& text, QString* reason);

// Why the building cannot be saved at `path`, judged from the mode bits rather than from the
// right to write, so that a file or folder marked read-only is respected by every user: "" when
// it can.
QString ReadOnlyReason(const QString& path);
