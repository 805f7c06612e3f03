#pragma once
#include "core/records.h"
#include "platform/dc.h"

namespace platform {
class TScroller;
}

namespace editor {

// Draws one question of the list: its number, text, picture (or the missing-picture line)
// and answer, from (x, y). On return x is 5, y lies below the question and number has grown
// by one. Questions outside the visible part of the scroller are skipped, but y advances the
// same way. clientWidth is the width the picture is cut at.
void DrawQuestion(const platform::TScroller* scroller, const core::TQuestion& question,
                  platform::TDC& dc, int& x, int& y, int lineHeight, int charAdvance,
                  int& number, int clientWidth);

}  // namespace editor
