#include "ImportPlan.h"
#include "StructureTree.h"
#include "Unit1.h"

RowChoice TForm1::CurrentRowChoice() const { return {RowPath(StructureTreeModel()), false}; }
