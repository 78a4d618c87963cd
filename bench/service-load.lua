-- wrk script: the request the desktop program sends for a search, on kept-alive connections.
wrk.method = "POST"
wrk.path = "/cgi-bin/meta/meta.ger1-asso"
wrk.body = "eingabe=Haus&anzahl=200"
wrk.headers["Content-Type"] = "text/html"
wrk.headers["Keep-Alive"] = "300"
wrk.headers["Connection-Type"] = "keep-alive"
wrk.headers["Referer"] = "/cgi-bin/meta/meta.ger1-asso"
