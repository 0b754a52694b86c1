#include <gtest/gtest.h>

#include <QByteArrayList>

#include "DocumentPieces.h"
#include "PrintBytes.h"
#include "platform/XmlDocument.h"
#include "platform/XmlText.h"

namespace {

ImportPlan Plan(const char* rowPath, bool element, const std::vector<const char*>& fieldPaths) {
    std::vector<FieldRow> fields;
    for (const char* path : fieldPaths)
        fields.push_back({QString::fromUtf8(path), QStringLiteral("F"), QStringLiteral("Int")});
    return MakePlan({QString::fromUtf8(rowPath), element}, fields, QStringLiteral("T"));
}

QByteArrayList Pieces(const QByteArray& document, const ImportPlan& plan, qsizetype pieceBytes) {
    const auto layout = PieceLayoutOf(plan);
    if (!layout) return {"whole"};
    QByteArrayList pieces;
    CutIntoPieces(document, *layout, pieceBytes, [&](DocumentPiece&& piece) {
        pieces << piece.body;
        return true;
    });
    return pieces;
}

TEST(DocumentPieces, RowsGoOnceInDocumentOrderEachPieceWholeAndClosed) {
    const QByteArray records =
        "<r v=\"1\"><!-- c --><x>skipped</x><rec id=\"1\"><n>a</n></rec>"
        "<rec id=\"2\"><n>b</n></rec><rec id=\"3\"/><rec id=\"4\"><n>d</n></rec></r>";
    EXPECT_EQ(Pieces(records, Plan("r/rec/@id", false, {"r/rec/@id", "r/rec/n", "r/@v"}), 30),
              QByteArrayList({"<r v=\"1\"><rec id=\"1\"><n>a</n></rec></r>\r\n",
                              "<r v=\"1\"><rec id=\"2\"><n>b</n></rec></r>\r\n",
                              "<r v=\"1\"><rec id=\"3\"/><rec id=\"4\"><n>d</n></rec></r>\r\n"}));
}

// Rows of one parent stay together; each piece opens the parents its rows need, with
// what the patterns reach in them, and nothing of the rows' other parents.
TEST(DocumentPieces, ParentsAndTheirReachedContextGoWithTheirRows) {
    const QByteArray orders =
        "<o><h>H</h><g k=\"a\"><t>ta</t><i>1</i><i>2</i></g><g k=\"b\"><i>3</i><t>tb</t></g>"
        "<g k=\"c\"><t>tc</t><i>4</i></g></o>";
    EXPECT_EQ(Pieces(orders, Plan("o/g/i", true, {"o/g/i", "o/g/@k", "o/g/t", "o/h"}), 25),
              QByteArrayList({"<o><h>H</h><g k=\"a\"><t>ta</t><i>1</i><i>2</i></g></o>\r\n",
                              "<o><h>H</h><g k=\"b\"><t>tb</t><i>3</i></g></o>\r\n",
                              "<o><h>H</h><g k=\"c\"><t>tc</t><i>4</i></g></o>\r\n"}));
}

TEST(DocumentPieces, PatternsThatCouldReachAnotherRowKeepTheDocumentWhole) {
    const QByteArray orders = "<o><l n=\"1\"/><l n=\"2\"/></o>";
    // The root's text holds every row's.
    EXPECT_EQ(Pieces(orders, Plan("o/l/@n", false, {"o/l/@n", "o"}), 1), QByteArrayList({"whole"}));
    // From the parent down to the first row of the piece, not of the document; and what a
    // hand-written pattern may say beyond names.
    for (const char* pattern : {"../l/@n", "text()", "../*", "//l"}) {
        SCOPED_TRACE(pattern);
        const ImportPlan plan{
            QStringLiteral("o/l"),
            {{{}, QStringLiteral("F"), QStringLiteral("Int"), QString::fromUtf8(pattern)}},
            QStringLiteral("T")};
        EXPECT_EQ(Pieces(orders, plan, 1), QByteArrayList({"whole"}));
    }
}

TEST(DocumentPieces, ContextAfterRowsOfAnEarlierPieceNeedsTheWholeDocument) {
    const QByteArray late = "<o><l n=\"1\"/><l n=\"2\"/><total>3</total></o>";
    EXPECT_THROW(Pieces(late, Plan("o/l", true, {"o/l/@n", "o/total"}), 1),
                 PiecesNeedWholeDocument);
    EXPECT_EQ(Pieces(late, Plan("o/l", true, {"o/l/@n", "o/total"}), 1000),
              QByteArrayList({"<o><total>3</total><l n=\"1\"/><l n=\"2\"/></o>\r\n"}));
}

// What the server parses out of a piece: its text as the document text writes it.
QByteArrayList Parsed(const QByteArrayList& pieces) {
    QByteArrayList parsed;
    for (const QByteArray& piece : pieces)
        parsed << platform::DocumentText(platform::KeptBytes(piece), 256, "UTF-8");
    return parsed;
}

// A plain ASCII document is cut by copying its bytes; the server must read the same pieces
// as those written from a full reading (which a DOCTYPE forces).
TEST(DocumentPieces, CopiedBytesReadAsTheWrittenDocument) {
    const QByteArray declaration = "<?xml version=\"1.0\"?>\n";
    const QByteArray document =
        declaration +
        "<r a='x&gt;y\"'>\r\n <h>head &amp; <b>bold</b></h>\n"
        " <g k=\"1\"><i n=\"a>b\"> x <![CDATA[<c>]]><!-- note --><?pi data?></i>\n"
        "  <i xml:space=\"preserve\"> <e/> </i><i/></g>\n <g k=\"2\"><i>&#xE9;&#233;</i></g></r>\n";
    const ImportPlan plan = Plan("r/g/i", true, {"r/g/i", "r/g/@k", "r/h"});
    for (const qsizetype pieceBytes : {1, 60, 100000}) {
        SCOPED_TRACE(pieceBytes);
        const QByteArrayList copied = Pieces(document, plan, pieceBytes);
        const QByteArray typed = QByteArray(document).insert(declaration.size(), "<!DOCTYPE r>");
        EXPECT_EQ(Parsed(copied), Parsed(Pieces(typed, plan, pieceBytes)));
        EXPECT_GT(copied.size(), pieceBytes == 100000 ? 0 : 1);
    }
}

TEST(DocumentPieces, ADocumentWithoutRowsIsItsEmptyRoot) {
    EXPECT_EQ(Pieces("<a><b/></a>", Plan("x/y", true, {"x/y/@z"}), 1),
              QByteArrayList({"<a/>\r\n"}));
}

}  // namespace
