#include "Catalogue.h"

QString ConnectionString(const QString& server, const QString& user) {
    QString text = QStringLiteral("Provider=SQLOLEDB.1;Data Source=") + server;
    if (user.isEmpty()) text += QStringLiteral(";Integrated Security=SSPI;");
    return text;
}

QString DatabasesStatement() { return QStringLiteral("exec sp_databases"); }

QString TablesStatement() { return QStringLiteral("exec sp_tables"); }

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
