// Documents imported in pieces inside one transaction, against the stand-in: the same rows
// as one batch, and nothing left behind by a failure, a lost link or Cancel.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <thread>

#include "Catalogue.h"
#include "FieldList.h"
#include "ImportRun.h"
#include "ProgramWindows.h"
#include "QtPrinting.h"
#include "Recorders.h"
#include "ServerForm.h"
#include "TestFiles.h"
#include "TestServer.h"
#include "platform/Ado.h"

namespace {

const QString kSales = QStringLiteral("Sales");
// Small pieces, so that a small document goes in many.
const ImportSizes kSmallPieces{0, 300};

// Records with an id, a name and an amount; bad holds the record whose amount is no number.
QByteArray Records(int count, int bad = -1, const QByteArray& marker = {}) {
    QByteArray document = "<?xml version=\"1.0\"?>\n<shop><title>Spring</title>\n";
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        document += "  <rec id=\"" + n + "\"><name>" + (i == count / 2 ? marker : QByteArray()) +
                    "Tom's item " + n + "</name><amount>" + (i == bad ? "many" : n + "0") +
                    "</amount></rec>\n";
    }
    return document + "</shop>\n";
}

ImportPlan RecordsPlan(const QString& table, const QString& namePattern = QStringLiteral("name")) {
    const auto field = [](const char* path, const char* name, const char* type,
                          const QString& pattern) {
        return MappedField{QString::fromUtf8(path), QString::fromUtf8(name),
                           QString::fromUtf8(type), pattern};
    };
    return {QStringLiteral("shop/rec"),
            {field("shop/rec/@id", "Id", "Int", QStringLiteral("@id")),
             field("shop/rec/name", "Name", "VarChar(40)", namePattern),
             field("shop/rec/amount", "Amount", "Int", QStringLiteral("amount")),
             field("shop/title", "Title", "VarChar(20)", QStringLiteral("../title"))},
            table};
}

class ImportInPieces : public testing::Test {
protected:
    void Start(const QStringList& faults = {}) {
        server = std::make_unique<TestServer>(
            TestServer::Options{{kSales}, QStringLiteral("Secret-1"), {}, {}, {}, faults});
        connection = Connect();
    }

    std::unique_ptr<platform::Connection> Connect() const {
        auto opened = std::make_unique<platform::Connection>();
        opened->Open(ConnectionString(server->ServerText(), server->User()), server->User(),
                     server->Password());
        platform::BatchResult result;
        opened->Execute(UseStatement(server->Name(kSales)), result);
        return opened;
    }

    ImportOutcome Import(const QByteArray& document, const ImportPlan& plan,
                         const ImportSizes& sizes = kSmallPieces) {
        platform::Cancellation cancellation;
        return RunImport({document, {}, TargetOf(plan, {}, 0, {})}, *connection, cancellation,
                         progress, sizes);
    }

    QStringList Column(const QString& sql, const QString& column) {
        return server->Column(kSales, sql, column);
    }

    // Whether the table exists, asked on a connection of its own.
    bool Exists(const QString& table) {
        return Column(QStringLiteral("SELECT OBJECT_ID('%1') AS Id").arg(table),
                      QStringLiteral("Id")) != QStringList{QString()};
    }

    std::unique_ptr<TestServer> server;
    std::unique_ptr<platform::Connection> connection;
    ImportProgress progress;
};

TEST_F(ImportInPieces, PiecesInsertTheRowsOfOneBatchOnceAndInOrder) {
    Start();
    const QByteArray document = Records(60);
    const ImportOutcome pieces = Import(document, RecordsPlan(QStringLiteral("InPieces")));
    EXPECT_EQ(pieces.end, ImportEnd::Imported);
    EXPECT_EQ(pieces.rows, 60);
    EXPECT_EQ(progress.bytesDone, progress.bytesTotal);
    EXPECT_EQ(Import(document, RecordsPlan(QStringLiteral("Whole")), {}).rows, 60);
    for (const char* column : {"Id", "Name", "Amount", "Title"}) {
        SCOPED_TRACE(column);
        const QString select = QStringLiteral("SELECT %1 FROM %2");
        EXPECT_EQ(Column(select.arg(column, QStringLiteral("InPieces")), column),
                  Column(select.arg(column, QStringLiteral("Whole")), column));
    }
    EXPECT_EQ(Column(QStringLiteral("SELECT Name FROM InPieces"), QStringLiteral("Name")).at(59),
              QStringLiteral("Tom's item 59"));
}

// A pattern from the parent down to the first row: every row takes the document's first,
// which only the whole document gives.
TEST_F(ImportInPieces, APatternReachingOtherRowsSendsTheDocumentWhole) {
    Start();
    EXPECT_EQ(
        Import(Records(40), RecordsPlan(QStringLiteral("T"), QStringLiteral("../rec/name"))).rows,
        40);
    EXPECT_EQ(Column(QStringLiteral("SELECT Name FROM T"), QStringLiteral("Name")),
              QStringList(40, QStringLiteral("Tom's item 0")));
}

