// Documents of sp_xml_preparedocument and the rows OPENXML reads from them, through libxml2.
#pragma once

#include "Ast.h"
#include "Engine.h"

#include <memory>
#include <string>
#include <vector>

namespace standin {

class XmlDocument {
public:
    // Parses the text of a varchar (`unicode` false: the value's code-page bytes, read under the
    // document's declared encoding) or an nvarchar. NULL gives an empty document.
    // Throws SqlError with 6601 and 6602 on a malformed document.
    static std::unique_ptr<XmlDocument> parse(const Value& text, bool unicode);
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // The prefixes the patterns of rows() may use: those the root element of `declarations`
    // declares (sp_xml_preparedocument's third argument).
    void bindPrefixes(const XmlDocument& declarations);

    // One row per node the row pattern selects, one text value (or NULL) per column.
    // Throws SqlError 6603 on an invalid pattern or one with an undeclared prefix.
    std::vector<std::vector<Value>> rows(const std::string& rowPattern, long long flags,
                                         const std::vector<ast::ColumnSpec>& columns) const;

    static constexpr int kMaxOpenElements = 256;

private:
    struct Doc;
    explicit XmlDocument(std::unique_ptr<Doc> doc);
    std::unique_ptr<Doc> doc_;
};

}  // namespace standin
