// Connect and the table box where no server answers.
#include <gtest/gtest.h>

#include <cstdio>

#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ClosedPort.h"
#include "ProgramWindows.h"
#include "Recorders.h"
#include "ServerForm.h"
#include "SilentServer.h"
#include "TestServer.h"
#include "platform/Ado.h"
#include "platform/MessageBox.h"

namespace {

const QString kConnectOk = MessageText(MessageId::msgConnectOk, Language::English);
const QString kConnectFailed = MessageText(MessageId::msgConnectFailed, Language::English);

class Offline : public testing::Test {
protected:
    Windows windows;
    ServerForm form{windows.Form1};
};

// What an earlier successful session left behind.
void FillAsIfConnected(ServerForm& form) {
    form.Databases().addItems({QStringLiteral("master"), QStringLiteral("Sales")});
    form.Databases().setCurrentIndex(1);
    form.Databases().setEnabled(true);
    form.Tables().addItems({QStringLiteral("Orders"), QStringLiteral("Lines")});
    form.Tables().setCurrentIndex(0);
    form.Tables().setEnabled(true);
    form.ImportButton().setEnabled(true);
}

}  // namespace

TEST_F(Offline, StartsWithTheDestinationBoxesDisabled) {
    EXPECT_FALSE(form.Databases().isEnabled());
    EXPECT_FALSE(form.Tables().isEnabled());
    EXPECT_FALSE(form.ImportButton().isEnabled());
    EXPECT_EQ(form.Databases().count(), 0);
}

class RefusedConnect : public Offline, public testing::WithParamInterface<const char*> {};

TEST_P(RefusedConnect, ShowsTheFailureAndDisablesTheDestination) {
    FillAsIfConnected(form);
    MessageRecorder recorder;
    form.Connect(ClosedPortServer(), QString::fromUtf8(GetParam()), QStringLiteral("secret"));

    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(recorder.boxes[0].text, kConnectFailed);
    // The connection never opened: the lists keep their items, nothing is chosen.
    EXPECT_EQ(ServerForm::Items(form.Databases()),
              QStringList({QStringLiteral("master"), QStringLiteral("Sales")}));
    EXPECT_EQ(form.Databases().currentIndex(), -1);
    EXPECT_FALSE(form.Databases().isEnabled());
    EXPECT_EQ(ServerForm::Items(form.Tables()),
              QStringList({QStringLiteral("Orders"), QStringLiteral("Lines")}));
    EXPECT_EQ(form.Tables().currentIndex(), -1);
    EXPECT_EQ(form.Tables().currentText(), QStringLiteral("Orders"));
    EXPECT_FALSE(form.Tables().isEnabled());
    EXPECT_FALSE(form.ImportButton().isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Users, RefusedConnect, testing::Values("sa", " ", ""),
                         [](const auto& info) {
                             const std::string user = info.param;
                             return user.empty()  ? std::string("Empty")
                                    : user == " " ? std::string("Blank")
                                                  : user;
                         });

TEST_F(Offline, FailureIsShownBeforeTheControlsAreReset) {
    FillAsIfConnected(form);
    bool enabledWhenShown = false;
    bool waitCursorWhenShown = true;
    platform::SetMessageBoxHook([&](MessageKind, const QString&, const QString&) {
        enabledWhenShown = form.Databases().isEnabled();
        waitCursorWhenShown = QGuiApplication::overrideCursor() != nullptr;
    });
    form.Connect(ClosedPortServer(), QStringLiteral("sa"), QStringLiteral("pw"));
    platform::SetMessageBoxHook({});
    EXPECT_TRUE(enabledWhenShown);
    EXPECT_FALSE(waitCursorWhenShown);
}

class SilentConnect : public Offline, public testing::WithParamInterface<SilentServer::Answers> {};

TEST_P(SilentConnect, FailsWhenTheLoginTimeoutEndsAndTheWindowGoesOn) {
    SilentServer silent(GetParam());
    MessageRecorder recorder;
    QElapsedTimer clock;
    clock.start();
    form.Connect(silent.ServerText(), QStringLiteral("sa"), QStringLiteral("pw"));
    const qint64 waited = clock.elapsed();
    std::printf("Connect to a silent server failed after %lld ms\n",
                static_cast<long long>(waited));

    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, kConnectFailed);
    // The 15 s login timeout ended the wait; a wait without end meets the test's time limit.
    EXPECT_LT(waited, 30'000);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    TestServer server;
    recorder.boxes.clear();
    form.Connect(server.ServerText(), server.User(), server.Password());
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, kConnectOk);
}

INSTANTIATE_TEST_SUITE_P(Listeners, SilentConnect,
                         testing::Values(SilentServer::Answers::Nothing,
                                         SilentServer::Answers::PreloginOnly),
                         [](const auto& info) {
                             return info.param == SilentServer::Answers::Nothing
                                        ? std::string("AcceptsAndNeverAnswers")
                                        : std::string("AnswersOnlyThePrelogin");
                         });

TEST_F(Offline, ImportIsEnabledExactlyWhileTheTableTextIsNotEmpty) {
    form.Tables().setEnabled(true);
    form.TypeTable(QStringLiteral("T"));
    EXPECT_TRUE(form.ImportButton().isEnabled());
    QTest::keyClick(&form.Tables(), Qt::Key_Backspace);
    EXPECT_FALSE(form.ImportButton().isEnabled());
    form.TypeTable(QStringLiteral(" "));
    EXPECT_TRUE(form.ImportButton().isEnabled());
}

TEST(ConnectionLayer, RefusedConnectionCarriesTheDriversText) {
    platform::Connection connection;
    try {
        connection.Open(QStringLiteral("Provider=SQLOLEDB.1;Data Source=") + ClosedPortServer(),
                        QStringLiteral("sa"), QStringLiteral("pw"));
        FAIL() << "connected to a closed port";
    } catch (const platform::AdoError& error) {
        const QString text = QString::fromUtf8(error.what());
        EXPECT_FALSE(text.isEmpty());
        EXPECT_FALSE(text.startsWith(u'[')) << error.what();
        EXPECT_FALSE(text.startsWith(QStringLiteral("OLE error"))) << error.what();
        EXPECT_FALSE(text.endsWith(u'.')) << error.what();
    }
    EXPECT_EQ(connection.State(), 0);
}

TEST(ConnectionLayer, OnlyTheSqlServerProviderIsKnown) {
    platform::Connection connection;
    try {
        connection.Open(QStringLiteral("Provider=MSDASQL;Data Source=x"), QStringLiteral("sa"),
                        QString());
        FAIL() << "opened with an unknown provider";
    } catch (const platform::AdoError& error) {
        EXPECT_STREQ(error.what(), "Provider cannot be found. It may not be properly installed");
    }
}

TEST(RecordsetLayer, NeedsAnOpenConnection) {
    platform::Connection connection;
    platform::Recordset recordset;
    EXPECT_THROW(recordset.Open(QStringLiteral("select 1"), connection), platform::AdoError);
    EXPECT_EQ(recordset.State(), 0);
    EXPECT_THROW(recordset.Field(QStringLiteral("x")), platform::AdoError);
}
