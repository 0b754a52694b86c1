// A mapping: what decides an import, kept in a file that a person can read and edit, so that
// one mapping imports many documents alike. The file is UTF-8 JSON:
//   {"format": "tavlen-mapping", "version": 1,
//    "row": {"path": "...", "element": true},
//    "fields": [{"path": "...", "name": "...", "type": "...", "pattern": "..."}, ...],
//    "table": "...", "server": "...", "user": "...", "database": "..."}
// A field's pattern may be left out; it is then made from the row and the field's path.
#pragma once

#include <stdexcept>
#include <vector>

#include <QByteArray>
#include <QString>

#include "ImportPlan.h"

struct Mapping {
    RowChoice row;
    std::vector<MappedField> fields;
    QString table;
    // The destination last used, for convenience; never a password.
    QString server;
    QString user;
    QString database;

    friend bool operator==(const Mapping&, const Mapping&) = default;
};

// Why bytes are not a usable mapping.
class MappingError final : public std::runtime_error {
public:
    enum class Reason { NotAMapping, Damaged, NewerVersion, NoField };

    explicit MappingError(Reason reason);
    Reason reason() const { return reason_; }

private:
    Reason reason_;
};

// The newest version this program writes and reads.
constexpr int MappingVersion = 1;

QByteArray MappingText(const Mapping& mapping);

// Throws MappingError.
Mapping ReadMapping(const QByteArray& text);

ImportPlan PlanOf(const Mapping& mapping);

// The fields as the field list holds them, without their patterns.
std::vector<FieldRow> FieldRowsOf(const Mapping& mapping);
