#include <algorithm>
#include <cstring>

#include "editor/formatted_text.h"
#include "editor/input_dialog.h"

namespace editor {

namespace {
constexpr const char* kQuestionTooLong = "You cannot have a question greater than 495 characters.";
constexpr const char* kTooManyLines = "You cannot have more than 6 lines.";
constexpr const char* kAnswerTooLong = "You cannot have an answer greater than 49 characters.";
}  // namespace

void TInputDialog::EvChar(unsigned code) {
  markNotice_ = nullptr;
  if (questionMode == 1) TakeUndoSnapshot();
  if (code == 27 && IsQuizloom()) {
    host_.EditorCancel();
    return;
  }
  if (questionMode == 1)
    TypeInQuestion(code);
  else
    TypeInAnswer(code);
}

void TInputDialog::TypeInQuestion(unsigned code) {
  const int length = static_cast<int>(strnlen(questionText, kQuestionSize - 1));
  if (code == 9) {
    if (length >= 490) return;
    static const char kSpaces[5] = {' ', ' ', ' ', ' ', ' '};
    static const int32_t kNormalMarks[5] = {};
    if (InsertIntoQuestion(kSpaces, kNormalMarks, 5, kQuestionTooLong)) Invalidate(false);
    return;
  }
  if (code == 8) {
    // Backspace never joins lines: at a line's start nothing is removed.
    if (caretX != 4 && questionCaret > 0) {
      char text[kQuestionSize];
      int32_t marks[kQuestionSize];
      std::memcpy(text, questionText, sizeof text);
      std::memcpy(marks, questionMarks, sizeof marks);
      int32_t caret = questionCaret - 1;
      for (int k = caret; k < kQuestionSize - 1; ++k) {
        text[k] = text[k + 1];
        marks[k] = marks[k + 1];
      }
      if (!StoreWrappedQuestion(text, marks, caret)) return;
    }
    Invalidate(false);
    return;
  }
  // Enter comes here too: in the question it is a hard break like any other character.
  if (length >= kQuestionLimit) {
    Warn(kQuestionTooLong);
    return;
  }
  const char character = static_cast<char>(code);
  const int32_t normal = 0;
  if (InsertIntoQuestion(&character, &normal, 1, kQuestionTooLong)) Invalidate(false);
}

bool TInputDialog::InsertIntoQuestion(const char* characters, const int32_t* marks, int count,
                                      const char* tooLongMessage) {
  const int length = static_cast<int>(strnlen(questionText, kQuestionSize - 1));
  if (length + count > kQuestionSize - 1) {
    Warn(tooLongMessage);
    return false;
  }
  char text[kQuestionSize];
  int32_t textMarks[kQuestionSize];
  std::memcpy(text, questionText, sizeof text);
  std::memcpy(textMarks, questionMarks, sizeof textMarks);
  const int caret = std::min<int>(std::max<int>(questionCaret, 0), length);
  std::memmove(text + caret + count, text + caret, length - caret + 1);
  std::memmove(textMarks + caret + count, textMarks + caret,
               sizeof(int32_t) * (kQuestionSize - caret - count));
  std::memcpy(text + caret, characters, count);
  std::memcpy(textMarks + caret, marks, sizeof(int32_t) * count);
  int32_t newCaret = caret + count;
  // The soft breaks the wrap adds can lengthen the text past the buffer: such a change is
  // refused like any other over-long one.
  if (!WrapQuestion(text, textMarks, newCaret)) {
    Warn(tooLongMessage);
    return false;
  }
  if (CountLines(text) > kMaxLines) {
    Warn(kTooManyLines);
    return false;
  }
  std::memcpy(questionText, text, sizeof text);
  std::memcpy(questionMarks, textMarks, sizeof textMarks);
  questionCaret = newCaret;
  PlaceQuestionCaret();
  return true;
}

void TInputDialog::TypeInAnswer(unsigned code) {
  if (code == 9) return;
  if (code == 8) {
    if (caretX != 4 && answerCaret > 0) {
      caretX -= charWidth;
      --answerCaret;
      for (int k = answerCaret; k <= kAnswerSize - 2; ++k) {
        answerText[k] = answerText[k + 1];
        answerMarks[k] = answerMarks[k + 1];
      }
    }
    Invalidate(!IsQuizloom());
    return;
  }
  if (code == 13) {
    host_.EditorOk();
    return;
  }
  // The whole answer is counted: a pasted break must not let it grow past its buffer.
  const int length = static_cast<int>(strnlen(answerText, kAnswerSize - 1));
  if (LineLength(answerCaret) > kAnswerLimit - 1 || length > kAnswerLimit - 1) {
    Warn(kAnswerTooLong);
    return;
  }
  for (int k = kAnswerSize - 2; k > answerCaret; --k) {
    answerText[k] = answerText[k - 1];
    answerMarks[k] = answerMarks[k - 1];
  }
  answerText[answerCaret] = static_cast<char>(code);
  answerMarks[answerCaret] = 0;
  ++answerCaret;
  caretX += charWidth;
  Invalidate(false);
}

}  // namespace editor
