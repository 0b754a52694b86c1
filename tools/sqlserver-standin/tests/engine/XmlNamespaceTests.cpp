// Namespaces in OPENXML: prefixes come from sp_xml_preparedocument's third argument, never from
// the document, and unprefixed names match only elements in no namespace.
#include "EngineTest.h"

namespace standin::test {
namespace {

const std::string kInvoice =
    "<Invoice xmlns=\"urn:ubl:Invoice\" xmlns:cac=\"urn:ubl:cac\" xmlns:cbc=\"urn:ubl:cbc\">"
    "<cac:InvoiceLine><cbc:ID>1</cbc:ID><cbc:Note>Çay</cbc:Note></cac:InvoiceLine>"
    "<cac:InvoiceLine><cbc:ID>2</cbc:ID></cac:InvoiceLine></Invoice>";

class XmlNamespaceTest : public EngineTest {
protected:
    std::vector<StatementReply> select(const std::string& doc, const std::string& declarations,
                                       const std::string& rowPattern, const std::string& with) {
        return run("DECLARE @h int EXEC sp_xml_preparedocument @h OUTPUT, N'" + doc + "'" +
                   declarations + " SELECT * FROM OPENXML (@h, '" + rowPattern + "', 2) WITH (" +
                   with + ")");
    }
};

TEST_F(XmlNamespaceTest, PrefixedPatternsResolveThroughTheThirdArgument) {
    // The patterns' prefixes need not be the document's: the URIs decide.
    const auto replies =
        select(kInvoice, ", '<root xmlns:a=\"urn:ubl:cac\" xmlns:b=\"urn:ubl:cbc\"/>'",
               "/*/a:InvoiceLine", "id int 'b:ID', note nvarchar(9) 'b:Note'");
    ASSERT_TRUE(errorsOf(replies).empty()) << errorsOf(replies).front().text;
    EXPECT_EQ(resultOf(replies[2])->rows, (Rows{{"1", "Çay"}, {"2", std::nullopt}}));
}

TEST_F(XmlNamespaceTest, UnprefixedNamesMatchOnlyElementsInNoNamespace) {
    const std::string with = "title nvarchar(9) 'title'";
    const auto inFeed = select("<feed xmlns=\"urn:atom\"><entry><title>A</title></entry></feed>",
                               "", "/feed/entry", with);
    EXPECT_TRUE(resultOf(inFeed[2])->rows.empty());
    const auto plain =
        select("<feed><entry><title>A</title></entry></feed>", "", "/feed/entry", with);
    EXPECT_EQ(resultOf(plain[2])->rows, (Rows{{"A"}}));
    // Columns without a pattern too (flags 2: child elements).
    const auto mapped = select("<feed><entry><title xmlns=\"urn:atom\">A</title></entry></feed>",
                               "", "/feed/entry", "title nvarchar(9)");
    EXPECT_EQ(resultOf(mapped[2])->rows, (Rows{{std::nullopt}}));
}

TEST_F(XmlNamespaceTest, UndeclaredPrefixInAPatternIsRefused) {
    // The document's own declarations do not serve the patterns.
    for (const std::string& declarations :
         {std::string(), std::string(", '<root xmlns:cac=\"urn:ubl:cac\"/>'")}) {
        const auto errors =
            errorsOf(select(kInvoice, declarations, "/*/cac:InvoiceLine", "id int 'cbc:ID'"));
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors.front().number, 6603);
        EXPECT_EQ(errors.front().text,
                  "XML parsing error: Reference to undeclared namespace prefix: '" +
                      std::string(declarations.empty() ? "cac" : "cbc") + "'.");
    }
}

}  // namespace
}  // namespace standin::test
