#pragma once

#include "query/associator.h"

#include <QString>

#include <vector>

// The associations of one seed keyword, best first.
struct SeedResult
{
    QString seed;
    std::vector<Association> associations;
};
