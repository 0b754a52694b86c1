#include "ImportOutcome.h"

ImportOutcome FailureOutcome(const QString& errorText) {
    const bool tooLarge = errorText.contains(QStringLiteral("exceeds the maximum")) ||
                          errorText.contains(QStringLiteral("server memory is low"));
    return {tooLarge ? ImportEnd::TooLarge : ImportEnd::Failed, 0, errorText};
}

MessageId OutcomeMessage(const ImportOutcome& outcome) {
    switch (outcome.end) {
        case ImportEnd::Imported:
            return MessageId::msgImportOk;
        case ImportEnd::NoRows:
            return MessageId::msgImportNoRows;
        case ImportEnd::Cancelled:
            return MessageId::msgImportCancelled;
        case ImportEnd::TooLarge:
            return MessageId::msgImportTooLarge;
        case ImportEnd::Failed:
            break;
    }
    return MessageId::msgImportFailed;
}

namespace {

QString SizeLimitText(const ImportOutcome& outcome, Language language) {
    const bool english = language == Language::English;
    switch (outcome.limit) {
        case SizeLimit::Server:
            return (english ? QStringLiteral("the server says: %1")
                            : QStringLiteral("sunucunun yanıtı: %1"))
                .arg(outcome.errorText);
        case SizeLimit::WholeDocument:
            return (english ? QStringLiteral(
                                  "its column patterns reach beyond their own row, so it must go "
                                  "to the server whole, and its %1 bytes are more than the %2 "
                                  "bytes of the largest batch the server takes.")
                            : QStringLiteral(
                                  "sütun kalıpları kendi satırlarının dışına uzandığından belge "
                                  "sunucuya bütün olarak gitmeli; %1 baytı, sunucunun "
                                  "alabildiği en büyük toplu işin %2 baytını aşıyor."))
                .arg(outcome.size)
                .arg(outcome.maximum);
        case SizeLimit::RowElement:
            return (english ? QStringLiteral(
                                  "a row element with what its column patterns reach takes %1 "
                                  "bytes, more than the %2 bytes of the largest batch the "
                                  "server takes.")
                            : QStringLiteral(
                                  "bir satır öğesi, sütun kalıplarının eriştikleriyle birlikte "
                                  "%1 bayt tutuyor; bu, sunucunun alabildiği en büyük toplu "
                                  "işin %2 baytından fazla."))
                .arg(outcome.size)
                .arg(outcome.maximum);
    }
    return {};
}

}  // namespace

QString OutcomeDetail(const ImportOutcome& outcome, Language language) {
    switch (outcome.end) {
        case ImportEnd::Imported:
            return QString::number(outcome.rows);
        case ImportEnd::TooLarge:
            return SizeLimitText(outcome, language);
        case ImportEnd::Failed:
            return outcome.errorText;
        case ImportEnd::NoRows:
        case ImportEnd::Cancelled:
            break;
    }
    return {};
}
