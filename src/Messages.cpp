#include "Messages.h"

namespace {

struct MessagePair {
    MessageKind kind;
    const char* english;
    const char* turkish;
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
                    "XML verisi SQL Server sunucusuna başarı ile aktarıldı."};
        case MessageId::msgImportTooLarge:
            return {MessageKind::Error,
                    "An error has occured.\r\nCheck that your XML document is not greater than "
                    "8 KB.",
                    "Bir hata oluştu.\r\nXML kaynağınızın 8 KB`tan büyük olmamasına özen "
                    "gösterin."};
        case MessageId::msgImportFailed:
            return {MessageKind::Error,
                    "An error has occured.\r\nError message:", "Bir hata oluştu.\r\nHata mesajı:"};
        case MessageId::msgBadXml:
            return {MessageKind::Error,
                    "An error has occured.\r\nCheck that you have supplied a valid XML document.",
                    "Bir hata oluştu.\r\nGeçerli bir XML kaynağı belirttiğinizden emin olunuz."};
    }
    return {MessageKind::Error, "", ""};
}

}  // namespace

Language MessageLanguage(const QString& fileMenuCaption) {
    return fileMenuCaption == QLatin1String("&File") ? Language::English : Language::Turkish;
}

MessageKind MessageKindOf(MessageId id) { return Pair(id).kind; }

QString MessageText(MessageId id, Language language, const QString& errorText) {
    const MessagePair pair = Pair(id);
    QString text = QString::fromUtf8(language == Language::English ? pair.english : pair.turkish);
    if (id == MessageId::msgImportFailed) text += errorText;
    return text;
}
