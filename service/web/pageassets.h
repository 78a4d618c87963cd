#pragma once

#include <QByteArray>

// The style sheet and the sorting script of the search page. Both go inline, so the page needs
// no other request, and the Content-Security-Policy names them by hash: nothing else may run.
namespace PageAssets {

const QByteArray &style();
const QByteArray &script();
// The policy for every reply of the web side (the files have no script either).
const QByteArray &contentSecurityPolicy();

} // namespace PageAssets
