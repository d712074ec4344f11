#include "Platform.h"
#include <QDir>
#include <pwd.h>
#include <unistd.h>

QString PlatformUserName()
{
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QString SettingsFolder()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    const QString folder = QDir(base).filePath(QStringLiteral("tarvalis"));
    QDir().mkpath(folder);
    return folder + QChar('/');
}
