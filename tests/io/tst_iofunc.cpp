#include "io/iofunc.h"
#include "support/messagerecorder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {
QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

bool runningAsRoot()
{
    return qEnvironmentVariable("USER") == QLatin1String("root") || QDir::homePath() == "/root";
}
} // namespace

class TestIOFunc : public QObject
{
    Q_OBJECT

private slots:
    void readsWholeFilesUnchanged();
    void emptyFileIsNoError();
    void missingFileWarnsWithNormalisedPath();
    void writesBareLineFeedsAndCreatesFiles();
    void writeIntoMissingFolderWarns();
    void failedSaveLeavesOldFileWhole();
    void unreadableFileWarns();

private:
    QTemporaryDir m_dir;
    IOFunc m_io;
};

void TestIOFunc::readsWholeFilesUnchanged()
{
    TestSupport::MessageRecorder messages;
    const QString path = m_dir.filePath(QStringLiteral("crlf.txt"));
    writeBytes(path, "Haus,\r\nGarten\r\n\xc3\xa4rger,\xe2\x82\xac");
    QCOMPARE(m_io.readFile(path, QIODevice::ReadOnly),
             QString::fromUtf8("Haus,\r\nGarten\r\n\xc3\xa4rger,\xe2\x82\xac"));

    // A byte-order mark is recognised, not returned as text.
    writeBytes(path, "\xef\xbb\xbf"
                     "Dach");
    QCOMPARE(m_io.readFile(path, QIODevice::ReadOnly), QStringLiteral("Dach"));
    QCOMPARE(messages.count(), 0);
}

void TestIOFunc::emptyFileIsNoError()
{
    TestSupport::MessageRecorder messages;
    const QString path = m_dir.filePath(QStringLiteral("empty.txt"));
    writeBytes(path, QByteArray());
    QVERIFY(m_io.readFile(path, QIODevice::ReadOnly).isEmpty());
    QCOMPARE(messages.count(), 0);
}

void TestIOFunc::missingFileWarnsWithNormalisedPath()
{
    TestSupport::MessageRecorder messages;
    const QString messy = m_dir.path() + QStringLiteral("//sub/../default_blacklist.txt");
    const QString clean = m_dir.path() + QStringLiteral("/default_blacklist.txt");

    const QString text = m_io.readFile(messy, QIODevice::ReadOnly);
    QVERIFY(text.isNull());
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().kind, MessageBox::Warning);
    QCOMPARE(messages.last().title, QStringLiteral("Warning"));
    QCOMPARE(messages.last().text, QStringLiteral("Cannot open file ") + clean +
                                       QStringLiteral(" for reading: No such file or directory"));
}

void TestIOFunc::writesBareLineFeedsAndCreatesFiles()
{
    TestSupport::MessageRecorder messages;
    const QString path = m_dir.filePath(QStringLiteral("new.txt"));
    QFile::remove(path);
    QVERIFY(m_io.writeFile(path, QString::fromUtf8("gratis,\nwerbung,\n\xc3\xbc"),
                           QIODevice::WriteOnly));
    QCOMPARE(bytesOf(path), QByteArray("gratis,\nwerbung,\n\xc3\xbc"));

    // An empty text leaves a file of zero bytes, and replaces the old content whole.
    QVERIFY(m_io.writeFile(path, QString(), QIODevice::WriteOnly));
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFileInfo(path).size(), 0);
    QCOMPARE(messages.count(), 0);
}

void TestIOFunc::writeIntoMissingFolderWarns()
{
    TestSupport::MessageRecorder messages;
    const QString path = m_dir.filePath(QStringLiteral("missing/./list.txt"));
    QVERIFY(!m_io.writeFile(path, QStringLiteral("x"), QIODevice::WriteOnly));
    QCOMPARE(messages.count(), 1);
    QVERIFY2(messages.last().text.startsWith(QStringLiteral("Cannot open file ") +
                                             m_dir.filePath(QStringLiteral("missing/list.txt")) +
                                             QStringLiteral(" for writing: ")),
             qPrintable(messages.last().text));
}

void TestIOFunc::failedSaveLeavesOldFileWhole()
{
    // A file-size limit makes the write fail part way, as a full disk would.
    TestSupport::MessageRecorder messages;
    const QString path = m_dir.filePath(QStringLiteral("keep.txt"));
    writeBytes(path, "old,words");

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written =
        m_io.writeFile(path, QString(100000, QLatin1Char('x')), QIODevice::WriteOnly);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QCOMPARE(messages.count(), 1);
    QVERIFY2(messages.last().text.startsWith(QStringLiteral("Error writing to file ") + path +
                                             QStringLiteral(": ")),
             qPrintable(messages.last().text));
    QCOMPARE(bytesOf(path), QByteArray("old,words"));
    // No temporary file is left behind.
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("keep.txt*")}, QDir::Files).size(), 1);
}

void TestIOFunc::unreadableFileWarns()
{
    TestSupport::MessageRecorder messages;
    // A folder where the file should be cannot be read as one, not even by root.
    const QString folder = m_dir.filePath(QStringLiteral("folder.txt"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(m_io.readFile(folder, QIODevice::ReadOnly).isNull());
    QCOMPARE(messages.count(), 1);
    QVERIFY(messages.last().text.startsWith(QStringLiteral("Cannot open file ") + folder));

    if (runningAsRoot())
        QSKIP("root reads files whatever their permissions");
    const QString path = m_dir.filePath(QStringLiteral("locked.txt"));
    writeBytes(path, "secret");
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    QVERIFY(m_io.readFile(path, QIODevice::ReadOnly).isNull());
    QCOMPARE(messages.count(), 2);
    QVERIFY(messages.last().text.endsWith(QStringLiteral(": Permission denied")));
}

QTEST_MAIN(TestIOFunc)
#include "tst_iofunc.moc"
