#include "gradebook/regrading.h"

#include <algorithm>

#include "gradebook/class_data.h"
#include "platform/code_page.h"

namespace gradebook {

namespace {

constexpr std::size_t kAnswersNamed = 4;

bool SameAnswer(const core::TLetters& given, const core::TLetters& candidate, bool anyLetterCase,
                bool withoutMarks) {
  if (given.size() != candidate.size()) return false;
  for (std::size_t i = 0; i < given.size(); ++i) {
    const bool letter = anyLetterCase ? platform::SameLetterButCase(given[i].ch, candidate[i].ch)
                                      : given[i].ch == candidate[i].ch;
    if (!letter || (!withoutMarks && given[i].mark != candidate[i].mark)) return false;
  }
  return true;
}

std::string Quoted(const core::TLetters& letters) { return "'" + AnswerForMessage(letters) + "'"; }

// "any letter case", "without marks", or both, or nothing.
std::string Ways(bool anyLetterCase, bool withoutMarks) {
  if (anyLetterCase && withoutMarks) return "any letter case, without marks";
  return anyLetterCase ? "any letter case" : withoutMarks ? "without marks" : "";
}

// What the change names in its question: "'Water'", "any letter case", "answers without marks".
std::string Subject(const TAcceptance& change) {
  switch (change.kind) {
    case TAcceptKind::ThisAnswer: return Quoted(change.answer);
    case TAcceptKind::AnyLetterCase: return "any letter case";
    case TAcceptKind::WithoutMarks: return "answers without marks";
  }
  return {};
}

}  // namespace

std::vector<TAcceptedAnswers> AcceptedByQuestion(const std::vector<TAcceptance>& acceptances,
                                                 int32_t questionCount) {
  std::vector<TAcceptedAnswers> accepted(static_cast<std::size_t>(std::max(questionCount, 0)));
  for (const TAcceptance& acceptance : acceptances)
    if (acceptance.number >= 1 && acceptance.number <= questionCount)
      accepted[static_cast<std::size_t>(acceptance.number - 1)] =
          Changed(std::move(accepted[static_cast<std::size_t>(acceptance.number - 1)]),
                  acceptance, true);
  return accepted;
}

bool IsAccepted(const core::TLetters& given, const core::TLetters& expected,
                const TAcceptedAnswers& accepted) {
  if (accepted.Empty()) return false;
  // The expected answer itself is judged again only in one of the looser ways.
  if ((accepted.anyLetterCase || accepted.withoutMarks) &&
      SameAnswer(given, expected, accepted.anyLetterCase, accepted.withoutMarks))
    return true;
  return std::any_of(accepted.answers.begin(), accepted.answers.end(),
                     [&](const core::TLetters& answer) {
                       return SameAnswer(given, answer, accepted.anyLetterCase,
                                         accepted.withoutMarks);
                     });
}

void Regrade(TClassData& data, const std::vector<TAcceptance>& acceptances) {
  data.accepted = AcceptedByQuestion(acceptances, data.questionCount);
  for (std::size_t a = 0; a < data.answers.size(); ++a) {
    TAttemptAnswers& answers = data.answers[a];
    answers.right = data.rightAsTaken[a];
    answers.correctCount = data.correctAsTaken[a];
    for (std::size_t q = 0; q < answers.right.size(); ++q) {
      if (answers.right[q] || !IsAccepted(answers.given[q], data.expectedAnswers[q],
                                          data.accepted[q]))
        continue;
      answers.right[q] = 1;
      ++answers.correctCount;
    }
  }
}

TAcceptedAnswers Changed(TAcceptedAnswers accepted, const TAcceptance& change, bool accept) {
  switch (change.kind) {
    case TAcceptKind::ThisAnswer: {
      const auto found =
          std::find(accepted.answers.begin(), accepted.answers.end(), change.answer);
      if (accept && found == accepted.answers.end()) accepted.answers.push_back(change.answer);
      if (!accept && found != accepted.answers.end()) accepted.answers.erase(found);
      break;
    }
    case TAcceptKind::AnyLetterCase: accepted.anyLetterCase = accept; break;
    case TAcceptKind::WithoutMarks: accepted.withoutMarks = accept; break;
  }
  return accepted;
}

std::string AcceptanceProblem(const TAcceptance& change, bool accept,
                              const core::TLetters& expected, const TAcceptedAnswers& accepted) {
  const std::string question = " for question " + std::to_string(change.number);
  if (change.kind == TAcceptKind::ThisAnswer) {
    if (change.answer.empty())
      return "An empty answer cannot be accepted: the student gave no answer" + question + ".";
    if (change.answer == expected)
      return Quoted(expected) + " is the expected answer of question " +
             std::to_string(change.number) + " itself: it is right already.";
  }
  const bool already = change.kind == TAcceptKind::ThisAnswer
                             ? std::find(accepted.answers.begin(), accepted.answers.end(),
                                         change.answer) != accepted.answers.end()
                         : change.kind == TAcceptKind::AnyLetterCase ? accepted.anyLetterCase
                                                                     : accepted.withoutMarks;
  std::string subject = Subject(change);
  if (subject[0] >= 'a' && subject[0] <= 'z') subject[0] = static_cast<char>(subject[0] - 0x20);
  const std::string is = change.kind == TAcceptKind::WithoutMarks ? " are" : " is";
  if (accept && already) return subject + is + " accepted already" + question + ".";
  if (!accept && !already) return subject + is + " not accepted" + question + ".";
  return {};
}

TRegradeChange Preview(const TClassData& data, int32_t number, const TAcceptedAnswers& after) {
  TRegradeChange effect;
  if (number < 1 || number > data.questionCount) return effect;
  const std::size_t q = static_cast<std::size_t>(number - 1);
  for (std::size_t a = 0; a < data.answers.size(); ++a) {
    const TAttemptAnswers& answers = data.answers[a];
    const bool right = data.rightAsTaken[a][q] ||
                       IsAccepted(answers.given[q], data.expectedAnswers[q], after);
    if (right == (answers.right[q] != 0)) continue;
    ++effect.attempts;
    auto same = std::find_if(effect.answers.begin(), effect.answers.end(),
                             [&](const TWrongAnswer& w) { return w.answer == answers.given[q]; });
    if (same == effect.answers.end())
      effect.answers.push_back({answers.given[q], 1});
    else
      ++same->count;
  }
  std::stable_sort(effect.answers.begin(), effect.answers.end(),
                   [](const TWrongAnswer& a, const TWrongAnswer& b) { return a.count > b.count; });
  return effect;
}

std::string ConfirmationText(const TAcceptance& change, bool accept, const TRegradeChange& effect) {
  std::string text = std::string(accept ? "Accept " : "Stop accepting ") + Subject(change) +
                     " for question " + std::to_string(change.number) + "? ";
  if (effect.attempts == 0) return text + "No attempt changes.";
  const bool one = effect.attempts == 1;
  const std::string count = std::to_string(effect.attempts) + (one ? " attempt" : " attempts");
  const std::string become = std::string(one ? " becomes" : " become") +
                             (accept ? " right" : " wrong again");
  if (effect.answers.size() == 1)
    return text + count + " of " + Quoted(effect.answers[0].answer) + become + ".";
  text += count + become + ": ";
  for (std::size_t i = 0; i < effect.answers.size() && i < kAnswersNamed; ++i)
    text += (i > 0 ? ", " : "") + Quoted(effect.answers[i].answer) + " (" +
            std::to_string(effect.answers[i].count) + ")";
  return text + (effect.answers.size() > kAnswersNamed ? ", ..." : "") + ".";
}

std::string AnswerForMessage(const core::TLetters& letters) {
  std::string text;
  for (const core::TLetter& letter : letters) {
    if (letter.mark == core::kSuperscript) text += '^';
    if (letter.mark == core::kSubscript) text += '_';
    text += static_cast<char>(letter.ch);
  }
  return text;
}

core::TLetters AcceptedLetters(const TAcceptedAnswers& accepted) {
  core::TLetters letters;
  const auto append = [&](std::string_view text) {
    for (char c : text) letters.emplace_back(static_cast<unsigned char>(c), core::kNormal);
  };
  for (std::size_t i = 0; i < accepted.answers.size(); ++i) {
    if (i > 0) append(", ");
    letters.insert(letters.end(), accepted.answers[i].begin(), accepted.answers[i].end());
  }
  const std::string ways = Ways(accepted.anyLetterCase, accepted.withoutMarks);
  if (ways.empty()) return letters;
  if (letters.empty()) append(ways);
  else append(" (" + ways + ")");
  return letters;
}

}  // namespace gradebook
