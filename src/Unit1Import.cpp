#include "Unit1.h"

#include "ErrorDisplay.h"

void TForm1::Button4Click() {
    Guarded([] {});
}
