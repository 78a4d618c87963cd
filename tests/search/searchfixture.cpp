#include "searchfixture.h"

#include "dialogs/waitwindow.h"
#include "search/httpclient.h"

#include <QFile>
#include <QLCDNumber>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>

SearchFixture *SearchFixture::s_current = nullptr;

SearchFixture::SearchFixture()
{
    s_current = this;
    m_previousHandler = qInstallMessageHandler(&SearchFixture::collectDebug);
    server.listen();
    qputenv("LEXIGROVE_SERVICE_URL", server.url().toString().toUtf8());
    window = std::make_unique<MainWindow>();
    window->show();
    results = window->findChild<QTextEdit *>(QStringLiteral("textEditResults"));
    blacklist = window->findChild<QTextEdit *>(QStringLiteral("textEditBlacklist"));
    keyword = window->findChild<QLineEdit *>(QStringLiteral("lineEditSearchTerm"));
    lcd = window->findChild<QLCDNumber *>(QStringLiteral("lcdNumber"));
    quantity = window->findChild<QSpinBox *>(QStringLiteral("spinBoxQuantity"));
    http = window->findChild<HttpClient *>();
    waitWindow = window->findChild<WaitWindow *>();
    // An empty common list, so that only the tests that want its warnings see them.
    writeFile(blacklistPath(), QByteArray());
}

SearchFixture::~SearchFixture()
{
    window.reset();
    qunsetenv("LEXIGROVE_SERVICE_URL");
    qInstallMessageHandler(m_previousHandler);
    s_current = nullptr;
}

void SearchFixture::collectDebug(QtMsgType type, const QMessageLogContext &context,
                                 const QString &text)
{
    if (type == QtDebugMsg && s_current)
        s_current->m_debug.append(text);
    else if (s_current && s_current->m_previousHandler)
        s_current->m_previousHandler(type, context, text);
}

QByteArray SearchFixture::page(const QStringList &words)
{
    QByteArray out = "<html><head><meta charset=\"utf-8\"></head><body>\n";
    for (const QString &word : words)
        out += "<center>Assoziation ueber <a href=\"/w\">" + word.toUtf8() + "</a></center>\n";
    return out + "</body></html>\n";
}

void SearchFixture::search(const QString &text)
{
    keyword->setText(text);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("buttonSearch")),
                      Qt::LeftButton);
}

QString SearchFixture::replyFilePath() const
{
    return env.dataDir() + QStringLiteral("/tmp.txt");
}

QString SearchFixture::blacklistPath() const
{
    return env.dataDir() + QStringLiteral("/default_blacklist.txt");
}

void SearchFixture::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QStringList SearchFixture::shownLines() const
{
    const QString text = results->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}
