#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/open_test.h"
#include "gradebook/class_data.h"
#include "gradebook/gradebook_thread.h"
#include "gradebook/store.h"

class QWidget;

namespace gradebook {

// A test's attempts read from the gradebook and laid out for the figures, regraded with the
// answers the teacher accepted.
struct TLoadedClass {
  std::vector<TStore::TAttempt> attempts;
  std::vector<TAcceptance> acceptances;
  TClassData data;
  // False, the user told, when the gradebook could not be read.
  bool Load(TGradebookThread& gradebook, int64_t testId, QWidget* owner);
};

// Chooses the test whose results to show: the open test when the gradebook knows it, else
// one the teacher picks from the gradebook's list, whose rows tell versions of a test apart by
// the days of their first and last attempts and their first question's opening words. A head
// of department, whose list holds every teacher's tests with their collector, always picks.
// Nothing (the user told why) when there is none to show or the choice was cancelled. name is
// the test's name as the teacher opened it, or else as the results files gave it.
std::optional<int64_t> ChooseClassTest(QWidget* owner, TGradebookThread& gradebook,
                                       const core::TOpenTest* openTest, std::string& name);

// The first line's opening words, at most about limit letters, "..." marking a cut.
core::TLetters OpeningWords(const core::TLetters& text, std::size_t limit);

// The attempts in the order the students table opens with: by last name, then first name,
// letter case aside.
std::vector<std::size_t> ByName(const TClassData& data);

}  // namespace gradebook
