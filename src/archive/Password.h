#pragma once

// The program password check at the main window's load and before the settings window opens.
// Sets and returns PasswordVerificata; the callers end the program when it is false.
bool ControllaPassword();
