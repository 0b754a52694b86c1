// "tavlen import" run as a process, without a display, against the stand-in or the server
// that TAVLEN_TEST_SERVER names.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "Bilingual.h"
#include "Messages.h"
#include "QtPrinting.h"
#include "TestFiles.h"
#include "TestServer.h"

namespace {

const QString kInvoices = QStringLiteral("Invoices");

// Two lines; the second leaves out its note and its unit code.
QByteArray Invoice(const QByteArray& id) {
    return "<Invoice xmlns=\"urn:invoice\" xmlns:cac=\"urn:cac\" xmlns:cbc=\"urn:cbc\">"
           "<cbc:ID>" +
           id +
           "</cbc:ID>"
           "<cac:InvoiceLine><cbc:ID>1</cbc:ID><cbc:Note>İlk satır</cbc:Note>"
           "<cbc:InvoicedQuantity unitCode=\"KGM\">3</cbc:InvoicedQuantity>"
           "<cac:Item><cbc:Name>Şeker</cbc:Name></cac:Item></cac:InvoiceLine>"
           "<cac:InvoiceLine><cbc:ID>2</cbc:ID>"
           "<cbc:InvoicedQuantity>5</cbc:InvoicedQuantity>"
           "<cac:Item><cbc:Name>Çay</cbc:Name></cac:Item></cac:InvoiceLine></Invoice>";
}

QByteArray MappingJson(const QString& database) {
    return QString::fromUtf8(
               R"json({"format": "tavlen-mapping", "version": 1,
                   "row": {"path": "Invoice/cac:InvoiceLine", "element": true},
                   "fields": [
                     {"path": "Invoice/cbc:ID", "name": "Invoice", "type": "VarChar(20)", "pattern": "../cbc:ID"},
                     {"path": "Invoice/cac:InvoiceLine/cbc:ID", "name": "LineNo", "type": "Int", "pattern": "cbc:ID"},
                     {"path": "Invoice/cac:InvoiceLine/cac:Item/cbc:Name", "name": "Item", "type": "nVarChar(20)", "pattern": "cac:Item/cbc:Name"},
                     {"path": "Invoice/cac:InvoiceLine/cbc:InvoicedQuantity/@unitCode", "name": "Unit", "type": "VarChar(3)", "pattern": "cbc:InvoicedQuantity/@unitCode"}],
                   "table": "Lines", "database": "%1"})json")
        .arg(database)
        .toUtf8();
}

struct Finished {
    int status = -1;
    QString out;
    QString err;
    QStringList Lines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

class ImportCommand : public testing::Test {
protected:
    void SetUp() override { StartServer({}); }

    void StartServer(const QStringList& closeOn) {
        server.reset();
        server = std::make_unique<TestServer>(
            TestServer::Options{{kInvoices}, QStringLiteral("Secret-1"), closeOn});
        mapping = Write(QStringLiteral("lines.json"), MappingJson(server->Name(kInvoices)));
    }

    QString Write(const QString& name, const QByteArray& content) {
        return WriteTestFile(dir, name, content);
    }

    // The program without a display, its password in the environment unless input is given.
    Finished Tavlen(const QStringList& arguments, const QByteArray& input = {}) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        if (input.isEmpty())
            environment.insert(QStringLiteral("TAVLEN_PASSWORD"), server->Password());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TAVLEN_PROGRAM), arguments);
        process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QStringList Import(const QStringList& more = {}) {
        return QStringList{QStringLiteral("import"),
                           QStringLiteral("--mapping"),
                           mapping,
                           QStringLiteral("--server"),
                           server->ServerText(),
                           QStringLiteral("--user"),
                           server->User()} +
               more;
    }

    QStringList Column(const QString& sql, const QString& column) {
        return server->Column(server->Name(kInvoices), sql, column);
    }

    // Each row of the table as Invoice:LineNo:Item:Unit.
    QStringList ImportedLines() {
        std::vector<QStringList> columns;
        for (const char* name : {"Invoice", "LineNo", "Item", "Unit"})
            columns.push_back(
                Column(QStringLiteral("SELECT * FROM Lines"), QString::fromLatin1(name)));
        QStringList lines;
        for (qsizetype row = 0; row < columns.front().size(); ++row) {
            QStringList values;
            for (const QStringList& column : columns) values << column.value(row);
            lines << values.join(u':');
        }
        return lines;
    }

    QString Summary(int imported, int files, int rows, int failed) const {
        return Say(LocaleLanguage(), "Imported %1 of %2 files, %3 rows; %4 failed.",
                   "%2 dosyadan %1 tanesi aktarıldı, %3 satır; %4 dosya aktarılamadı.")
            .arg(imported)
            .arg(files)
            .arg(rows)
            .arg(failed);
    }

    QTemporaryDir dir;
    std::unique_ptr<TestServer> server;
    QString mapping;
};

