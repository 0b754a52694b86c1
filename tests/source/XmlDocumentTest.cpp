#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>

#include "StructureBuilder.h"
#include "XmlFiles.h"
#include "platform/XmlDocument.h"

using platform::XmlDocument;
using platform::XmlError;

namespace {

const QByteArray Declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// The texts of a node's children in the structure tree, or of the root nodes for None.
QStringList ChildTexts(const StructureNodes& nodes, int node = StructureNodes::None) {
    QStringList texts;
    for (const int child : nodes.Children(node)) texts << nodes.Text(child);
    return texts;
}

class XmlDocumentTest : public testing::Test {
protected:
    // Loads content as a file; the document text, or the failure.
    QByteArray Load(const QByteArray& content) {
        document.SetFileName(files.Write(QStringLiteral("doc%1.xml").arg(++loads), content));
        structure = BuildStructureTree(document);
        return document.Xml();
    }

    XmlFiles files;
    XmlDocument document;
    StructureNodes structure;
    int loads = 0;
};

struct BadInput {
    const char* name;
    QByteArray content;
};

QByteArray BillionLaughs() {
    QByteArray dtd = "<!DOCTYPE a [<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 10; ++i)
        dtd += "<!ENTITY l" + QByteArray::number(i) + " \"" +
               ("&l" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
    return dtd + "]>";
}

const BadInput BadInputs[] = {
    {"not well-formed", "<a><b></a>"},
    {"empty file", ""},
    {"only whitespace", " \r\n\t"},
    {"binary garbage", QByteArray("\x00\x01\xff\xfe\x80<\x00>\x9c", 9)},
    {"two root elements", "<a/><b/>"},
    {"text after the root", "<a/>tail"},
    {"only a comment", "<!-- no root -->"},
    {"undeclared entity", "<a>&nope;</a>"},
    {"undeclared entity beside an unread DTD",
     "<!DOCTYPE html SYSTEM \"xhtml1-strict.dtd\"><html>a&nbsp;b</html>"},
    {"undeclared entity in an attribute beside an unread DTD",
     "<!DOCTYPE html SYSTEM \"xhtml1-strict.dtd\"><html title=\"a&nbsp;b\"/>"},
    {"undeclared element prefix", "<p:a/>"},
    {"undeclared attribute prefix", "<a p:x=\"1\"/>"},
    {"prefix used outside its element", "<r><a xmlns:p=\"u\"/><p:b/></r>"},
    {"two colons in a name", "<a:b:c xmlns:a=\"u\"/>"},
    {"name ending in a colon", "<a: xmlns:a=\"u\"/>"},
    {"two prefixes for one expanded attribute name",
     "<a xmlns:p=\"u\" xmlns:q=\"u\" p:x=\"1\" q:x=\"2\"/>"},
    {"prefix declared empty", "<a xmlns:p=\"\"/>"},
    {"prefix xmlns declared", "<a xmlns:xmlns=\"u\"/>"},
    {"prefix xml bound elsewhere", "<a xmlns:xml=\"urn:x\"/>"},
    {"local name starting with a digit", "<a xml:6pace=\"preserve\"/>"},
    {"unknown encoding", "<?xml version=\"1.0\" encoding=\"x-no-such\"?><a/>"},
    {"entity bomb in text", BillionLaughs() + "<a>&l9;</a>"},
    {"entity bomb in an attribute", BillionLaughs() + "<a b=\"&l9;\"/>"},
    {"recursive entity", "<!DOCTYPE a [<!ENTITY x \"&y;\"><!ENTITY y \"&x;\">]><a>&x;</a>"},
    {"10,000 levels deep", Nested(10000)},
    {"257 levels deep", Nested(257)},
    {"deeper than 256 through an entity",
     "<!DOCTYPE e [<!ENTITY n \"<e><e><e></e></e></e>\">]>" + Nested(254).insert(254 * 3, "&n;")},
};

TEST_F(XmlDocumentTest, BadInputFailsAndLeavesNoDocument) {
    for (const BadInput& input : BadInputs) {
        SCOPED_TRACE(input.name);
        XmlDocument fresh;
        fresh.SetFileName(files.Write(QStringLiteral("bad.xml"), input.content));
        EXPECT_THROW(BuildStructureTree(fresh), XmlError);
        EXPECT_FALSE(fresh.Active());
        EXPECT_TRUE(fresh.Xml().isEmpty());
    }
}

TEST_F(XmlDocumentTest, MissingFileAndFolderFail) {
    for (const QString& name :
         {files.Path(QStringLiteral("missing.xml")), files.Path({}), QString()}) {
        SCOPED_TRACE(name.toStdString());
        XmlDocument fresh;
        fresh.SetFileName(name);
        EXPECT_THROW(BuildStructureTree(fresh), XmlError);
        EXPECT_FALSE(fresh.Active());
    }
}

TEST_F(XmlDocumentTest, NestingOf256ElementsLoads) {
    EXPECT_EQ(Load(Nested(256)), Declaration + Nested(256).replace("<e></e>", "<e/>") + "\r\n");
}

TEST_F(XmlDocumentTest, InternalEntitiesAreExpanded) {
    EXPECT_EQ(
        Load("<!DOCTYPE a [<!ENTITY v \"Tom &#38;amp; Jerry\">"
             "<!ENTITY n \"&v; <b>&v;</b>\">]><a x=\"&v;\">&n;</a>"),
        Declaration + "<a x=\"Tom &amp; Jerry\">Tom &amp; Jerry <b>Tom &amp; Jerry</b></a>\r\n");
}

TEST_F(XmlDocumentTest, ExternalEntitiesAndDtdsAreNeverRead) {
    const QString secret = files.Write(QStringLiteral("secret.txt"), "TOP-SECRET");
    const QString dtd = files.Write(QStringLiteral("outer.dtd"), "<!ENTITY s \"TOP-SECRET\">");
    const QByteArray secretUrl = QUrl::fromLocalFile(secret).toEncoded();
    const QByteArray dtdUrl = QUrl::fromLocalFile(dtd).toEncoded();
    const QByteArray documents[] = {
        "<!DOCTYPE a [<!ENTITY x SYSTEM \"" + secretUrl + "\">]><a>&x;</a>",
        "<!DOCTYPE a [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><a>&x;</a>",
        "<!DOCTYPE a [<!ENTITY % p SYSTEM \"" + dtdUrl + "\">%p;]><a>&s;</a>",
        "<!DOCTYPE a SYSTEM \"" + dtdUrl + "\"><a>&s;</a>",
        "<!DOCTYPE a SYSTEM \"http://127.0.0.1:9/none.dtd\"><a/>",
    };
    for (const QByteArray& content : documents) {
        SCOPED_TRACE(content.toStdString());
        XmlDocument fresh;
        fresh.SetFileName(files.Write(QStringLiteral("ext.xml"), content));
        try {
            BuildStructureTree(fresh);
        } catch (const XmlError&) {
        }
        EXPECT_FALSE(fresh.Xml().contains("TOP-SECRET"));
        EXPECT_FALSE(fresh.Xml().contains("root:"));
    }
}

TEST_F(XmlDocumentTest, ExternalDtdIsNeitherFetchedNorValidated) {
    EXPECT_EQ(Load("<!DOCTYPE a SYSTEM \"missing.dtd\"><a><undeclared/></a>"),
              Declaration + "<a><undeclared/></a>\r\n");
}

TEST_F(XmlDocumentTest, WhitespaceOnlyTextIsDroppedOutsidePreserve) {
    EXPECT_EQ(Load("<a>\n  <sp>   </sp>\n  <c> x </c>\r\n\t<d/>\n</a>"),
              Declaration + "<a><sp/><c> x </c><d/></a>\r\n");
    EXPECT_EQ(Load("<a xml:space=\"preserve\"> <b> </b><c xml:space=\"default\"> <d> </d></c></a>"),
              Declaration +
                  "<a xml:space=\"preserve\"> <b> </b><c xml:space=\"default\"><d/></c></a>\r\n");
}

TEST_F(XmlDocumentTest, NamesAndAttributesAsWrittenInDocumentOrder) {
    Load(
        "<p:a xmlns:p=\"urn:p\" id=\"1\" xmlns=\"urn:d\" q:x=\"2\" xmlns:q=\"urn:q\" "
        "xml:lang=\"tr\"><q:b/></p:a>");
    EXPECT_EQ(ChildTexts(structure), QStringList{"p:a"});
    EXPECT_EQ(ChildTexts(structure, 0),
              (QStringList{"xmlns:p", "id", "xmlns", "q:x", "xmlns:q", "xml:lang", "q:b"}));
}

TEST_F(XmlDocumentTest, NodesInsideTheRootOnly) {
    Load(
        "<?xml version=\"1.0\"?><!--before--><?early x?><r>t<![CDATA[c]]><!--k--><?go on?>"
        "<e/></r><!--after-->");
    EXPECT_EQ(ChildTexts(structure), QStringList{"r"});
    EXPECT_EQ(ChildTexts(structure, 0),
              (QStringList{"#text", "#cdata-section", "#comment", "go", "e"}));
}

TEST_F(XmlDocumentTest, TextElementRule) {
    Load("<r><t>x</t><c><![CDATA[x]]></c><e/><m>x<b/></m><k><!--c--></k></r>");
    QStringList textElements;
    for (int node = 0; node < structure.Count(); ++node)
        if (structure.Kind(node) == NodeKind::TextElement) textElements << structure.Text(node);
    EXPECT_EQ(textElements, QStringList{"t"});
}

TEST_F(XmlDocumentTest, DocumentTextIsAsciiWithReferencesAndCrLf) {
    const QByteArray text = Load(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<!-- c\n2 -->\n"
        "<r a=\"\xC3\xA9&quot;&#10;&#9;&lt;&amp;'\">line1\nline2\r\nline3\r&lt; &amp; &gt; "
        "\xC5\x9F \xF0\x9F\x98\x80&#13;<![CDATA[x<y\n]]><!----><![CDATA[\xC3\xA9]]><?pi da\nta?>"
        "<!--\xC3\xA9--><n:\xC3\xA9 xmlns:n=\"u\" z=\"1\"/></r>");
    EXPECT_EQ(text,
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
              "<!-- c\r\n2 -->\r\n"
              "<r a=\"&#xE9;&quot;&#xA;&#x9;&lt;&amp;'\">line1\r\nline2\r\nline3\r\n&lt; &amp; "
              "&gt; &#x15F; &#x1F600;&#xD;<![CDATA[x<y\r\n]]><!---->&#xE9;<?pi da\r\nta?>"
              "<!--&#xE9;--><n:\xC3\xA9 xmlns:n=\"u\" z=\"1\"/></r>\r\n");
}

TEST_F(XmlDocumentTest, AttributeDefaultsOfTheInternalDtdFollowTheWrittenOnes) {
    const QByteArray text = Load(
        "<!DOCTYPE r [<!ATTLIST r d CDATA \"dflt\" w CDATA \"x\" i CDATA #IMPLIED>"
        "<!ATTLIST r f CDATA #FIXED \"1\" d CDATA \"second\">]><r w=\"given\" a=\"2\"><d/></r>");
    // The element d is skipped: its parent has an attribute of that name.
    EXPECT_EQ(ChildTexts(structure, 0), (QStringList{"w", "a", "d", "f"}));
    EXPECT_EQ(text, Declaration + "<r w=\"given\" a=\"2\" d=\"dflt\" f=\"1\"><d/></r>\r\n");
}

// Default namespace declarations are left out, so that the server sees the unprefixed
// names as the tree shows them; prefixed ones stay, and the first of each prefix is what
// the patterns get.
TEST_F(XmlDocumentTest, NamespacesInTheDocumentText) {
    const QByteArray text = Load(
        "<feed xmlns=\"urn:atom\" xmlns:p=\"urn:p1\"><p:e xmlns=\"\" xmlns:q=\"u'q\"/>"
        "<p:e xmlns:p=\"urn:p2\"/></feed>");
    EXPECT_EQ(text, Declaration +
                        "<feed xmlns:p=\"urn:p1\"><p:e xmlns:q=\"u'q\"/>"
                        "<p:e xmlns:p=\"urn:p2\"/></feed>\r\n");
    EXPECT_EQ(document.PrefixDeclarations(), "<root xmlns:p=\"urn:p1\" xmlns:q=\"u'q\"/>");
    Load("<feed xmlns=\"urn:atom\"><e/></feed>");
    EXPECT_EQ(document.PrefixDeclarations(), QByteArray());
}

// Names stay characters: the declaration names the code page the server converts them to.
TEST_F(XmlDocumentTest, DeclarationNamesTheEncodingOnlyForNamesAboveAscii) {
    Load("<\xC5\x9F\x65hir>\xC4\xB0zmir<!--\xC3\xBC--></\xC5\x9F\x65hir>");
    EXPECT_EQ(document.Xml("windows-1254"),
              "<?xml version=\"1.0\" encoding=\"windows-1254\"?>\r\n"
              "<\xC5\x9F\x65hir>&#x130;zmir<!--&#xFC;--></\xC5\x9F\x65hir>\r\n");
    Load("<sehir>\xC4\xB0zmir<!--\xC3\xBC--></sehir>");
    EXPECT_EQ(document.Xml("windows-1254"),
              Declaration + "<sehir>&#x130;zmir<!--&#xFC;--></sehir>\r\n");
}

// Each seed's text as a document tree wrote it before documents were read in one pass.
TEST_F(XmlDocumentTest, DocumentTextOfTheFuzzSeedsIsUnchanged) {
    const QDir fuzz(QStringLiteral(TAVLEN_FUZZ_DIR));
    const QStringList seeds = QDir(fuzz.filePath(QStringLiteral("seeds"))).entryList(QDir::Files);
    ASSERT_FALSE(seeds.isEmpty());
    for (const QString& seed : seeds) {
        SCOPED_TRACE(seed.toStdString());
        XmlDocument fresh;
        fresh.SetFileName(fuzz.filePath(QStringLiteral("seeds/") + seed));
        BuildStructureTree(fresh);
        QFile expected(fuzz.filePath(QStringLiteral("expected/") + seed));
        ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
        EXPECT_EQ(fresh.Xml("windows-1254"), expected.readAll());
    }
}

TEST_F(XmlDocumentTest, EveryLineEndsInCrLf) {
    const QByteArray text = Load("<a>\n<b>1\n2</b>\r<c>3\r\n4</c><!--\n-->\n</a>\n<!--\r-->");
    EXPECT_TRUE(text.endsWith("\r\n"));
    EXPECT_FALSE(QString::fromLatin1(text).contains(QRegularExpression("\r(?!\n)|(?<!\r)\n")));
}

struct Encoded {
    const char* name;
    QByteArray content;
};

QByteArray Utf16(const QString& text, bool bigEndian) {
    QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : text) {
        const char high = static_cast<char>(c.unicode() >> 8);
        const char low = static_cast<char>(c.unicode() & 0xFF);
        bytes += bigEndian ? QByteArray{1, high} + low : QByteArray{1, low} + high;
    }
    return bytes;
}

// Each document holds <şé a="şé">şé</şé> in its own encoding.
TEST_F(XmlDocumentTest, EncodingsPeopleHave) {
    const QString utf16 = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>") +
                          QString::fromUtf8(
                              "<\xC5\x9F\xC3\xA9 a=\"\xC5\x9F\xC3\xA9\">"
                              "\xC5\x9F\xC3\xA9</\xC5\x9F\xC3\xA9>");
    const Encoded inputs[] = {
        {"UTF-8", "<\xC5\x9F\xC3\xA9 a=\"\xC5\x9F\xC3\xA9\">\xC5\x9F\xC3\xA9</\xC5\x9F\xC3\xA9>"},
        {"UTF-8 with BOM",
         "\xEF\xBB\xBF<\xC5\x9F\xC3\xA9 "
         "a=\"\xC5\x9F\xC3\xA9\">\xC5\x9F\xC3\xA9</\xC5\x9F\xC3\xA9>"},
        {"UTF-16LE with BOM", Utf16(utf16, false)},
        {"UTF-16BE with BOM", Utf16(utf16, true)},
        {"ISO-8859-9",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-9\"?><\xFE\xE9 "
         "a=\"\xFE\xE9\">\xFE\xE9</\xFE\xE9>"},
        {"Windows-1254",
         "<?xml version=\"1.0\" encoding=\"Windows-1254\"?><\xFE\xE9 a=\"\xFE\xE9\">\xFE\xE9</"
         "\xFE\xE9>"},
    };
    for (const Encoded& input : inputs) {
        SCOPED_TRACE(input.name);
        XmlDocument fresh;
        fresh.SetFileName(files.Write(QStringLiteral("enc.xml"), input.content));
        StructureNodes nodes;
        ASSERT_NO_THROW(nodes = BuildStructureTree(fresh));
        EXPECT_EQ(ChildTexts(nodes), QStringList{QString::fromUtf8("\xC5\x9F\xC3\xA9")});
        EXPECT_EQ(fresh.Xml(), Declaration +
                                   "<\xC5\x9F\xC3\xA9 a=\"&#x15F;&#xE9;\">&#x15F;&#xE9;</"
                                   "\xC5\x9F\xC3\xA9>\r\n");
    }
}

TEST_F(XmlDocumentTest, Windows1252) {
    EXPECT_EQ(Load("<?xml version=\"1.0\" encoding=\"Windows-1252\"?><a>\x80\xE9</a>"),
              Declaration + "<a>&#x20AC;&#xE9;</a>\r\n");
}

TEST_F(XmlDocumentTest, SameNameIsNotReadAgain) {
    const QString name = files.Write(QStringLiteral("same.xml"), "<first/>");
    document.SetFileName(name);
    BuildStructureTree(document);
    files.Write(QStringLiteral("same.xml"), "<second/>");
    document.SetFileName(name);
    EXPECT_EQ(ChildTexts(BuildStructureTree(document)), QStringList{"first"});
    EXPECT_TRUE(document.Xml().contains("<first/>"));
}

TEST_F(XmlDocumentTest, NewNameReleasesTheDocument) {
    const QString name = files.Write(QStringLiteral("one.xml"), "<one/>");
    document.SetFileName(name);
    BuildStructureTree(document);
    // The same file through a different text is a different name.
    const QString other = files.Path(QStringLiteral("./one.xml"));
    document.SetFileName(other);
    EXPECT_FALSE(document.Active());
    EXPECT_TRUE(document.Xml().isEmpty());
    EXPECT_EQ(document.FileName(), other);
    files.Write(QStringLiteral("one.xml"), "<two/>");
    EXPECT_EQ(ChildTexts(BuildStructureTree(document)), QStringList{"two"});
}

TEST_F(XmlDocumentTest, FailedLoadIsRetriedUnderTheSameName) {
    const QString name = files.Write(QStringLiteral("retry.xml"), "<broken>");
    document.SetFileName(name);
    EXPECT_THROW(BuildStructureTree(document), XmlError);
    files.Write(QStringLiteral("retry.xml"), "<mended/>");
    document.SetFileName(name);
    EXPECT_EQ(ChildTexts(BuildStructureTree(document)), QStringList{"mended"});
}

TEST_F(XmlDocumentTest, NoDocumentBeforeTheFirstLoad) {
    EXPECT_FALSE(document.Active());
    EXPECT_TRUE(document.Xml().isEmpty());
    EXPECT_TRUE(document.FileName().isEmpty());
}

}  // namespace
