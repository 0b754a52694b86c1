// Import through the real handlers and the real driver, against the stand-in server or the
// SQL Server that TAVLEN_TEST_SERVER names.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "ExpectedBatch.h"
#include "FieldList.h"
#include "PrintBytes.h"
#include "ProgramWindows.h"
#include "QtPrinting.h"
#include "Recorders.h"
#include "ServerForm.h"
#include "StructureModel.h"
#include "TestServer.h"

namespace {

const QString kSales = QStringLiteral("Sales");
const QString kNoRows = MessageText(MessageId::msgImportNoRows, Language::English);

QString Imported(qint64 rows) {
    return MessageText(MessageId::msgImportOk, Language::English, QString::number(rows));
}
const QString kFailed = MessageText(MessageId::msgImportFailed, Language::English);

// The worked example's document on one line.
const QByteArray kOrdersXml =
    "<orders><order no=\"7\"><item>Tom's pen</item><qty>2</qty></order></orders>";

const std::vector<FieldRow> kOrdersFields = {
    {QStringLiteral("orders/order/item"), QStringLiteral("Item"), QStringLiteral("VarChar(50)")},
    {QStringLiteral("orders/order/qty"), QStringLiteral("Qty"), QStringLiteral("Int")},
    {QStringLiteral("orders/order/@no"), QStringLiteral("OrderNo"), QStringLiteral("Int")}};

using Rows = std::vector<QStringList>;

class ImportEndToEnd : public testing::Test {
protected:
    void SetUp() override { StartServer({}); }

    void StartServer(const QStringList& closeOn, const QStringList& databases = {kSales}) {
        server.reset();
        server = std::make_unique<TestServer>(
            TestServer::Options{databases, QStringLiteral("Secret-1"), closeOn, LogPath()});
    }

    QString LogPath() const { return dir.filePath(QStringLiteral("batches.log")); }

    // Runs statements in the test database, each a batch of its own.
    void Execute(const QStringList& batches) { server->Execute(kSales, batches); }

    // The named columns of a query's rows, as text.
    Rows Query(const QString& sql, const QStringList& columns, const QString& database = kSales) {
        std::vector<QStringList> values;
        for (const QString& column : columns)
            values.push_back(server->Column(database, sql, column));
        Rows rows(values.empty() ? 0 : values[0].size());
        for (size_t row = 0; row < rows.size(); ++row) {
            for (const QStringList& column : values) rows[row] << column.value(row);
        }
        return rows;
    }

    QString WriteFile(const QString& name, const QByteArray& content) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    void OpenXml(const QString& path) {
        dialog.Ok(path);
        windows.Form1.findChild<QAction*>(QStringLiteral("Open3"))->trigger();
    }

    void LoadOrders() {
        OpenXml(WriteFile(QStringLiteral("orders.xml"), kOrdersXml));
        AddFields(kOrdersFields);
    }

    void AddFields(const std::vector<FieldRow>& rows) {
        for (const FieldRow& row : rows) AppendFieldRow(windows.Form1.FieldList(), row);
    }

    void ConnectToSales() { ConnectTo(kSales); }

    void ConnectTo(const QString& database) {
        Connect();
        form.ChooseDatabase(server->Name(database));
    }

    void Connect() { form.Connect(server->ServerText(), server->User(), server->Password()); }

    void ChooseTable(const QString& table) {
        form.Tables().lineEdit()->clear();
        form.TypeTable(table);
    }

    // Clears the boxes shown so far, clicks Import and returns the one box it showed.
    ShownBox Import() {
        messages.boxes.clear();
        QTest::mouseClick(&form.ImportButton(), Qt::LeftButton);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(messages.boxes.size(), 1u);
        return messages.boxes.empty() ? ShownBox{} : messages.boxes.back();
    }

    QList<QByteArray> LoggedBatches() const {
        QFile file(LogPath());
        if (!file.open(QIODevice::ReadOnly)) return {};
        const QByteArray all = file.readAll();
        QList<QByteArray> result;
        const QByteArray separator = "\n----- end of batch -----\n";
        for (qsizetype at = 0, end; (end = all.indexOf(separator, at)) >= 0;
             at = end + separator.size())
            result << all.mid(at, end - at);
        return result;
    }

