#include "web/seedsearch.h"

#include "query/associator.h"

#include <utility>

SeedSearch::SeedSearch(const Associator *associator, const QStringList &seeds, int count,
                       Render render)
    : m_associator(associator), m_count(count), m_render(std::move(render))
{
    m_results.reserve(size_t(seeds.size()));
    for (const QString &seed : seeds) {
        m_results.push_back({seed, {}});
    }
}

void SeedSearch::computePart(int index)
{
    SeedResult &result = m_results[size_t(index)];
    result.associations = m_associator->associate(result.seed, m_count);
}
