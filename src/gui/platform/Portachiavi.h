#pragma once

#include <QString>

// The desktop's keyring (the Secret Service of GNOME and others, KWallet), for the password of a
// server archive: kept there when the user asks, never in the program's own files. Where the
// desktop has none every call fails quietly after a short wait.
namespace Portachiavi {

// The password kept for `chiave`, or "" when there is none or no keyring.
QString Leggi(const QString& chiave);
// False when it could not be kept; the reason, in Italian, in `errore`.
bool Scrivi(const QString& chiave, const QString& password, QString* errore = nullptr);
void Togli(const QString& chiave);

} // namespace Portachiavi
