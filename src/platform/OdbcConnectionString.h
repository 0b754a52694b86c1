// Turns the provider connection string the program composes into an ODBC connection string
// for the SQL Server driver installed here.
#pragma once

#include <optional>
#include <string>

#include <QString>
#include <QStringList>

namespace platform {

enum class OdbcDriverKind { Microsoft18, Microsoft17, FreeTds };

struct OdbcDriver {
    QString name;
    OdbcDriverKind kind;
};

// The first installed of the drivers known here, Microsoft's newest first.
std::optional<OdbcDriver> ChooseDriver(const QStringList& installed);

// A server as SQL Server users type it: host, host\instance, host,port, tcp:host,port, (local),
// ".".
struct ServerAddress {
    QString host;
    QString instance;
    QString port;

    bool operator==(const ServerAddress&) const = default;
};

ServerAddress ParseServerAddress(const QString& dataSource);

struct ProviderSettings {
    QString dataSource;
    bool integratedSecurity = false;
};

// Reads "Provider=SQLOLEDB.1;Data Source=<server>" with ";Integrated Security=SSPI;" after it
// when the user is empty. The server text is taken whole, so a ";" typed in it stays part of it.
std::optional<ProviderSettings> ParseProviderString(const QString& connectionString,
                                                    const QString& user);

// Braces a value by the driver's own reading, so that nothing in it can end the value early or
// start an attribute: Microsoft's drivers take "}}" inside braces as one "}"; FreeTDS ends a
// braced value at the first "};" and keeps everything before it as it is, so a value holding
// "};" cannot be given to it at all. Every attribute ends in ";".
bool CanBrace(OdbcDriverKind kind, QStringView value);
void AppendAttribute(std::u16string& out, OdbcDriverKind kind, QStringView key, QStringView value);

// The ODBC connection string up to, not including, the password attribute: the caller appends
// that with AppendPassword into a buffer it wipes. Empty when a value cannot be braced.
std::optional<std::u16string> OdbcConnectionString(const OdbcDriver& driver,
                                                   const ProviderSettings& settings,
                                                   const QString& user);

// Reserves room first, so that no reallocation leaves a copy of the password behind. False, with
// nothing appended, when the password cannot be braced for the driver.
bool AppendPassword(std::u16string& out, OdbcDriverKind kind, QStringView password);

}  // namespace platform
