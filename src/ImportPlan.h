// What decides an import, apart from the document and the server: what a row is, the columns
// with the patterns that reach their values from the row node, and the target table. Made
// from the window's tree and field list, or read from a mapping file, and the same for every
// document it is run on.
#pragma once

#include <vector>

#include <QString>

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
