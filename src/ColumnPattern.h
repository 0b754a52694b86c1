// The pattern that leads OPENXML from the row node to one field's node.
#pragma once

#include <QString>

// "." when fieldPath is rowPath itself; otherwise one "../" per segment of rowPath below the
// deepest element both paths pass through, then fieldPath's rest below that element.
QString ColumnPattern(const QString& rowPath, const QString& fieldPath);
