// Connect, the database list and the table box against a server, through the real driver.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "Catalogue.h"
#include "ProgramWindows.h"
#include "Recorders.h"
#include "ServerForm.h"
#include "TestServer.h"
#include "platform/MessageBox.h"

namespace {

const QString kConnectOk = MessageText(MessageId::msgConnectOk, Language::English);
const QString kConnectFailed = MessageText(MessageId::msgConnectFailed, Language::English);
const QString kSales = QStringLiteral("Sales 2026");
const QString kBracket = QStringLiteral("a]b");
const QString kEmpty = QStringLiteral("Empty");
const QString kRefused = QStringLiteral("Zeta");

TestServer::Options Databases() { return {.databases = {kSales, kBracket, kEmpty}}; }

// The server's own answer, filtered as the table box lists it.
QStringList TablesAndViews(TestServer& server, const QString& database) {
    const QStringList types =
        server.Column(database, QStringLiteral("exec sp_tables"), QStringLiteral("TABLE_TYPE"));
    const QStringList names =
        server.Column(database, QStringLiteral("exec sp_tables"), QStringLiteral("TABLE_NAME"));
    QStringList listed;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (types[i] == u"TABLE" || types[i] == u"VIEW") listed << names[i];
    }
    return listed;
}

class Connect : public testing::Test {
protected:
    explicit Connect(TestServer::Options options = Databases()) : server(std::move(options)) {
        server.Execute(kSales, {QStringLiteral("CREATE TABLE Orders (id int)"),
                                QStringLiteral("CREATE TABLE [tables] (id int)"),
                                QStringLiteral("CREATE VIEW Big AS SELECT id FROM Orders")});
        server.Execute(kBracket, {QStringLiteral("CREATE TABLE Inside (id int)")});
        windows.Form1.show();
    }

    void ConnectAsTheLogin() {
        form.Connect(server.ServerText(), server.User(), server.Password());
    }

    TestServer server;
    Windows windows;
    ServerForm form{windows.Form1};
    MessageRecorder recorder;
};

}  // namespace

TEST_F(Connect, ListsTheDatabasesInTheServersOrder) {
    bool listedWhenShown = false;
    platform::SetMessageBoxHook([&](MessageKind, const QString&, const QString&) {
        listedWhenShown = form.Databases().count() > 0 && form.Databases().isEnabled();
    });
    ConnectAsTheLogin();
    platform::SetMessageBoxHook({});
    EXPECT_TRUE(listedWhenShown);

    const QStringList listed = ServerForm::Items(form.Databases());
    EXPECT_EQ(listed, server.Column({}, QStringLiteral("exec sp_databases"),
                                    QStringLiteral("DATABASE_NAME")));
    if (server.IsStandin()) {
        EXPECT_EQ(listed, QStringList({kBracket, QStringLiteral("Empty"), QStringLiteral("master"),
                                       QStringLiteral("model"), QStringLiteral("msdb"), kSales,
                                       QStringLiteral("tempdb")}));
    }
    EXPECT_EQ(form.Databases().currentIndex(), -1);
    EXPECT_TRUE(form.Databases().isEnabled());
    EXPECT_FALSE(form.Tables().isEnabled());
    EXPECT_EQ(form.Tables().currentText(), QString());
    EXPECT_FALSE(form.ImportButton().isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Connect, WrongPasswordFailsBeforeTheConnectionOpens) {
    form.Connect(server.ServerText(), server.User(), server.Password() + u'x');
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, kConnectFailed);
    EXPECT_FALSE(form.Databases().isEnabled());
    EXPECT_FALSE(form.Tables().isEnabled());
    EXPECT_FALSE(form.ImportButton().isEnabled());
}

