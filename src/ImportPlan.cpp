#include "ImportPlan.h"

#include "ColumnPattern.h"

ImportPlan MakePlan(const RowChoice& row, const std::vector<FieldRow>& fields,
                    const QString& table) {
    ImportPlan plan{row.path, {}, table};
    for (const FieldRow& field : fields) {
        plan.fields.push_back({field.path, field.name, field.type,
                               row.element ? ElementColumnPattern(row.path, field.path)
                                           : ColumnPattern(row.path, field.path)});
    }
    return plan;
}
