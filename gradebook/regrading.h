#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/records.h"
#include "gradebook/statistics.h"

namespace gradebook {

struct TClassData;

// Answers a teacher accepts after the test besides a question's expected answer. They live in
// the gradebook beside the test; the verdicts Quizdesk wrote never change, and the class is
// regraded from them each time it is read.
enum class TAcceptKind { ThisAnswer, AnyLetterCase, WithoutMarks };

// One acceptance: an answer's exact letters and marks, or a way of comparing for the whole
// question, whose answer is then empty.
struct TAcceptance {
  int32_t number = 0;
  TAcceptKind kind = TAcceptKind::ThisAnswer;
  core::TLetters answer;
  bool operator==(const TAcceptance&) const = default;
};

// A question's acceptances together. Any letter case and without marks apply to the expected
// answer and to each accepted answer alike.
struct TAcceptedAnswers {
  std::vector<core::TLetters> answers;  // in the order accepted
  bool anyLetterCase = false;
  bool withoutMarks = false;
  bool Empty() const { return answers.empty() && !anyLetterCase && !withoutMarks; }
};

// The acceptances by question, question n at index n - 1; numbers outside the test are left out.
std::vector<TAcceptedAnswers> AcceptedByQuestion(const std::vector<TAcceptance>& acceptances,
                                                 int32_t questionCount);

// Whether an answer judged wrong is right by the question's acceptances.
bool IsAccepted(const core::TLetters& given, const core::TLetters& expected,
                const TAcceptedAnswers& accepted);

// Regrades the class with these acceptances, from the verdicts as taken: its answers' right
// answers and counts, and its accepted answers by question.
void Regrade(TClassData& data, const std::vector<TAcceptance>& acceptances);

// The question's acceptances with change made (accept) or undone (stop).
TAcceptedAnswers Changed(TAcceptedAnswers accepted, const TAcceptance& change, bool accept);

// Why the change cannot be made, in a sentence for a message box, or empty: an empty answer
// or the expected answer itself is never accepted, and nothing is accepted twice or stopped
// without having been accepted.
std::string AcceptanceProblem(const TAcceptance& change, bool accept,
                              const core::TLetters& expected, const TAcceptedAnswers& accepted);

// What a change would do to the class: the attempts whose verdict on the question turns, and
// the answers they gave, most common first.
struct TRegradeChange {
  int32_t attempts = 0;
  std::vector<TWrongAnswer> answers;
};
TRegradeChange Preview(const TClassData& data, int32_t number, const TAcceptedAnswers& after);

// The confirmation a teacher answers before the change: "Accept 'Water' for question 1? 3
// attempts of 'Water' become right."
std::string ConfirmationText(const TAcceptance& change, bool accept, const TRegradeChange& effect);

// An answer in a message box, whose text cannot raise or lower a letter: "H_2O", "x^2".
std::string AnswerForMessage(const core::TLetters& letters);

// What a question accepts besides its answer, as the tables, export and printout show it:
// "Water, H2O (any letter case)" with the answers' marks; empty when nothing.
core::TLetters AcceptedLetters(const TAcceptedAnswers& accepted);

}  // namespace gradebook
