#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIcon>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include "StructureModel.h"
#include "StructureTree.h"

#include "ModalDialog.h"
#include "ProgramWindows.h"
#include "Recorders.h"
#include "XmlFiles.h"

namespace {

QString Shape(const QModelIndex& node) {
    QStringList children;
    for (int i = 0; i < node.model()->rowCount(node); ++i)
        children << Shape(node.model()->index(i, 0, node));
    const QString text = node.data().toString();
    return children.isEmpty() ? text : text + u'[' + children.join(u' ') + u']';
}

qint64 IconKey(const QModelIndex& node) {
    return node.data(Qt::DecorationRole).value<QIcon>().cacheKey();
}

class OpenXmlTest : public testing::Test {
protected:
    void OpenXml() { windows.Form1.findChild<QAction*>(QStringLiteral("Open3"))->trigger(); }

    void OpenXml(const QString& fileName) {
        dialog.Ok(fileName);
        OpenXml();
    }

    QString TreeShape() const {
        QStringList roots;
        for (int i = 0; i < nodes().rowCount(); ++i) roots << Shape(nodes().index(i, 0));
        return roots.join(u' ');
    }

    // A field-list row as the Field Properties dialog leaves it.
    void AddField(const QString& path) {
        fields().addTopLevelItem(
            new QTreeWidgetItem(QStringList{path, QStringLiteral("f"), QStringLiteral("Int")}));
    }

    int BadXmlShown() const {
        const QString text = MessageText(MessageId::msgBadXml, Language::English);
        return static_cast<int>(
            std::count_if(boxes.boxes.begin(), boxes.boxes.end(), [&](const ShownBox& box) {
                return box.kind == MessageKind::Error && box.caption == u"Error" &&
                       box.text == text;
            }));
    }

    QTreeView& tree() const { return windows.Form1.StructureTree(); }
    StructureModel& nodes() const { return windows.Form1.StructureTreeModel(); }
    QModelIndex Root() const { return nodes().index(0, 0); }
    QTreeWidget& fields() const { return windows.Form1.FieldList(); }

