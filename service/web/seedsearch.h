#pragma once

#include "http/httpmessage.h"
#include "web/seedresult.h"

#include <QStringList>

#include <functional>
#include <vector>

class Associator;

// A search for several seed keywords, one part each, made into a reply once all are found.
class SeedSearch : public HttpSplitAnswer
{
public:
    using Render = std::function<HttpResponse(const std::vector<SeedResult> &)>;

    SeedSearch(const Associator *associator, const QStringList &seeds, int count, Render render);

    int parts() const override { return int(m_results.size()); }
    void computePart(int index) override;
    HttpResponse response() override { return m_render(m_results); }

private:
    const Associator *m_associator;
    int m_count;
    Render m_render;
    std::vector<SeedResult> m_results; // each written by its own part only
};
