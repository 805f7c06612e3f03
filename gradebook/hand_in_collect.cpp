#include <map>
#include <span>

#include "core/answer_check.h"
#include "core/results_codec.h"
#include "gradebook/attempt_key.h"
#include "gradebook/hand_in.h"
#include "gradebook/store.h"

namespace gradebook {

namespace {

// Outcomes after which the hand-in's attempt stands in the gradebook.
bool Stands(const std::string& outcome) {
  return outcome == "added" || outcome == "replaced" || outcome == "restored";
}

// The same student on the same day, as collecting tells a replacement from a new attempt.
bool SameStudent(const core::TInformation& a, const core::TInformation& b) {
  const auto same = [](const char* x, const char* y, std::size_t size) {
    return FieldText(x, size) == FieldText(y, size);
  };
  return same(a.firstName, b.firstName, sizeof a.firstName) &&
         same(a.lastName, b.lastName, sizeof a.lastName) &&
         same(a.course, b.course, sizeof a.course) && same(a.period, b.period, sizeof a.period) &&
         a.year == b.year && a.month == b.month && a.day == b.day;
}

// The session's hand-ins before `later` whose attempt stands, with what they hold.
struct TStanding {
  const THandIn* handIn;
  std::unique_ptr<core::TInformation> information;
};

std::vector<TStanding> StandingBefore(const std::vector<THandIn>& session, int64_t later) {
  std::vector<TStanding> standing;
  for (const THandIn& handIn : session)
    if (handIn.id < later && Stands(handIn.outcome))
      if (auto information = DecodeHandIn(handIn))
        standing.push_back({&handIn, std::move(information)});
  return standing;
}

bool Fail(TStore& store, std::string& error) {
  error = store.LastError();
  return false;
}

// Collects one hand-in: its outcome, or empty when the gradebook failed.
std::string CollectOne(TStore& store, const THandIn& handIn, std::vector<THandIn>& session) {
  const std::unique_ptr<core::TInformation> information = DecodeHandIn(handIn);
  if (!information) return "damaged";
  // Only an attempt that an earlier hand-in of this session stored is replaced, and its
  // bytes stay for Restore Earlier; any other earlier attempt is kept beside the new one.
  const std::vector<TStanding> standing = StandingBefore(session, handIn.id);
  const THandIn* replaced = nullptr;
  const auto replace = [&](const core::TInformation& earlier) {
    const std::string key = AttemptKey(earlier);
    for (const TStanding& candidate : standing)
      if (AttemptKey(*candidate.information) == key) replaced = candidate.handIn;
    return replaced != nullptr;
  };
  switch (store.Collect(*information, replace)) {
    case TStore::Outcome::Added:
      return "added";
    case TStore::Outcome::Replaced:
      if (replaced && !store.MarkHandIn(replaced->id, "superseded")) return "";
      for (THandIn& earlier : session)
        if (replaced && earlier.id == replaced->id) earlier.outcome = "superseded";
      return "replaced";
    case TStore::Outcome::AlreadyCollected:
      return "already collected";
    case TStore::Outcome::Damaged:
      return "damaged";
    case TStore::Outcome::Failed:
      break;
  }
  return "";
}

}  // namespace

std::string OutcomeText(const std::string& outcome) {
  static const std::map<std::string, std::string> texts = {
      {"", "Not collected yet"},
      {"added", "Added"},
      {"replaced", "Replaced"},
      {"superseded", "Replaced by a later one"},
      {"already collected", "Already collected"},
      {"damaged", "Refused: damaged, kept here"},
      {"deleted", "Deleted"},
      {"restored", "Restored"},
      {"undone", "Undone by Restore Earlier"},
  };
  const auto found = texts.find(outcome);
  return found == texts.end() ? outcome : found->second;
}

std::string HandInName(const THandIn& handIn) {
  constexpr std::size_t kName = sizeof core::TInformation::firstName;
  constexpr std::size_t kLastName = sizeof core::TInformation::lastName;
  const std::string& bytes = handIn.results;
  if (bytes.size() < kName + kLastName) return "(no name)";
  const std::string name =
      FieldText(bytes.data(), kName) + " " + FieldText(bytes.data() + kName, kLastName);
  return name == " " ? "(no name)" : name;
}

std::unique_ptr<core::TInformation> DecodeHandIn(const THandIn& handIn) {
  auto information = core::DecodeResults(
      {reinterpret_cast<const uint8_t*>(handIn.results.data()), handIn.results.size()});
  if (information && !core::VerdictsAreConsistent(*information)) return nullptr;
  return information;
}

bool CollectHandIns(TStore& store, const std::vector<THandIn>& pending, std::string& error) {
  // Each session's hand-ins as they stand: a replacement looks for the earlier ones there.
  std::map<int64_t, std::vector<THandIn>> sessions;
  for (const THandIn& handIn : pending) {
    if (!sessions.contains(handIn.sessionId)) {
      auto read = store.HandIns(handIn.sessionId);
      if (!read) return error = read.Error(), false;
      sessions[handIn.sessionId] = std::move(*read);
    }
    std::vector<THandIn>& session = sessions[handIn.sessionId];
    const std::string outcome = CollectOne(store, handIn, session);
    if (outcome.empty() || !store.MarkHandIn(handIn.id, outcome)) return Fail(store, error);
    for (THandIn& stored : session)
      if (stored.id == handIn.id) stored.outcome = outcome;
  }
  return true;
}

bool RestoreEarlier(TStore& store, const THandIn& replaced, std::string& error) {
  auto session = store.HandIns(replaced.sessionId);
  if (!session) return error = session.Error(), false;
  const std::unique_ptr<core::TInformation> later = DecodeHandIn(replaced);
  const THandIn* earlier = nullptr;
  std::unique_ptr<core::TInformation> earlierAttempt;
  for (const THandIn& handIn : *session) {
    if (handIn.id >= replaced.id || handIn.outcome != "superseded") continue;
    auto information = DecodeHandIn(handIn);
    if (later && information && SameStudent(*information, *later))
      earlier = &handIn, earlierAttempt = std::move(information);
  }
  if (!earlier || replaced.outcome != "replaced") {
    error = "Only a hand-in that replaced an earlier one of the same student can be undone.";
    return false;
  }
  // The earlier attempt first: a failure part way leaves both, never neither. Nothing is
  // replaced by it.
  const TStore::Outcome restored = store.Collect(*earlierAttempt, {});
  if (restored != TStore::Outcome::Added && restored != TStore::Outcome::AlreadyCollected)
    return Fail(store, error);
  const auto attempt = store.FindAttempt(*later);
  if (!attempt) return error = attempt.Error(), false;
  if (*attempt && !store.DeleteAttempt(**attempt)) return Fail(store, error);
  if (!store.MarkHandIn(replaced.id, "undone") || !store.MarkHandIn(earlier->id, "restored"))
    return Fail(store, error);
  return true;
}

bool DeleteHandInAttempt(TStore& store, const THandIn& handIn, std::string& error) {
  const std::unique_ptr<core::TInformation> information = DecodeHandIn(handIn);
  if (!information || !Stands(handIn.outcome)) {
    error = "This hand-in stored no attempt of its own in the gradebook: nothing to delete.";
    return false;
  }
  const auto attempt = store.FindAttempt(*information);
  if (!attempt) return error = attempt.Error(), false;
  if (*attempt && !store.DeleteAttempt(**attempt)) return Fail(store, error);
  if (!store.MarkHandIn(handIn.id, "deleted")) return Fail(store, error);
  return true;
}

}  // namespace gradebook
