#include <gtest/gtest.h>

#include <QIcon>
#include <QTreeView>

#include "StructureBuilder.h"
#include "StructureModel.h"
#include "StructureTree.h"
#include "XmlFiles.h"
#include "platform/XmlDocument.h"

namespace {

// "name:kind" for each node, children in brackets: "a:1[id:0 b:2]".
QString Shape(const QModelIndex& node) {
    QString shape = node.data().toString() + u':' + QString::number(static_cast<int>(KindOf(node)));
    const int count = node.model()->rowCount(node);
    if (count == 0) return shape;
    QStringList children;
    for (int i = 0; i < count; ++i) children << Shape(node.model()->index(i, 0, node));
    return shape + u'[' + children.join(u' ') + u']';
}

QIcon IconOf(const QModelIndex& node) { return node.data(Qt::DecorationRole).value<QIcon>(); }

class StructureTreeTest : public testing::Test {
protected:
    // The tree of a document, built as Open XML builds it.
    QString TreeOf(const QByteArray& content) {
        document.SetFileName(files.Write(QStringLiteral("doc%1.xml").arg(++loads), content));
        tree.Install(BuildStructureTree(document));
        return tree.rowCount() == 1 ? Shape(Root()) : QString();
    }

    QModelIndex Root() const { return tree.index(0, 0); }
    QModelIndex Child(const QModelIndex& node, int row) const { return tree.index(row, 0, node); }

    XmlFiles files;
    platform::XmlDocument document;
    StructureModel tree;
    int loads = 0;
};

struct TreeCase {
    const char* name;
    QByteArray document;
    const char* shape;
};

const TreeCase TreeCases[] = {
    {"repeated records show the first occurrence only",
     "<l><b id=\"1\"><t>x</t></b><b id=\"2\" extra=\"y\"><t>x</t><later/></b></l>",
     "l:1[b:1[id:0 t:2]]"},
    {"text first, children later: a text element", "<l><v>x</v><v><w/></v></l>", "l:1[v:2]"},
    {"text element with attributes", "<r><v a=\"1\" b=\"2\">x</v></r>", "r:1[v:2[a:0 b:0]]"},
    {"child named like an attribute of its parent is skipped",
     "<r><book id=\"1\"><id><deep/></id><title>t</title></book></r>", "r:1[book:1[id:0 title:2]]"},
    {"empty element with attributes", "<r><e a=\"1\"/><f></f></r>", "r:1[e:1[a:0] f:1]"},
    {"CDATA only is a container", "<r><c><![CDATA[x]]></c></r>", "r:1[c:1[#cdata-section:1]]"},
    {"mixed content: #text and the element once each", "<p>one <b>two</b> three <b>4</b></p>",
     "p:1[#text:1 b:2]"},
    {"comment inside shown, outside not", "<!--a--><r><!--b--><!--c--></r><!--d-->",
     "r:1[#comment:1]"},
    {"processing instruction named after its target", "<?top x?><r><?go now?></r>", "r:1[go:1]"},
    {"prefixes and case make different names",
     "<r xmlns:p=\"u\" xmlns:q=\"v\"><p:item/><q:item/><Item/><item/><p:item/></r>",
     "r:1[xmlns:p:0 xmlns:q:0 p:item:1 q:item:1 Item:1 item:1]"},
    {"namespace declarations as attribute nodes", "<r xmlns=\"d\" a=\"1\" xmlns:p=\"u\"/>",
     "r:1[xmlns:0 a:0 xmlns:p:0]"},
    {"single empty root", "<r/>", "r:1"},
    {"root holding only text", "<r>text</r>", "r:2"},
    {"root text element with attribute", "<r a=\"1\">text</r>", "r:2[a:0]"},
    {"repeated non-ASCII name shown once", "<r><\xC5\x9F>1</\xC5\x9F><\xC5\x9F>2</\xC5\x9F></r>",
     "r:1[\xC5\x9F:2]"},
    {"whitespace-only element is an empty container", "<r><sp>   </sp></r>", "r:1[sp:1]"},
    {"attribute nodes come before child nodes", "<r><x/><y a=\"1\"><z/></y></r>",
     "r:1[x:1 y:1[a:0 z:1]]"},
};

TEST_F(StructureTreeTest, DocumentContentBecomesNodes) {
    for (const TreeCase& c : TreeCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TreeOf(c.document), QString::fromUtf8(c.shape));
    }
}

TEST_F(StructureTreeTest, IndentationNeverProducesNodes) {
    EXPECT_EQ(TreeOf("<l>\n  <b id=\"1\">\n    <t>x</t>\n    <u> </u>\n  </b>\n</l>\n"),
              TreeOf("<l><b id=\"1\"><t>x</t><u/></b></l>"));
}

