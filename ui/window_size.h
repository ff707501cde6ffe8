#pragma once
// Windows that hold tables and charts can be resized and maximised, and open again at the size
// the user left them (kept in the program's settings), never larger than the screen they open on.
#include <QSize>

class QWidget;

// A dialog gets the title bar's maximise and minimise buttons.
void AllowMaximise(QWidget* window);
// Gives the window the size the user left it at under `key`, or else `first`, either kept
// within the available area of its screen; a window left maximised opens maximised.
// Call before the first showing.
void RestoreWindowSize(QWidget* window, const char* key, QSize first);
// Keeps the window's size (the normal size while maximised) and whether it is maximised.
void SaveWindowSize(const QWidget* window, const char* key);
// The size kept under `key`, or an invalid size when none is.
QSize SavedWindowSize(const char* key);
// `wanted` cut down to the available area of the window's screen.
QSize WithinScreen(const QWidget* window, QSize wanted);