    XmlFiles files;
    OpenDialogScript dialog;
    MessageRecorder boxes;
    Windows windows;
};

TEST_F(OpenXmlTest, CancelAsTheFirstActionChangesNothing) {
    AddField(QStringLiteral("x/"));
    OpenXml();
    ASSERT_EQ(dialog.seen.size(), 1u);
    EXPECT_EQ(dialog.seen[0].title, QStringLiteral("Select XML Source"));
    EXPECT_EQ(dialog.seen[0].filters, (QStringList{"XML Files (*.xml)", "All Files (*.*)"}));
    EXPECT_TRUE(dialog.seen[0].fileName.isEmpty());
    EXPECT_EQ(dialog.seen[0].filterIndex, 0);
    EXPECT_EQ(nodes().rowCount(), 0);
    EXPECT_EQ(fields().topLevelItemCount(), 1);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(OpenXmlTest, LoadShowsTheStructureCollapsedAndEmptiesTheFieldList) {
    AddField(QStringLiteral("old/"));
    OpenXml(
        files.Write(QStringLiteral("lib.xml"),
                    "<library>\n  <book id=\"1\">\n    <title>T</title>\n  </book>\n</library>"));
    EXPECT_EQ(TreeShape(), QStringLiteral("library[book[id title]]"));
    EXPECT_FALSE(tree().isExpanded(Root()));
    EXPECT_EQ(tree().indentation(), 19);
    EXPECT_EQ(fields().topLevelItemCount(), 0);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(OpenXmlTest, CancelAfterALoadRebuildsFromTheDocumentInMemory) {
    const QString name = files.Write(QStringLiteral("a.xml"), "<a><b/></a>");
    OpenXml(name);
    tree().expand(Root());
    nodes().setData(Root(), QStringLiteral("edited"));
    AddField(QStringLiteral("a/"));
    files.Write(QStringLiteral("a.xml"), "<changed/>");
    OpenXml();
    EXPECT_EQ(dialog.seen.back().fileName, name);
    EXPECT_EQ(TreeShape(), QStringLiteral("a[b]"));
    EXPECT_FALSE(tree().isExpanded(Root()));
    EXPECT_EQ(fields().topLevelItemCount(), 0);
    OpenXml(name);  // the same name again: still not read
    EXPECT_EQ(TreeShape(), QStringLiteral("a[b]"));
}

// A label edited in its editor keeps the node's kind and icon and goes into the paths.
TEST_F(OpenXmlTest, LabelsEditedInPlaceKeepTheirKindAndIcon) {
    OpenXml(files.Write(QStringLiteral("lib.xml"), "<library><book id=\"1\"/></library>"));
    windows.Form1.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&windows.Form1));
    const QModelIndex book = nodes().index(0, 0, Root());
    const qint64 icon = IconKey(book);
    tree().setCurrentIndex(book);
    QTest::keyClick(&tree(), Qt::Key_F2);
    auto* editor = tree().findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("book"));
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("boek"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the editor commits through a queued call
    EXPECT_EQ(TreeShape(), QStringLiteral("library[boek[id]]"));
    EXPECT_EQ(KindOf(book), NodeKind::Container);
    EXPECT_EQ(IconKey(book), icon);
    EXPECT_EQ(RowPath(nodes()), QStringLiteral("library/boek/@id"));
}

TEST_F(OpenXmlTest, AnotherTextForTheSameFileReadsItAgain) {
    OpenXml(files.Write(QStringLiteral("a.xml"), "<a/>"));
    files.Write(QStringLiteral("a.xml"), "<changed/>");
    OpenXml(files.Path(QStringLiteral("./a.xml")));
    EXPECT_EQ(TreeShape(), QStringLiteral("changed"));
}

// Each keeps the earlier tree and fields and shows msgBadXml once.
TEST_F(OpenXmlTest, FailedLoadsKeepTreeAndFields) {
    OpenXml(files.Write(QStringLiteral("good.xml"), "<good a=\"1\"/>"));
    AddField(QStringLiteral("good/@a"));
    const QString failing[] = {
        files.Write(QStringLiteral("broken.xml"), "<a><b></a>"),
        files.Path(QStringLiteral("typed-but-missing.xml")),
        files.Path({}),
        files.Write(QStringLiteral("empty.xml"), ""),
        files.Write(QStringLiteral("two.xml"), "<a/><b/>"),
        files.Write(QStringLiteral("deep.xml"), Nested(10000)),
        files.Write(QStringLiteral("bomb.xml"),
                    "<!DOCTYPE a [<!ENTITY a \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
                    "<!ENTITY b \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
                    "<!ENTITY c \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">"
                    "<!ENTITY d \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">"
                    "<!ENTITY e \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">"
                    "<!ENTITY f \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">"
                    "<!ENTITY g \"&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;\">"
                    "<!ENTITY h \"&i;&i;&i;&i;&i;&i;&i;&i;&i;&i;\">"
                    "<!ENTITY i \"lollollollollollollollollollol\">]><a>&a;</a>"),
    };
    int shown = 0;
    for (const QString& name : failing) {
        SCOPED_TRACE(name.toStdString());
        OpenXml(name);
        EXPECT_EQ(BadXmlShown(), ++shown);
        EXPECT_EQ(TreeShape(), QStringLiteral("good[a]"));
        EXPECT_EQ(fields().topLevelItemCount(), 1);
    }
    EXPECT_EQ(boxes.boxes.size(), static_cast<size_t>(shown));
}

TEST_F(OpenXmlTest, CancelAfterAFailureReadsTheFileOnceMore) {
    const QString name = files.Write(QStringLiteral("late.xml"), "<late");
    OpenXml(name);
    EXPECT_EQ(BadXmlShown(), 1);
    files.Write(QStringLiteral("late.xml"), "<late><now/></late>");
    OpenXml();
    EXPECT_EQ(TreeShape(), QStringLiteral("late[now]"));
    EXPECT_EQ(BadXmlShown(), 1);
}

TEST_F(OpenXmlTest, AValidFileAfterAFailureLoadsNormally) {
    OpenXml(files.Write(QStringLiteral("bad.xml"), "not xml"));
    AddField(QStringLiteral("x/"));
    OpenXml(files.Write(QStringLiteral("ok.xml"), "<ok>t</ok>"));
    EXPECT_EQ(TreeShape(), QStringLiteral("ok"));
    EXPECT_EQ(fields().topLevelItemCount(), 0);
    EXPECT_EQ(BadXmlShown(), 1);
}

TEST_F(OpenXmlTest, UnusualButSoundDocumentsLoad) {
    const QByteArray documents[] = {
        "<!DOCTYPE a SYSTEM \"http://127.0.0.1:9/a.dtd\"><a><b/></a>",
        QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(u"<a><b/></a>"), 22),
        "<?xml version=\"1.0\" encoding=\"ISO-8859-9\"?><a><\xFE/></a>",
    };
    for (const QByteArray& content : documents) {
        OpenXml(files.Write(QStringLiteral("doc%1.xml").arg(dialog.seen.size()), content));
        EXPECT_EQ(nodes().rowCount(), 1);
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

// "*.*" is how the user asks for every file, also a name without a dot.
TEST_F(OpenXmlTest, AllFilesListsNamesWithoutADot) {
    dialog.Ok(files.Write(QStringLiteral("data.xml"), "<a/>"), 1);
    OpenXml();
    const QString folder = QFileInfo(files.Write(QStringLiteral("README"), "text")).absolutePath();
    platform::OpenDialog::SetHook({});  // the real dialog, opening on "All Files (*.*)"
    WithModalDialog(
        [this] { OpenXml(); },
        [&](QWidget& shown) {
            auto& fileDialog = dynamic_cast<QFileDialog&>(shown);
            const auto* model = fileDialog.findChild<QFileSystemModel*>();
            ASSERT_NE(model, nullptr);
            const auto listed = [&] {
                const QModelIndex parent = model->index(folder);
                QStringList names;
                for (int row = 0; row < model->rowCount(parent); ++row)
                    names << model->index(row, 0, parent).data().toString();
                return names;
            };
            EXPECT_TRUE(QTest::qWaitFor([&] { return listed().contains(u"data.xml"); }));
            EXPECT_TRUE(listed().contains(u"README")) << listed().join(u' ').toStdString();
            fileDialog.reject();
        });
}

}  // namespace
