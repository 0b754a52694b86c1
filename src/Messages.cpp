#include "Messages.h"

namespace {

struct MessagePair {
    MessageKind kind;
    const char* english;
    const char* turkish;
    // What stands before the detail, for the messages that take one.
    const char* englishDetail = nullptr;
    const char* turkishDetail = nullptr;
};

// UTF-8; "\r\n" breaks a message into two lines.
MessagePair Pair(MessageId id) {
    switch (id) {
        case MessageId::msgConnectOk:
            return {MessageKind::Information, "Connection to SQL Server has succeeded.",
                    "SQL Server sunucusuna başarı ile bağlanıldı."};
        case MessageId::msgConnectFailed:
            return {MessageKind::Error,
                    "An SQL Server connection error has occured.\r\nCheck that your server "
                    "settings and login information you have supplied do match.",
                    "SQL Server sunucusuna bağlanmada bir hata oluştu.\r\nBelirttiğiniz ayarlar "
                    "ile sunucu ayarlarının çakıştığından emin olunuz."};
        case MessageId::msgImportOk:
            return {MessageKind::Information,
                    "XML data has been successfully imported to SQL Server.",
                    "XML verisi SQL Server sunucusuna başarı ile aktarıldı.",
                    "\r\nRows imported: ", "\r\nAktarılan satır sayısı: "};
        case MessageId::msgImportTooLarge:
            return {MessageKind::Error, "An error has occured.", "Bir hata oluştu.",
                    "\r\nThe XML document is too large: ", "\r\nXML kaynağı çok büyük: "};
        case MessageId::msgImportFailed:
            return {MessageKind::Error, "An error has occured.\r\nError message:",
                    "Bir hata oluştu.\r\nHata mesajı:", "", ""};
        case MessageId::msgBadXml:
            return {MessageKind::Error,
                    "An error has occured.\r\nCheck that you have supplied a valid XML document.",
                    "Bir hata oluştu.\r\nGeçerli bir XML kaynağı belirttiğinizden emin olunuz."};
        case MessageId::msgImportNoRows:
            return {MessageKind::Error,
                    "No row was imported.\r\nThe row path matched no element of the document: "
                    "check the row element, and that the document has the shape the fields were "
                    "picked from.",
                    "Hiç satır aktarılmadı.\r\nSatır yolu belgede hiçbir öğeyle eşleşmedi: satır "
                    "öğesini ve belgenin, alanların seçildiği yapıda olduğunu denetleyin."};
        case MessageId::msgImportCancelled:
            return {MessageKind::Information,
                    "The import was cancelled.\r\nNothing was imported: the database is as it "
                    "was before.",
                    "Aktarım iptal edildi.\r\nHiçbir şey aktarılmadı: veritabanı aktarımdan "
                    "önceki gibi duruyor."};
    }
    return {MessageKind::Error, "", ""};
}

}  // namespace

Language MessageLanguage(const QString& fileMenuCaption) {
    return fileMenuCaption == QLatin1String("&File") ? Language::English : Language::Turkish;
}

MessageKind MessageKindOf(MessageId id) { return Pair(id).kind; }

QString MessageText(MessageId id, Language language, const QString& detail) {
    const MessagePair pair = Pair(id);
    const bool english = language == Language::English;
    QString text = QString::fromUtf8(english ? pair.english : pair.turkish);
    const char* beforeDetail = english ? pair.englishDetail : pair.turkishDetail;
    if (beforeDetail && (!detail.isEmpty() || id == MessageId::msgImportFailed))
        text += QString::fromUtf8(beforeDetail) + detail;
    return text;
}
