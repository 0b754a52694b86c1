#include "UserSettings.h"

#include <QSettings>

namespace {
// A value of another type than written (a hand-edited or damaged file) reads as empty.
QString StringOf(const QSettings& settings, const QString& key) {
    const QVariant value = settings.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

QStringList StringsOf(const QSettings& settings, const QString& key) {
    const QVariant value = settings.value(key);
    if (value.typeId() == QMetaType::QString) return {value.toString()};
    return value.typeId() == QMetaType::QStringList ? value.toStringList() : QStringList();
}
}  // namespace

Remembered LoadRemembered() {
    const QSettings settings;
    if (settings.status() != QSettings::NoError) return {};
    return {StringsOf(settings, QStringLiteral("recentFiles")).mid(0, MaxRecentFiles),
            StringOf(settings, QStringLiteral("openFolder")),
            StringOf(settings, QStringLiteral("server")),
            StringOf(settings, QStringLiteral("user")),
            StringOf(settings, QStringLiteral("database"))};
}

void SaveRemembered(const Remembered& remembered) {
    QSettings settings;
    settings.clear();
    settings.setValue(QStringLiteral("recentFiles"), remembered.recentFiles);
    settings.setValue(QStringLiteral("openFolder"), remembered.openFolder);
    settings.setValue(QStringLiteral("server"), remembered.server);
    settings.setValue(QStringLiteral("user"), remembered.user);
    settings.setValue(QStringLiteral("database"), remembered.database);
}

QStringList WithRecentFile(const QStringList& files, const QString& file) {
    QStringList result{file};
    for (const QString& other : files)
        if (other != file && result.size() < MaxRecentFiles) result << other;
    return result;
}
