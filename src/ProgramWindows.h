// The three windows of a run, created in start-up order and alive until the run ends.
#pragma once

#include <QTreeView>

#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"

struct Windows {
    Windows() { Form1.AttachDialogs(Form2, AboutBox); }

    TForm1 Form1;
    TForm2 Form2{Form1.StructureTree(), Form1.FieldList(), &Form1};
    TAboutBox AboutBox;
};
