#include "frontend/QSettingsStore.h"

#include <QString>

namespace {

QString KeyPath(const std::string& section, const std::string& key) {
  return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}

}  // namespace

CQSettingsStore::CQSettingsStore()
    : settings_(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Ostrand Electronics"),
                QStringLiteral("Tobrane PROM Loader")) {}

std::string CQSettingsStore::Read(const std::string& section, const std::string& key) {
  return settings_.value(KeyPath(section, key)).toString().toStdString();
}

void CQSettingsStore::Write(const std::string& section, const std::string& key, const std::string& value) {
  settings_.setValue(KeyPath(section, key), QString::fromStdString(value));
  settings_.sync();
}

std::string CQSettingsStore::Location() const {
  return settings_.fileName().toStdString();
}
