// The program's own start-up in a Turkish locale (this test's environment): Turkish windows,
// Turkish messages, and a Connect that works for the users the translation is for.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPushButton>

#include "ProgramWindows.h"
#include "Recorders.h"
#include "ServerForm.h"
#include "StartUp.h"
#include "TestServer.h"

TEST(StartUp, TurkishLocaleGivesTurkishWindowsAndMessages) {
    StartUp(*qApp);
    Windows windows;
    EXPECT_EQ(windows.Form1.findChild<QMenu*>(QStringLiteral("File1"))->title(),
              QStringLiteral("&Dosya"));
    ServerForm form{windows.Form1};
    EXPECT_EQ(form.ConnectButton().text(), QString::fromUtf8("Bağlan"));

    TestServer server;
    MessageRecorder recorder;
    form.Connect(server.ServerText(), server.User(), server.Password());
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, MessageText(MessageId::msgConnectOk, Language::Turkish));
}
