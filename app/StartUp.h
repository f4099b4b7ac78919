#pragma once
// From launching the program to the moment the main menu is shown.
class frmMainMenu;

// Runs the start-up steps; false when the program must end instead (no data disk, an
// unrecoverable error). The main menu is not shown here.
bool RunStartUp(frmMainMenu& menu);

// File name of the question bank in the program folder.
