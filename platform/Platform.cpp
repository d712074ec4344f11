#include "Platform.h"
#include <QDir>
#include <QFileInfo>
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

namespace {
WritableProbe& writableProbe()
{
    static WritableProbe probe;
    return probe;
}
}  // namespace

bool PathWritable(const QString& path)
{
    if (writableProbe())
        return writableProbe()(path);
    return QFileInfo(path).isWritable();
}

WritableProbe SetWritableProbe(WritableProbe probe)
{
    WritableProbe old = std::move(writableProbe());
    writableProbe() = std::move(probe);
    return old;
}
