#include "gradebook/location.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include <QFile>
#include <QSettings>

namespace gradebook {

namespace {

struct TField {
  const char* key;
  std::string TLocation::*member;
};

constexpr TField kFields[] = {
    {"service", &TLocation::service}, {"host", &TLocation::host},
    {"port", &TLocation::port},       {"database", &TLocation::database},
    {"user", &TLocation::user},       {"options", &TLocation::options},
};

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)); }

// libpq's settings in text ("keyword = value", a value quoted or not, backslash escapes),
// each as the span it covers and its keyword.
struct TSetting {
  std::size_t begin, end;
  std::string keyword;
};

std::vector<TSetting> Settings(const std::string& text) {
  std::vector<TSetting> settings;
  std::size_t i = 0;
  const auto skipSpaces = [&] {
    while (i < text.size() && IsSpace(text[i])) ++i;
  };
  for (skipSpaces(); i < text.size(); skipSpaces()) {
    TSetting setting{i, i, {}};
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '=') setting.keyword += text[i++];
    skipSpaces();
    if (i < text.size() && text[i] == '=') {
      ++i;
      skipSpaces();
      const bool quoted = i < text.size() && text[i] == '\'';
      for (i += quoted; i < text.size(); ++i) {
        if (text[i] == '\\') ++i;
        else if (quoted ? text[i] == '\'' : IsSpace(text[i])) break;
      }
      i = std::min(i + quoted, text.size());
    }
    setting.end = i;
    settings.push_back(std::move(setting));
  }
  return settings;
}

bool IsPassword(const TSetting& setting) {
  std::string keyword = setting.keyword;
  for (char& c : keyword) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return keyword == "password";
}

}  // namespace

bool HoldsPassword(const std::string& options) {
  const std::vector<TSetting> settings = Settings(options);
  return std::any_of(settings.begin(), settings.end(), IsPassword);
}

std::string WithoutPassword(const std::string& options) {
  std::string kept;
  for (const TSetting& setting : Settings(options))
    if (!IsPassword(setting))
      kept += (kept.empty() ? "" : " ") + options.substr(setting.begin, setting.end - setting.begin);
  return kept;
}

TLocation LoadLocation() {
  QSettings settings;
  settings.beginGroup("Gradebook");
  TLocation location;
  location.onServer = settings.value("location").toString() == "server";
  for (const TField& field : kFields)
    location.*field.member = settings.value(field.key).toString().toStdString();
  location.timeoutSeconds =
      std::clamp(settings.value("timeout", location.timeoutSeconds).toInt(), 1, kMostSeconds);
  settings.endGroup();
  // A password that an earlier Quizloom wrote leaves the file at once; the server asks again.
  if (HoldsPassword(location.options)) SaveLocation(location);
  location.options = WithoutPassword(location.options);
  return location;
}

void SaveLocation(const TLocation& location) {
  QSettings settings;
  settings.beginGroup("Gradebook");
  settings.setValue("location", location.onServer ? "server" : "computer");
  for (const TField& field : kFields)
    settings.setValue(field.key, QString::fromStdString(location.*field.member));
  settings.setValue("options", QString::fromStdString(WithoutPassword(location.options)));
  settings.setValue("timeout", location.timeoutSeconds);
  settings.endGroup();
  settings.sync();
  // It names the server and the account: for this account's eyes only.
  QFile::setPermissions(settings.fileName(), QFile::ReadOwner | QFile::WriteOwner);
}

std::string Describe(const TLocation& location) {
  if (!location.onServer) return "this computer";
  if (!location.service.empty()) return "service " + location.service;
  std::string text = location.user.empty() ? "" : location.user + "@";
  text += location.host.empty() ? "localhost" : location.host;
  if (!location.port.empty()) text += ":" + location.port;
  if (!location.database.empty()) text += "/" + location.database;
  return text;
}

}  // namespace gradebook
