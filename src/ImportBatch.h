// The T-SQL batches that hand a document to the server and fill the target table.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "ImportPlan.h"

// What every batch of one import shares.
struct BatchTarget {
    ImportPlan plan;  // at least one field
    // SELECT ... INTO a new table; otherwise INSERT INTO the table by position.
    bool createTable = true;
    // The chosen database's, to which the server converts varchar literals; 0 when not known.
    int codePage = 0;
    // <root xmlns:p="uri" .../>, the prefixes that the patterns may use; empty for none.
    QByteArray prefixDeclarations{};
};

// Creates the table unless its text is one of existingTables (exact comparison).
BatchTarget TargetOf(const ImportPlan& plan, const QStringList& existingTables, int codePage,
                     const QByteArray& prefixDeclarations);

// One document text as the batch carries it: in the database's code page (varchar), or in
// UTF-16 (nvarchar) when that lacks a character of a name; text in UTF-8 either way.
struct DocumentLiteral {
    QByteArray text;
    bool unicode = false;
};

// The largest declared sizes of a document's variable.
constexpr qsizetype MaxSizedVarchar = 8000;
constexpr qsizetype MaxSizedNVarchar = 4000;

// The batch for one document text. Text that fits a declared size (its bytes in the code
// page plus 50 at most 8,000, or its UTF-16 units plus 50 at most 4,000) goes as it always
// has: one statement after another, no transaction, the apostrophes as '+char(39)+'. Larger
// text goes in a max type with the apostrophes doubled (a concatenation of literals would
// be cut at 8,000 bytes), and the batch selects the document's handle, so that a batch that
// fails before its end can still have the document removed. Throws
// platform::CodePageError when a varchar literal's code page lacks one of its characters.
QByteArray ImportBatch(const BatchTarget& target, const DocumentLiteral& document);

// The batch of the larger form, whatever the size of the text: how a piece of a document goes.
QByteArray MaxTypeBatch(const BatchTarget& target, const DocumentLiteral& document);

// Whether ImportBatch puts the document in a max type.
bool GoesInMaxType(const DocumentLiteral& document, int codePage);

// Removes what a failed or cancelled import left: the open transaction, and the document
// with that handle (0: none).
QByteArray CleanUpBatch(int documentHandle);
