#include "ImportBatch.h"

#include "SqlNames.h"
#include "platform/CodePage.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray Crlf = QByteArrayLiteral("\r\n");

// A literal of user text: N'...' when the database's code page would change a character.
QByteArray Literal(const QString& text, int codePage) {
    const QByteArray quoted = '\'' + QuotedText(text).toUtf8() + '\'';
    return platform::CodePageHolds(quoted, codePage) ? quoted : 'N' + quoted;
}

// The size a document of this text is declared with, 0 when it needs a max type.
qsizetype DeclaredSize(const DocumentLiteral& document, int codePage) {
    const qsizetype size = document.unicode
                               ? QString::fromUtf8(document.text).size() + 50
                               : platform::LengthInCodePage(document.text, codePage) + 50;
    return size <= (document.unicode ? MaxSizedNVarchar : MaxSizedVarchar) ? size : 0;
}

// On the server each '+char(39)+' closes the literal, adds one apostrophe and opens it
// again, so @doc receives the document text itself.
void AppendEscapedDocument(QByteArray& batch, const QByteArray& text, bool concatenated) {
    const QByteArrayView apostrophe = concatenated ? "'+char(39)+'" : "''";
    qsizetype plain = 0;
    for (qsizetype at; (at = text.indexOf('\'', plain)) >= 0; plain = at + 1) {
        batch.append(QByteArrayView(text).sliced(plain, at - plain));
        batch.append(apostrophe);
    }
    batch.append(QByteArrayView(text).sliced(plain));
}

void AppendDocumentLines(QByteArray& batch, const DocumentLiteral& document, qsizetype size) {
    batch += document.unicode ? "DECLARE @doc nvarchar(" : "DECLARE @doc varchar(";
    batch += size > 0 ? QByteArray::number(size) : QByteArrayLiteral("max");
    batch += ')' + Crlf + "SET @doc =" + (document.unicode ? "N'" : "'");
    AppendEscapedDocument(batch, document.text, size > 0);
    batch += '\'' + Crlf;
}

// The prefixes of the declarations become known to the patterns of OPENXML.
QByteArray PrepareDocument(const BatchTarget& target) {
    QByteArray line = "EXEC sp_xml_preparedocument @idoc OUTPUT, @doc";
    if (!target.prefixDeclarations.isEmpty())
        line += ", " + Literal(QString::fromUtf8(target.prefixDeclarations), target.codePage);
    return line + Crlf;
}

QByteArray TargetClause(const BatchTarget& target) {
    const QString table = BracketedText(target.plan.table);
    return (target.createTable ? u" SELECT * INTO ["_s + table + u"] "_s
                               : u" INSERT INTO ["_s + table + u"]  SELECT * "_s)
        .toUtf8();
}

QByteArray ColumnPieces(const BatchTarget& target) {
    QByteArrayList pieces;
    for (const MappedField& field : target.plan.fields) {
        pieces += ' ' + FieldNameInSql(field.name).toUtf8() + ' ' + field.type.toUtf8() + ' ' +
                  Literal(field.pattern, target.codePage);
    }
    return pieces.join(',');
}

// size: the declared size, 0 for a max type.
QByteArray Batch(const BatchTarget& target, const DocumentLiteral& document, qsizetype size) {
    QByteArray batch;
    batch.reserve(document.text.size() + document.text.count('\'') * 12 + 4096);
    batch += "DECLARE @idoc int" + Crlf;
    AppendDocumentLines(batch, document, size);
    batch += PrepareDocument(target);
    if (size == 0) batch += "SELECT @idoc" + Crlf;
    batch += TargetClause(target);
    batch += " FROM OPENXML (@idoc, " + Literal(target.plan.rowPath, target.codePage) +
             ",1) WITH (" + Crlf;
    batch += ColumnPieces(target) + ")" + Crlf;
    batch += "EXEC sp_xml_removedocument @idoc";
    return batch;
}

}  // namespace

BatchTarget TargetOf(const ImportPlan& plan, const QStringList& existingTables, int codePage,
                     const QByteArray& prefixDeclarations) {
    return {plan, !existingTables.contains(plan.table, Qt::CaseSensitive), codePage,
            prefixDeclarations};
}

bool GoesInMaxType(const DocumentLiteral& document, int codePage) {
    return DeclaredSize(document, codePage) == 0;
}

QByteArray ImportBatch(const BatchTarget& target, const DocumentLiteral& document) {
    return Batch(target, document, DeclaredSize(document, target.codePage));
}

QByteArray MaxTypeBatch(const BatchTarget& target, const DocumentLiteral& document) {
    return Batch(target, document, 0);
}

QByteArray CleanUpBatch(int documentHandle) {
    QByteArray batch = "IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION";
    if (documentHandle > 0)
        batch += Crlf + "EXEC sp_xml_removedocument " + QByteArray::number(documentHandle);
    return batch;
}
