#include "ImportBatch.h"

#include "ColumnPattern.h"
#include "SqlNames.h"
#include "platform/CodePage.h"

using namespace Qt::StringLiterals;

namespace {

// On the server each piece closes the literal, adds one apostrophe and opens it again, so
// @doc receives the document text itself.
QByteArray EscapedDocument(const QByteArray& documentText) {
    return QByteArray(documentText).replace('\'', QByteArrayLiteral("'+char(39)+'"));
}

// The prefixes of the declarations become known to the patterns of OPENXML.
QByteArray PrepareDocument(const QByteArray& prefixDeclarations) {
    QByteArray line = "EXEC sp_xml_preparedocument @idoc OUTPUT, @doc";
    if (!prefixDeclarations.isEmpty())
        line += ", '" + QByteArray(prefixDeclarations).replace('\'', "''") + '\'';
    return line;
}

QString TargetClause(const ImportSource& source) {
    const QString table = BracketedText(source.tableText);
    if (source.existingTables.contains(source.tableText, Qt::CaseSensitive))
        return u" INSERT INTO ["_s + table + u"]  SELECT * "_s;
    return u" SELECT * INTO ["_s + table + u"] "_s;
}

QString ColumnPieces(const ImportSource& source) {
    QStringList pieces;
    for (const FieldRow& field : source.fields) {
        pieces += u' ' + FieldNameInSql(field.name) + u' ' + field.type + u" '"_s +
                  QuotedText(ColumnPattern(source.rowPath, field.path)) + u'\'';
    }
    return pieces.join(u',');
}

}  // namespace

QByteArray ImportBatch(const ImportSource& source) {
    const QByteArray crlf = QByteArrayLiteral("\r\n");
    QByteArray batch;
    batch += "DECLARE @idoc int" + crlf;
    const qsizetype documentBytes =
        platform::LengthInCodePage(source.documentText, source.codePage);
    batch += "DECLARE @doc varchar(" + QByteArray::number(documentBytes + 50) + ")" + crlf;
    batch += "SET @doc ='" + EscapedDocument(source.documentText) + "'" + crlf;
    batch += PrepareDocument(source.prefixDeclarations) + crlf;
    batch += TargetClause(source).toUtf8();
    batch += " FROM OPENXML (@idoc, '" + QuotedText(source.rowPath).toUtf8() + "',1) WITH (" + crlf;
    batch += ColumnPieces(source).toUtf8() + ")" + crlf;
    batch += "EXEC sp_xml_removedocument @idoc";
    return batch;
}
