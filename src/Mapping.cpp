#include "Mapping.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "MappingMessages.h"

namespace {

const QString FormatName = QStringLiteral("tavlen-mapping");

QJsonObject FieldObject(const MappedField& field) {
    return {{QStringLiteral("path"), field.path},
            {QStringLiteral("name"), field.name},
            {QStringLiteral("type"), field.type},
            {QStringLiteral("pattern"), field.pattern}};
}

[[noreturn]] void Refuse(MappingError::Reason reason) { throw MappingError(reason); }

// A member that must be a string when present; absent reads as empty.
QString OptionalString(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined()) return {};
    if (!value.isString()) Refuse(MappingError::Reason::Damaged);
    return value.toString();
}

QString RequiredString(const QJsonObject& object, const QString& key) {
    if (!object.value(key).isString()) Refuse(MappingError::Reason::Damaged);
    return object.value(key).toString();
}

RowChoice ReadRow(const QJsonValue& value) {
    const QJsonObject row = value.toObject();
    if (!value.isObject() || !row.value(QStringLiteral("element")).isBool())
        Refuse(MappingError::Reason::Damaged);
    return {RequiredString(row, QStringLiteral("path")),
            row.value(QStringLiteral("element")).toBool()};
}

// The field, with its pattern when the file gives one.
MappedField ReadField(const QJsonValue& value) {
    if (!value.isObject()) Refuse(MappingError::Reason::Damaged);
    const QJsonObject field = value.toObject();
    return {RequiredString(field, QStringLiteral("path")),
            RequiredString(field, QStringLiteral("name")),
            RequiredString(field, QStringLiteral("type")),
            OptionalString(field, QStringLiteral("pattern"))};
}

// A pattern written in the file is used as it stands (a person may have edited it); a missing
// one is made as the window makes it.
std::vector<MappedField> ReadFields(const QJsonValue& value, const RowChoice& row) {
    if (!value.isUndefined() && !value.isArray()) Refuse(MappingError::Reason::Damaged);
    std::vector<MappedField> fields;
    std::vector<FieldRow> rows;
    for (const QJsonValue& field : value.toArray()) {
        fields.push_back(ReadField(field));
        rows.push_back({fields.back().path, fields.back().name, fields.back().type});
    }
    const ImportPlan made = MakePlan(row, rows, {});
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!value[static_cast<qsizetype>(i)].toObject().contains(QStringLiteral("pattern")))
            fields[i].pattern = made.fields[i].pattern;
    return fields;
}

void CheckVersion(const QJsonValue& version) {
    if (!version.isDouble() || version.toDouble() != version.toInt() || version.toInt() < 1)
        Refuse(MappingError::Reason::Damaged);
    if (version.toInt() > MappingVersion) Refuse(MappingError::Reason::NewerVersion);
}

}  // namespace

MappingError::MappingError(Reason reason)
    : std::runtime_error(MappingErrorText(reason, Language::English).toStdString()),
      reason_(reason) {}

QByteArray MappingText(const Mapping& mapping) {
    QJsonArray fields;
    for (const MappedField& field : mapping.fields) fields.append(FieldObject(field));
    const QJsonObject root{
        {QStringLiteral("format"), FormatName},
        {QStringLiteral("version"), MappingVersion},
        {QStringLiteral("row"), QJsonObject{{QStringLiteral("path"), mapping.row.path},
                                            {QStringLiteral("element"), mapping.row.element}}},
        {QStringLiteral("fields"), fields},
        {QStringLiteral("table"), mapping.table},
        {QStringLiteral("server"), mapping.server},
        {QStringLiteral("user"), mapping.user},
        {QStringLiteral("database"), mapping.database}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

Mapping ReadMapping(const QByteArray& text) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) Refuse(MappingError::Reason::Damaged);
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != FormatName)
        Refuse(MappingError::Reason::NotAMapping);
    CheckVersion(root.value(QStringLiteral("version")));
    Mapping mapping;
    mapping.row = ReadRow(root.value(QStringLiteral("row")));
    mapping.fields = ReadFields(root.value(QStringLiteral("fields")), mapping.row);
    if (mapping.fields.empty()) Refuse(MappingError::Reason::NoField);
    mapping.table = OptionalString(root, QStringLiteral("table"));
    mapping.server = OptionalString(root, QStringLiteral("server"));
    mapping.user = OptionalString(root, QStringLiteral("user"));
    mapping.database = OptionalString(root, QStringLiteral("database"));
    return mapping;
}

ImportPlan PlanOf(const Mapping& mapping) {
    return {mapping.row.path, mapping.fields, mapping.table};
}

std::vector<FieldRow> FieldRowsOf(const Mapping& mapping) {
    std::vector<FieldRow> rows;
    for (const MappedField& field : mapping.fields)
        rows.push_back({field.path, field.name, field.type});
    return rows;
}
