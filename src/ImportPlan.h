// What decides an import, apart from the document and the server: what a row is, the columns
// with the patterns that reach their values from the row node, and the target table. Made
// from the window's tree and field list, or read from a mapping file, and the same for every
// document it is run on.
#pragma once

#include <vector>

#include <QString>

#include "FieldList.h"

struct MappedField {
    QString path;     // the field's XML path in the document it was picked from
    QString name;     // the column's name, as typed
    QString type;     // the column's data type text, as typed (VarChar(50), Int, ...)
    QString pattern;  // OPENXML's column pattern, relative to the row node

    friend bool operator==(const MappedField&, const MappedField&) = default;
};

struct ImportPlan {
    QString rowPath;  // OPENXML's row pattern
    std::vector<MappedField> fields;
    QString table;  // as typed

    friend bool operator==(const ImportPlan&, const ImportPlan&) = default;
};

// What a row is: the structure tree's first deepest node (a text element, an attribute, or an
// empty container), or an element the user or a mapping chose, whose attributes and
// descendants the patterns reach downwards.
struct RowChoice {
    QString path;
    bool element = false;

    friend bool operator==(const RowChoice&, const RowChoice&) = default;
};

// The plan for these fields, each pattern leading from the chosen row node to its field.
ImportPlan MakePlan(const RowChoice& row, const std::vector<FieldRow>& fields,
                    const QString& table);