// Names a Latin1 database's code page lacks put each piece in UTF-16; the values keep their
// letters in an nvarchar column.
TEST_F(ImportInPieces, TurkishNamesAndValuesInPiecesIntoALatin1Database) {
    server = std::make_unique<TestServer>(TestServer::Options{
        {kSales + QStringLiteral(":Latin1_General_CI_AS")}, QStringLiteral("Secret-1")});
    connection = Connect();
    QByteArray document = "<müşteriler>";
    for (int i = 0; i < 40; ++i)
        document += "<müşteri no=\"" + QByteArray::number(i) + "\"><ad>Ayşe Işık " +
                    QByteArray::number(i) + "</ad></müşteri>";
    document += "</müşteriler>";
    const ImportPlan plan{
        QStringLiteral("müşteriler/müşteri"),
        {{{}, QStringLiteral("No"), QStringLiteral("Int"), QStringLiteral("@no")},
         {{}, QStringLiteral("Ad"), QStringLiteral("NVarChar(30)"), QStringLiteral("ad")}},
        QStringLiteral("T")};
    platform::Cancellation cancellation;
    const ImportOutcome outcome = RunImport({document, {}, TargetOf(plan, {}, 1252, {})},
                                            *connection, cancellation, progress, kSmallPieces);
    EXPECT_EQ(outcome.rows, 40) << outcome.errorText.toStdString();
    const QStringList names = Column(QStringLiteral("SELECT Ad FROM T"), QStringLiteral("Ad"));
    ASSERT_EQ(names.size(), 40);
    EXPECT_EQ(names.last(), QStringLiteral("Ayşe Işık 39"));
}

struct Fault {
    const char* name;
    QStringList standin;
    int badRecord;
    const char* said;
};

class ImportFault : public ImportInPieces, public testing::WithParamInterface<Fault> {};

// Whatever piece fails, nothing stays: not the new table, not a row; and the next import
// goes in.
TEST_P(ImportFault, LeavesTheDatabaseAsItWas) {
    Start(GetParam().standin);
    const ImportOutcome outcome =
        Import(Records(60, GetParam().badRecord, "CLOSE-HERE "), RecordsPlan(QStringLiteral("T")));
    EXPECT_EQ(outcome.end, ImportEnd::Failed);
    EXPECT_TRUE(outcome.errorText.contains(QString::fromUtf8(GetParam().said)))
        << outcome.errorText.toStdString();
    EXPECT_FALSE(Exists(QStringLiteral("T")));
    connection = Connect();
    EXPECT_EQ(Import(Records(3), RecordsPlan(QStringLiteral("T"))).rows, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, ImportFault,
    testing::Values(Fault{"ConversionErrorInAMiddlePiece", {}, 30, "Conversion failed"},
                    Fault{"LinkLostInAMiddlePiece",
                          {QStringLiteral("--close-on"), QStringLiteral("CLOSE-HERE")},
                          -1,
                          ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImportInPieces, CancelInTheMiddleRollsBackAtOnce) {
    Start({QStringLiteral("--delay"), QStringLiteral("150")});
    platform::Cancellation cancellation;
    std::thread canceller([&] {
        while (progress.bytesDone == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        cancellation.Cancel();
    });
    const ImportOutcome outcome =
        RunImport({Records(60), {}, TargetOf(RecordsPlan(QStringLiteral("T")), {}, 0, {})},
                  *connection, cancellation, progress, kSmallPieces);
    canceller.join();
    EXPECT_EQ(outcome.end, ImportEnd::Cancelled);
    EXPECT_LT(progress.bytesDone, progress.bytesTotal);
    EXPECT_FALSE(Exists(QStringLiteral("T")));
    EXPECT_EQ(Import(Records(3), RecordsPlan(QStringLiteral("T"))).rows, 3);
}

// A batch the server works on for long is stopped there, not waited for.
TEST_F(ImportInPieces, CancelStopsALongBatchOnTheServer) {
    Start({QStringLiteral("--delay"), QStringLiteral("1800")});
    platform::Cancellation cancellation;
    std::atomic<bool> done{false};
    std::thread canceller([&] {
        cancellation.Cancel();
        while (!done) {
            cancellation.Poll();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const ImportOutcome outcome =
        RunImport({Records(3), {}, TargetOf(RecordsPlan(QStringLiteral("T")), {}, 0, {})},
                  *connection, cancellation, progress);
    done = true;
    canceller.join();
    EXPECT_EQ(outcome.end, ImportEnd::Cancelled);  // else the batch ran to its end and went in
}

// Through the window: the progress dialog's Cancel, the message, and a window that works.
TEST_F(ImportInPieces, CancelFromTheWindowsProgressDialog) {
    Start({QStringLiteral("--delay"), QStringLiteral("300")});
    Windows windows;
    ServerForm form{windows.Form1};
    MessageRecorder messages;
    OpenDialogScript dialog;
    const QTemporaryDir folder;
    // Past the size that goes in pieces.
    const QString path = WriteTestFile(folder, QStringLiteral("big.xml"), Records(60000));
    dialog.Ok(path);
    windows.Form1.findChild<QAction*>(QStringLiteral("Open3"))->trigger();
    AppendFieldRow(windows.Form1.FieldList(),
                   {QStringLiteral("shop/rec/@id"), QStringLiteral("Id"), QStringLiteral("Int")});
    form.Connect(server->ServerText(), server->User(), server->Password());
    form.ChooseDatabase(kSales);
    form.TypeTable(QStringLiteral("Big"));

    QTimer clickCancel;
    QObject::connect(&clickCancel, &QTimer::timeout, [&] {
        auto* progress =
            windows.Form1.findChild<QProgressDialog*>(QStringLiteral("ImportProgress"));
        if (!progress || !progress->isVisible()) return;
        clickCancel.stop();
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
    });
    clickCancel.start(20);
    messages.boxes.clear();
    QTest::mouseClick(&form.ImportButton(), Qt::LeftButton);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text,
              MessageText(MessageId::msgImportCancelled, Language::English));
    EXPECT_FALSE(Exists(QStringLiteral("Big")));

    messages.boxes.clear();
    form.Tables().lineEdit()->setText(QStringLiteral("Small"));
    QTest::mouseClick(&form.ImportButton(), Qt::LeftButton);  // the whole document, at last
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text,
              MessageText(MessageId::msgImportOk, Language::English, QStringLiteral("60000")));
}

}  // namespace
