#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quizdesk {

// The school server that Quizdesk hands results in to, as the administrator wrote it in
// /etc/xdg/Quizloom/quizdesk.conf, group [HandIn]. The login may only call hand_in(), so its
// password lies in that file, readable by every student of the computer.
struct THandInSetting {
  std::string host;
  std::string port;
  std::string database;
  std::string user;
  std::string password;
  std::string options;  // any other libpq settings, e.g. "sslmode=verify-full"
};

// The administrator's file; QUIZDESK_HAND_IN_SETTINGS names another one for tests.
std::string HandInSettingsPath();

// The setting when this computer is set up to hand in: the file is there, names a login, and
// nobody but its owner may change it (a file anyone may change could send answers elsewhere).
std::optional<THandInSetting> LoadHandInSetting();

// The code as the student typed it, upper-cased and without spaces.
std::string CleanHandInCode(std::string_view typed);

// What became of one hand-in: handed in, or why not, in words safe to show a student: the
// server's own refusal ("closed", "unknown", "too large", "too many") or a plain phrase.
struct THandInOutcome {
  bool handedIn = false;
  std::string reason;
};

inline constexpr char kNoAnswer[] = "the school server did not answer";

// Calls SELECT hand_in(code, results) on the school server, on a thread of its own; the window
// keeps painting meanwhile, with the wait cursor, and takes no input. A server that does not
// answer within a few seconds, or a connection lost mid-call, is kNoAnswer.
THandInOutcome HandIn(const THandInSetting& setting, const std::string& code,
                      std::span<const uint8_t> results);

// Whether a hand-in is under way: the window must not close under it.
bool HandingIn();

}  // namespace quizdesk
