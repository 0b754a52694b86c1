// File > Import Files and Import Folder through the real handlers and driver, against the
// stand-in or the server that TAVLEN_TEST_SERVER names.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <memory>

#include "ProgramWindows.h"
#include "QtPrinting.h"
#include "Recorders.h"
#include "ServerForm.h"
#include "TestFiles.h"
#include "TestServer.h"

namespace {

const QString kSales = QStringLiteral("Sales");

QByteArray Orders(const QByteArray& orderNumbers) {
    QByteArray xml = "<orders>";
    for (const QByteArray& number : orderNumbers.split(' '))
        xml += "<order no=\"" + number + "\"><item>Kalem</item></order>";
    return xml + "</orders>";
}

const QByteArray kMapping =
    R"json({"format": "tavlen-mapping", "version": 1,
        "row": {"path": "orders/order", "element": true},
        "fields": [{"path": "orders/order/@no", "name": "OrderNo", "type": "Int"},
                   {"path": "orders/order/item", "name": "Item", "type": "VarChar(20)"}],
        "table": "Orders"})json";

class ImportFilesWindow : public testing::Test {
protected:
    void SetUp() override {
        dialog.Ok(Write(QStringLiteral("orders.json"), kMapping));
        Trigger("OpenMapping");
        form.Connect(server.ServerText(), server.User(), server.Password());
        form.ChooseDatabase(server.Name(kSales));
        form.Tables().lineEdit()->clear();
        form.TypeTable(QStringLiteral("Orders"));
        messages.boxes.clear();
    }

    QString Write(const QString& name, const QByteArray& content) {
        return WriteTestFile(dir, name, content);
    }

    void Trigger(const char* action) {
        windows.Form1.findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }

    QStringList OrderNumbers() {
        return server.Column(server.Name(kSales), QStringLiteral("SELECT OrderNo FROM Orders"),
                             QStringLiteral("OrderNo"));
    }

    QTemporaryDir dir;
    TestServer server{TestServer::Options{{kSales}}};
    Windows windows;
    ServerForm form{windows.Form1};
    MessageRecorder messages;
    ReportRecorder reports;
    OpenDialogScript dialog;
};

TEST_F(ImportFilesWindow, AFolderGoesInFileByFileAndTheSummaryNamesTheFailures) {
    Write(QStringLiteral("in/1.xml"), Orders("1 2"));
    const QString broken = Write(QStringLiteral("in/2.xml"), "<orders><order no=\"3\">");
    const QString noRows = Write(QStringLiteral("in/3.xml"), "<invoices/>");
    Write(QStringLiteral("in/4.xml"), Orders("4"));
    dialog.Ok(dir.filePath(QStringLiteral("in")));

    Trigger("ImportFolder");

    EXPECT_EQ(OrderNumbers(),
              QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4")}));
    ASSERT_EQ(reports.reports.size(), 1u);
    const ShownReport& report = reports.reports.front();
    EXPECT_EQ(report.kind, MessageKind::Error);
    EXPECT_TRUE(report.text.contains(QStringLiteral("2"))) << report.text.toStdString();
    const QStringList failed = report.list.split(u'\n');
    ASSERT_EQ(failed.size(), 2) << report.list.toStdString();
    EXPECT_TRUE(failed[0].startsWith(broken + QStringLiteral(": "))) << failed[0].toStdString();
    EXPECT_TRUE(failed[1].startsWith(noRows + QStringLiteral(": "))) << failed[1].toStdString();
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(ImportFilesWindow, SeveralFilesChosenTheFirstCreatingTheTable) {
    dialog.OkFiles({Write(QStringLiteral("b.xml"), Orders("7")),
                    Write(QStringLiteral("a.xml"), Orders("8 9"))});

    Trigger("ImportFiles");

    EXPECT_EQ(OrderNumbers(),
              QStringList({QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9")}));
    ASSERT_EQ(reports.reports.size(), 1u);
    EXPECT_EQ(reports.reports.front().kind, MessageKind::Information);
    EXPECT_TRUE(reports.reports.front().list.isEmpty());
}

}  // namespace
