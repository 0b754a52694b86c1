#include <gtest/gtest.h>

#include "ImportOutcome.h"

namespace {

TEST(ImportOutcome, TooLargeOnlyForTheExactPhrase) {
    struct Case {
        const char* text;
        MessageId message;
    };
    for (const Case& c : {
             Case{"The size (8051) given to the type 'varchar' exceeds the maximum allowed for "
                  "any data type (8000)",
                  MessageId::msgImportTooLarge},
             Case{"exceeds the maximum", MessageId::msgImportTooLarge},
             Case{"[FreeTDS][SQL Server]column 'x' exceeds the maximum",
                  MessageId::msgImportTooLarge},
             Case{"Exceeds the maximum allowed", MessageId::msgImportFailed},
             Case{"exceeds the\r\nmaximum", MessageId::msgImportFailed},
             Case{"exceeds  the maximum", MessageId::msgImportFailed},
             Case{"There is already an object named 'Orders' in the database",
                  MessageId::msgImportFailed},
             Case{"", MessageId::msgImportFailed},
         }) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ImportFailureMessage(QString::fromUtf8(c.text)), c.message);
    }
}

}  // namespace
