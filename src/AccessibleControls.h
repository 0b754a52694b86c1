// What screen readers are told about controls that Qt presents poorly: the About box's links
// are links, and a combo box is named like any other control (its accessible name, or the
// label whose buddy it is) where Qt on Linux would name it by its current value.
#pragma once

// Takes effect for every window; calling it again does nothing.
void UseAccessibleControls();
