#include "app/startup.h"
#include "mainwindow/mainwindow.h"
#include "support/tempenvironment.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

class TestTranslation : public QObject
{
    Q_OBJECT

private slots:
    void everyEntryIsFinished();
    void germanWindow_data();
    void germanWindow();

private:
    static QChar mnemonic(const QString &text);
};

void TestTranslation::everyEntryIsFinished()
{
    QFile file(QStringLiteral(TS_FILE));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QSet<QString> contexts;
    QString context;
    QString source;
    int messages = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
            contexts.insert(context);
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            QVERIFY2(type.isEmpty(), qPrintable(context + ": " + source + " is " + type));
            QVERIFY2(!xml.readElementText().isEmpty(), qPrintable(context + ": " + source));
            ++messages;
        }
    }
    QVERIFY(!xml.hasError());
    for (const char *name : {"MainWindow", "WaitWindow", "FormBlacklist", "AboutWindow", "IOFunc"})
        QVERIFY2(contexts.contains(QString::fromLatin1(name)), name);
    QVERIFY(messages >= 40);
}

QChar TestTranslation::mnemonic(const QString &text)
{
    const qsizetype at = text.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
}

void TestTranslation::germanWindow_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("Germany") << "de_DE";
    QTest::newRow("Austria") << "de_AT";
    QTest::newRow("Switzerland") << "de_CH";
}

void TestTranslation::germanWindow()
{
    QFETCH(QString, locale);
    TestSupport::TempEnvironment env;
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QStringLiteral(QM_DIR)));
    QTranslator translator;
    const bool loaded = Startup::loadTranslation(translator, locale);
    QDir::setCurrent(oldCwd);
    QVERIFY(loaded);
    QCoreApplication::installTranslator(&translator);

    {
        MainWindow window;
        QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("buttonSearch"))->text(),
                 QStringLiteral("&Suche starten"));
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("label_3"))->text(),
                 QString::fromUtf8("Stichwörter"));
        QCOMPARE(QCoreApplication::translate("IOFunc", "Warning"), QStringLiteral("Warnung"));

        // Within each menu, and in the menu bar, a mnemonic leads to one entry only.
        QList<QList<QAction *>> groups = {window.menuBar()->actions()};
        for (QMenu *menu : window.findChildren<QMenu *>())
            groups.append(menu->actions());
        for (const QList<QAction *> &group : groups) {
            QSet<QChar> seen;
            for (QAction *action : group) {
                if (action->isSeparator())
                    continue;
                const QChar key = mnemonic(action->text());
                QVERIFY2(!key.isNull(), qPrintable(action->text()));
                QVERIFY2(!seen.contains(key), qPrintable(action->text()));
                seen.insert(key);
            }
        }
    }
    QCoreApplication::removeTranslator(&translator);
}

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
