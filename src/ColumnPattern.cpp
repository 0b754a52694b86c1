#include "ColumnPattern.h"

#include <algorithm>

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
