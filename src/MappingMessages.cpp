#include "MappingMessages.h"

QString MappingErrorText(MappingError::Reason reason, Language language) {
    const bool english = language == Language::English;
    switch (reason) {
        case MappingError::Reason::NotAMapping:
            return english ? QStringLiteral("The file is not a Tavlen mapping.")
                           : QStringLiteral("Dosya bir Tavlen eşlemesi değil.");
        case MappingError::Reason::Damaged:
            return english ? QStringLiteral("The mapping file is damaged.")
                           : QStringLiteral("Eşleme dosyası bozuk.");
        case MappingError::Reason::NewerVersion:
            return english ? QStringLiteral("The mapping was made by a newer version of Tavlen.")
                           : QStringLiteral("Eşleme, Tavlen'in daha yeni bir sürümüyle yapılmış.");
        case MappingError::Reason::NoField:
            return english ? QStringLiteral("The mapping names no field.")
                           : QStringLiteral("Eşlemede hiç alan yok.");
    }
    return {};
}