TEST_F(ImportCommand, OneBadFileAmongGoodOnesGoesToTheFailedFolderAndTheOthersIn) {
    const QString inbox = dir.filePath(QStringLiteral("inbox"));
    Write(QStringLiteral("inbox/a.xml"), Invoice("A-1"));
    const QString broken = Write(QStringLiteral("inbox/b.xml"), "<Invoice><cbc:ID>");
    Write(QStringLiteral("inbox/c.xml"), Invoice("C-3"));
    Write(QStringLiteral("inbox/notes.txt"), "not an XML file: never tried");
    Write(QStringLiteral("done/a.xml"), "an earlier day's file of the same name");
    const QStringList moves{QStringLiteral("--done-dir"), dir.filePath(QStringLiteral("done")),
                            QStringLiteral("--failed-dir"), dir.filePath(QStringLiteral("failed"))};

    const Finished run = Tavlen(Import(moves + QStringList{inbox}));

    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    const QStringList lines = run.Lines();
    ASSERT_EQ(lines.size(), 4) << run.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(inbox + QStringLiteral("/a.xml: 2 ")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(broken + QStringLiteral(": "))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(inbox + QStringLiteral("/c.xml: 2 ")))
        << lines[2].toStdString();
    EXPECT_EQ(lines[3], Summary(2, 3, 4, 1));
    EXPECT_EQ(ImportedLines(),
              QStringList({QStringLiteral("A-1:1:Şeker:KGM"), QStringLiteral("A-1:2:Çay:"),
                           QStringLiteral("C-3:1:Şeker:KGM"), QStringLiteral("C-3:2:Çay:")}));
    EXPECT_EQ(QDir(inbox).entryList(QDir::Files), QStringList{QStringLiteral("notes.txt")});
    EXPECT_EQ(
        QDir(dir.filePath(QStringLiteral("done"))).entryList(QDir::Files),
        QStringList({QStringLiteral("a-1.xml"), QStringLiteral("a.xml"), QStringLiteral("c.xml")}));
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("failed"))).entryList(QDir::Files),
              QStringList{QStringLiteral("b.xml")});

    // The next day's run on the same inbox imports nothing twice.
    const Finished again = Tavlen(Import(moves + QStringList{inbox}));
    EXPECT_EQ(again.status, 0) << again.err.toStdString();
    EXPECT_EQ(again.Lines(), QStringList{Summary(0, 0, 0, 0)});
    EXPECT_EQ(Column(QStringLiteral("SELECT COUNT(*) AS N FROM Lines"), QStringLiteral("N")),
              QStringList{QStringLiteral("4")});
}

