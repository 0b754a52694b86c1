#include "platform/OdbcDiagnostics.h"

namespace platform {

namespace {

// Length of the leading run of "[...]" groups to drop.
qsizetype PrefixLength(const QString& text) {
    const QString serverGroup = QStringLiteral("[SQL Server]");
    qsizetype end = 0;
    while (end < text.size() && text[end] == u'[') {
        const qsizetype close = text.indexOf(u']', end);
        if (close < 0) break;
        const bool fromServer = QStringView(text).sliced(end, close + 1 - end) == serverGroup;
        end = close + 1;
        if (fromServer) break;
    }
    return end;
}

// The cleaned text of the first record with any whose state passes.
template <typename StatePredicate>
QString FirstText(const std::vector<DiagRecord>& records, StatePredicate passes) {
    for (const DiagRecord& record : records) {
        if (!passes(record.state)) continue;
        const QString text = CleanMessageText(record.text);
        if (!text.isEmpty()) return text;
    }
    return {};
}

}  // namespace

bool IsErrorState(const QString& state) {
    return !(state.startsWith(u"00") || state.startsWith(u"01") || state.startsWith(u"02"));
}

QString CleanMessageText(const QString& text) {
    QString cleaned = text.mid(PrefixLength(text));
    qsizetype end = cleaned.size();
    while (end > 0 && (cleaned[end - 1].unicode() <= 32 || cleaned[end - 1] == u'.')) --end;
    cleaned.truncate(end);
    return cleaned;
}

QString FailureText(const std::vector<DiagRecord>& records) {
    const QString error = FirstText(records, IsErrorState);
    return error.isEmpty() ? FirstText(records, [](const QString&) { return true; }) : error;
}

QString LostLinkText(const std::vector<DiagRecord>& records) {
    const QString text =
        FirstText(records, [](const QString& state) { return state.startsWith(u"08"); });
    return text.isEmpty() ? QStringLiteral("Communication link failure") : text;
}

}  // namespace platform
