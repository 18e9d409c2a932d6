#include "ui/platform/sound_folder.h"

#include <QDir>
#include <QFileInfo>

namespace keyfall {

QString soundFolder(const QString& programFolder)
{
    const QString installed
        = QDir::cleanPath(programFolder + u'/' + QStringLiteral(KEYFALL_SOUNDS_FROM_PROGRAM));
    return QFileInfo(installed).isDir() ? installed : programFolder;
}

}
