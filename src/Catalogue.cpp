#include "Catalogue.h"

#include "platform/Ado.h"

QString ConnectionString(const QString& server, const QString& user) {
    QString text = QStringLiteral("Provider=SQLOLEDB.1;Data Source=") + server;
    if (user.isEmpty()) text += QStringLiteral(";Integrated Security=SSPI;");
    return text;
}

QString DatabasesStatement() { return QStringLiteral("exec sp_databases"); }

QString TablesStatement() { return QStringLiteral("exec sp_tables"); }

QString CodePageStatement() {
    return QStringLiteral(
        "SELECT CONVERT(int, COLLATIONPROPERTY(CONVERT(nvarchar(128), "
        "DATABASEPROPERTYEX(DB_NAME(), 'Collation')), 'CodePage')) AS CodePage");
}

QString UseStatement(const QString& database) {
    QString quoted = database;
    quoted.replace(u']', QStringLiteral("]]"));
    return QStringLiteral("USE [") + quoted + u']';
}

bool IsTableOrView(const QVariant& tableType) {
    if (tableType.isNull()) return false;
    const QString type = tableType.toString();
    return type == u"TABLE" || type == u"VIEW";
}

QStringList TableNames(platform::Recordset& rows) {
    QStringList names;
    for (; !rows.Eof(); rows.MoveNext()) {
        if (IsTableOrView(rows.Field(QStringLiteral("TABLE_TYPE"))))
            names << rows.Field(QStringLiteral("TABLE_NAME")).toString();
    }
    return names;
}

int CurrentCodePage(platform::Recordset& recordset, platform::Connection& connection) {
    try {
        if (recordset.State() > 0) recordset.Close();
        recordset.Open(CodePageStatement(), connection);
        return recordset.Eof() ? 0 : recordset.Field(QStringLiteral("CodePage")).toInt();
    } catch (const std::exception&) {
        return 0;
    }
}
