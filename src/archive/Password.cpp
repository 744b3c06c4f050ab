#include "Password.h"

#include "archive/Module1.h"

// Placeholder until the start-up work lands: no password is asked yet.
bool ControllaPassword()
{
    Module1::PasswordVerificata = true;
    return true;
}
