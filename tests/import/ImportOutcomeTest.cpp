#include <gtest/gtest.h>

#include "ImportOutcome.h"

namespace {

TEST(ImportOutcome, TooLargeOnlyForTheExactPhrase) {
    struct Case {
        const char* text;
        ImportEnd end;
    };
    for (const Case& c : {
             Case{"The size (8051) given to the type 'varchar' exceeds the maximum allowed for "
                  "any data type (8000)",
                  ImportEnd::TooLarge},
             Case{"exceeds the maximum", ImportEnd::TooLarge},
             Case{"[FreeTDS][SQL Server]column 'x' exceeds the maximum", ImportEnd::TooLarge},
             Case{"Exceeds the maximum allowed", ImportEnd::Failed},
             Case{"exceeds the\r\nmaximum", ImportEnd::Failed},
             Case{"exceeds  the maximum", ImportEnd::Failed},
             Case{"There is already an object named 'Orders' in the database", ImportEnd::Failed},
             Case{"", ImportEnd::Failed},
             Case{"XML document could not be created because server memory is low. Use "
                  "sp_xml_removedocument to release XML documents.",
                  ImportEnd::TooLarge},
         }) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FailureOutcome(QString::fromUtf8(c.text)).end, c.end);
    }
}

}  // namespace
