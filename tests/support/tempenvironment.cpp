#include "support/tempenvironment.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace TestSupport {

TempEnvironment::TempEnvironment()
{
    Q_INIT_RESOURCE(lexigrove);
    QStandardPaths::setTestModeEnabled(true);
    const QString config = m_dir.filePath(QStringLiteral("config"));
    QDir().mkpath(config);
    QDir().mkpath(dataDir());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
}

TempEnvironment::~TempEnvironment() = default;

} // namespace TestSupport
