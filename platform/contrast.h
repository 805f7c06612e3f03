#pragma once
#include <QColor>
#include <QPalette>

namespace platform {

// What a reader with low vision needs to tell apart, as WCAG measures it.
inline constexpr double kSelectedTextContrast = 4.5;  // text in a selected row, on the row
inline constexpr double kFocusMarkContrast = 3.0;     // a focus mark, on what lies around it

// WCAG's contrast ratio of two opaque colours: 1 (the same) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

// The palette as it was, but for a selection too pale or too dark for its text: the
// highlight is darkened (or lightened, under dark text) until the text stands out enough.
QPalette ReadablePalette(QPalette palette);

// The colour of a focus mark drawn over background: the highlight where it stands out
// enough, else the highlighted text or the window text.
QColor FocusMarkColour(const QPalette& palette, const QColor& background);

// Gives the application the readable palette and a style that draws every focus rectangle
// solid in FocusMarkColour. Called once at start-up.
void InstallReadableColours();

}  // namespace platform
