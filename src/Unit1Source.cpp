#include "Unit1.h"

#include "ErrorDisplay.h"

void TForm1::LoadXML1Click() {
    Guarded([] {});
}
