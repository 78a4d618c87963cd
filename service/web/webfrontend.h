#pragma once

#include "httpmessage.h"
#include "seedresult.h"

#include <QByteArrayView>

#include <vector>

class Associator;
class Lexicon;
struct WebQuery;

// The service for people and scripts: the search page at "/" and the association API. It keeps
// no state between requests, so any number of copies can stand behind one proxy.
class WebFrontend
{
public:
    WebFrontend(const Associator *associator, const Lexicon *lexicon)
        : m_associator(associator), m_lexicon(lexicon)
    {}

    static bool serves(QByteArrayView path);
    HttpResponse handle(const HttpRequest &request) const;

private:
    HttpResponse page(const HttpRequest &request) const;
    HttpResponse api(const HttpRequest &request) const;
    std::vector<SeedResult> associate(const WebQuery &query) const;

    const Associator *m_associator;
    const Lexicon *m_lexicon;
};
