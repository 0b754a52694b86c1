// The one T-SQL batch that hands the document to the server and fills the target table.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "FieldList.h"

struct ImportSource {
    QByteArray documentText;  // 8-bit, every line ending in CR LF; empty without a document
    QString tableText;        // as typed
    QStringList existingTables;
    QString rowPath;
    std::vector<FieldRow> fields;  // at least one
};

// UTF-8. Inserts into the table by position when its name is one of existingTables (exact
// comparison), otherwise creates it with SELECT ... INTO.
QByteArray ImportBatch(const ImportSource& source);
