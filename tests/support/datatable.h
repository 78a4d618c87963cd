#pragma once

#include <QByteArray>
#include <QString>

#include <initializer_list>

namespace TestSupport {

// Fills the current QTest data table from a file in tests/data, for tables that read better as
// plain rows than as C++. One row a line: its name, then one field a column, separated by tabs
// (a run of tabs is one separator, so columns may be lined up). Lines starting with "#" and blank
// lines are passed over. A column is named "name" (QString), "name:bytes" (QByteArray),
// "name:int", "name:bool" ("true" or "false"), "name:list" (QStringList) or "name:byteslist"
// (QByteArrayList); a list's items stand apart by "|", blanks around it left out. In a field, "" is
// the empty value, \t \r \n \0 \\ and \xHH stand for their bytes and \uHHHH for a character in
// UTF-8. A file that cannot be read, or a line of the wrong shape, ends the test program with a
// message.
void addRows(const QString &table, std::initializer_list<const char *> columns);

// The path of a file in tests/data.
QString dataFile(const QString &name);

// A field's bytes with its escapes replaced, as addRows reads them.
QByteArray unescaped(QByteArrayView field);

} // namespace TestSupport
