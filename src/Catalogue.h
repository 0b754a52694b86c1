// What Connect and the database list send to the server, and how the catalogue rows are read.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace platform {
class Connection;
class Recordset;
}  // namespace platform

// "Provider=SQLOLEDB.1;Data Source=" and the server text as typed; the logged-on account when
// the user text is empty. The user name and password never enter it.
QString ConnectionString(const QString& server, const QString& user);

QString DatabasesStatement();
QString TablesStatement();
// The current database's code page, from its collation, in the column "CodePage".
QString CodePageStatement();

// "USE [name]" with every "]" doubled, so that any database name can be chosen.
QString UseStatement(const QString& database);

// Only rows of type "TABLE" or "VIEW", compared exactly; a null type is neither.
bool IsTableOrView(const QVariant& tableType);

// The names of the tables and views among the rows the recordset holds, in their order.
QStringList TableNames(platform::Recordset& rows);

// The code page that the current database converts varchar literals to: 0 when the server
// cannot say, whatever the reason, so that a database can be chosen all the same.
int CurrentCodePage(platform::Recordset& recordset, platform::Connection& connection);