    QByteArray LastBatch() const {
        const QList<QByteArray> batches = LoggedBatches();
        return batches.isEmpty() ? QByteArray() : batches.back();
    }

    // Only the stand-in shows what it was sent.
    void ExpectLastBatch(const QByteArray& expected) const {
        if (server->IsStandin()) {
            EXPECT_EQ(LastBatch(), expected);
        }
    }
    void ExpectLastBatchContains(const QByteArray& part) const {
        if (server->IsStandin()) {
            EXPECT_TRUE(LastBatch().contains(part)) << part.toStdString();
        }
    }

    QTemporaryDir dir;
    std::unique_ptr<TestServer> server;
    Windows windows;
    ServerForm form{windows.Form1};
    MessageRecorder messages;
    OpenDialogScript dialog;
};

// The document text of a one-line file: the declaration the XML source writes, then the line.
QByteArray DocumentText(const QByteArray& line) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + line + "\r\n";
}

// Edits the label of the one node with that text.
void Relabel(StructureModel& tree, const QString& text, const QString& label) {
    const QModelIndexList found =
        tree.match(tree.index(0, 0), Qt::DisplayRole, text, -1,
                   Qt::MatchExactly | Qt::MatchCaseSensitive | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    tree.setData(found[0], label);
}

const QByteArray kOrdersColumns = " Item VarChar(50) '../item', Qty Int '../qty', OrderNo Int '.'";
const QByteArray kOrdersEscaped = DocumentText(
    "<orders><order no=\"7\"><item>Tom'+char(39)+'s pen</item><qty>2</qty></order></orders>");

TEST_F(ImportEndToEnd, WorkedExampleIntoNewTable) {
    LoadOrders();
    ConnectToSales();
    ChooseTable(QStringLiteral("Orders"));
    const ShownBox box = Import();
    EXPECT_EQ(box.kind, MessageKind::Information);
    EXPECT_EQ(box.text, Imported(1));
    ExpectLastBatch(ExpectedBatch("165", kOrdersEscaped, " SELECT * INTO [Orders] ",
                                  "orders/order/@no", kOrdersColumns));
    EXPECT_EQ(Query(QStringLiteral("SELECT * FROM Orders"), {"Item", "Qty", "OrderNo"}),
              Rows({{"Tom's pen", "2", "7"}}));
}

TEST_F(ImportEndToEnd, IntoExistingTableAndViewByPosition) {
    Execute({QStringLiteral("CREATE TABLE Lines (Descr varchar(50), Amount int, Id int)"),
             QStringLiteral("CREATE VIEW LinesView AS SELECT Descr, Amount, Id FROM Lines")});
    LoadOrders();
    ConnectToSales();
    ChooseTable(QStringLiteral("Lines"));
    EXPECT_EQ(Import().text, Imported(1));
    ExpectLastBatch(ExpectedBatch("165", kOrdersEscaped, " INSERT INTO [Lines]  SELECT * ",
                                  "orders/order/@no", kOrdersColumns));
    // A second Import in a row, through the view this time.
    ChooseTable(QStringLiteral("LinesView"));
    EXPECT_EQ(Import().text, Imported(1));
    ExpectLastBatch(ExpectedBatch("165", kOrdersEscaped, " INSERT INTO [LinesView]  SELECT * ",
                                  "orders/order/@no", kOrdersColumns));
    EXPECT_EQ(Query(QStringLiteral("SELECT * FROM Lines"), {"Descr", "Amount", "Id"}),
              Rows({{"Tom's pen", "2", "7"}, {"Tom's pen", "2", "7"}}));
}

TEST_F(ImportEndToEnd, RowPathMatchingNothingImportsNoRows) {
    LoadOrders();
    Relabel(windows.Form1.StructureTreeModel(), QStringLiteral("order"),
            QStringLiteral("bestelling"));
    ConnectToSales();
    ChooseTable(QStringLiteral("Orders"));
    EXPECT_EQ(Import().text, kNoRows);
    ExpectLastBatchContains("OPENXML (@idoc, 'orders/bestelling/@no',1)");
    EXPECT_EQ(Query(QStringLiteral("SELECT * FROM Orders"), {"Item"}), Rows());
}

TEST_F(ImportEndToEnd, ApostrophesInEditedLabelsStayInsideTheirLiterals) {
    LoadOrders();
    Relabel(windows.Form1.StructureTreeModel(), QStringLiteral("order"), QStringLiteral("it's"));
    ConnectToSales();
    ChooseTable(QStringLiteral("Orders"));
    // The statement stays whole: the label's own text reaches the server's XPath parser,
    // which refuses the apostrophe.
    const ShownBox box = Import();
    EXPECT_TRUE(box.text.startsWith(kFailed + QStringLiteral("XML parsing error")))
        << box.text.toStdString();
    ExpectLastBatch(ExpectedBatch("165", kOrdersEscaped, " SELECT * INTO [Orders] ",
                                  "orders/it''s/@no",
                                  " Item VarChar(50) '../../order/item', Qty Int "
                                  "'../../order/qty', OrderNo Int '../../order/@no'"));
}

TEST_F(ImportEndToEnd, SecondImportOfNewTableNameReportsTheServersText) {
    LoadOrders();
    ConnectToSales();
    ChooseTable(QStringLiteral("Orders"));
    EXPECT_EQ(Import().text, Imported(1));
    const ShownBox box = Import();
    EXPECT_EQ(box.kind, MessageKind::Error);
    EXPECT_TRUE(box.text.startsWith(kFailed)) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(
        QStringLiteral("There is already an object named 'Orders' in the database")))
        << box.text.toStdString();
    // ExistingTables did not learn the new table: the new-table form again.
    ExpectLastBatchContains(" SELECT * INTO [Orders]  FROM");
    EXPECT_EQ(Query(QStringLiteral("SELECT * FROM Orders"), {"Item"}), Rows({{"Tom's pen"}}));
}

