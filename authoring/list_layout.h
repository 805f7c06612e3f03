#pragma once
#include "core/records.h"

namespace quizloom {

// The height in pixels that drawing one question takes in the list, exactly as far as
// DrawQuestion moves the pen down: the text lines, the picture block (or the line saying the
// picture is missing, then the block) or an empty line, and the answer with the line after.
// The list uses it to step over questions that lie outside the view without drawing them.
int QuestionHeight(const core::TQuestion& question, int lineHeight, bool pictureLoads);
// The same from what it depends on: the carriage returns of the text and the picture.
int QuestionHeight(int lineBreaks, bool hasPicture, bool pictureLoads, int lineHeight);
int LineBreaks(const core::TQuestion& question);
// The cells of the question's widest line as the list draws it: a text line (the first after
// the number and ". "), or the answer after "Answer:  ".
int WidestLine(const core::TQuestion& question, int number);

}  // namespace quizloom
