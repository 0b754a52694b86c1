#include "Messages.h"

namespace standin {

SqlError::SqlError(Message m, bool compileError)
    : SqlError(std::vector<Message>{std::move(m)}, compileError) {}

SqlError::SqlError(std::vector<Message> m, bool compileError)
    : std::runtime_error(m.empty() ? std::string() : m.front().text),
      messages(std::move(m)),
      compile(compileError) {}

namespace msg {
namespace {

std::string str(long long n) { return std::to_string(n); }

}  // namespace

Message syntax(const std::string& near) {
    return makeMessage(102, 15, "Incorrect syntax near '" + near + "'.");
}
Message syntaxKeyword(const std::string& keyword) {
    return makeMessage(156, 15, "Incorrect syntax near the keyword '" + keyword + "'.");
}
Message unclosedQuote(const std::string& rest) {
    return makeMessage(105, 15,
                       "Unclosed quotation mark after the character string '" + rest + "'.");
}
Message typeTooLong(const std::string& type, long long size, int max) {
    return makeMessage(131, 15,
                       "The size (" + str(size) + ") given to the type '" + type +
                           "' exceeds the maximum allowed for any data type (" + str(max) + ").",
                       2);
}
Message columnTooLong(const std::string& column, long long size, int max) {
    return makeMessage(131, 15,
                       "The size (" + str(size) + ") given to the column '" + column +
                           "' exceeds the maximum allowed for any data type (" + str(max) + ").",
                       2);
}
Message badLength(long long size) {
    return makeMessage(1001, 15,
                       "Line 1: Length or precision specification " + str(size) + " is invalid.");
}
Message precisionTooLarge(int ordinal, long long precision) {
    return makeMessage(2750, 16,
                       "Column or parameter #" + str(ordinal) + ": Specified column precision " +
                           str(precision) + " is greater than the maximum precision of 38.");
}
Message scaleAbovePrecision() {
    return makeMessage(192, 16, "The scale must be less than or equal to the precision.");
}
Message unknownType(int ordinal, const std::string& type) {
    return makeMessage(
        2715, 16,
        "Column, parameter, or variable #" + str(ordinal) + ": Cannot find data type " + type + ".",
        6);
}
Message widthNotAllowed(int ordinal, const std::string& type) {
    return makeMessage(2716, 16,
                       "Column, parameter, or variable #" + str(ordinal) +
                           ": Cannot specify a column width on data type " + type + ".");
}
Message undeclaredVariable(const std::string& name) {
    return makeMessage(137, 15, "Must declare the scalar variable \"" + name + "\".", 2);
}
Message variableRedeclared(const std::string& name) {
    return makeMessage(
        134, 15,
        "The variable name '" + name +
            "' has already been declared. Variable names must be unique within a query "
            "batch or stored procedure.");
}
Message conversionFailed(const std::string& from, const std::string& value, const std::string& to) {
    return makeMessage(245, 16,
                       "Conversion failed when converting the " + from + " value '" + value +
                           "' to data type " + to + ".");
}
Message overflow(const std::string& from, const std::string& to) {
    return makeMessage(
        8115, 16, "Arithmetic overflow error converting " + from + " to data type " + to + ".");
}
Message numericFormat(const std::string& from, const std::string& to) {
    return makeMessage(8114, 16, "Error converting data type " + from + " to " + to + ".", 5);
}
Message moneyFormat() {
    return makeMessage(
        235, 16, "Cannot convert a char value to money. The char value has incorrect syntax.");
}
Message dateFormat() {
    return makeMessage(241, 16,
                       "Conversion failed when converting date and/or time from character string.");
}
Message dateRange(const std::string& from, const std::string& to) {
    return makeMessage(242, 16,
                       "The conversion of a " + from + " data type to a " + to +
                           " data type resulted in an out-of-range value.",
                       3);
}
Message guidFormat() {
    return makeMessage(
        8169, 16, "Conversion failed when converting from a character string to uniqueidentifier.",
        2);
}
Message truncated() {
    return makeMessage(8152, 16, "String or binary data would be truncated.", 14);
}
Message truncatedIn(const std::string& table, const std::string& column, const std::string& value) {
    return makeMessage(2628, 16,
                       "String or binary data would be truncated in table '" + table +
                           "', column '" + column + "'. Truncated value: '" + value + "'.");
}
Message integerOverflow(const std::string& from, const std::string& value, SqlType to) {
    const std::string head =
        "The conversion of the " + from + " value '" + value + "' overflowed an ";
    if (to == SqlType::Int) return makeMessage(248, 16, head + "int column.");
    return makeMessage(244, 16,
                       head + (to == SqlType::SmallInt ? "INT2" : "INT1") +
                           " column. Use a larger integer column.");
}
Message oneTimestamp(const std::string& table, const std::string& column) {
    return makeMessage(2738, 16,
                       "A table can only have one timestamp column. Because table '" + table +
                           "' already has one, the column '" + column + "' cannot be added.",
                       2);
}
Message duplicateKey(const std::string& constraint, const std::string& table,
                     const std::string& key) {
    return makeMessage(2627, 14,
                       "Violation of PRIMARY KEY constraint '" + constraint +
                           "'. Cannot insert duplicate key in object '" + table +
                           "'. The duplicate key value is (" + key + ").");
}
Message identityValue(const std::string& table) {
    return makeMessage(544, 16,
                       "Cannot insert explicit value for identity column in table '" + table +
                           "' when IDENTITY_INSERT is set to OFF.");
}
Message terminated() { return makeMessage(3621, 0, "The statement has been terminated.", 0); }
Message objectExists(const std::string& name) {
    return makeMessage(2714, 16, "There is already an object named '" + name + "' in the database.",
                       6);
}
Message columnCount() {
    return makeMessage(213, 16,
                       "Column name or number of supplied values does not match table definition.");
}
Message invalidObject(const std::string& name) {
    return makeMessage(208, 16, "Invalid object name '" + name + "'.");
}
Message invalidColumn(const std::string& name) {
    return makeMessage(207, 16, "Invalid column name '" + name + "'.");
}
Message duplicateColumn(const std::string& column, const std::string& table) {
    return makeMessage(2705, 16,
                       "Column names in each table must be unique. Column name '" + column +
                           "' in table '" + table + "' is specified more than once.",
                       3);
}
Message nullNotAllowed(const std::string& column, const std::string& table,
                       const std::string& verb) {
    return makeMessage(515, 16,
                       "Cannot insert the value NULL into column '" + column + "', table '" +
                           table + "'; column does not allow nulls. " + verb + " fails.",
                       2);
}
Message timestampValue() {
    return makeMessage(
        273, 16,
        "Cannot insert an explicit value into a timestamp column. Use INSERT with a column "
        "list to exclude the timestamp column, or insert a DEFAULT into the timestamp "
        "column.");
}
Message cannotDrop(const std::string& kind, const std::string& name) {
    return makeMessage(3701, 11,
                       "Cannot drop the " + kind + " '" + name +
                           "', because it does not exist or you do not have permission.",
                       5);
}
Message databaseMissing(const std::string& name) {
    return makeMessage(
        911, 16,
        "Database '" + name + "' does not exist. Make sure that the name is entered correctly.");
}
Message databaseChanged(const std::string& name) {
    return makeMessage(5701, 0, "Changed database context to '" + name + "'.", 2);
}
Message languageChanged() {
    return makeMessage(5703, 0, "Changed language setting to us_english.");
}
Message procedureMissing(const std::string& name) {
    return makeMessage(2812, 16, "Could not find stored procedure '" + name + "'.", 62);
}
Message handleMissing(long long handle) {
    return makeMessage(8179, 16,
                       "Could not find prepared statement with handle " + str(handle) + ".", 5);
}
Message xmlParseError(unsigned code, int line, const std::string& near) {
    static const char* digits = "0123456789abcdef";
    std::string hex;
    for (int shift = 28; shift >= 0; shift -= 4) hex += digits[(code >> shift) & 0xF];
    return makeMessage(6601, 10,
                       "The XML parse error 0x" + hex + " occurred on line number " + str(line) +
                           ", near the XML text \"" + near + "\".",
                       1);
}
Message xmlErrorDescription(const std::string& description) {
    Message m = makeMessage(6602, 16, "The error description is '" + description + "'.", 2);
    m.procedure = "sp_xml_preparedocument";
    return m;
}
Message xpathError(const std::string& description) {
    return makeMessage(6603, 16, "XML parsing error: " + description, 1);
}
Message xmlMemoryLow() {
    return makeMessage(6624, 16,
                       "XML document could not be created because server memory is low. Use "
                       "sp_xml_removedocument to release XML documents.");
}

Message removeInvalid() {
    Message m = makeMessage(
        6607, 16, "sp_xml_removedocument: The value supplied for parameter number 1 is invalid.",
        3);
    m.procedure = "sp_xml_removedocument";
    return m;
}

}  // namespace msg
}  // namespace standin