struct SizeCase {
    const char* name;
    int n;
    bool sized;
};

class DocumentSize : public ImportEndToEnd, public testing::WithParamInterface<SizeCase> {};

TEST_P(DocumentSize, TodaysBatchUpToEightThousandAMaxTypeAbove) {
    // The declaration, "<a>", the filler, "</a>" and CR LF make the document text.
    const QByteArray empty = DocumentText("<a></a>");
    const QByteArray filler(GetParam().n - 50 - empty.size(), 'x');
    OpenXml(WriteFile(QStringLiteral("big.xml"), "<a>" + filler + "</a>"));
    AddFields({{QStringLiteral("a"), QStringLiteral("Text"), QStringLiteral("VarChar(8000)")}});
    ConnectToSales();
    ChooseTable(QString::fromUtf8(GetParam().name));
    EXPECT_EQ(Import().text, Imported(1));
    const QByteArray sized = ExpectedBatch(
        QByteArray::number(GetParam().n), DocumentText("<a>" + filler + "</a>"),
        " SELECT * INTO [" + QByteArray(GetParam().name) + "] ", "a", " Text VarChar(8000) '.'");
    if (GetParam().sized) {
        ExpectLastBatch(sized);
    } else {
        ExpectLastBatch(QByteArray(sized)
                            .replace("varchar(8001)", "varchar(max)")
                            .replace("@doc\r\n SELECT", "@doc\r\nSELECT @idoc\r\n SELECT"));
    }
    EXPECT_EQ(
        Query(QStringLiteral("SELECT * FROM ") + QString::fromUtf8(GetParam().name), {"Text"}),
        Rows({{QString::fromLatin1(filler)}}));
}

INSTANTIATE_TEST_SUITE_P(Limit, DocumentSize,
                         testing::Values(SizeCase{"JustUnder", 8000, true},
                                         SizeCase{"JustOver", 8001, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImportEndToEnd, ValueThatDoesNotFitItsTypeReportsTheConversionError) {
    OpenXml(WriteFile(QStringLiteral("orders.xml"), kOrdersXml));
    AddFields(
        {{QStringLiteral("orders/order/item"), QStringLiteral("Item"), QStringLiteral("Int")}});
    ConnectToSales();
    ChooseTable(QStringLiteral("Orders"));
    const ShownBox box = Import();
    EXPECT_EQ(box.kind, MessageKind::Error);
    EXPECT_TRUE(box.text.startsWith(kFailed)) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("Conversion failed when converting")))
        << box.text.toStdString();
}

