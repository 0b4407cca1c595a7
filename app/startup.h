// The program's start: single instance, the six windows, the message loop.
#pragma once

// Creates Form1, the main window, and has Form2 to Form6 made in that order
// once the title has first been painted (TApplication::CreateFormLater).
void CreateForms();

// The whole program; returns the process's exit code.
int RunTorva(int argc, char **argv);
