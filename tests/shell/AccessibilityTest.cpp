// What a screen reader is told, read from the accessible tree that the platform's bridge
// exports (AT-SPI on Linux): every control's name in the window's language, the tree's node
// kinds, the About box's links.
#include <gtest/gtest.h>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include "ProgramWindows.h"
#include "Recorders.h"
#include "TurkishWindowTexts.h"
#include "XmlFiles.h"

namespace {

// Every interface below the window's, by the object name of the widget it stands for.
void Collect(QAccessibleInterface* node, std::map<QString, QAccessibleInterface*>& found) {
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (!child) continue;
        if (child->object() && !child->object()->objectName().isEmpty())
            found.emplace(child->object()->objectName(), child);
        Collect(child, found);
    }
}

std::map<QString, QAccessibleInterface*> Controls(QWidget& window) {
    std::map<QString, QAccessibleInterface*> found;
    Collect(QAccessible::queryAccessibleInterface(&window), found);
    return found;
}

struct Named {
    const char* control;
    const char* english;  // null: the text of the label beside it, whose name follows
    const char* turkish;
};

const Named kMainWindow[] = {
    {"TreeView1", "XML Schema", "XML Şeması"},
    {"Button1", "Add Field", "Alan Ekle"},
    {"Button2", "Remove Fields", "Alanları Kaldır"},
    {"Button5", "Move Up", "Yukarı Taşı"},
    {"Button6", "Move Down", "Aşağı Taşı"},
    {"ListBox1", "Selected Fields", "Seçilen Alanlar"},
    {"Combobox1", nullptr, "Label1"},
    {"Edit2", nullptr, "Label3"},
    {"Edit3", nullptr, "Label4"},
    {"Button3", "Connect", "Bağlan"},
    {"ComboBox3", nullptr, "Label2"},
    {"ComboBox2", nullptr, "Label5"},
    {"Button4", "Import", "Aktar"},
};

const Named kFieldProperties[] = {
    {"Edit1", nullptr, "Label1"},   {"ComboBox1", "Data Type", "Veri Türü"},
    {"Edit2", nullptr, "Label3"},   {"Button1", "OK", "Tamam"},
    {"Button2", "Cancel", "İptal"},
};

template <std::size_t N>
void ExpectNames(QWidget& window, const Named (&expected)[N], Language language) {
    const auto controls = Controls(window);
    for (const Named& control : expected) {
        SCOPED_TRACE(control.control);
        const auto found = controls.find(QString::fromLatin1(control.control));
        ASSERT_NE(found, controls.end()) << "not in the accessible tree";
        QString name =
            QString::fromUtf8(language == Language::English ? control.english : control.turkish);
        if (!control.english) {
            auto* label = window.findChild<QLabel*>(QString::fromLatin1(control.turkish));
            EXPECT_EQ(label->buddy(), found->second->object()) << "not the label's buddy";
            name = label->text();
        }
        EXPECT_EQ(found->second->text(QAccessible::Name), name);
    }
}

// The About box's links: named by the address they open, reached by Tab, read as links.
void ExpectLinks(TAboutBox& box) {
    const auto controls = Controls(box);
    for (const char* link : {"Comments", "Label1"}) {
        SCOPED_TRACE(link);
        QAccessibleInterface* found = controls.at(QString::fromLatin1(link));
        EXPECT_EQ(found->role(), QAccessible::Link);
        EXPECT_TRUE(found->state().focusable);
        EXPECT_EQ(found->text(QAccessible::Name),
                  box.findChild<QLabel*>(QString::fromLatin1(link))->text());
        ASSERT_NE(found->actionInterface(), nullptr);
        EXPECT_TRUE(found->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
    }
}

// "name: description" of each node the structure tree shows, top to bottom.
QStringList NodeDescriptions(TForm1& form) {
    QStringList nodes;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface* child = node->child(i);
            if (!child) continue;
            const QString description = child->text(QAccessible::Description);
            if (!description.isEmpty())
                nodes << child->text(QAccessible::Name) + QStringLiteral(": ") + description;
            walk(child);
        }
    };
    walk(QAccessible::queryAccessibleInterface(&form.StructureTree()));
    return nodes;
}

class Accessibility : public testing::Test {
protected:
    // Opens a document through File > Open XML and shows every node.
    void OpenDocument() {
        dialog.Ok(files.Write(QStringLiteral("r.xml"), "<r a=\"1\"><t>x</t><c><d/></c></r>"));
        windows.Form1.findChild<QAction*>(QStringLiteral("Open3"))->trigger();
        windows.Form1.StructureTree().expandAll();
    }

    XmlFiles files;
    OpenDialogScript dialog;
    Windows windows;
};

TEST_F(Accessibility, EveryControlIsNamedInEnglish) {
    ExpectNames(windows.Form1, kMainWindow, Language::English);
    // The arrow buttons' tooltips, which screen readers give as their descriptions.
    const auto controls = Controls(windows.Form1);
    for (const auto& [button, tip] : {std::pair{"Button1", "Add the selected node as a field"},
                                      {"Button2", "Remove the selected fields"},
                                      {"Button5", "Move the selected field up"},
                                      {"Button6", "Move the selected field down"}})
        EXPECT_EQ(controls.at(QString::fromLatin1(button))->text(QAccessible::Description),
                  QString::fromLatin1(tip));
    // Tab into the table box lands in its text field, which must be named too.
    auto* table = windows.Form1.findChild<QComboBox*>(QStringLiteral("ComboBox2"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(table->lineEdit())->text(QAccessible::Name),
              QStringLiteral("Table:"));
    ExpectNames(windows.Form2, kFieldProperties, Language::English);
    ExpectLinks(windows.AboutBox);
}

TEST_F(Accessibility, TreeNodesSayWhatKindTheyAre) {
    OpenDocument();
    EXPECT_EQ(
        NodeDescriptions(windows.Form1),
        (QStringList{"r: Element", "a: Attribute", "t: Text element", "c: Element", "d: Element"}));
}

class TurkishAccessibility : public testing::Test {
protected:
    TurkishAccessibility() {
        EXPECT_TRUE(turkish.Loaded());
        windows = std::make_unique<Windows>();
    }

    const TurkishWindowTexts turkish;
    std::unique_ptr<Windows> windows;
};

TEST_F(TurkishAccessibility, EveryControlAndNodeKindIsNamedInTurkish) {
    ExpectNames(windows->Form1, kMainWindow, Language::Turkish);
    ExpectNames(windows->Form2, kFieldProperties, Language::Turkish);
    XmlFiles files;
    OpenDialogScript dialog;
    dialog.Ok(files.Write(QStringLiteral("r.xml"), "<r a=\"1\"><t>x</t></r>"));
    windows->Form1.findChild<QAction*>(QStringLiteral("Open3"))->trigger();
    windows->Form1.StructureTree().expandAll();
    EXPECT_EQ(NodeDescriptions(windows->Form1),
              (QStringList{"r: Öğe", "a: Öznitelik", "t: Metin öğesi"}));
}

}  // namespace
