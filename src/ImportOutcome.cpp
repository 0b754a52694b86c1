#include "ImportOutcome.h"

MessageId ImportFailureMessage(const QString& errorText) {
    return errorText.contains(QStringLiteral("exceeds the maximum"), Qt::CaseSensitive)
               ? MessageId::msgImportTooLarge
               : MessageId::msgImportFailed;
}
