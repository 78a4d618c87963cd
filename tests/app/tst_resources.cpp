#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QResource>
#include <QTest>

// Reads the bit depth and colour type from a PNG's header chunk.
static bool pngHeader(const QByteArray &data, int *bitDepth, int *colourType)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (data.size() < 26 || !data.startsWith(signature) || data.mid(12, 4) != "IHDR")
        return false;
    *bitDepth = static_cast<unsigned char>(data.at(24));
    *colourType = static_cast<unsigned char>(data.at(25));
    return true;
}

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(lexigrove); }
    void everyImage_data();
    void everyImage();
};

void TestResources::everyImage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("bitDepth");
    QTest::addColumn<int>("colourType"); // 6 RGBA, 2 RGB, 3 indexed
    const QSize icon(32, 32);
    for (const char *name : {"editcut", "editcopy", "editpaste", "filenew", "exit", "help",
                             "filesaveas", "filesave", "plugin"})
        QTest::newRow(name) << QString::fromLatin1(name) << icon << 8 << 6;
    QTest::newRow("search") << "search" << QSize(48, 48) << 8 << 6;
    QTest::newRow("de") << "de" << QSize(21, 14) << 8 << 2;
    QTest::newRow("us") << "us" << QSize(21, 14) << 2 << 3;
}

void TestResources::everyImage()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(int, bitDepth);
    QFETCH(int, colourType);
    const QString path = QStringLiteral(":/img/") + name + QStringLiteral(".png");

    QResource resource(path);
    QVERIFY2(resource.isValid(), qPrintable(path));
    QCOMPARE(resource.compressionAlgorithm(), QResource::NoCompression);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    int depth = 0;
    int type = 0;
    QVERIFY(pngHeader(file.readAll(), &depth, &type));
    QCOMPARE(depth, bitDepth);
    QCOMPARE(type, colourType);

    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    QVERIFY(!QIcon(path).isNull());
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
