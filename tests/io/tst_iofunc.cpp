#include "io/iofunc.h"
#include "support/messagerecorder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

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
} // namespace

class TestIOFunc : public QObject
{
    Q_OBJECT

private slots:
    void readsTextInItsEncoding_data();
    void readsTextInItsEncoding();
    void missingFileWarnsWithNormalisedPath();
    void writesBareLineFeedsAndCreatesFiles();
    void writeIntoMissingFolderWarns();
    void failedSaveLeavesOldFileWhole();
    void unreadableFileWarns_data();
    void unreadableFileWarns();
    void writableFileInReadOnlyFolderIsWritten();

private:
    QTemporaryDir m_dir;
    IOFunc m_io;
};

void TestIOFunc::readsTextInItsEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("UTF-8, line ends kept")
        << QByteArray("Haus,\r\nGarten\r\n\xc3\xa4rger,\xe2\x82\xac")
        << QString::fromUtf8("Haus,\r\nGarten\r\n\xc3\xa4rger,\xe2\x82\xac");
    QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbf"
                                                   "Dach")
                                     << QStringLiteral("Dach");
    QTest::newRow("Latin-1") << QByteArray("Viagra,\xc4rger,Stra\xdf"
                                           "e")
                             << QString::fromUtf8("Viagra,\xc3\x84rger,Stra\xc3\x9f"
                                                  "e");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestIOFunc::readsTextInItsEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    TestSupport::MessageRecorder messages;
    const QString path = m_dir.filePath(QStringLiteral("list.txt"));
    writeBytes(path, bytes);
    const QString read = m_io.readFile(path, QIODevice::ReadOnly);
    QCOMPARE(read, text);
    QVERIFY(!read.isNull()); // only a failure gives a null string
    QCOMPARE(messages.count(), 0);
}

void TestIOFunc::missingFileWarnsWithNormalisedPath()
{
    TestSupport::MessageRecorder messages;
    const QString messy = m_dir.path() + QStringLiteral("//sub/../default_blacklist.txt");
    const QString clean = m_dir.path() + QStringLiteral("/default_blacklist.txt");

    QVERIFY(m_io.readFile(messy, QIODevice::ReadOnly).isNull());
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

void TestIOFunc::unreadableFileWarns_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");
    // A folder cannot be read as a file, nor can memory that is not mapped, not even by root.
    QTest::newRow("folder") << QStringLiteral("folder.txt") << QStringLiteral("Cannot open file ");
    QTest::newRow("I/O error") << QStringLiteral("/proc/self/mem")
                               << QStringLiteral("Error reading file ");
    QTest::newRow("no permission")
        << QStringLiteral("locked.txt") << QStringLiteral("Cannot open file ");
}

void TestIOFunc::unreadableFileWarns()
{
    QFETCH(QString, path);
    QFETCH(QString, message);
    TestSupport::MessageRecorder messages;
    path = QDir(m_dir.path()).filePath(path);
    if (path.endsWith(QLatin1String("folder.txt")))
        QVERIFY(QDir().mkpath(path));
    if (path.endsWith(QLatin1String("locked.txt"))) {
        if (geteuid() == 0)
            QSKIP("root reads files whatever their permissions");
        writeBytes(path, "secret");
        QFile::setPermissions(path, QFileDevice::WriteOwner);
    }
    QVERIFY(m_io.readFile(path, QIODevice::ReadOnly).isNull());
    QCOMPARE(messages.count(), 1);
    QVERIFY2(messages.last().text.startsWith(message + path), qPrintable(messages.last().text));
}

void TestIOFunc::writableFileInReadOnlyFolderIsWritten()
{
    if (geteuid() == 0)
        QSKIP("root may write into any folder");
    TestSupport::MessageRecorder messages;
    const QString folder = m_dir.filePath(QStringLiteral("readonly"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/list.txt");
    writeBytes(path, "old");
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool written = m_io.writeFile(path, QStringLiteral("new"), QIODevice::WriteOnly);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(written);
    QCOMPARE(bytesOf(path), QByteArray("new"));
    QCOMPARE(messages.count(), 0);
}

QTEST_MAIN(TestIOFunc)
#include "tst_iofunc.moc"
