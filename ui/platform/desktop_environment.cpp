#include "ui/platform/desktop_environment.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QtGlobal>
#include <cerrno>
#include <clocale>
#include <langinfo.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace keyfall {

namespace {

    // Whether the folder is there, or has been made, as the user's own that no one else may
    // enter.
    bool isPrivateFolder(const QByteArray& path, bool make)
    {
        struct stat info { };
        if (make && mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
            return false;
        return lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode)
            && info.st_uid == getuid() && (info.st_mode & 0777) == 0700;
    }

    QByteArray userName()
    {
        const passwd* user = getpwuid(getuid());
        return user ? QByteArray(user->pw_name) : QByteArray::number(getuid());
    }

}

void chooseWindowSystem()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "wayland;xcb");
}

void chooseUtf8Locale()
{
    const bool installed = std::setlocale(LC_ALL, "") != nullptr;
    if (installed && qstrcmp(nl_langinfo(CODESET), "UTF-8") == 0)
        return;
    qputenv(!installed || qEnvironmentVariableIsSet("LC_ALL") ? "LC_ALL" : "LC_CTYPE", "C.UTF-8");
}

void nameRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QByteArray login = "/run/user/" + QByteArray::number(getuid());
    const QByteArray qtOwn = QFile::encodeName(QDir::tempPath()) + "/runtime-" + userName();
    if (isPrivateFolder(login, false))
        qputenv("XDG_RUNTIME_DIR", login);
    else if (isPrivateFolder(qtOwn, true))
        qputenv("XDG_RUNTIME_DIR", qtOwn);
}

}
