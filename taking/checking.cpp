#include <cstring>

#include "editor/input_dialog.h"
#include "core/answer_check.h"
#include "taking/blank_window.h"
#include "taking/test_window.h"

namespace quizdesk {

void TTestWindow::CmCheckAnswers() {
  // Only a finished pass can be reviewed; MENU_3 is the only menu with this command.
  if (testTaken != 1 || Answering() || information->responses.IsEmpty()) return;
  reviewing = 1;
  position = 1;
  information->correctCount = 0;
  shownCount = 0;
  ShowQuestion();
}

void TTestWindow::OkReview() {
  core::TResponse& response = *currentResponse;
  core::CopyField(response.given, sizeof response.given,
                  {editor->answerText, strnlen(editor->answerText, sizeof response.given - 1)});
  const bool correct = core::AnswerIsCorrect(response.given, editor->answerMarks,
                                             response.expected, expectedAnswerMarks);
  if (correct) ++information->correctCount;
  response.correct = correct ? 1 : 0;
  std::memcpy(response.givenMarks, editor->answerMarks, sizeof response.givenMarks);
  ++position;
  // The responses are one per question once a pass is complete; counting them keeps the
  // review inside the list whatever the test held.
  if (position <= information->responses.Count())
    ShowQuestion();
  else
    FinishPass();
}

}  // namespace quizdesk
