#include <gtest/gtest.h>

#include "ColumnPattern.h"

namespace {

struct PatternCase {
    const char* name;
    const char* rowPath;
    const char* fieldPath;
    const char* pattern;
};

class ColumnPatternCases : public testing::TestWithParam<PatternCase> {};

TEST_P(ColumnPatternCases, LeadsFromRowNodeToField) {
    const PatternCase& c = GetParam();
    EXPECT_EQ(ColumnPattern(QString::fromUtf8(c.rowPath), QString::fromUtf8(c.fieldPath)),
              QString::fromUtf8(c.pattern));
}

constexpr const char* LibRow = "lib/book/author/name";

INSTANTIATE_TEST_SUITE_P(
    ColumnPattern, ColumnPatternCases,
    testing::Values(
        PatternCase{"RowNodeItself", LibRow, "lib/book/author/name", "."},
        PatternCase{"Sibling", LibRow, "lib/book/author/born", "../born"},
        PatternCase{"SiblingWithLongerName", LibRow, "lib/book/author/name2", "../name2"},
        PatternCase{"SiblingOfParent", LibRow, "lib/book/title", "../../title"},
        PatternCase{"AttributeOfGrandparent", LibRow, "lib/book/@id", "../../@id"},
        PatternCase{"OtherBranchSameDepth", LibRow, "lib/book/pub/city", "../../pub/city"},
        PatternCase{"SharesOnlyRoot", LibRow, "lib/shelf", "../../../shelf"},
        PatternCase{"AttributeOfRoot", LibRow, "lib/@ver", "../../../@ver"},
        PatternCase{"DiffersInLastCharacterOnly", LibRow, "lib/book/author/namf", "../namf"},
        PatternCase{"AncestorOfRowNode", LibRow, "lib/book", "../../../book"},
        PatternCase{"RowAttributeItself", "orders/order/@no", "orders/order/@no", "."},
        PatternCase{"ElementBesideRowAttribute", "orders/order/@no", "orders/order/item",
                    "../item"},
        PatternCase{"AttributeBesideRowAttribute", "orders/order/@no", "orders/order/@date",
                    "../@date"},
        PatternCase{"ElementHoldingRowAttribute", "book/title/@lang", "book/title", "../../title"},
        PatternCase{"SiblingOfElementHoldingRowAttribute", "book/title/@lang", "book/author",
                    "../../author"},
        PatternCase{"NoSharedSlash", "a/@x", "a", "../../a"},
        PatternCase{"OtherAttributeOfTextRoot", "a/@x", "a/@y", "../@y"},
        PatternCase{"RowPathEndingInSlash", "a/", "a/c", "../c"},
        PatternCase{"EmptyRowPathItself", "", "", "."},
        PatternCase{"EmptyRowPath", "", "x/@y", "../x/@y"},
        PatternCase{"CaseCounts", "a/Name", "a/name", "../name"},
        PatternCase{"NonAsciiNames", "kütüphane/kitap/@no", "kütüphane/kitap/başlık", "../başlık"},
        // The paths share a UTF-8 lead byte, or a UTF-16 high surrogate, past the last "/".
        PatternCase{"PartlySharedCharacter", "a/ç", "a/é", "../é"},
        PatternCase{"PartlySharedSurrogatePair", "a/😀x", "a/😁y", "../😁y"}),
    [](const testing::TestParamInfo<PatternCase>& info) { return info.param.name; });

}  // namespace
