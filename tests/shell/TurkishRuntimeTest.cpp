// Under the Turkish translation the boxes and the file dialog, Qt's own texts included, speak
// Turkish in the windows' font.
#include <gtest/gtest.h>

#include <memory>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include "ModalDialog.h"
#include "ProgramWindows.h"
#include "StartUp.h"
#include "TurkishWindowTexts.h"

namespace {

class TurkishRuntime : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(turkish.Loaded());
        InstallQtTranslation(*qApp, QLocale(turkish.Language()));
        windows = std::make_unique<Windows>();  // its texts are read as it is made
    }
    void TearDown() override {
        windows.reset();
        for (QTranslator* installed : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(installed);
            delete installed;
        }
    }

    void ExpectWindowFont(const QWidget& widget) {
        const QFontInfo used(widget.font()), font(windows->Form1.font());
        EXPECT_EQ(used.family(), font.family());
        EXPECT_EQ(used.pointSize(), font.pointSize());
    }

    const TurkishWindowTexts turkish;
    std::unique_ptr<Windows> windows;
};

TEST_F(TurkishRuntime, MessageBoxesAreCaptionedAndAnsweredInTurkish) {
    const struct {
        MessageId id;
        const char* caption;
    } cases[] = {{MessageId::msgBadXml, "Hata"}, {MessageId::msgConnectOk, "Bilgi"}};
    for (const auto& test : cases) {
        WithModalDialog([&] { windows->Form1.ShowMessage(test.id); },
                        [&](QWidget& shown) {
                            auto& box = dynamic_cast<QMessageBox&>(shown);
                            EXPECT_EQ(box.windowTitle().toStdString(), test.caption);
                            ASSERT_EQ(box.buttons().size(), 1);
                            EXPECT_EQ(box.buttons()[0]->text(), QStringLiteral("Tamam"));
                            ExpectWindowFont(box);
                            box.accept();
                        });
    }
}

TEST_F(TurkishRuntime, OpenDialogHasTurkishTitleFiltersAndButtons) {
    WithModalDialog(
        [&] { windows->Form1.findChild<QAction*>(QStringLiteral("Open3"))->trigger(); },
        [&](QWidget& shown) {
            auto& dialog = dynamic_cast<QFileDialog&>(shown);
            EXPECT_EQ(dialog.windowTitle().toStdString(), "XML Kaynağını Seçin");
            const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            ASSERT_NE(types, nullptr);
            ASSERT_EQ(types->count(), 2);
            EXPECT_EQ(types->itemText(0).toStdString(), "XML Dosyaları (*.xml)");
            EXPECT_EQ(types->itemText(1).toStdString(), "Tüm Dosyalar (*.*)");
            const auto* buttons = dialog.findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text().toStdString(), "İptal");
            ExpectWindowFont(dialog);
            dialog.reject();
        });
}

}  // namespace