// The day's first invoice has no lines: it creates the table empty, and the rest go into it.
TEST_F(ImportCommand, AFileWithoutRowsIsAFailureThatLetsTheNextOnesIn) {
    const QString empty =
        Write(QStringLiteral("a.xml"),
              "<Invoice xmlns:cac=\"urn:cac\" xmlns:cbc=\"urn:cbc\"><cbc:ID>A-0</cbc:ID>"
              "</Invoice>");
    const QString good = Write(QStringLiteral("b.xml"), Invoice("B-1"));
    const Finished run = Tavlen(Import({empty, good}));
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    ASSERT_EQ(run.Lines().size(), 3) << run.out.toStdString();
    const auto noRows = [](Language language) {
        return MessageText(MessageId::msgImportNoRows, language).section(u'\r', 0, 0);
    };
    EXPECT_TRUE(run.Lines()[0].contains(noRows(Language::English)) ||
                run.Lines()[0].contains(noRows(Language::Turkish)))
        << run.Lines()[0].toStdString();
    EXPECT_EQ(ImportedLines(),
              QStringList({QStringLiteral("B-1:1:Şeker:KGM"), QStringLiteral("B-1:2:Çay:")}));
}

TEST_F(ImportCommand, APasswordIsNeverTakenFromAnArgument) {
    const QString file = Write(QStringLiteral("a.xml"), Invoice("A-1"));
    const Finished refused = Tavlen(
        Import({QStringLiteral("--password"), server->Password(), file}), "no stdin password");
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("TAVLEN_PASSWORD")))
        << refused.err.toStdString();
    EXPECT_FALSE(Column(QStringLiteral("exec sp_tables"), QStringLiteral("TABLE_NAME"))
                     .contains(QStringLiteral("Lines")));

    const Finished help = Tavlen({QStringLiteral("import"), QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("TAVLEN_PASSWORD"))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("ps"))) << help.out.toStdString();

    // Without the environment variable, standard input gives it.
    const Finished piped = Tavlen(Import({file}), server->Password().toUtf8() + "\n");
    EXPECT_EQ(piped.status, 0) << piped.err.toStdString();
}

TEST_F(ImportCommand, ExitStatusSaysWhetherEveryFileWentIn) {
    const QString good = Write(QStringLiteral("a.xml"), Invoice("A-1"));
    const QString other = Write(QStringLiteral("other.xml"), "<Order><ID>1</ID></Order>");
    const QString empty = Write(QStringLiteral("empty.xml"), "");
    const QString secret = Write(QStringLiteral("secret"), "wrong password\n");

    EXPECT_EQ(Tavlen(Import({good})).status, 0);
    EXPECT_EQ(Tavlen(Import({other})).status, 1) << "no row matched: not a success";
    EXPECT_EQ(Tavlen(Import({empty})).status, 1);
    EXPECT_EQ(Tavlen({QStringLiteral("import"), good}).status, 2) << "no mapping";
    EXPECT_EQ(Tavlen(Import({QStringLiteral("--no-such-option"), good})).status, 2);
    EXPECT_EQ(Tavlen(Import({})).status, 2) << "no file";
    if (server->IsStandin()) {
        EXPECT_EQ(Tavlen(Import({QStringLiteral("--password-file"), secret, good})).status, 2);
    }
    const Finished version = Tavlen({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("tavlen "))) << version.out.toStdString();
}

TEST_F(ImportCommand, ALostConnectionStopsTheRunKeepingWhatWentIn) {
    if (!server->IsStandin()) GTEST_SKIP() << "needs the stand-in's faults";
    StartServer({QStringLiteral("B-LOST")});
    const QString inbox = dir.filePath(QStringLiteral("inbox"));
    Write(QStringLiteral("inbox/a.xml"), Invoice("A-1"));
    Write(QStringLiteral("inbox/b.xml"), Invoice("B-LOST"));
    Write(QStringLiteral("inbox/c.xml"), Invoice("C-3"));

    const Finished run =
        Tavlen(Import({QStringLiteral("--done-dir"), dir.filePath(QStringLiteral("done")), inbox}));

    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.Lines().size(), 3)
        << run.out.toStdString();  // a, b, the summary: c was not tried
    EXPECT_EQ(Column(QStringLiteral("SELECT Invoice FROM Lines"), QStringLiteral("Invoice")),
              QStringList({QStringLiteral("A-1"), QStringLiteral("A-1")}));
    EXPECT_EQ(QDir(inbox).entryList(QDir::Files),
              QStringList({QStringLiteral("b.xml"), QStringLiteral("c.xml")}));
}

}  // namespace
