// The import batch as the tests expect it, around the parts a test varies.
#pragma once

#include <QByteArray>

inline QByteArray ExpectedBatch(const QByteArray& n, const QByteArray& escapedDocument,
                                const QByteArray& target, const QByteArray& rowPath,
                                const QByteArray& columns) {
    return "DECLARE @idoc int\r\n"
           "DECLARE @doc varchar(" +
           n +
           ")\r\n"
           "SET @doc ='" +
           escapedDocument +
           "'\r\n"
           "EXEC sp_xml_preparedocument @idoc OUTPUT, @doc\r\n" +
           target + " FROM OPENXML (@idoc, '" + rowPath + "',1) WITH (\r\n" + columns +
           ")\r\n"
           "EXEC sp_xml_removedocument @idoc";
}
