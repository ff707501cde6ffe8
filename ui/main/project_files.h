#pragma once
// The main window's building on disk: a file replaced only whole, and whether a place can be
// written to at all. Knows nothing of the window.
#include <QString>
#include <optional>
#include <string>

// Writes the text to a temporary file beside `path` and renames it over `path` only when all of
// it was written, keeping the old file's permissions (zf::project::AtomicFile, as the runner writes
// its outputs): a failure leaves the old file as it was and returns the writer's own words for
// it (WriteFailureMessage: the path, what failed and the system's reason); none on success.
std::optional<std::string> WriteWhole(const QString& path, const std::string& text);

// Why the building cannot be saved at `path`, judged from the mode bits rather than from the
// right to write, so that a file or folder marked read-only is respected by every user: "" when
// it can.
QString ReadOnlyReason(const QString& path);
