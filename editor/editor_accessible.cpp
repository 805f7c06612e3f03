#include <algorithm>
#include <cstring>

#include "editor/accessible_text.h"
#include "editor/input_dialog.h"
#include "platform/code_page.h"

namespace editor {

namespace {
constexpr int kAnswerTop = 370;
constexpr int kQuestionTop = 20;
constexpr int kPromptTop = 350;
}  // namespace

platform::TAccessibleView TInputDialog::AccessibleView() {
  using platform::TAccessibleNode;
  using platform::TAccessibleRole;
  platform::TAccessibleView view;
  const int headerLength = static_cast<int>(strnlen(headerText, sizeof headerText - 1));
  const std::u16string header =
      platform::Cp1252ToUtf16({headerText, static_cast<std::size_t>(headerLength)});
  // A teacher's prompt is long; it goes with the question, and the window keeps its title.
  view.name = IsQuizloom() ? std::u16string(u"Add/Change Question") : header;
  const bool focused = hasFocus() && isVisible();
  const int clientRight = GetClientRect().right;

  // Quizdesk's question is only read: it starts with the number shown above it.
  TAccessibleNode question;
  question.role = IsQuizloom() ? TAccessibleRole::EditableText : TAccessibleRole::Text;
  question.name = u"Question";
  question.identity = edition_;
  if (!IsQuizloom() && headerLength > 0) {
    AppendShownText(question, headerText, std::vector<int32_t>(headerLength).data(), headerLength,
                    {7, 5, charWidth, lineHeight});
    question.text.push_back(u'\n');
    question.marks.push_back(0);
    question.cells.push_back(
        {7 + headerLength * charWidth, 5, 7 + (headerLength + 1) * charWidth, 5 + lineHeight});
  }
  const int questionLength = static_cast<int>(strnlen(questionText, kQuestionSize - 1));
  const std::vector<int> questionOffsets =
      AppendShownText(question, questionText, questionMarks, questionLength,
                      {4, kQuestionTop, charWidth, lineHeight});
  question.bounds = {0, 0, clientRight, kQuestionTop + 7 * lineHeight};

  TAccessibleNode answer;
  answer.role = TAccessibleRole::EditableText;
  answer.name = u"Answer";
  answer.identity = edition_;
  const int answerLength = static_cast<int>(strnlen(answerText, kAnswerSize - 1));
  const std::vector<int> answerOffsets = AppendShownText(
      answer, answerText, answerMarks, answerLength, {4, kAnswerTop, charWidth, lineHeight});
  answer.bounds = {0, kPromptTop, clientRight, kAnswerTop + lineHeight};

  auto offsetOf = [](const std::vector<int>& offsets, int index) {
    const int last = static_cast<int>(offsets.size()) - 1;
    return offsets[static_cast<std::size_t>(std::clamp(index, 0, last))];
  };
  TAccessibleNode& active = questionMode == 1 ? question : answer;
  const std::vector<int>& activeOffsets = questionMode == 1 ? questionOffsets : answerOffsets;
  active.focused = focused;
  if (selStart <= selEnd) {
    active.selectionStart = offsetOf(activeOffsets, selStart);
    active.selectionEnd = offsetOf(activeOffsets, selEnd + 1);
  }
  if (question.role == TAccessibleRole::EditableText)
    question.caret = offsetOf(questionOffsets, questionCaret);
  answer.caret = offsetOf(answerOffsets, answerCaret);
  // A student's focus stays on the answer: it carries the question, so that the reader says
  // it whenever a question comes. A teacher's question carries the prompt above it, which
  // says which question it is.
  if (IsQuizloom())
    question.description = header;
  else
    answer.description = question.text;
  view.nodes.push_back(std::move(question));
  view.nodes.push_back(std::move(answer));

  if (pictureName[0] != '\0') {
    TAccessibleNode picture;
    picture.role = TAccessibleRole::Picture;
    // A test file holds no description; Quizdesk's name must not give the answer away.
    if (IsQuizloom())
      picture.name =
          platform::Cp1252ToUtf16({pictureName, strnlen(pictureName, kPictureNameSize - 1)});
    else
      picture.name = u"Picture";
    picture.bounds = {0, kQuestionTop + 6 * lineHeight, clientRight, kPromptTop};
    picture.identity = edition_;
    view.nodes.push_back(std::move(picture));
  }
  if (markNotice_) {
    TAccessibleNode notice;
    notice.role = TAccessibleRole::Notice;
    notice.name = notice.text = markNotice_;
    notice.marks.assign(notice.text.size(), 0);
    notice.identity = noticeCount_;
    view.nodes.push_back(std::move(notice));
  }
  return view;
}

}  // namespace editor
