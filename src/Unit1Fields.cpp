#include "Unit1.h"

#include "ErrorDisplay.h"

void TForm1::TreeView1DblClick() {
    Guarded([] {});
}

void TForm1::ListBox1DblClick() {
    Guarded([] {});
}

void TForm1::Button5Click() {
    Guarded([] {});
}

void TForm1::Button6Click() {
    Guarded([] {});
}
