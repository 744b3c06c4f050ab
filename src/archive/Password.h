#pragma once

#include <QString>

// The program password check at the main window's load and before the settings window opens.
// Sets and returns PasswordVerificata; the callers end the program when it is false.
bool ControllaPassword();

// The one place that knows how the password is kept in Configurazioni.Password: true when
// `digitata` is the password `memorizzata` stands for. An empty `memorizzata` means no password.
bool PasswordCorretta(const QString& memorizzata, const QString& digitata);

// Configurazioni.Password of the first settings row ("" for none or null). Throws ErroreArchivio.
QString LeggiPasswordMemorizzata(const QString& archivio);