TEST_F(Connect, ChoosingADatabaseListsItsTablesAndViews) {
    ConnectAsTheLogin();
    form.ChooseDatabase(server.Name(kSales));
    ASSERT_EQ(recorder.boxes.size(), 1u) << recorder.boxes.back().text.toStdString();

    const QStringList listed = ServerForm::Items(form.Tables());
    EXPECT_EQ(listed, TablesAndViews(server, kSales));
    EXPECT_EQ(windows.Form1.ExistingTableNames(), listed);
    // Tables before views; the table named like a catalogue view is listed under both owners.
    EXPECT_TRUE(listed.contains(QStringLiteral("Orders")));
    EXPECT_TRUE(listed.contains(QStringLiteral("Big")));
    EXPECT_EQ(listed.count(QStringLiteral("tables")), 2);
    EXPECT_LT(listed.indexOf(QStringLiteral("Orders")), listed.indexOf(QStringLiteral("Big")));
    EXPECT_TRUE(form.Tables().isEnabled());
    EXPECT_EQ(form.Tables().currentIndex(), -1);
    EXPECT_EQ(form.Tables().currentText(), QString());
    EXPECT_EQ(form.Databases().currentText(), server.Name(kSales));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Connect, ANameThatNeedsBracketsCanBeChosen) {
    ConnectAsTheLogin();
    form.ChooseDatabase(server.Name(kBracket));
    ASSERT_EQ(recorder.boxes.size(), 1u) << recorder.boxes.back().text.toStdString();
    EXPECT_TRUE(ServerForm::Items(form.Tables()).contains(QStringLiteral("Inside")));
    EXPECT_FALSE(ServerForm::Items(form.Tables()).contains(QStringLiteral("Orders")));
}

TEST_F(Connect, ADatabaseWithoutTablesStillTakesANewTableName) {
    ConnectAsTheLogin();
    form.ChooseDatabase(server.Name(kEmpty));
    // Only the catalogue views a server always has are left.
    EXPECT_EQ(ServerForm::Items(form.Tables()), TablesAndViews(server, kEmpty));
    EXPECT_FALSE(ServerForm::Items(form.Tables()).contains(QStringLiteral("Orders")));
    EXPECT_TRUE(form.Tables().isEnabled());
    form.TypeTable(QStringLiteral("NewTable"));
    EXPECT_TRUE(form.ImportButton().isEnabled());
}

TEST_F(Connect, AnotherDatabaseKeepsTheTableTextAndImport) {
    ConnectAsTheLogin();
    form.ChooseDatabase(server.Name(kSales));
    form.TypeTable(QStringLiteral("Typed"));
    ASSERT_TRUE(form.ImportButton().isEnabled());
    form.ChooseDatabase(server.Name(kBracket));
    EXPECT_EQ(form.Tables().currentText(), QStringLiteral("Typed"));
    EXPECT_TRUE(form.ImportButton().isEnabled());
    EXPECT_EQ(ServerForm::Items(form.Tables()), TablesAndViews(server, kBracket));
    EXPECT_EQ(windows.Form1.ExistingTableNames(), TablesAndViews(server, kBracket));
}

TEST_F(Connect, ImportFollowsTheTableText) {
    ConnectAsTheLogin();
    form.ChooseDatabase(server.Name(kSales));
    EXPECT_FALSE(form.ImportButton().isEnabled());
    form.TypeTable(QStringLiteral("O"));
    EXPECT_TRUE(form.ImportButton().isEnabled());
    QTest::keyClick(&form.Tables(), Qt::Key_Backspace);
    EXPECT_FALSE(form.ImportButton().isEnabled());
    // Choosing an entry of the list changes the text too.
    form.ChooseTable(QStringLiteral("Orders"));
    EXPECT_EQ(form.Tables().currentText(), QStringLiteral("Orders"));
    EXPECT_TRUE(form.ImportButton().isEnabled());
}

TEST_F(Connect, ConnectingAgainClosesTheFirstAndResetsTheTableBox) {
    ConnectAsTheLogin();
    form.ChooseDatabase(server.Name(kSales));
    form.TypeTable(QStringLiteral("Orders"));
    ConnectAsTheLogin();
    ASSERT_EQ(recorder.boxes.size(), 2u);
    EXPECT_EQ(recorder.boxes[1].text, kConnectOk);
    EXPECT_EQ(form.Tables().currentText(), QString());
    EXPECT_FALSE(form.Tables().isEnabled());
    EXPECT_FALSE(form.ImportButton().isEnabled());

    // A second connection that fails leaves everything disabled.
    form.Connect(server.ServerText(), server.User(), server.Password() + u'x');
    ASSERT_EQ(recorder.boxes.size(), 3u);
    EXPECT_EQ(recorder.boxes[2].text, kConnectFailed);
    EXPECT_FALSE(form.Databases().isEnabled());
    EXPECT_FALSE(form.Tables().isEnabled());
    EXPECT_FALSE(form.ImportButton().isEnabled());

    ConnectAsTheLogin();
    EXPECT_EQ(recorder.boxes.back().text, kConnectOk);
    EXPECT_TRUE(form.Databases().isEnabled());
}