TEST_F(ImportEndToEnd, TableAndFieldNamesThatNeedQuoting) {
    OpenXml(WriteFile(QStringLiteral("orders.xml"), kOrdersXml));
    AddFields({{QStringLiteral("orders/order/@no"), QStringLiteral("Order"), QStringLiteral("Int")},
               {QStringLiteral("orders/order/item"), QStringLiteral("Unit Price"),
                QStringLiteral("VarChar(50)")},
               {QStringLiteral("orders/order/qty"), QStringLiteral("a]b"), QStringLiteral("Int")}});
    ConnectToSales();
    ChooseTable(QStringLiteral("Order]s Lines"));
    EXPECT_EQ(Import().text, Imported(1));
    ExpectLastBatch(
        ExpectedBatch("165", kOrdersEscaped, " SELECT * INTO [Order]]s Lines] ", "orders/order/@no",
                      " [Order] Int '.', [Unit Price] VarChar(50) '../item', [a]]b] Int "
                      "'../qty'"));
    EXPECT_EQ(
        Query(QStringLiteral("SELECT * FROM [Order]]s Lines]"), {"Order", "Unit Price", "a]b"}),
        Rows({{"7", "Tom's pen", "2"}}));
}

TEST_F(ImportEndToEnd, ConnectionClosedMidImport) {
    if (!server->IsStandin()) GTEST_SKIP() << "needs the stand-in's faults";
    StartServer({QStringLiteral("sp_xml_preparedocument")});
    LoadOrders();
    ConnectToSales();
    ChooseTable(QStringLiteral("Orders"));
    const ShownBox box = Import();
    EXPECT_EQ(box.kind, MessageKind::Error);
    // The driver's text for a lost link, never a bare "Unknown error".
    EXPECT_EQ(box.text, kFailed + QStringLiteral("Communication link failure"));
    // The program goes on, and connects again.
    messages.boxes.clear();
    Connect();
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, MessageText(MessageId::msgConnectOk, Language::English));
}

TEST_F(ImportEndToEnd, ImportAfterFailedOpenXmlSendsAnEmptyDocument) {
    LoadOrders();
    OpenXml(WriteFile(QStringLiteral("broken.xml"), "<orders>"));
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, MessageText(MessageId::msgBadXml, Language::English));
    ConnectToSales();
    ChooseTable(QStringLiteral("Orders"));
    const ShownBox box = Import();
    ExpectLastBatch(
        ExpectedBatch("50", "", " SELECT * INTO [Orders] ", "orders/order/@no", kOrdersColumns));
    // The server's answer decides the message.
    EXPECT_EQ(box.text, kFailed + QStringLiteral("The error description is 'XML document must "
                                                 "have a top level element.'"));
}

TEST_F(ImportEndToEnd, EmptyFieldListDoesNothing) {
    OpenXml(WriteFile(QStringLiteral("orders.xml"), kOrdersXml));
    ConnectToSales();
    ChooseTable(QStringLiteral("Orders"));
    const qsizetype sent = LoggedBatches().size();
    messages.boxes.clear();
    QTest::mouseClick(&form.ImportButton(), Qt::LeftButton);
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_EQ(LoggedBatches().size(), sent);
}

TEST_F(ImportEndToEnd, FailureWhileComposingIsReportedAndNothingSent) {
    LoadOrders();
    ConnectToSales();
    ChooseTable(QStringLiteral("Orders"));
    windows.Form1.StructureTreeModel().Install({});
    const qsizetype sent = LoggedBatches().size();
    const ShownBox box = Import();
    EXPECT_EQ(box.text, kFailed + QStringLiteral("Invalid index"));
    EXPECT_EQ(LoggedBatches().size(), sent);
}

struct EncodingCase {
    const char* name;
    QByteArray file;
};

