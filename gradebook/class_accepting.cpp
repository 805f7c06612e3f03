// The Questions table's accepting commands: a teacher accepts a wrong answer, any letter case
// or answers without marks for a question, or stops accepting them, and every figure follows.
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

#include "gradebook/class_results_window.h"
#include "gradebook/class_tables.h"
#include "gradebook/csv_export.h"
#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/system.h"

namespace gradebook {

namespace {

// The commands by [stop][kind]: their captions, and their menu texts with access keys.
const char* const kCaptions[2][3] = {
    {"Accept This Answer", "Accept Any Letter Case", "Accept Without Marks"},
    {"Stop Accepting This Answer", "Stop Accepting Any Letter Case",
     "Stop Accepting Without Marks"}};
const char* const kMenuTexts[2][3] = {
    {"Accept This &Answer", "Accept Any &Letter Case", "Accept Without &Marks"},
    {"&Stop Accepting This Answer", "Stop Accepting Any Letter &Case",
     "Stop Accepting &Without Marks"}};

// An answer as a menu item, with how many gave it: "&" is doubled so it is no access key.
QString MenuText(const core::TLetters& answer, int32_t count = 0) {
  QString text = QString::fromStdString(AnswerToUtf8(answer)).replace("&", "&&");
  return count > 0 ? text + QString(" (%1)").arg(count) : text;
}

void Warn(QWidget* owner, const std::string& text) {
  platform::MessageBox(owner, text, "Warning", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

}  // namespace

std::string TClassResultsWindow::AcceptingRefusal() const {
  std::string why = gradebook_.Store()->AcceptingRefusal();
  // A head of department reads another teacher's class as that teacher regraded it.
  if (why.empty() && !data_.collectors.empty())
    why = "Only the teacher who collected a test may accept answers for it.";
  return why;
}

void TClassResultsWindow::FillAcceptingMenu(QMenu& menu) {
  // Submenus of an earlier filling go with it.
  for (QMenu* old : menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) delete old;
  menu.clear();
  const QModelIndex current = questionsView_->currentIndex();
  const std::string refusal = AcceptingRefusal();
  if (!refusal.empty() || !current.isValid() || figures_.empty()) {
    menu.addAction(refusal.empty() ? QString("Choose a question in the table first.")
                                   : platform::FromCp1252(refusal))
        ->setEnabled(false);
    return;
  }
  const TQuestionFigures& question = figures_[static_cast<std::size_t>(current.row())];
  const int32_t number = question.number;
  const TAcceptedAnswers& accepted = data_.accepted[static_cast<std::size_t>(number - 1)];
  const auto add = [&](QMenu& to, const QString& text, TAcceptKind kind, core::TLetters answer,
                       bool accept, bool enabled) {
    QAction* action = to.addAction(text);
    action->setEnabled(enabled);
    const TAcceptance change{number, kind, std::move(answer)};
    connect(action, &QAction::triggered, this,
            [this, change, accept] { CmChangeAcceptance(change, accept); });
  };
  // This answer is the wrong answer in the current cell, or one of the row's to choose.
  const std::optional<std::size_t> shown = TQuestionsModel::WrongAnswerShown(current.column());
  if (shown && *shown < question.wrongAnswers.size()) {
    add(menu, kMenuTexts[0][0], TAcceptKind::ThisAnswer, question.wrongAnswers[*shown].answer,
        true, true);
  } else {
    QMenu* answers = menu.addMenu(kMenuTexts[0][0]);
    for (const TWrongAnswer& wrong : question.wrongAnswers)
      add(*answers, MenuText(wrong.answer, wrong.count), TAcceptKind::ThisAnswer, wrong.answer,
          true, true);
    answers->setEnabled(!question.wrongAnswers.empty());
  }
  add(menu, kMenuTexts[0][1], TAcceptKind::AnyLetterCase, {}, true, !accepted.anyLetterCase);
  add(menu, kMenuTexts[0][2], TAcceptKind::WithoutMarks, {}, true, !accepted.withoutMarks);
  menu.addSeparator();
  QMenu* stop = menu.addMenu(kMenuTexts[1][0]);
  for (const core::TLetters& answer : accepted.answers)
    add(*stop, MenuText(answer), TAcceptKind::ThisAnswer, answer, false, true);
  stop->setEnabled(!accepted.answers.empty());
  add(menu, kMenuTexts[1][1], TAcceptKind::AnyLetterCase, {}, false, accepted.anyLetterCase);
  add(menu, kMenuTexts[1][2], TAcceptKind::WithoutMarks, {}, false, accepted.withoutMarks);
}

void TClassResultsWindow::ShowAcceptingMenu(QPoint at) {
  // A sentence too long for a menu item: the reason is told in a box of its own.
  if (const std::string refusal = AcceptingRefusal(); !refusal.empty()) return Warn(this, refusal);
  QMenu menu(this);
  FillAcceptingMenu(menu);
  menu.exec(at);
}

void TClassResultsWindow::CmChangeAcceptance(const TAcceptance& change, bool accept) {
  if (const std::string refusal = AcceptingRefusal(); !refusal.empty())
    return Warn(this, refusal);
  if (change.number < 1 || change.number > data_.questionCount) return;
  const std::size_t q = static_cast<std::size_t>(change.number - 1);
  if (const std::string problem =
          AcceptanceProblem(change, accept, data_.expectedAnswers[q], data_.accepted[q]);
      !problem.empty())
    return Warn(this, problem);
  const TRegradeChange effect =
      Preview(data_, change.number, Changed(data_.accepted[q], change, accept));
  if (platform::MessageBox(this, ConfirmationText(change, accept, effect),
                           kCaptions[accept ? 0 : 1][static_cast<int>(change.kind)],
                           platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
    return;
  bool done = false;
  std::string error;
  const bool finished = gradebook_.Use(this, "Storing the accepted answer...",
                                       [&](TStore& store, TJob&) {
    done = accept ? store.Accept(testId_, change) : store.StopAccepting(testId_, change);
    error = store.LastError();
  });
  if (!done) Warn(this, finished ? error : kCancelled);
  // Another Quizloom may have changed them as well: the gradebook's are shown.
  ShowRegraded();
}

void TClassResultsWindow::ShowRegraded() {
  std::optional<std::vector<TAcceptance>> read;
  std::string error;
  const bool finished = gradebook_.Use(this, "Reading the gradebook...", [&](TStore& store, TJob&) {
    read = store.Acceptances(testId_);
    error = store.LastError();
  });
  if (!read) return Warn(this, finished ? error : kCancelled);
  class_.acceptances = std::move(*read);
  const QModelIndex current = questionsView_->currentIndex();
  Regrade(class_.data, class_.acceptances);
  ShowClass();
  if (current.isValid())
    questionsView_->setCurrentIndex(questionsView_->model()->index(current.row(), current.column()));
}

}  // namespace gradebook
