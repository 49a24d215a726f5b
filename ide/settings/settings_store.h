// The settings object: the one Settings record of the running IDE, its file, and the signal
// that tells whoever acts on a setting that it changed.
#pragma once

#include "settings/settings.h"

#include <QObject>
#include <QString>
#include <vector>

namespace ide {

// Which fields a change touched. A reload from the file touches every field, so listeners
// apply all they depend on again.
class SettingsChange {
public:
    static SettingsChange everything();
    static SettingsChange between(const Settings& before, const Settings& after);

    bool touches(int Settings::*field) const;
    bool isEmpty() const { return !all_ && !lastProject_ && fields_.empty(); }

private:
    bool all_ = false;
    bool lastProject_ = false;
    std::vector<int Settings::*> fields_;
};

class SettingsStore : public QObject {
    Q_OBJECT
public:
    // `path`: where "settings.ini" is read and written; `existsPath`: where start-up looks
    // whether it exists (the working directory; the program is started with both the same).
    SettingsStore(QString path, QString existsPath);

    const Settings& values() const { return values_; }
    const Settings* operator->() const { return &values_; }
    const QString& path() const { return path_; }
    const QString& existsPath() const { return existsPath_; }

    void set(int Settings::*field, int value);
    void setLastProject(const std::string& path);
    // Takes every field of `next` (the Settings dialog's Apply).
    void replace(const Settings& next);

    // Start values, then the file if it exists (start-up).
    void initSettings();
    // The fields the file has keys for; a reload touches every field. False when the file is
    // missing, not a regular file, too large or unreadable (the fields stay as they are).
    bool loadSettings();
    bool saveSettings() const;
    bool writeDefaultSettings();

signals:
    void changed(const ide::SettingsChange& change);

private:
    void take(const Settings& next);

    Settings values_;
    QString path_;
    QString existsPath_;
};

} // namespace ide
