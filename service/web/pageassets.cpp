#include "web/pageassets.h"

#include <QCryptographicHash>
#include <QStringBuilder>

namespace PageAssets {

namespace {

QByteArray hashSource(const QByteArray &text)
{
    return QByteArray("'sha256-") +
           QCryptographicHash::hash(text, QCryptographicHash::Sha256).toBase64() + '\'';
}

} // namespace

const QByteArray &style()
{
    static const QByteArray text = R"css(
:root { color-scheme: light dark; --fg: #1e2624; --muted: #5c6864; --bg: #f4f6f4;
  --card: #fff; --line: #dce3df; --accent: #2c6a4d; --on-accent: #fff; --link: #1f5c8f;
  --alarm: #a8261b; --alarm-bg: #fcebe8; }
@media (prefers-color-scheme: dark) {
  :root { --fg: #e3e8e5; --muted: #9eaaa4; --bg: #141816; --card: #1d2320; --line: #323b37;
    --accent: #79c29b; --on-accent: #0f2219; --link: #8cc3f0; --alarm: #ffb4a8;
    --alarm-bg: #3b1a16; }
}
* { box-sizing: border-box; }
body { margin: 0; background: var(--bg); color: var(--fg);
  font: 16px/1.45 system-ui, "Segoe UI", Roboto, "Noto Sans", "DejaVu Sans", sans-serif; }
a { color: var(--link); }
.top { background: var(--accent); color: var(--on-accent); }
.top div, main, footer { max-width: 120rem; margin: 0 auto; padding-left: 1rem; padding-right: 1rem; }
form, .problem { max-width: 76rem; }
.top div { display: flex; flex-wrap: wrap; align-items: baseline; gap: .2rem 1rem;
  padding-top: .7rem; padding-bottom: .7rem; }
.top h1 { margin: 0; font-size: 1.4rem; }
.top a { color: inherit; text-decoration: none; }
.top p { margin: 0; flex: 1; opacity: .9; }
.top .language { text-decoration: underline; }
main { padding-top: 1rem; }
form { display: grid; grid-template-columns: 1fr auto auto; gap: .4rem 1rem; align-items: end;
  background: var(--card); border: 1px solid var(--line); border-radius: .5rem; padding: 1rem; }
label { display: block; font-weight: 600; margin-bottom: .25rem; }
input, button { font: inherit; color: inherit; }
input { width: 100%; background: var(--bg); border: 1px solid var(--line);
  border-radius: .35rem; padding: .45rem .6rem; }
input, button { height: 2.75rem; }
.count input { width: 8rem; }
button { background: var(--accent); color: var(--on-accent); border: 0; border-radius: .35rem;
  padding: 0 1.6rem; font-weight: 600; cursor: pointer; }
.hint { grid-column: 1 / -1; margin: 0; color: var(--muted); font-size: .875rem; }
.problem { margin: 1rem 0; padding: .6rem .9rem; border-left: 4px solid var(--alarm);
  background: var(--alarm-bg); color: var(--alarm); }
.downloads { margin: 1rem 0 .6rem; font-weight: 600; }
.results { display: grid; grid-template-columns: repeat(auto-fill, minmax(30rem, 1fr));
  gap: 1rem; align-items: start; }
section { min-width: 0; overflow-x: auto; background: var(--card); border: 1px solid var(--line);
  border-radius: .5rem; padding: .6rem .9rem .8rem; }
h2 { margin: .1rem 0 .4rem; font-size: 1.15rem; overflow-wrap: anywhere; }
h2 small { font-size: .85rem; font-weight: 400; color: var(--muted); }
section p { margin: .3rem 0; color: var(--muted); }
table { width: 100%; border-collapse: collapse; }
caption { position: absolute; width: 1px; height: 1px; overflow: hidden; clip-path: inset(50%);
  white-space: nowrap; }
th, td { padding: .28rem .4rem; text-align: left; border-bottom: 1px solid var(--line); }
tbody tr:last-child td { border-bottom: 0; }
th { font-size: .78rem; font-weight: 600; text-transform: uppercase; letter-spacing: .04em;
  color: var(--muted); white-space: nowrap; cursor: pointer; user-select: none; }
th[aria-sort=ascending]::after { content: " \25B2"; }
th[aria-sort=descending]::after { content: " \25BC"; }
td:nth-child(2) { hyphens: auto; -webkit-hyphens: auto; }
td:nth-child(3) { color: var(--muted); white-space: nowrap; }
.num { text-align: right; font-variant-numeric: tabular-nums; width: 1%; white-space: nowrap; }
footer { margin-top: 1.5rem; margin-bottom: 1.5rem; color: var(--muted); font-size: .875rem; }
code { overflow-wrap: anywhere; }
@media (max-width: 40rem) {
  form { grid-template-columns: 1fr auto; }
  .keywords { grid-column: 1 / -1; }
  .count input { width: 6rem; }
  .results { grid-template-columns: 1fr; }
  .top p { order: 3; flex-basis: 100%; }
  .top h1 { flex: 1; }
  table { font-size: .95rem; }
  th:first-child, td:first-child { display: none; }
  td:nth-child(3) { white-space: normal; width: 1%; }
}
)css";
    return text;
}

const QByteArray &script()
{
    static const QByteArray text = R"js(
for (const th of document.querySelectorAll("th[data-sort]")) {
  const sort = () => {
    const table = th.closest("table"), body = table.tBodies[0];
    const up = th.getAttribute("aria-sort") !== "ascending";
    for (const other of table.querySelectorAll("th")) other.removeAttribute("aria-sort");
    th.setAttribute("aria-sort", up ? "ascending" : "descending");
    const key = row => {
      const text = row.cells[th.cellIndex].textContent;
      return th.dataset.sort === "num" ? parseFloat(text.replace(",", ".")) : text;
    };
    const lang = document.documentElement.lang;
    const rows = Array.from(body.rows).sort((a, b) => {
      const x = key(a), y = key(b);
      const order = typeof x === "number" ? x - y : x.localeCompare(y, lang);
      return up ? order : -order;
    });
    body.append(...rows);
  };
  th.tabIndex = 0;
  th.addEventListener("click", sort);
  th.addEventListener("keydown", event => {
    if (event.key === "Enter" || event.key === " ") { event.preventDefault(); sort(); }
  });
}
)js";
    return text;
}

const QByteArray &contentSecurityPolicy()
{
    static const QByteArray policy = QByteArray("default-src 'none'; style-src ") +
                                     hashSource(style()) + "; script-src " + hashSource(script()) +
                                     "; form-action 'self'; base-uri 'none'; frame-ancestors "
                                     "'none'";
    return policy;
}

} // namespace PageAssets
