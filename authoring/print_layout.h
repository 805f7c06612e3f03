#pragma once
#include <vector>

#include "core/list.h"
#include "core/records.h"
#include "platform/geometry.h"

namespace quizloom {

// The page budget of a printed question sheet, in the units questions are costed in.
inline constexpr int kPageBudget = 50;

// What a question costs on the sheet: its L text lines and 16 for a picture or 3 without.
// The answer key prints one line more per question, its answer, and costs 1 more.
int QuestionCost(const core::TQuestion& question, bool answerKey);

// The lines a picture and the space under it may fill on the sheet: its cost of 16 less the
// blank line after the question's text. A third of a line of it stays free under the picture
// for the raised letters of the question after it.
inline constexpr int kPictureRoomLines = 15;

// The printed size of a picture whose size at the sheet's scale is scaled: that size, or,
// when it is taller or wider than room, the largest size of the same proportions that fits.
platform::TSize FitPicture(platform::TSize scaled, platform::TSize room);

// Splits the questions into pages, one range of question indices per page, in order. A page
// takes questions while their costs stay below the budget; the question that does not fit
// is costed again on a new page. A question that alone reaches the budget gets a page of its
// own (the paper cuts what does not fit), so the pagination always ends.
std::vector<core::TStart> Paginate(const core::TList<core::TQuestion>& questions, bool answerKey);

}  // namespace quizloom
