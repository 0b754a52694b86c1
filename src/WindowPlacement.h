// Where a window opens: placed the first time it is shown, left where the user puts it afterwards.
#pragma once

class QWidget;

enum class FirstPlace { CentreOfScreen, CentreOverParent };

// The placement lives with the window, which owns it.
void PlaceOnFirstShow(QWidget& window, FirstPlace place);
