#include "gradebook/class_choice.h"

#include <algorithm>
#include <cstdio>

#include <QFileInfo>

#include "core/mark_forms.h"
#include "platform/code_page.h"
#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/system.h"

namespace gradebook {

namespace {

void Warn(QWidget* owner, const std::string& text) {
  platform::MessageBox(owner, text, "Warning", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

std::string Day(int32_t day) {
  if (day <= 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", day / 10000, day / 100 % 100, day % 100);
  return text;
}

constexpr std::size_t kOpeningLetters = 40;
constexpr char kReading[] = "Reading the gradebook...";

}  // namespace

bool TLoadedClass::Load(TGradebookThread& gradebook, int64_t testId, QWidget* owner) {
  auto read = TRead<std::vector<TStore::TAttempt>>::Failed(kCancelled);
  std::optional<std::vector<TAcceptance>> accepted;
  std::string error;
  const bool finished = gradebook.Use(owner, kReading, [&](TStore& store, TJob&) {
    read = store.Attempts(testId);
    if (read) accepted = store.Acceptances(testId), error = store.LastError();
  });
  if (!finished || !read || !accepted) {
    Warn(owner, !finished ? kCancelled : !read ? read.Error() : error);
    return false;
  }
  const TStore& store = *gradebook.Store();
  attempts = std::move(*read);
  acceptances = std::move(*accepted);
  std::vector<const core::TInformation*> informations;
  int32_t questionCount = 0;
  for (const TStore::TAttempt& attempt : attempts) {
    informations.push_back(attempt.information.get());
    questionCount = std::max(questionCount, attempt.information->questionCount);
  }
  data = GatherClass(informations, questionCount);
  Regrade(data, acceptances);
  // A head of department reading other teachers' attempts sees whose each one is.
  if (std::any_of(attempts.begin(), attempts.end(), [&](const TStore::TAttempt& attempt) {
        return attempt.collector != store.Collector();
      }))
    for (const TStore::TAttempt& attempt : attempts) data.collectors.push_back(attempt.collector);
  return true;
}

core::TLetters OpeningWords(const core::TLetters& text, std::size_t limit) {
  core::TLetters words = FirstLine(text);
  if (words.size() <= limit) return words;
  std::size_t cut = limit;
  while (cut > limit / 2 && words[cut].ch != ' ') --cut;
  words.resize(cut > limit / 2 ? cut : limit);
  const core::TLetters dots = PlainLetters("...");
  words.insert(words.end(), dots.begin(), dots.end());
  return words;
}

std::optional<int64_t> ChooseClassTest(QWidget* owner, TGradebookThread& gradebook,
                                       const core::TOpenTest* openTest, std::string& name) {
  auto read = TRead<std::vector<TStore::TTestSummary>>::Failed(kCancelled);
  TRead<std::optional<int64_t>> found{std::optional<int64_t>()};
  bool others = false;
  const bool finished = gradebook.Use(owner, kReading, [&](TStore& store, TJob&) {
    read = store.Tests();
    if (!read) return;
    // A head of department's list holds other teachers' tests too, each with whose it is:
    // they choose whose class to see, even of the open test.
    others = std::any_of(read->begin(), read->end(), [&](const auto& test) {
      return !test.collector.empty() && test.collector != store.Collector();
    });
    if (!others && openTest && !openTest->questions.IsEmpty()) found = store.FindTest(*openTest);
  });
  if (!finished || !read || !found) {
    Warn(owner, !finished ? kCancelled : !read ? read.Error() : found.Error());
    return std::nullopt;
  }
  const std::vector<TStore::TTestSummary>& tests = *read;
  if (std::optional<int64_t> id = *found) {
    name = platform::PathToText(platform::PathFromQt(
        QFileInfo(platform::PathToQt(openTest->fileName)).fileName()));
    return id;
  }
  if (tests.empty()) {
    platform::MessageBox(owner,
                         "The gradebook holds no results yet. Collect them first with "
                         "Collect Results or Add Results Files.",
                         "Information", platform::MB_OK | platform::MB_ICONINFORMATION);
    return std::nullopt;
  }
  // Whose a test is stands beside its name and counts, before what tells versions apart.
  std::vector<std::string> headers = {"Test", "Questions", "Attempts"};
  if (others) headers.push_back("Collector");
  headers.insert(headers.end(), {"First Attempt", "Last Attempt", "First Question"});
  std::vector<std::vector<std::string>> rows;
  for (const TStore::TTestSummary& test : tests) {
    rows.push_back({platform::Cp1252ToUtf8(test.fileName), std::to_string(test.questionCount),
                    std::to_string(test.attemptCount)});
    if (others) rows.back().push_back(test.collector);
    rows.back().insert(rows.back().end(),
                       {Day(test.firstDay), Day(test.lastDay),
                        core::LettersToUtf8(OpeningWords(test.firstQuestion, kOpeningLetters))});
  }
  const std::optional<int> row = platform::Modal().ChooseRow(owner, "Choose a Test", headers, rows);
  if (!row || *row < 0 || *row >= static_cast<int>(tests.size())) return std::nullopt;
  name = tests[static_cast<std::size_t>(*row)].fileName;
  return tests[static_cast<std::size_t>(*row)].id;
}

std::vector<std::size_t> ByName(const TClassData& data) {
  std::vector<std::size_t> order(data.attempts.size());
  std::vector<std::pair<QString, QString>> names;
  for (std::size_t a = 0; a < order.size(); ++a) {
    order[a] = a;
    const core::TInformation& info = *data.attempts[a];
    names.emplace_back(platform::FromCp1252(FieldText(info.lastName, sizeof info.lastName)),
                       platform::FromCp1252(FieldText(info.firstName, sizeof info.firstName)));
  }
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const int last = names[a].first.compare(names[b].first, Qt::CaseInsensitive);
    return last != 0 ? last < 0 : names[a].second.compare(names[b].second, Qt::CaseInsensitive) < 0;
  });
  return order;
}

}  // namespace gradebook
