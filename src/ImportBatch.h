// The one T-SQL batch that hands the document to the server and fills the target table.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "FieldList.h"

struct ImportSource {
    QByteArray documentText;  // UTF-8, every line ending in CR LF; empty without a document
    QString tableText;        // as typed
    QStringList existingTables;
    QString rowPath;
    std::vector<FieldRow> fields;  // at least one
    // The chosen database's, to which the server converts the document literal; 0 when not
    // known. The declared size counts the document's bytes in it.
    int codePage = 0;
    // <root xmlns:p="uri" .../>, the prefixes that the patterns may use; empty for none.
    QByteArray prefixDeclarations{};
};

// UTF-8. Throws platform::CodePageError when the code page lacks a character of the
// document text. Inserts into the table by position when its name is one of existingTables (exact
// comparison), otherwise creates it with SELECT ... INTO.
QByteArray ImportBatch(const ImportSource& source);
