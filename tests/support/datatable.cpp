#include "datatable.h"

#include <QFile>
#include <QList>
#include <QTest>

#include <list>

namespace TestSupport {

namespace {

QMetaType typeOf(QByteArrayView type)
{
    const std::pair<QByteArrayView, QMetaType> types[] = {
        {"", QMetaType::fromType<QString>()},
        {"bytes", QMetaType::fromType<QByteArray>()},
        {"int", QMetaType::fromType<int>()},
        {"bool", QMetaType::fromType<bool>()},
        {"list", QMetaType::fromType<QStringList>()},
        {"byteslist", QMetaType::fromType<QByteArrayList>()}};
    for (const auto &[name, meta] : types)
        if (name == type)
            return meta;
    qFatal("unknown column type %s", type.toByteArray().constData());
}

// The field as a value of the type; an invalid one where it cannot be read as such.
QVariant valueOf(QMetaType type, const QByteArray &field)
{
    const QByteArray bytes = unescaped(field);
    if (type == QMetaType::fromType<QByteArray>())
        return bytes;
    if (type == QMetaType::fromType<bool>())
        return bytes == "true" || bytes == "false" ? QVariant(bytes == "true") : QVariant();
    QByteArrayList items;
    QStringList texts;
    for (const QByteArray &item : field == "\"\"" ? QByteArrayList() : field.split('|')) {
        items.append(unescaped(item.trimmed()));
        texts.append(QString::fromUtf8(items.last()));
    }
    if (type == QMetaType::fromType<QByteArrayList>())
        return QVariant::fromValue(items);
    if (type == QMetaType::fromType<QStringList>())
        return texts;
    QVariant value = QString::fromUtf8(bytes);
    return value.convert(type) ? value : QVariant();
}

} // namespace

QString dataFile(const QString &name)
{
    return QStringLiteral(LEXIGROVE_TEST_TABLES "/") + name;
}

QByteArray unescaped(QByteArrayView field)
{
    if (field == "\"\"")
        return {};
    QByteArray bytes;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c != '\\' || i + 1 == field.size()) {
            bytes.append(c);
            continue;
        }
        const char next = field[++i];
        if (next == 'x' && i + 2 < field.size()) {
            bytes.append(char(field.sliced(i + 1, 2).toByteArray().toUInt(nullptr, 16)));
            i += 2;
        } else if (next == 'u' && i + 4 < field.size()) {
            const uint code = field.sliced(i + 1, 4).toByteArray().toUInt(nullptr, 16);
            bytes.append(QString(QChar(code)).toUtf8());
            i += 4;
        } else {
            const QByteArrayView from("trn0"), to("\t\r\n\0", 4);
            bytes.append(from.contains(next) ? to[from.indexOf(next)] : next);
        }
    }
    return bytes;
}

void addRows(const QString &table, std::initializer_list<const char *> columns)
{
    // The table keeps the names' pointers, not copies.
    static std::list<QByteArray> names;
    QList<QMetaType> types;
    for (const char *column : columns) {
        const QByteArrayList parts = QByteArray(column).split(':');
        types.append(typeOf(parts.value(1)));
        QTest::addColumnInternal(types.last().id(), names.emplace_back(parts[0]).constData());
    }
    const QString path = dataFile(table);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    for (int number = 1; !file.atEnd(); ++number) {
        const QByteArray line = file.readLine().replace('\n', "");
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        QByteArrayList fields = line.split('\t');
        fields.removeAll(QByteArray());
        const QByteArray where = QFile::encodeName(path) + ':' + QByteArray::number(number);
        if (fields.size() != types.size() + 1)
            qFatal("%s: %d fields, not %d", where.constData(), int(fields.size()),
                   int(types.size() + 1));
        QTestData &row = QTest::newRow(fields[0].constData());
        for (qsizetype i = 0; i < types.size(); ++i) {
            const QVariant value = valueOf(types[i], fields[i + 1]);
            if (!value.isValid())
                qFatal("%s: cannot read %s", where.constData(), fields[i + 1].constData());
            row.append(types[i].id(), value.constData());
        }
    }
}

} // namespace TestSupport
