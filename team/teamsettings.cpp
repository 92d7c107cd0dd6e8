#include "team/teamsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString Group = QStringLiteral("team");

// An unquoted value with commas reads as a list; it was meant as one text.
QString textOf(const QVariant &value)
{
    return value.type() == QVariant::StringList ? value.toStringList().join(QStringLiteral(", ")) : value.toString();
}

} // namespace

bool TeamSettings::operator==(const TeamSettings &o) const
{
    return enabled == o.enabled && host == o.host && port == o.port && database == o.database && user == o.user
        && sslMode == o.sslMode && inspector == o.inspector && interval == o.interval;
}

bool TeamSettings::isUsable() const
{
    return enabled && !host.isEmpty() && !database.isEmpty() && !user.isEmpty();
}

QStringList TeamSettings::sslModes()
{
    return {QStringLiteral("disable"), QStringLiteral("prefer"), QStringLiteral("require"),
            QStringLiteral("verify-full")};
}

QString TeamSettings::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/team.conf");
}

TeamSettings TeamSettings::load(const QString &path, QStringList *problems)
{
    TeamSettings s;
    if (!QFileInfo::exists(path))
        return s;
    QSettings file(path, QSettings::IniFormat);
    file.setIniCodec("UTF-8");
    file.beginGroup(Group);
    auto refuse = [&](const QString &key) {
        if (problems)
            problems->append(QCoreApplication::translate(
                                 "TeamSettings", "%1: the value \"%2\" of %3 cannot be used; the default applies.")
                                 .arg(QDir::toNativeSeparators(path), textOf(file.value(key)), key));
    };
    auto number = [&](const QString &key, int *target, int lowest, int highest) {
        if (!file.contains(key))
            return;
        bool ok = false;
        const int value = textOf(file.value(key)).trimmed().toInt(&ok);
        if (ok && value >= lowest && value <= highest)
            *target = value;
        else
            refuse(key);
    };
    if (file.contains(QStringLiteral("enabled"))) {
        const QString text = textOf(file.value(QStringLiteral("enabled"))).trimmed().toLower();
        if (text == QLatin1String("true") || text == QLatin1String("1") || text == QLatin1String("yes"))
            s.enabled = true;
        else if (!(text == QLatin1String("false") || text == QLatin1String("0") || text == QLatin1String("no")))
            refuse(QStringLiteral("enabled"));
    }
    s.host = textOf(file.value(QStringLiteral("host"))).trimmed();
    number(QStringLiteral("port"), &s.port, 1, 65535);
    s.database = textOf(file.value(QStringLiteral("database"))).trimmed();
    s.user = textOf(file.value(QStringLiteral("user"))).trimmed();
    if (file.contains(QStringLiteral("sslmode"))) {
        const QString mode = textOf(file.value(QStringLiteral("sslmode"))).trimmed().toLower();
        if (sslModes().contains(mode))
            s.sslMode = mode;
        else
            refuse(QStringLiteral("sslmode"));
    }
    s.inspector = textOf(file.value(QStringLiteral("inspector"))).trimmed();
    number(QStringLiteral("interval"), &s.interval, 1, 24 * 60);
    return s;
}

bool TeamSettings::save(const QString &path, QString *error) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    // QSettings writes the whole file to a temporary one and renames it.
    QSettings file(path, QSettings::IniFormat);
    file.setIniCodec("UTF-8");
    file.clear();
    file.beginGroup(Group);
    file.setValue(QStringLiteral("enabled"), enabled);
    file.setValue(QStringLiteral("host"), host);
    file.setValue(QStringLiteral("port"), port);
    file.setValue(QStringLiteral("database"), database);
    file.setValue(QStringLiteral("user"), user);
    file.setValue(QStringLiteral("sslmode"), sslMode);
    file.setValue(QStringLiteral("inspector"), inspector);
    file.setValue(QStringLiteral("interval"), interval);
    file.endGroup();
    file.sync();
    if (file.status() != QSettings::NoError) {
        if (error)
            *error = file.status() == QSettings::AccessError
                ? QCoreApplication::translate("TeamSettings", "the file cannot be written")
                : QCoreApplication::translate("TeamSettings", "the file is not a valid settings file");
        return false;
    }
    return true;
}
