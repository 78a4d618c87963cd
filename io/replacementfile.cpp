#include "io/replacementfile.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>

ReplacementFile::ReplacementFile(const QString &target, QObject *parent)
    : QFile(target, parent), m_target(target)
{}

ReplacementFile::~ReplacementFile()
{
    discard();
}

bool ReplacementFile::open(OpenMode mode)
{
    discard();
    // Renaming a file over a folder fails only at the end; better to say so before any work.
    const QFileInfo target(m_target);
    if (target.isDir() && !target.isSymLink()) {
        setErrorString(tr("it is a folder, not a file"));
        return false;
    }
    // A fresh name, taken only when nothing stands there yet (a link planted under the name
    // is not followed). Another file of that name is a stranger's: try another name.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const quint32 tag = QRandomGenerator::global()->generate();
        setFileName(m_target + QStringLiteral(".%1").arg(tag, 8, 16, QLatin1Char('0')));
        if (QFile::open(mode | QIODevice::NewOnly)) {
            m_created = true;
            return true;
        }
        if (!QFileInfo(fileName()).isSymLink() && !exists())
            break;
    }
    const QString why = errorString();
    setFileName(m_target);
    setErrorString(why);
    return false;
}

bool ReplacementFile::commit()
{
    if (!m_created)
        return false;
    close();
    m_created = false;
    // rename() replaces the name itself, whatever it pointed to.
    if (std::rename(QFile::encodeName(fileName()).constData(),
                    QFile::encodeName(m_target).constData()) == 0) {
        setFileName(m_target);
        return true;
    }
    const QString why = qt_error_string(errno);
    QFile::remove(fileName());
    setFileName(m_target);
    setErrorString(why);
    return false;
}

void ReplacementFile::discard()
{
    if (!m_created)
        return;
    close();
    m_created = false;
    QFile::remove(fileName());
    setFileName(m_target);
}
