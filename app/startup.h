// The program's start: single instance, the six windows, the message loop.
#pragma once

// Creates Form1 to Form6 in that order; Form1 becomes the main window.
void CreateForms();

// The whole program; returns the process's exit code.
int RunTorva(int argc, char **argv);
