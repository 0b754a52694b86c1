#include <gtest/gtest.h>

#include "SqlNames.h"

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

TEST(SqlNames, PlainIdentifiers) {
    for (const char* name : {"Item", "_x", "x1", "a_b_9", "Ürün", "şehir", "名前", "𠀀字", "x١"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsPlainIdentifier(Text(name)));
    }
}

TEST(SqlNames, NotPlainIdentifiers) {
    for (const char* name : {"", "1x", "١x", "a b", " a", "a-b", "a]b", "a[b", "a'b", "a,b", "(x)",
                             "a.b", "@x", "#t", "x$", "e\xcc\x81"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IsPlainIdentifier(Text(name)));
    }
}

TEST(SqlNames, ReservedKeywordsInAnyLetterCase) {
    for (const char* name :
         {"Order", "order", "ORDER", "User", "Key", "Select", "add", "identity_insert",
          "IdentityCol", "WriteText", "Try_Convert", "SemanticSimilarityDetailsTable", "Merge"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsReservedKeyword(Text(name)));
    }
}

TEST(SqlNames, NotReservedKeywords) {
    // Non-keywords, and letters that only Unicode case mapping would turn into keyword letters.
    for (const char* name : {"Orders", "Item", "Name", "Type", "Keys", "Qty", "", "ıd",
                             "SEßION_USER", "Within", "Group1"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IsReservedKeyword(Text(name)));
    }
}

struct NameCase {
    const char* name;
    const char* inSql;
};

TEST(SqlNames, FieldNamesBracketedOnlyWhenNeeded) {
    for (const NameCase& c :
         {NameCase{"Item", "Item"}, NameCase{"OrderNo", "OrderNo"},
          NameCase{"Ürün_Adı", "Ürün_Adı"}, NameCase{"", ""}, NameCase{"Order", "[Order]"},
          NameCase{"user", "[user]"}, NameCase{"Unit Price", "[Unit Price]"},
          NameCase{"1st", "[1st]"}, NameCase{"a]b", "[a]]b]"}, NameCase{"]", "[]]]"},
          NameCase{"x int, y", "[x int, y]"}, NameCase{"x) '--", "[x) '--]"}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FieldNameInSql(Text(c.name)), Text(c.inSql));
    }
}

TEST(SqlNames, BracketedTextDoublesClosingBrackets) {
    EXPECT_EQ(BracketedText(Text("Order Lines")), Text("Order Lines"));
    EXPECT_EQ(BracketedText(Text("a]b")), Text("a]]b"));
    EXPECT_EQ(BracketedText(Text("]]")), Text("]]]]"));
    EXPECT_EQ(BracketedText(Text("[a'b")), Text("[a'b"));
}

TEST(SqlNames, QuotedTextDoublesApostrophes) {
    EXPECT_EQ(QuotedText(Text("a/b/@c")), Text("a/b/@c"));
    EXPECT_EQ(QuotedText(Text("Tom's")), Text("Tom''s"));
    EXPECT_EQ(QuotedText(Text("''")), Text("''''"));
    EXPECT_EQ(QuotedText(Text("a]\"b")), Text("a]\"b"));
}

}  // namespace
