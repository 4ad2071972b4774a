#pragma once

// The system names its fonts by face and point size ("Tahoma", 8 and 10 point). Faces that
// are not installed here are mapped to an installed sans of similar width at the same size.

#include <QFont>
#include <string_view>

namespace ui {

// The installed family that stands in for a face the system names ("Tahoma" and its bold
// face map to DejaVu Sans Condensed when present, else DejaVu Sans).
QString SubstituteFamily(std::string_view face);

// A font by face and point size; a face ending in " Bold" gives the bold weight. Sizes keep
// their proportion to the dialog font (see UseDialogFont).
QFont MakeFont(std::string_view face, int pointSize, bool bold = false);

// The font dialogs are laid out with ("Tahoma" 8 point); the window size follows it.
QFont DialogFont();

// Makes `font` the application's font: every control is laid out for it and the window size
// follows it. Other sizes of MakeFont stay in proportion to it.
void UseDialogFont(const QFont& font);

// To be called before the application object is made. A larger desktop resolution makes the
// dialog font, and with it the window and every plot, larger in real pixels; Qt's own
// device-pixel scaling would instead draw the pictures at the smaller logical size and magnify
// them by a fractional ratio, which doubles every other row and column of their lines and
// texts. A scaling the user asks for explicitly (QT_ENABLE_HIGHDPI_SCALING) is kept.
void ScaleWithDialogFont();

// Registers the substitutions with Qt so that widgets given a system face by name get the
// same stand-in. Safe to call more than once.
void InstallFontSubstitutes();

// The family the pictures draw their captions with.
QString PictureFamily();

}  // namespace ui
