#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>

#include "CommandLine.h"
#include "RowsFixture.h"

namespace {

class Remember : public RowsFixture {
protected:
    QMenu& Recent(TForm1& window) const {
        return *window.findChild<QMenu*>(QStringLiteral("Recent1"));
    }
    QLineEdit& Box(TForm1& window, const char* name) const {
        return *window.findChild<QLineEdit*>(QString::fromLatin1(name));
    }
};

TEST_F(Remember, RecentFilesFolderAndDestinationComeBackNextRun) {
    Open(QStringLiteral("first.xml"), "<a><b/></a>");
    Open(QStringLiteral("second.xml"), "<c/>");
    Box(form, "Combobox1").setText(QStringLiteral("db,1433"));
    Box(form, "Edit2").setText(QStringLiteral("sa"));
    Box(form, "Edit3").setText(QStringLiteral("Secret-1"));
    form.close();

    Windows next;
    const QList<QAction*> recent = Recent(next.Form1).actions();
    ASSERT_EQ(recent.size(), 2);
    EXPECT_TRUE(recent[0]->text().endsWith(QDir::toNativeSeparators(files.Path("second.xml"))));
    EXPECT_EQ(Box(next.Form1, "Combobox1").text(), QStringLiteral("db,1433"));
    EXPECT_EQ(Box(next.Form1, "Edit2").text(), QStringLiteral("sa"));
    EXPECT_TRUE(Box(next.Form1, "Edit3").text().isEmpty());
    QFile settings(QSettings().fileName());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_FALSE(settings.readAll().contains("Secret-1"));

    recent[1]->trigger();
    EXPECT_EQ(next.Form1.StructureTreeModel().index(0, 0).data().toString(), QStringLiteral("a"));
    next.Form1.findChild<QAction*>(QStringLiteral("Open3"))->trigger();  // answered Cancel
    EXPECT_EQ(dialog.seen.back().folder, QFileInfo(files.Path("first.xml")).absolutePath());
}

TEST_F(Remember, DamagedSettingsAreIgnored) {
    QFile settings(QSettings().fileName());
    QDir().mkpath(QFileInfo(settings).absolutePath());
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(
        "[General\nrecentFiles=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x3)\n\xff\xfe\x00server=");
    settings.close();

    Windows next;
    EXPECT_FALSE(Recent(next.Form1).isEnabled());
    EXPECT_TRUE(Box(next.Form1, "Combobox1").text().isEmpty());
    dialog.Ok(files.Write(QStringLiteral("after.xml"), "<a/>"));
    next.Form1.findChild<QAction*>(QStringLiteral("Open3"))->trigger();
    EXPECT_EQ(Recent(next.Form1).actions().size(), 1);
}

TEST_F(Remember, FileNamedOnTheCommandLineOpens) {
    const QString name = files.Write(QStringLiteral("given.xml"), "<given><x/></given>");
    form.OpenDocument(ReadCommandLine({QStringLiteral("tavlen"), name}).document);
    EXPECT_EQ(nodes().index(0, 0).data().toString(), QStringLiteral("given"));
    EXPECT_TRUE(ReadCommandLine({QStringLiteral("tavlen")}).document.isEmpty());
}

}  // namespace
