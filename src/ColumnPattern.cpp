#include "ColumnPattern.h"

#include <algorithm>

#include <QStringList>

QString ColumnPattern(const QString& rowPath, const QString& fieldPath) {
    if (fieldPath == rowPath) return QStringLiteral(".");
    // Comparing UTF-16 units instead of UTF-8 bytes finds the same last shared "/": a
    // partly shared character is never a "/".
    const auto mismatch =
        std::mismatch(rowPath.cbegin(), rowPath.cend(), fieldPath.cbegin(), fieldPath.cend());
    const qsizetype shared = mismatch.first - rowPath.cbegin();
    // Index just after the last "/" of the shared part: 0 when there is none.
    const qsizetype tail = QStringView(rowPath).first(shared).lastIndexOf(u'/') + 1;
    const qsizetype stepsUp = 1 + QStringView(rowPath).sliced(tail).count(u'/');
    return QStringLiteral("../").repeated(stepsUp) + fieldPath.sliced(tail);
}

QString ElementColumnPattern(const QString& rowElementPath, const QString& fieldPath) {
    if (fieldPath == rowElementPath) return QStringLiteral(".");
    const QStringList row = rowElementPath.split(u'/');
    const QStringList field = fieldPath.split(u'/');
    const auto mismatch = std::mismatch(row.cbegin(), row.cend(), field.cbegin(), field.cend());
    const qsizetype shared = mismatch.first - row.cbegin();
    QStringList steps(row.size() - shared, QStringLiteral(".."));
    steps += field.sliced(shared);
    return steps.join(u'/');
}
