#include "app/startup.h"
#include "mainwindow/mainwindow.h"
#include "support/datatable.h"
#include "support/messagerecorder.h"
#include "support/tempenvironment.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QResource>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(QDir::setCurrent(QStringLiteral(QM_DIR))); }
    void everyImage_data();
    void everyImage();
    void loadsTranslationFromTheWorkingFolderOnly_data();
    void loadsTranslationFromTheWorkingFolderOnly();
    void everyEntryIsFinished();
    void germanWindow();
    void runWarnsOfAFailedServiceAndShowsTheWindow_data();
    void runWarnsOfAFailedServiceAndShowsTheWindow();

private:
    static QStringList contextMenu(QWidget *widget);
};

void TestStartup::everyImage_data()
{
    // The PNG header's bit depth and colour type (6 RGBA, 2 RGB, 3 indexed).
    TestSupport::addRows(u"app/images.tsv"_s, {"name", "width:int", "height:int", "format:bytes"});
}

void TestStartup::everyImage()
{
    QFETCH(QString, name);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QByteArray, format);
    Q_INIT_RESOURCE(lexigrove);
    const QString path = u":/img/"_s + name + u".png"_s;
    QCOMPARE(QResource(path).compressionAlgorithm(), QResource::NoCompression);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray data = file.readAll();
    QCOMPARE(data.mid(12, 4) + data.mid(24, 2), "IHDR" + format);
    QCOMPARE(QImage::fromData(data, "PNG").size(), QSize(width, height));
}

void TestStartup::loadsTranslationFromTheWorkingFolderOnly_data()
{
    TestSupport::addRows(u"app/translations.tsv"_s, {"locale", "found:bool", "folder"});
}

void TestStartup::loadsTranslationFromTheWorkingFolderOnly()
{
    QFETCH(QString, locale);
    QFETCH(bool, found);
    QFETCH(QString, folder);
    QVERIFY(QDir::setCurrent(folder));
    QTranslator translator;
    QCOMPARE(Startup::loadTranslation(translator, locale), found);
    QCOMPARE(translator.translate("IOFunc", "Warning").isEmpty(), !found);
}

void TestStartup::everyEntryIsFinished()
{
    QFile file(QStringLiteral(TS_FILE));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString source;
    int messages = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            QVERIFY2(xml.attributes().value(QLatin1String("type")).isEmpty(), qPrintable(source));
            QVERIFY2(!xml.readElementText().isEmpty(), qPrintable(source));
            ++messages;
        }
    }
    QVERIFY(messages >= 40);
}

// The entries of the widget's context menu, which the toolkit builds anew at each opening.
QStringList TestStartup::contextMenu(QWidget *widget)
{
    QStringList texts;
    QTimer::singleShot(0, widget, [&texts] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            for (QAction *action : popup->actions())
                texts.append(action->text());
            popup->close();
        }
    });
    const QPoint at(4, 4);
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &event);
    static_cast<void>(QTest::qWaitFor([&texts] { return !texts.isEmpty(); }));
    texts.removeAll(QString());
    return texts;
}

void TestStartup::germanWindow()
{
    TestSupport::TempEnvironment env;
    QTranslator translator;
    QVERIFY(Startup::loadTranslation(translator, u"de_DE"_s));
    QCoreApplication::installTranslator(&translator);
    MainWindow window;
    window.show();
    QCOMPARE(window.findChild<QPushButton *>(u"buttonSearch"_s)->text(), u"&Suche starten"_s);

    // Within each menu, and in the menu bar, a mnemonic leads to one entry only.
    QList<QList<QAction *>> groups = {window.menuBar()->actions()};
    for (QMenu *menu : window.findChildren<QMenu *>())
        groups.append(menu->actions());
    for (const QList<QAction *> &group : groups) {
        QSet<QChar> seen;
        for (QAction *action : group) {
            const qsizetype at = action->text().indexOf(QLatin1Char('&')) + 1;
            const QChar key = at > 0 ? action->text().at(at).toLower() : QChar();
            QVERIFY2(action->isSeparator() || (!key.isNull() && !seen.contains(key)),
                     qPrintable(action->text()));
            seen.insert(key);
        }
    }

    // The toolkit's context menus speak German too: no entry is left as the English one.
    QList<QWidget *> editable;
    QStringList german;
    for (const char *name : {"lineEditSearchTerm", "textEditResults", "spinBoxQuantity"}) {
        editable.append(window.findChild<QWidget *>(QString::fromLatin1(name)));
        german += contextMenu(editable.last());
    }
    QCoreApplication::removeTranslator(&translator);
    for (QWidget *widget : editable) {
        const QStringList english = contextMenu(widget);
        QVERIFY2(english.size() >= 7, qPrintable(english.join(QLatin1Char('|'))));
        for (const QString &text : english)
            QVERIFY2(!german.contains(text), qPrintable(text));
    }
}

void TestStartup::runWarnsOfAFailedServiceAndShowsTheWindow_data()
{
    QTest::addColumn<QByteArray>("failure");
    QTest::newRow("service started") << QByteArray();
    QTest::newRow("service failed") << QByteArray("lexigrove-assocd: <b>no data</b>");
}

void TestStartup::runWarnsOfAFailedServiceAndShowsTheWindow()
{
    QFETCH(QByteArray, failure);
    TestSupport::TempEnvironment env;
    TestSupport::MessageRecorder messages;
    qputenv(Startup::ServiceFailureVariable, failure);
    bool shown = false;
    QTimer::singleShot(0, this, [&shown] {
        for (QWidget *widget : QApplication::topLevelWidgets())
            shown |= qobject_cast<MainWindow *>(widget) && widget->isVisible();
        QApplication::closeAllWindows();
    });
    // A window that does not close, or a loop that does not end with it, fails with 99.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [] { QCoreApplication::exit(99); });
    guard.start(10000);
    QCOMPARE(Startup::run(), 0);
    qunsetenv(Startup::ServiceFailureVariable);
    QVERIFY(shown);
    QCOMPARE(messages.count(), failure.isEmpty() ? 0 : 1);
    // Shown as text: the service's words are never taken for markup.
    QVERIFY(failure.isEmpty() || (messages.last().kind == MessageBox::Warning &&
                                  messages.last().text.contains(u"&lt;b&gt;"_s)));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
