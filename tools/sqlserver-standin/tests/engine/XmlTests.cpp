// OPENXML over prepared documents: row and column patterns, flags, limits.
#include "EngineTest.h"

namespace standin::test {
namespace {

const std::string kLibrary =
    "<lib ver=\"2\"><book id=\"b1\"><title>T1</title><author><name>N1</name><born>1900</born>"
    "<name2>M1</name2></author><pub><city>Rome</city></pub></book>"
    "<book id=\"b2\"><title>T2</title><author><name>N2</name><born>1950</born></author></book>"
    "<shelf>S</shelf></lib>";

class XmlTest : public EngineTest {
protected:
    // Prepares `doc` as nvarchar and selects `with` from OPENXML over `rowPattern`.
    std::vector<StatementReply> openXml(const std::string& doc, const std::string& rowPattern,
                                        int flags, const std::string& with) {
        return run("DECLARE @h int, @d nvarchar(4000) SET @d = N'" + doc +
                   "' EXEC sp_xml_preparedocument @h OUTPUT, @d SELECT * FROM OPENXML (@h, '" +
                   rowPattern + "', " + std::to_string(flags) + ") WITH (" + with +
                   ") EXEC sp_xml_removedocument @h");
    }

    Rows openXmlRows(const std::string& doc, const std::string& rowPattern, int flags,
                     const std::string& with) {
        const auto replies = openXml(doc, rowPattern, flags, with);
        EXPECT_TRUE(errorsOf(replies).empty()) << with << ": " << errorsOf(replies).front().text;
        const ResultSet* r = replies.size() > 3 ? resultOf(replies[3]) : nullptr;
        return r ? r->rows : Rows{};
    }
};

TEST_F(XmlTest, ColumnPatternsRelativeToTheRowNode) {
    struct Case {
        const char* pattern;
        Value first, second;
    };
    const Case cases[] = {
        {".", "N1", "N2"},
        {"../born", "1900", "1950"},
        {"../name2", "M1", std::nullopt},
        {"../../title", "T1", "T2"},
        {"../../@id", "b1", "b2"},
        {"../../pub/city", "Rome", std::nullopt},
        {"../../../shelf", "S", "S"},
        {"../../../@ver", "2", "2"},
        {"text()", "N1", "N2"},
        {"../../../book/title", "T1", "T1"},
        {"../../author", "N11900M1", "N21950"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(openXmlRows(kLibrary, "lib/book/author/name", 1,
                              std::string("v nvarchar(50) '") + c.pattern + "'"),
                  (Rows{{c.first}, {c.second}}))
            << c.pattern;
}

TEST_F(XmlTest, AttributeRowNodes) {
    const std::string doc =
        "<orders><order no=\"7\" date=\"2024-05-01\"><item>pen</item></order>"
        "<order no=\"8\"><item>ink</item></order></orders>";
    EXPECT_EQ(openXmlRows(doc, "orders/order/@no", 1,
                          "no int '.', item varchar(9) '../item', d datetime '../@date'"),
              (Rows{{"7", "pen", "2024-05-01 00:00:00.000"}, {"8", "ink", std::nullopt}}));
    EXPECT_EQ(openXmlRows(doc, "/orders/order", 1, "no int '@no'"), (Rows{{"7"}, {"8"}}));
}

TEST_F(XmlTest, FlagsChooseAttributesOrElementsForColumnsWithoutPattern) {
    const std::string doc = "<r><e a=\"attr\"><a>elem</a><b>only</b></e></r>";
    struct Case {
        int flags;
        Value a, b;
    };
    const Case cases[] = {{0, "attr", std::nullopt},
                          {1, "attr", std::nullopt},
                          {2, "elem", "only"},
                          {3, "attr", "only"}};
    for (const Case& c : cases)
        EXPECT_EQ(openXmlRows(doc, "r/e", c.flags, "a varchar(9), b varchar(9)"),
                  (Rows{{c.a, c.b}}))
            << c.flags;
    EXPECT_EQ(openXmlRows(doc, "r/e", 2, "a varchar(9) '@a'"), (Rows{{"attr"}}));
}

TEST_F(XmlTest, LineBreaksInAttributesCollapseEvenWhenWrittenAsReferences) {
    const std::string doc = "<r><i a=\"one&#xD;&#xA;two&#xA;three&#xD;four\" b=\"x\r\ny\"/></r>";
    EXPECT_EQ(openXmlRows(doc, "r/i", 1, "a nvarchar(40), b nvarchar(40)"),
              (Rows{{"one two three four", "x y"}}));
}

TEST_F(XmlTest, RowPatternEndingInSlashIsRefused) {
    const auto replies = openXml(kLibrary, "lib/shelf/", 1, "v varchar(9) '.'");
    ASSERT_EQ(replies.size(), 5u);
    EXPECT_TRUE(replies[3].error);
    const Message m = errorsOf(replies).front();
    EXPECT_EQ(m.number, 6603);
    EXPECT_EQ(m.text, "XML parsing error: Expected token 'eof' found '/'.");
    EXPECT_FALSE(replies[4].error);
}

TEST_F(XmlTest, NestingLimitOf256OpenElements) {
    for (int depth : {256, 257, 300}) {
        std::string doc;
        for (int i = 0; i < depth; ++i) doc += "<e>";
        for (int i = 0; i < depth; ++i) doc += "</e>";
        const auto replies = openXml(doc, "e", 1, "v varchar(9) '.'");
        if (depth == 256) {
            EXPECT_TRUE(errorsOf(replies).empty()) << depth;
            continue;
        }
        ASSERT_EQ(replies.size(), 5u);
        EXPECT_TRUE(replies[2].error);
        const auto m = messagesOf({replies[2]});
        ASSERT_EQ(m.size(), 2u);
        EXPECT_EQ(m[0].number, 6601);
        EXPECT_EQ(m[1].number, 6602);
        EXPECT_EQ(
            m[1].text,
            "The error description is 'The document exceeds the maximum of 256 open elements.'.")
            << depth;
        EXPECT_EQ(errorsOf({replies[3]}).front().number, 8179);
    }
}

TEST_F(XmlTest, MalformedDocumentsAreDescribed) {
    struct Case {
        const char* doc;
        const char* description;
    };
    const Case cases[] = {
        {"<a><b></a>", "End tag 'a' does not match the start tag 'b'."},
        {"<a><b>", "The following tags were not closed: b."},
        {"<a/><b/>", "Only one top level element is allowed in an XML document."},
        {"", "XML document must have a top level element."},
    };
    for (const Case& c : cases) {
        const auto replies = run(
            std::string("DECLARE @h int EXEC sp_xml_preparedocument @h OUTPUT, N'") + c.doc + "'");
        const auto errors = errorsOf(replies);
        ASSERT_EQ(errors.size(), 1u) << c.doc;
        EXPECT_EQ(errors[0].text, std::string("The error description is '") + c.description + "'.")
            << c.doc;
    }
}

TEST_F(XmlTest, HandlesLiveForTheSessionUntilRemoved) {
    const auto prepared =
        run("DECLARE @h int EXEC sp_xml_preparedocument @h OUTPUT, N'<a x=\"1\"/>' SELECT @h");
    const Value handle = resultOf(prepared[2])->rows.at(0).at(0);
    ASSERT_TRUE(handle);
    const std::string use = "SELECT * FROM OPENXML (" + *handle + ", 'a') WITH (x int)";
    EXPECT_EQ(query(use), (Rows{{"1"}}));
    Session other(catalog, "Sales");
    EXPECT_EQ(errorsOf(other.executeBatch(use)).front().text,
              "Could not find prepared statement with handle " + *handle + ".");
    ok("EXEC sp_xml_removedocument " + *handle);
    EXPECT_EQ(fails(use).number, 8179);
    const Message again = fails("EXEC sp_xml_removedocument " + *handle);
    EXPECT_EQ(again.number, 6607);
    EXPECT_EQ(again.procedure, "sp_xml_removedocument");
}

TEST_F(XmlTest, NullDocumentIsEmpty) {
    const auto replies =
        run("DECLARE @h int, @d varchar(10) EXEC sp_xml_preparedocument @h OUTPUT, @d "
            "SELECT * FROM OPENXML (@h, 'a') WITH (x int)");
    EXPECT_TRUE(errorsOf(replies).empty());
    EXPECT_TRUE(resultOf(replies[2])->rows.empty());
}

TEST_F(XmlTest, UnicodeTextMayDeclareOnlyUtf16) {
    for (const char* encoding : {"UTF-16", "utf-16"})
        ok("DECLARE @h int EXEC sp_xml_preparedocument @h OUTPUT, N'<?xml version=\"1.0\" "
           "encoding=\"" +
           std::string(encoding) + "\"?><a/>'");
    for (const char* encoding : {"UTF-8", "windows-1252"}) {
        const auto messages =
            messagesOf(run("DECLARE @h int EXEC sp_xml_preparedocument @h OUTPUT, "
                           "N'<?xml version=\"1.0\" encoding=\"" +
                           std::string(encoding) + "\"?><a/>' SELECT @h"));
        ASSERT_EQ(messages.size(), 2u) << encoding;
        EXPECT_EQ(messages[1].text,
                  "The error description is 'Switch from current encoding to specified encoding "
                  "not supported.'.");
    }
    ok("DECLARE @h int EXEC sp_xml_preparedocument @h OUTPUT, '<?xml version=\"1.0\" "
       "encoding=\"UTF-8\"?><a/>'");
}

TEST(XmlMemoryTest, OpenDocumentsShareTheCapUntilRemovedOrTheirSessionEnds) {
    CatalogOptions options{{"Sales"}, ""};
    options.xmlMemoryBytes = 800;  // 100 characters of document: one of these, not two
    Catalog catalog(options);
    const std::string prepare = "DECLARE @h int EXEC sp_xml_preparedocument @h OUTPUT, '<a>" +
                                std::string(50, 'x') + "</a>' SELECT @h";
    Session first(catalog, "Sales");
    EXPECT_TRUE(errorsOf(first.executeBatch(prepare)).empty());
    {
        Session second(catalog, "Sales");
        const auto errors = errorsOf(second.executeBatch(prepare));
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].number, 6624);
        EXPECT_EQ(errors[0].procedure, "sp_xml_preparedocument");
        EXPECT_EQ(errors[0].text,
                  "XML document could not be created because server memory is low. Use "
                  "sp_xml_removedocument to release XML documents.");
        first.executeBatch("EXEC sp_xml_removedocument 1");
        EXPECT_TRUE(errorsOf(second.executeBatch(prepare)).empty());
    }
    EXPECT_TRUE(errorsOf(first.executeBatch(prepare)).empty());
}

}  // namespace
}  // namespace standin::test
