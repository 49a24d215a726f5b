#include "settings/settings_store.h"

#include <QFile>
#include <algorithm>

namespace ide {
namespace {

// Every integer field, for telling which of them a change touched.
constexpr int Settings::*int_fields[] = {
    &Settings::showHints,
    &Settings::showTooltips,
    &Settings::suppressDebugBpMessages,
    &Settings::suppressDebugInfoRefreshing,
    &Settings::enlargeDebugTimeout,
    &Settings::suppressProperFileDetection,
    &Settings::suppressEofPopup,
    &Settings::language,
    &Settings::codepageDetection,
    &Settings::resolution,
    &Settings::windowStatus,
    &Settings::allowMaximization,
    &Settings::lineNumbering,
    &Settings::lineNumberingGray,
    &Settings::syntaxHighlighting,
    &Settings::lineNumberingIncludes,
    &Settings::lineNumberingIncludesGray,
    &Settings::syntaxHighlightingIncludes,
    &Settings::multibyte,
    &Settings::useIic,
    &Settings::iicAddress,
    &Settings::restoreDefaults,
    &Settings::clearAll,
};

std::string fileName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

SettingsChange SettingsChange::everything() {
    SettingsChange change;
    change.all_ = true;
    return change;
}

SettingsChange SettingsChange::between(const Settings& before, const Settings& after) {
    SettingsChange change;
    for (int Settings::*field : int_fields)
        if (before.*field != after.*field) change.fields_.push_back(field);
    change.lastProject_ = before.lastProject != after.lastProject;
    return change;
}

bool SettingsChange::touches(int Settings::*field) const {
    return all_ || std::find(fields_.begin(), fields_.end(), field) != fields_.end();
}

SettingsStore::SettingsStore(QString path, QString existsPath)
    : path_(std::move(path)), existsPath_(std::move(existsPath)) {}

void SettingsStore::set(int Settings::*field, int value) {
    Settings next = values_;
    next.*field = value;
    take(next);
}

void SettingsStore::setLastProject(const std::string& path) {
    Settings next = values_;
    next.lastProject = path.substr(0, max_last_project_chars);
    take(next);
}

void SettingsStore::replace(const Settings& next) {
    take(next);
}

void SettingsStore::take(const Settings& next) {
    SettingsChange change = SettingsChange::between(values_, next);
    values_ = next;
    if (!change.isEmpty()) emit changed(change);
}

void SettingsStore::initSettings() {
    ide::initSettings(values_, fileName(existsPath_), fileName(path_));
    emit changed(SettingsChange::everything());
}

bool SettingsStore::loadSettings() {
    if (!ide::loadSettings(values_, fileName(path_))) return false;
    emit changed(SettingsChange::everything());
    return true;
}

bool SettingsStore::saveSettings() const {
    return ide::saveSettings(values_, fileName(path_));
}

bool SettingsStore::writeDefaultSettings() {
    Settings next = values_;
    const bool written = ide::writeDefaultSettings(next, fileName(path_));
    take(next); // restoreDefaults is cleared
    return written;
}

} // namespace ide