class DocumentEncoding : public ImportEndToEnd, public testing::WithParamInterface<EncodingCase> {};

// Whatever the file's encoding, the text reaches nVarChar columns whole, and VarChar columns
// keep what code page 1252 holds or its best fit ("?" per UTF-16 unit where there is none).
TEST_P(DocumentEncoding, ValuesSurviveAsTheColumnTypeAllows) {
    OpenXml(WriteFile(QStringLiteral("letters.xml"), GetParam().file));
    std::vector<FieldRow> fields;
    for (const char* type : {"NVarChar", "VarChar"}) {
        for (const char* element : {"e", "s", "m"}) {
            fields.push_back({QStringLiteral("r/") + QLatin1String(element),
                              QLatin1String(element) + QLatin1String(type).left(2),
                              QLatin1String(type) + QStringLiteral("(10)")});
        }
    }
    AddFields(fields);
    ConnectToSales();
    ChooseTable(QStringLiteral("Letters"));
    EXPECT_EQ(Import().text, Imported(1));
    const QByteArray batch = LastBatch();
    EXPECT_FALSE(std::any_of(batch.cbegin(), batch.cend(), [](char c) { return c & 0x80; }))
        << "the document text is ASCII";
    EXPECT_EQ(
        Query(QStringLiteral("SELECT * FROM Letters"), {"eNV", "sNV", "mNV", "eVa", "sVa", "mVa"}),
        Rows({{QStringLiteral("é"), QStringLiteral("ş"), QStringLiteral("😀"), QStringLiteral("é"),
               QStringLiteral("s"), QStringLiteral("??")}}));
}

