// The pattern that leads OPENXML from the row node to one field's node.
#pragma once

#include <QString>

// "." when fieldPath is rowPath itself; otherwise one "../" per segment of rowPath below the
// deepest element both paths pass through, then fieldPath's rest below that element.
QString ColumnPattern(const QString& rowPath, const QString& fieldPath);

// From a chosen row element: "." for the element itself, the rest of fieldPath below it for its
// attributes and descendants, else one "../" per segment of rowElementPath below the deepest
// element both paths share, then the rest of fieldPath. Whole segments are compared.
QString ElementColumnPattern(const QString& rowElementPath, const QString& fieldPath);
