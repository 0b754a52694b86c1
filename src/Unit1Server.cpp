#include "Unit1.h"

#include "ErrorDisplay.h"

void TForm1::Button3Click() {
    Guarded([] {});
}

void TForm1::ComboBox3Change() {
    Guarded([] {});
}

void TForm1::ComboBox2Change() {
    Guarded([] {});
}