TEST_F(StructureTreeTest, NodesAreCollapsedEditableWithTheirKindsIcon) {
    QTreeView view;
    view.setModel(&tree);
    TreeOf("<r a=\"1\"><t>x</t><c/></r>");
    const QModelIndex root = Root();
    QList<qint64> icons;
    for (const QModelIndex& node : {Child(root, 0), root, Child(root, 1)}) {
        EXPECT_FALSE(view.isExpanded(node));
        EXPECT_TRUE(node.flags() & Qt::ItemIsEditable);
        ASSERT_FALSE(IconOf(node).isNull());
        EXPECT_EQ(IconOf(node).actualSize(QSize(64, 64)), QSize(16, 16));
        icons << IconOf(node).cacheKey();
    }
    EXPECT_EQ(QSet<qint64>(icons.begin(), icons.end()).size(), 3);
    EXPECT_EQ(IconOf(Child(root, 2)).cacheKey(), IconOf(root).cacheKey());
}

TEST_F(StructureTreeTest, DeepestDocumentBuilds) {
    TreeOf(Nested(platform::XmlDocument::MaxDepth));
    EXPECT_EQ(RowPath(tree), QStringLiteral("e/").repeated(platform::XmlDocument::MaxDepth - 1));
}

// The paths of the library example and the first-deepest rule.
struct PathCase {
    const char* name;
    QByteArray document;
    const char* rowPath;
};

const PathCase PathCases[] = {
    {"library with ids",
     "<library><book id=\"1\"><title>T</title><author>A</author></book></library>",
     "library/book/@id"},
    {"library without ids", "<library><book><title>T</title><author>A</author></book></library>",
     "library/book/title"},
    {"single empty root", "<r/>", ""},
    {"root holding only text", "<r>t</r>", "r"},
    {"root with an attribute", "<r a=\"1\"/>", "r/@a"},
    {"first deepest is an empty element", "<r><x><e/></x><y>t</y></r>", "r/x/"},
    {"first deepest is #text of mixed content", "<r><p>a<b>c</b></p></r>", "r/p/"},
    {"deepest attribute beats a child element at the same level", "<r><y a=\"1\"><d>t</d></y></r>",
     "r/y/@a"},
    {"of equal levels the first in pre-order wins", "<r><x><c>t</c></x><y a=\"1\"/></r>", "r/x/c"},
};

TEST_F(StructureTreeTest, RowPathIsThePathOfTheFirstDeepestNode) {
    for (const PathCase& c : PathCases) {
        SCOPED_TRACE(c.name);
        TreeOf(c.document);
        EXPECT_EQ(RowPath(tree), QString::fromUtf8(c.rowPath));
    }
}

TEST_F(StructureTreeTest, NodePathsOfTheLibrary) {
    TreeOf("<library><book id=\"1\"><title>T</title><author>A</author></book></library>");
    const QModelIndex library = Root();
    const QModelIndex book = Child(library, 0);
    EXPECT_EQ(NodePath(library), QString());
    EXPECT_EQ(NodePath(book), QStringLiteral("library/"));
    EXPECT_EQ(NodePath(Child(book, 0)), QStringLiteral("library/book/@id"));
    EXPECT_EQ(NodePath(Child(book, 1)), QStringLiteral("library/book/title"));
    EXPECT_EQ(NodePath(Child(book, 2)), QStringLiteral("library/book/author"));
}

TEST_F(StructureTreeTest, ContainersUnderOneParentShareOnePath) {
    TreeOf("<r><p>t<e/><n><m/></n><!--c--><b>x</b></p></r>");
    const QModelIndex p = Child(Root(), 0);
    for (int i : {0, 1, 2, 3}) EXPECT_EQ(NodePath(Child(p, i)), QStringLiteral("r/p/"));
    EXPECT_EQ(NodePath(Child(p, 4)), QStringLiteral("r/p/b"));
}

TEST_F(StructureTreeTest, EditedLabelsAreUsedUnchanged) {
    TreeOf("<r><p a=\"1\"/></r>");
    const QModelIndex p = Child(Root(), 0);
    tree.setData(Root(), QStringLiteral("x/y"));
    tree.setData(Child(p, 0), QStringLiteral("@b/c"));
    EXPECT_EQ(NodePath(Child(p, 0)), QStringLiteral("x/y/p/@@b/c"));
    EXPECT_EQ(RowPath(tree), QStringLiteral("x/y/p/@@b/c"));
}

TEST_F(StructureTreeTest, RowPathOfAnEmptyTreeFails) {
    try {
        RowPath(tree);
        FAIL() << "no error";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Invalid index");
    }
}

}  // namespace
