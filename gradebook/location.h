#pragma once
#include <string>

namespace gradebook {

// Where the teacher's gradebook lives: this computer's SQLite file, or a school's PostgreSQL
// server reached through libpq. Never holds a password: those live in memory, ~/.pgpass or the
// service file.
struct TLocation {
  bool onServer = false;
  std::string service;  // a name from pg_service.conf; the fields below may then stay empty
  std::string host;
  std::string port;
  std::string database;
  std::string user;
  std::string options;  // any other libpq settings, e.g. "sslmode=verify-full"
  // How long a statement may wait for a busy server (a colleague's lock) before it gives up.
  int timeoutSeconds = 10;

  bool operator==(const TLocation&) const = default;
};

// The longest wait for a busy server that Gradebook Location offers.
inline constexpr int kMostSeconds = 600;

// The choice kept in Quizloom's settings (readable by this account only); this computer when
// nothing was chosen. A password never enters the file: one found there is removed.
TLocation LoadLocation();
void SaveLocation(const TLocation& location);

// Whether libpq settings such as "sslmode=verify-full password=x" hold a password, and the
// settings without it.
bool HoldsPassword(const std::string& options);
std::string WithoutPassword(const std::string& options);

// "user@host:port/database", or "service NAME", for messages and captions.
std::string Describe(const TLocation& location);

}  // namespace gradebook
