#include "support/tempenvironment.h"

#include "io/datadirectory.h"
#include "support/modal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// Q_INIT_RESOURCE declares its function in the enclosing namespace, so it must run out here.
static void initResources()
{
    Q_INIT_RESOURCE(lexigrove);
}

namespace TestSupport {

TempEnvironment::TempEnvironment()
{
    initResources();
    QStandardPaths::setTestModeEnabled(true);
    const QString config = m_dir.filePath(u"config"_s);
    QDir().mkpath(config);
    QDir().mkpath(dataDir());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
    DataDirectory::setOverride(dataDir());
    watchForUnexpectedModals();
}

TempEnvironment::~TempEnvironment()
{
    DataDirectory::setOverride(QString());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

bool makeNonFile(const QString &path, const QString &kind)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(name.constData(), 0600) == 0;
    if (kind == QLatin1String("zero"))
        return ::symlink("/dev/zero", name.constData()) == 0;
    return kind == QLatin1String("folder") && QDir().mkdir(path);
}

} // namespace TestSupport
