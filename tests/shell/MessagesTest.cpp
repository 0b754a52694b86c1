// The six messages in both languages, chosen by the File menu caption.
#include <gtest/gtest.h>
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "ImportOutcome.h"
#include "ProgramWindows.h"
#include "Recorders.h"
#include "TurkishWindowTexts.h"

namespace {

struct Expected {
    MessageId id;
    MessageKind kind;
    const char* english;
    const char* turkish;
};

const Expected kCatalogue[] = {
    {MessageId::msgConnectOk, MessageKind::Information, "Connection to SQL Server has succeeded.",
     "SQL Server sunucusuna başarı ile bağlanıldı."},
    {MessageId::msgConnectFailed, MessageKind::Error,
     "An SQL Server connection error has occured.\r\nCheck that your server settings and login "
     "information you have supplied do match.",
     "SQL Server sunucusuna bağlanmada bir hata oluştu.\r\nBelirttiğiniz ayarlar ile sunucu "
     "ayarlarının çakıştığından emin olunuz."},
    {MessageId::msgImportOk, MessageKind::Information,
     "XML data has been successfully imported to SQL Server.",
     "XML verisi SQL Server sunucusuna başarı ile aktarıldı."},
    {MessageId::msgImportTooLarge, MessageKind::Error, "An error has occured.", "Bir hata oluştu."},
    {MessageId::msgImportFailed, MessageKind::Error,
     "An error has occured.\r\nError message:", "Bir hata oluştu.\r\nHata mesajı:"},
    {MessageId::msgBadXml, MessageKind::Error,
     "An error has occured.\r\nCheck that you have supplied a valid XML document.",
     "Bir hata oluştu.\r\nGeçerli bir XML kaynağı belirttiğinizden emin olunuz."},
    {MessageId::msgImportNoRows, MessageKind::Error,
     "No row was imported.\r\nThe row path matched no element of the document: check the row "
     "element, and that the document has the shape the fields were picked from.",
     "Hiç satır aktarılmadı.\r\nSatır yolu belgede hiçbir öğeyle eşleşmedi: satır öğesini ve "
     "belgenin, alanların seçildiği yapıda olduğunu denetleyin."},
    {MessageId::msgImportCancelled, MessageKind::Information,
     "The import was cancelled.\r\nNothing was imported: the database is as it was before.",
     "Aktarım iptal edildi.\r\nHiçbir şey aktarılmadı: veritabanı aktarımdan önceki gibi "
     "duruyor."},
};

QMenu& FileMenu(TForm1& form) { return *form.findChild<QMenu*>(QStringLiteral("File1")); }

// The box's caption follows the windows' translation, whatever language the text is in.
void ExpectShown(TForm1& form, const Expected& message, const char* text,
                 bool translatedWindows = false) {
    MessageRecorder messages;
    form.ShowMessage(message.id);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].kind, message.kind);
    const bool error = message.kind == MessageKind::Error;
    EXPECT_EQ(messages.boxes[0].caption.toUtf8().toStdString(),
              translatedWindows ? (error ? "Hata" : "Bilgi") : (error ? "Error" : "Information"));
    EXPECT_EQ(messages.boxes[0].text.toUtf8().toStdString(), text);
}

TEST(Messages, BuiltInWindowsShowEveryMessageInEnglish) {
    Windows windows;
    for (const Expected& message : kCatalogue) ExpectShown(windows.Form1, message, message.english);
}

TEST(Messages, AnyOtherFileCaptionShowsEveryMessageInTurkish) {
    Windows windows;
    for (const char* caption : {"File", "&file", "&Dosya", "&File ", ""}) {
        SCOPED_TRACE(caption);
        FileMenu(windows.Form1).setTitle(QString::fromUtf8(caption));
        for (const Expected& message : kCatalogue)
            ExpectShown(windows.Form1, message, message.turkish);
    }
}

TEST(Messages, LanguageIsReadAfreshEachTime) {
    Windows windows;
    FileMenu(windows.Form1).setTitle(QStringLiteral("Dosya"));
    ExpectShown(windows.Form1, kCatalogue[0], kCatalogue[0].turkish);
    FileMenu(windows.Form1).setTitle(QStringLiteral("&File"));
    ExpectShown(windows.Form1, kCatalogue[0], kCatalogue[0].english);
}

TEST(Messages, ImportFailedAppendsTheErrorTextDirectlyAfterTheColon) {
    EXPECT_EQ(MessageText(MessageId::msgImportFailed, Language::English, QStringLiteral("Boom")),
              QStringLiteral("An error has occured.\r\nError message:Boom"));
    EXPECT_EQ(MessageText(MessageId::msgImportFailed, Language::Turkish, QStringLiteral("Boom")),
              QString::fromUtf8("Bir hata oluştu.\r\nHata mesajı:Boom"));
    EXPECT_EQ(MessageText(MessageId::msgImportFailed, Language::English, QString()),
              QStringLiteral("An error has occured.\r\nError message:"));
    EXPECT_EQ(MessageText(MessageId::msgBadXml, Language::English, QStringLiteral("ignored")),
              MessageText(MessageId::msgBadXml, Language::English));
}

// The rows imported and the limit met stand on a second line of their own.
TEST(Messages, ImportedRowsAndTheLimitMetOnASecondLine) {
    EXPECT_EQ(MessageText(MessageId::msgImportOk, Language::English, QStringLiteral("3")),
              QStringLiteral("XML data has been successfully imported to SQL Server.\r\nRows "
                             "imported: 3"));
    EXPECT_EQ(MessageText(MessageId::msgImportOk, Language::Turkish, QStringLiteral("3")),
              QString::fromUtf8("XML verisi SQL Server sunucusuna başarı ile aktarıldı.\r\n"
                                "Aktarılan satır sayısı: 3"));
    ImportOutcome tooLarge{ImportEnd::TooLarge, 0, {}, SizeLimit::RowElement, 300, 200};
    EXPECT_EQ(MessageText(OutcomeMessage(tooLarge), Language::English,
                          OutcomeDetail(tooLarge, Language::English)),
              QStringLiteral("An error has occured.\r\nThe XML document is too large: a row "
                             "element with what its column patterns reach takes 300 bytes, more "
                             "than the 200 bytes of the largest batch the server takes."));
}

class TurkishWindows : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(turkish.Loaded()); }
    const TurkishWindowTexts turkish;
};

TEST_F(TurkishWindows, TranslatedWindowsCarryTheirOwnFileCaptionAndTurkishMessages) {
    Windows windows;
    EXPECT_EQ(FileMenu(windows.Form1).title(), QStringLiteral("&Dosya"));
    EXPECT_NE(windows.Form1.findChild<QPushButton*>(QStringLiteral("Button3"))->text(),
              QStringLiteral("Connect"));
    EXPECT_NE(windows.AboutBox.windowTitle(), QStringLiteral("About Tavlen"));
    for (const Expected& message : kCatalogue)
        ExpectShown(windows.Form1, message, message.turkish, true);
}

TEST_F(TurkishWindows, NamesAndVersionAreNotTranslated) {
    Windows windows;
    EXPECT_EQ(windows.Form1.windowTitle(), QStringLiteral("Tavlen"));
    EXPECT_EQ(windows.AboutBox.findChild<QLabel*>(QStringLiteral("Version"))->text(),
              QStringLiteral("1.6"));
}

}  // namespace
