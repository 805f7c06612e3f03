#include "gradebook/location.h"

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

}  // namespace

TLocation LoadLocation() {
  QSettings settings;
  settings.beginGroup("Gradebook");
  TLocation location;
  location.onServer = settings.value("location").toString() == "server";
  for (const TField& field : kFields)
    location.*field.member = settings.value(field.key).toString().toStdString();
  return location;
}

void SaveLocation(const TLocation& location) {
  QSettings settings;
  settings.beginGroup("Gradebook");
  settings.setValue("location", location.onServer ? "server" : "computer");
  for (const TField& field : kFields)
    settings.setValue(field.key, QString::fromStdString(location.*field.member));
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
