#include "platform/OdbcConnectionString.h"

#include <array>

namespace platform {

namespace {

const QString kProviderPrefix = QStringLiteral("Provider=SQLOLEDB.1;Data Source=");
const QString kIntegratedSuffix = QStringLiteral(";Integrated Security=SSPI;");

// SQL Server's default instance listens here; FreeTDS needs it spelt out.
const QString kDefaultPort = QStringLiteral("1433");

bool IsLocalHost(const QString& host) {
    return host.isEmpty() || host == u'.' || host.compare(u"(local)", Qt::CaseInsensitive) == 0;
}

// Microsoft's drivers take the port in the server text, FreeTDS as an attribute of its own. A
// port given beside an instance wins, as with SQL Server's own clients.
QString ServerAttribute(OdbcDriverKind kind, const ServerAddress& address) {
    if (!address.port.isEmpty()) {
        if (kind == OdbcDriverKind::FreeTds) return address.host;
        return QStringLiteral("tcp:") + address.host + u',' + address.port;
    }
    if (!address.instance.isEmpty()) return address.host + u'\\' + address.instance;
    return address.host;
}

}  // namespace

std::optional<OdbcDriver> ChooseDriver(const QStringList& installed) {
    static const std::array<OdbcDriver, 3> known{{
        {QStringLiteral("ODBC Driver 18 for SQL Server"), OdbcDriverKind::Microsoft18},
        {QStringLiteral("ODBC Driver 17 for SQL Server"), OdbcDriverKind::Microsoft17},
        {QStringLiteral("FreeTDS"), OdbcDriverKind::FreeTds},
    }};
    for (const OdbcDriver& driver : known) {
        for (const QString& name : installed) {
            // The driver manager finds the driver again by the name as it is installed.
            if (name.compare(driver.name, Qt::CaseInsensitive) == 0) return {{name, driver.kind}};
        }
    }
    return std::nullopt;
}

ServerAddress ParseServerAddress(const QString& dataSource) {
    QString text = dataSource.trimmed();
    if (text.startsWith(u"tcp:", Qt::CaseInsensitive)) text = text.mid(4);
    ServerAddress address;
    if (const qsizetype comma = text.lastIndexOf(u','); comma >= 0) {
        address.port = text.mid(comma + 1).trimmed();
        text.truncate(comma);
    }
    if (const qsizetype backslash = text.indexOf(u'\\'); backslash >= 0) {
        address.instance = text.mid(backslash + 1).trimmed();
        text.truncate(backslash);
    }
    address.host = text.trimmed();
    if (IsLocalHost(address.host)) address.host = QStringLiteral("localhost");
    return address;
}

std::optional<ProviderSettings> ParseProviderString(const QString& connectionString,
                                                    const QString& user) {
    if (!connectionString.startsWith(kProviderPrefix, Qt::CaseInsensitive)) return std::nullopt;
    ProviderSettings settings;
    settings.dataSource = connectionString.mid(kProviderPrefix.size());
    if (user.isEmpty() && settings.dataSource.endsWith(kIntegratedSuffix, Qt::CaseInsensitive)) {
        settings.dataSource.chop(kIntegratedSuffix.size());
        settings.integratedSecurity = true;
    }
    return settings;
}

bool CanBrace(OdbcDriverKind kind, QStringView value) {
    return kind != OdbcDriverKind::FreeTds || !value.contains(u"};");
}

void AppendAttribute(std::u16string& out, OdbcDriverKind kind, QStringView key, QStringView value) {
    out.append(key.utf16(), static_cast<size_t>(key.size()));
    out += u"={";
    for (const QChar c : value) {
        out += c.unicode();
        if (c == u'}' && kind != OdbcDriverKind::FreeTds) out += u'}';
    }
    out += u"};";
}

std::optional<std::u16string> OdbcConnectionString(const OdbcDriver& driver,
                                                   const ProviderSettings& settings,
                                                   const QString& user) {
    ServerAddress address = ParseServerAddress(settings.dataSource);
    const QString server = ServerAttribute(driver.kind, address);
    if (!CanBrace(driver.kind, server) || !CanBrace(driver.kind, address.port) ||
        !CanBrace(driver.kind, user)) {
        return std::nullopt;
    }
    std::u16string out;
    const auto add = [&](QStringView key, QStringView value) {
        AppendAttribute(out, driver.kind, key, value);
    };
    // Keywords are spelt exactly as the driver manager and the drivers spell them: they compare
    // with the C library's case-insensitive comparison, for which a Turkish locale makes "i" and
    // "I" different letters.
    add(u"DRIVER", driver.name);
    add(u"Server", server);
    switch (driver.kind) {
        case OdbcDriverKind::FreeTds:
            if (address.port.isEmpty() && address.instance.isEmpty()) address.port = kDefaultPort;
            if (!address.port.isEmpty()) add(u"Port", address.port);
            // Without a version the driver retries older ones after a failed login, and that
            // retry waits for a silent server without the login timeout. SQL Server answers a
            // newer client in its own version, so 7.1 to 7.4 servers are all reached.
            add(u"TDS_Version", u"7.4");
            // Encrypts the login, or everything when the server insists; any certificate will do.
            add(u"Encryption", u"request");
            add(u"ClientCharset", u"UTF-8");
            break;
        case OdbcDriverKind::Microsoft18:
            add(u"Encrypt", u"Optional");
            add(u"TrustServerCertificate", u"Yes");
            break;
        case OdbcDriverKind::Microsoft17:
            add(u"Encrypt", u"No");
            add(u"TrustServerCertificate", u"Yes");
            break;
    }
    if (settings.integratedSecurity) {
        add(u"Trusted_Connection", u"Yes");
    } else {
        add(u"UID", user);
    }
    return out;
}

bool AppendPassword(std::u16string& out, OdbcDriverKind kind, QStringView password) {
    if (!CanBrace(kind, password)) return false;
    // "PWD={};" and each character possibly doubled.
    out.reserve(out.size() + 7 + 2 * static_cast<size_t>(password.size()));
    AppendAttribute(out, kind, u"PWD", password);
    return true;
}

}  // namespace platform