namespace {

class Faults : public Connect {
protected:
    static TestServer::Options WithFaults() {
        TestServer::Options options = Databases();
        options.databases << kRefused;
        options.closeOn = {UseStatement(kRefused)};
        return options;
    }
    Faults() : Connect(WithFaults()) {}
};

}  // namespace

TEST_F(Faults, ARefusedUseLeavesTheListsAsTheyWere) {
    if (!server.IsStandin()) GTEST_SKIP() << "needs a stand-in that drops the connection";
    ConnectAsTheLogin();
    form.ChooseDatabase(server.Name(kSales));
    form.TypeTable(QStringLiteral("Typed"));
    const QStringList before = ServerForm::Items(form.Tables());
    recorder.boxes.clear();

    form.ChooseDatabase(server.Name(kRefused));
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(recorder.boxes[0].caption, QStringLiteral("Tavlen"));
    EXPECT_FALSE(recorder.boxes[0].text.isEmpty());
    EXPECT_FALSE(recorder.boxes[0].text.startsWith(u'['));
    EXPECT_EQ(form.Databases().currentText(), kRefused);
    EXPECT_EQ(ServerForm::Items(form.Tables()), before);
    EXPECT_EQ(windows.Form1.ExistingTableNames(), before);
    EXPECT_EQ(form.Tables().currentText(), QStringLiteral("Typed"));
    EXPECT_TRUE(form.Tables().isEnabled());
    EXPECT_TRUE(form.ImportButton().isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Faults, AServerThatDropsTheConnectionFailsConnect) {
    if (!server.IsStandin()) GTEST_SKIP() << "needs a stand-in that drops the connection";
    form.Databases().addItem(QStringLiteral("left over"));
    TestServer dropping({.closeOn = {QStringLiteral("exec sp_databases")}});
    form.Connect(dropping.ServerText(), dropping.User(), dropping.Password());
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, kConnectFailed);
    // The connection had opened: the database list was cleared before the failure.
    EXPECT_EQ(form.Databases().count(), 0);
    EXPECT_FALSE(form.Databases().isEnabled());
    EXPECT_FALSE(form.ImportButton().isEnabled());
}

class OlderServer : public testing::TestWithParam<const char*> {};

TEST_P(OlderServer, IsReachedAndListsItsCatalogue) {
    TestServer server({.tdsVersion = QString::fromLatin1(GetParam())});
    if (!server.IsStandin()) GTEST_SKIP() << "needs a stand-in of that version";
    Windows windows;
    ServerForm form{windows.Form1};
    MessageRecorder recorder;
    form.Connect(server.ServerText(), server.User(), server.Password());
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, kConnectOk);
    form.ChooseDatabase(QStringLiteral("master"));
    EXPECT_EQ(recorder.boxes.size(), 1u);
    EXPECT_GT(form.Tables().count(), 0);
}

INSTANTIATE_TEST_SUITE_P(TdsVersions, OlderServer, testing::Values("7.1", "7.2", "7.3", "7.4"),
                         [](const auto& info) {
                             std::string name = std::string("Tds") + info.param;
                             name.erase(name.find('.'), 1);
                             return name;
                         });

TEST(Password, BracesAndSeparatorsLogInAsTyped) {
    TestServer server({.password = QStringLiteral(";}{=")});
    if (!server.IsStandin()) GTEST_SKIP() << "needs a login with this password";
    Windows windows;
    ServerForm form{windows.Form1};
    MessageRecorder recorder;
    form.Connect(server.ServerText(), server.User(), QStringLiteral(";}{="));
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, kConnectOk);
    EXPECT_GT(form.Databases().count(), 0);
}
