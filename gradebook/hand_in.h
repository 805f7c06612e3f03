#pragma once
// Handing in over the school network: a teacher's session, the results files that Quizdesk
// handed to it, and collecting them into the teacher's gradebook. The server keeps every
// hand-in's bytes as they came; only Quizloom decodes them, with the one results codec.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/records.h"

namespace gradebook {

class TStore;
class THandInListener;

// The table file that brings hand-in to a school's server.
inline constexpr int kHandInVersion = 6;
inline constexpr char kHandInFile[] = "006_hand_in.sql";
// How long a session takes hand-ins unless the teacher closes it first.
inline constexpr int kHandInMinutes = 180;

struct THandInSession {
  int64_t id = 0;
  std::string code;        // six letters and digits, for the board
  std::string closes;      // the time it closes, "14:05"
  int64_t secondsLeft = 0; // until it closes; 0 when closed
  int32_t refused = 0;     // calls with its code refused as too large or too many
};

struct THandIn {
  int64_t id = 0;
  int64_t sessionId = 0;
  std::string received;  // "14:05:09"
  std::string results;   // the results file's bytes, as handed in
  // What Quizloom made of it: empty (not yet collected), "added", "replaced", "superseded"
  // (a later hand-in of the student replaced it), "already collected", "damaged", "deleted",
  // "restored" (brought back by Restore Earlier) or "undone" (its replacement was undone).
  std::string outcome;
};

// What the session window shows of an outcome: "Added", "Replaced by a later one"...
std::string OutcomeText(const std::string& outcome);
// The student's name as the file's header gives it (Windows-1252), even in a damaged file
// that is long enough; "(no name)" otherwise.
std::string HandInName(const THandIn& handIn);
// The attempt a hand-in holds, or nothing when its bytes are not a whole results file.
std::unique_ptr<core::TInformation> DecodeHandIn(const THandIn& handIn);

// Collects each hand-in not yet collected into the teacher's gradebook, with Collect Results'
// identity rules: an identical attempt is already collected, and a later hand-in of a student
// replaces, without asking, the attempt that an earlier hand-in of the same session stored
// (other attempts of the student are kept beside it). A damaged one is marked so and never
// stored. False, and why in error, when the gradebook failed; what was collected stays.
bool CollectHandIns(TStore& store, const std::vector<THandIn>& pending, std::string& error);

// Undoes the replacement that the hand-in replaced made: the earlier hand-in's attempt is
// stored again and the later one's deleted. False, and why in error, when it cannot.
bool RestoreEarlier(TStore& store, const THandIn& replaced, std::string& error);
// Deletes the attempt that the hand-in stored (a forged one, say). False and why in error.
bool DeleteHandInAttempt(TStore& store, const THandIn& handIn, std::string& error);

}  // namespace gradebook
