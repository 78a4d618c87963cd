#pragma once

#include <QList>
#include <QRgb>

namespace FlagIcons {

constexpr int width = 21;
constexpr int height = 14;

// The US flag's colours, in palette order: red, white, blue.
extern const QList<QRgb> usPalette;

} // namespace FlagIcons
