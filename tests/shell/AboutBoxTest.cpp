// Help > About: the box, its links handed to the shell, and where it opens.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "ProgramWindows.h"
#include "Recorders.h"
#include "platform/Shell.h"

namespace {

class AboutBox : public testing::Test {
protected:
    Windows windows;
    TAboutBox& box = windows.AboutBox;

    template <typename T>
    T* Find(const char* name) {
        return box.findChild<T*>(QString::fromLatin1(name));
    }

    // Opens the box through Help > About and runs `inside` while it is shown; the box must be
    // closed by `inside`, or the guard closes it and the test fails.
    void WhileOpen(const std::function<void()>& inside) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            ran = box.isVisible();
            inside();
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &box, [this] {
            ADD_FAILURE() << "the box stayed open";
            box.reject();
        });
        guard.start(5000);
        windows.Form1.findChild<QAction*>(QStringLiteral("About1"))->trigger();
        EXPECT_TRUE(ran) << "Help > About did not show the box";
        EXPECT_FALSE(box.isVisible());
    }
};

TEST_F(AboutBox, ShowsNameVersionAndLinksInAFixedBox) {
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About Tavlen"));
    EXPECT_EQ(box.size(), QSize(298, 173));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_FALSE(box.windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
    EXPECT_EQ(Find<QLabel>("ProductName")->text(), QStringLiteral("Tavlen"));
    EXPECT_EQ(Find<QLabel>("Version")->text(), QStringLiteral("1.6"));
    EXPECT_EQ(Find<QLabel>("ProgramIcon")->geometry(), QRect(8, 8, 64, 64));
    EXPECT_EQ(Find<QWidget>("Panel1")->geometry(), QRect(8, 8, 281, 121));
    EXPECT_EQ(Find<QWidget>("OKButton")->geometry(), QRect(111, 140, 75, 25));
    EXPECT_TRUE(Find<QPushButton>("OKButton")->isDefault());
    for (const char* link : {"Comments", "Label1"}) {
        QLabel* label = Find<QLabel>(link);
        EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor) << link;
        EXPECT_TRUE(label->wordWrap()) << link;
        EXPECT_TRUE(label->styleSheet().contains(QStringLiteral("underline"))) << link;
    }
    EXPECT_TRUE(Find<QLabel>("Comments")->text().startsWith(QStringLiteral("https://")));
    EXPECT_FALSE(Find<QLabel>("Label1")->text().startsWith(QStringLiteral("mailto:")));
}

TEST_F(AboutBox, LinksHandTheShownTextToTheShellAndLeaveTheBoxOpen) {
    ShellRecorder shell;
    WhileOpen([this] {
        QTest::mouseClick(Find<QLabel>("Comments"), Qt::LeftButton);
        QTest::mouseClick(Find<QLabel>("Label1"), Qt::LeftButton);
        EXPECT_TRUE(box.isVisible());
        QTest::mouseClick(Find<QPushButton>("OKButton"), Qt::LeftButton);
    });
    ASSERT_EQ(shell.targets.size(), 2);
    EXPECT_EQ(shell.targets[0], Find<QLabel>("Comments")->text());
    EXPECT_EQ(shell.targets[1], QStringLiteral("mailto:") + Find<QLabel>("Label1")->text());
}

TEST_F(AboutBox, AFailedHandOverChangesNothing) {
    MessageRecorder messages;
    int attempts = 0;
    platform::SetShellHook([&](const QString&) { return ++attempts, false; });
    WhileOpen([this] {
        QTest::mouseClick(Find<QLabel>("Comments"), Qt::LeftButton);
        EXPECT_TRUE(box.isVisible());
        box.reject();
    });
    platform::SetShellHook({});
    EXPECT_EQ(attempts, 1);
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(AboutBox, OkEnterAndTheCloseButtonCloseItAndItOpensAgain) {
    WhileOpen([this] { QTest::mouseClick(Find<QPushButton>("OKButton"), Qt::LeftButton); });
    WhileOpen([this] { QTest::keyClick(&box, Qt::Key_Return); });
    WhileOpen([this] { box.close(); });
    WhileOpen([this] { QTest::keyClick(&box, Qt::Key_Enter); });
}

TEST_F(AboutBox, OpensCentredOnTheScreenFirstAndWhereItWasLeftAfterwards) {
    windows.Form1.move(0, 0);
    QPoint moved;
    WhileOpen([&] {
        const QPoint offset =
            box.frameGeometry().center() - box.screen()->availableGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 2);
        box.move(box.pos() + QPoint(37, 23));
        moved = box.pos();
        box.accept();
    });
    WhileOpen([&] {
        EXPECT_EQ(box.pos(), moved);
        box.accept();
    });
}

TEST_F(AboutBox, TabReachesTheLinksAndEnterOrSpaceOpensThem) {
    ShellRecorder shell;
    const auto focused = [](QWidget* widget) {
        return QTest::qWaitFor([=] { return QApplication::focusWidget() == widget; });
    };
    const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
    WhileOpen([&] {
        ASSERT_TRUE(focused(Find<QWidget>("OKButton")));
        press(Qt::Key_Tab);
        ASSERT_TRUE(focused(Find<QWidget>("Comments")));
        press(Qt::Key_Return);
        press(Qt::Key_Tab);
        ASSERT_TRUE(focused(Find<QWidget>("Label1")));
        press(Qt::Key_Space);
        EXPECT_TRUE(box.isVisible());
        box.reject();
    });
    EXPECT_EQ(shell.targets, (QStringList{Find<QLabel>("Comments")->text(),
                                          "mailto:" + Find<QLabel>("Label1")->text()}));
    // Opened again, Enter closes the box though a link had the focus when it closed.
    WhileOpen([&] {
        ASSERT_TRUE(focused(Find<QWidget>("OKButton")));
        press(Qt::Key_Return);
    });
    EXPECT_EQ(shell.targets.size(), 2);
}

}  // namespace
