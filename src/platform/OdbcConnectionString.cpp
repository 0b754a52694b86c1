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

void AppendAttribute(std::u16string& out, QStringView key, QStringView value) {
    if (!out.empty()) out += u';';
    out.append(key.utf16(), static_cast<size_t>(key.size()));
    out += u'=';
    AppendBraced(out, value);
}

QString ServerAttribute(OdbcDriverKind kind, const ServerAddress& address) {
    if (kind == OdbcDriverKind::FreeTds || address.port.isEmpty()) {
        if (address.instance.isEmpty() || !address.port.isEmpty()) return address.host;
        return address.host + u'\\' + address.instance;
    }
    return QStringLiteral("tcp:") + address.host + u',' + address.port;
}

}  // namespace

std::optional<OdbcDriver> ChooseDriver(const QStringList& installed) {
    static const std::array<OdbcDriver, 3> known{{
        {QStringLiteral("ODBC Driver 18 for SQL Server"), OdbcDriverKind::Microsoft18},
        {QStringLiteral("ODBC Driver 17 for SQL Server"), OdbcDriverKind::Microsoft17},
        {QStringLiteral("FreeTDS"), OdbcDriverKind::FreeTds},
    }};
    for (const OdbcDriver& driver : known) {
        if (installed.contains(driver.name, Qt::CaseInsensitive)) return driver;
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

void AppendBraced(std::u16string& out, QStringView value) {
    out += u'{';
    for (const QChar c : value) {
        out += c.unicode();
        if (c == u'}') out += u'}';
    }
    out += u'}';
}

std::u16string OdbcConnectionString(const OdbcDriver& driver, const ProviderSettings& settings,
                                    const QString& user) {
    std::u16string out;
    AppendAttribute(out, u"Driver", driver.name);
    ServerAddress address = ParseServerAddress(settings.dataSource);
    AppendAttribute(out, u"Server", ServerAttribute(driver.kind, address));
    switch (driver.kind) {
        case OdbcDriverKind::FreeTds:
            if (address.port.isEmpty() && address.instance.isEmpty()) address.port = kDefaultPort;
            if (!address.port.isEmpty()) AppendAttribute(out, u"Port", address.port);
            // Encrypts the login, or everything when the server insists; any certificate will do.
            AppendAttribute(out, u"Encryption", u"request");
            AppendAttribute(out, u"ClientCharset", u"UTF-8");
            break;
        case OdbcDriverKind::Microsoft18:
            AppendAttribute(out, u"Encrypt", u"Optional");
            AppendAttribute(out, u"TrustServerCertificate", u"Yes");
            break;
        case OdbcDriverKind::Microsoft17:
            AppendAttribute(out, u"Encrypt", u"No");
            AppendAttribute(out, u"TrustServerCertificate", u"Yes");
            break;
    }
    if (settings.integratedSecurity) {
        AppendAttribute(out, u"Trusted_Connection", u"Yes");
    } else {
        AppendAttribute(out, u"UID", user);
    }
    return out;
}

void AppendPassword(std::u16string& out, QStringView password) {
    // ";PWD=" and the braces, each character possibly doubled.
    out.reserve(out.size() + 7 + 2 * static_cast<size_t>(password.size()));
    AppendAttribute(out, u"PWD", password);
}

}  // namespace platform