QByteArray Utf16File(const char* utf8) {
    const QString text = QString::fromUtf8(utf8);
    return QByteArray("\xff\xfe") +
           QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

INSTANTIATE_TEST_SUITE_P(
    Declared, DocumentEncoding,
    testing::Values(EncodingCase{"Utf8",
                                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                 "<r><e>\xc3\xa9</e><s>\xc5\x9f</s><m>\xf0\x9f\x98\x80</m></r>"},
                    EncodingCase{"Turkish8Bit",
                                 "<?xml version=\"1.0\" encoding=\"ISO-8859-9\"?>"
                                 "<r><e>\xe9</e><s>\xfe</s><m>&#x1F600;</m></r>"},
                    EncodingCase{"Utf16", Utf16File("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                                                    "<r><e>é</e><s>ş</s><m>😀</m></r>")}),
    [](const auto& info) { return std::string(info.param.name); });

// Documents as users have them, each into a database of its own collation.
class UsersDocuments : public ImportEndToEnd {
protected:
    void SetUp() override {
        StartServer({}, {kSales, kSatis + QStringLiteral(":Turkish_CI_AS"),
                         kDaten + QStringLiteral(":Latin1_General_CI_AS")});
    }

    void Load(const QByteArray& content, const std::vector<FieldRow>& fields) {
        OpenXml(WriteFile(QStringLiteral("document.xml"), content));
        AddFields(fields);
    }

    // In a single-byte code page the declared size is one byte per character, plus 50.
    void ExpectSizeInSingleByteCodePage() const {
        if (!server->IsStandin()) return;
        const QByteArray batch = LastBatch();
        const qsizetype from = batch.indexOf("SET @doc ='") + 11;
        const qsizetype to = batch.indexOf("'\r\nEXEC sp_xml_preparedocument");
        const qsizetype characters = QString::fromUtf8(batch.mid(from, to - from)).size();
        EXPECT_TRUE(batch.contains("varchar(" + QByteArray::number(characters + 50) + ")"));
    }

    static inline const QString kSatis = QStringLiteral("Satis");
    static inline const QString kDaten = QStringLiteral("Daten");
};

const QByteArray kCustomersXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!-- Müşteri listesi: İzmir şubesi -->\n"
    "<müşteriler>\n"
    "  <müşteri numara=\"1\"><ad>Ayşe Çağlar</ad><şehir>İzmir</şehir></müşteri>\n"
    "  <müşteri numara=\"2\"><ad>Işık Öztürk</ad><şehir>Muğla</şehir></müşteri>\n"
    "</müşteriler>\n";

const std::vector<FieldRow> kCustomersFields = {
    {QStringLiteral("müşteriler/müşteri/@numara"), QStringLiteral("Numara"), QStringLiteral("Int")},
    {QStringLiteral("müşteriler/müşteri/ad"), QStringLiteral("Ad"), QStringLiteral("VarChar(30)")},
    {QStringLiteral("müşteriler/müşteri/şehir"), QStringLiteral("Sehir"),
     QStringLiteral("NVarChar(30)")}};

TEST_F(UsersDocuments, TurkishNamesValuesAndCommentIntoATurkishDatabase) {
    Load(kCustomersXml, kCustomersFields);
    ConnectTo(kSatis);
    ChooseTable(QStringLiteral("Musteriler"));
    EXPECT_EQ(Import().text, Imported(2));
    ExpectLastBatchContains(
        "<?xml version=\"1.0\" encoding=\"windows-1254\"?>\r\n"
        "<!-- M&#xFC;&#x15F;teri listesi: &#x130;zmir &#x15F;ubesi -->\r\n"
        "<müşteriler><müşteri numara=\"1\"><ad>Ay&#x15F;e");
    ExpectSizeInSingleByteCodePage();
    EXPECT_EQ(Query(QStringLiteral("SELECT * FROM Musteriler"), {"Numara", "Ad", "Sehir"}, kSatis),
              Rows({{"1", QStringLiteral("Ayşe Çağlar"), QStringLiteral("İzmir")},
                    {"2", QStringLiteral("Işık Öztürk"), QStringLiteral("Muğla")}}));
}

TEST_F(UsersDocuments, GermanNamesAndCommentIntoALatin1Database) {
    Load(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!-- Preisliste für das Café -->\n"
        "<Preisliste>\n"
        "  <Artikel Größe=\"groß\"><Bezeichnung>Käsekuchen</Bezeichnung></Artikel>\n"
        "  <Artikel Größe=\"klein\"><Bezeichnung>Apfelstrudel</Bezeichnung></Artikel>\n"
        "</Preisliste>\n",
        {{QStringLiteral("Preisliste/Artikel/@Größe"), QStringLiteral("Groesse"),
          QStringLiteral("VarChar(10)")},
         {QStringLiteral("Preisliste/Artikel/Bezeichnung"), QStringLiteral("Bezeichnung"),
          QStringLiteral("VarChar(30)")}});
    ConnectTo(kDaten);
    ChooseTable(QStringLiteral("Preise"));
    EXPECT_EQ(Import().text, Imported(2));
    ExpectLastBatchContains(
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n"
        "<!-- Preisliste f&#xFC;r das Caf&#xE9; -->\r\n");
    ExpectSizeInSingleByteCodePage();
    EXPECT_EQ(Query(QStringLiteral("SELECT * FROM Preise"), {"Groesse", "Bezeichnung"}, kDaten),
              Rows({{QStringLiteral("groß"), QStringLiteral("Käsekuchen")},
                    {QStringLiteral("klein"), QStringLiteral("Apfelstrudel")}}));
}

// The server would put a look-alike or "?" in place of ş in both the document and the
// patterns, which can join two names or break the document: it goes in UTF-16 instead.
TEST_F(UsersDocuments, ANameTheCodePageLacksGoesInUnicode) {
    Load(kCustomersXml, kCustomersFields);
    ConnectTo(kDaten);
    ChooseTable(QStringLiteral("Musteriler"));
    EXPECT_EQ(Import().text, Imported(2));
    ExpectLastBatchContains("DECLARE @doc nvarchar(");
    ExpectLastBatchContains("SET @doc =N'<?xml version=\"1.0\" encoding=\"UTF-16\"?>");
    ExpectLastBatchContains("OPENXML (@idoc, N'müşteriler/müşteri/@numara',1)");
    EXPECT_EQ(Query(QStringLiteral("SELECT * FROM Musteriler"), {"Numara", "Ad", "Sehir"}, kDaten),
              Rows({{"1", QStringLiteral("Ayse Çaglar"), QStringLiteral("İzmir")},
                    {"2", QStringLiteral("Isik Öztürk"), QStringLiteral("Muğla")}}));
}

TEST_F(UsersDocuments, FeedWithADefaultNamespace) {
    Load(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<feed xmlns=\"http://www.w3.org/2005/Atom\">\n"
        "  <title>Example Feed</title>\n"
        "  <entry><title>First post</title><id>urn:uuid:1</id></entry>\n"
        "  <entry><title>Second post</title><id>urn:uuid:2</id></entry>\n"
        "</feed>\n",
        {{QStringLiteral("feed/entry/title"), QStringLiteral("Title"),
          QStringLiteral("VarChar(30)")},
         {QStringLiteral("feed/entry/id"), QStringLiteral("Id"), QStringLiteral("VarChar(30)")}});
    ConnectToSales();
    ChooseTable(QStringLiteral("Posts"));
    EXPECT_EQ(Import().text, Imported(2));
    ExpectLastBatchContains("<feed><title>Example Feed</title>");
    ExpectLastBatchContains("'\r\nEXEC sp_xml_preparedocument @idoc OUTPUT, @doc\r\n SELECT");
    EXPECT_EQ(Query(QStringLiteral("SELECT * FROM Posts"), {"Title", "Id"}),
              Rows({{"First post", "urn:uuid:1"}, {"Second post", "urn:uuid:2"}}));
}

TEST_F(UsersDocuments, InvoiceLinesWithPrefixesUnderADefaultNamespace) {
    const QByteArray cac =
        "urn:oasis:names:specification:ubl:schema:xsd:CommonAggregateComponents-2";
    const QByteArray cbc = "urn:oasis:names:specification:ubl:schema:xsd:CommonBasicComponents-2";
    Load(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<Invoice xmlns=\"urn:oasis:names:specification:ubl:schema:xsd:Invoice-2\"\n"
        "         xmlns:cac=\"" +
            cac + "\"\n         xmlns:cbc=\"" + cbc +
            "\">\n"
            "  <cbc:ID>INV-7</cbc:ID>\n"
            "  <cac:InvoiceLine>\n"
            "    <cbc:ID>1</cbc:ID><cbc:InvoicedQuantity>3</cbc:InvoicedQuantity>\n"
            "    <cac:Item><cbc:Name>Pen</cbc:Name></cac:Item>\n"
            "  </cac:InvoiceLine>\n"
            "  <cac:InvoiceLine>\n"
            "    <cbc:ID>2</cbc:ID><cbc:InvoicedQuantity>10</cbc:InvoicedQuantity>\n"
            "    <cac:Item><cbc:Name>Paper</cbc:Name></cac:Item>\n"
            "  </cac:InvoiceLine>\n"
            "</Invoice>\n",
        {{QStringLiteral("Invoice/cac:InvoiceLine/cbc:ID"), QStringLiteral("Line"),
          QStringLiteral("Int")},
         {QStringLiteral("Invoice/cac:InvoiceLine/cbc:InvoicedQuantity"), QStringLiteral("Qty"),
          QStringLiteral("Int")},
         {QStringLiteral("Invoice/cac:InvoiceLine/cac:Item/cbc:Name"), QStringLiteral("Item"),
          QStringLiteral("VarChar(20)")},
         {QStringLiteral("Invoice/cbc:ID"), QStringLiteral("Invoice"),
          QStringLiteral("VarChar(10)")}});
    ConnectToSales();
    ChooseTable(QStringLiteral("InvoiceLines"));
    EXPECT_EQ(Import().text, Imported(2));
    ExpectLastBatchContains("EXEC sp_xml_preparedocument @idoc OUTPUT, @doc, '<root xmlns:cac=\"" +
                            cac + "\" xmlns:cbc=\"" + cbc + "\"/>'\r\n");
    EXPECT_EQ(
        Query(QStringLiteral("SELECT * FROM InvoiceLines"), {"Line", "Qty", "Item", "Invoice"}),
        Rows({{"1", "3", "Pen", "INV-7"}, {"2", "10", "Paper", "INV-7"}}));
}

}  // namespace
