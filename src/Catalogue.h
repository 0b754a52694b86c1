// What Connect and the database list send to the server, and how the catalogue rows are read.
#pragma once

#include <QString>
#include <QVariant>

// "Provider=SQLOLEDB.1;Data Source=" and the server text as typed; the logged-on account when
// the user text is empty. The user name and password never enter it.
QString ConnectionString(const QString& server, const QString& user);

QString DatabasesStatement();
QString TablesStatement();

// "USE [name]" with every "]" doubled, so that any database name can be chosen.
QString UseStatement(const QString& database);

// Only rows of type "TABLE" or "VIEW", compared exactly; a null type is neither.
bool IsTableOrView(const QVariant& tableType);
