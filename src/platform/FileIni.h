#pragma once

#include <QByteArray>
#include <QString>

// Profile-string files ("[sezione]" and "chiave=valore" lines) read and written raw, the way the
// Windows profile services do: no escaping, so a path with backslashes stays as written.
namespace FileIni {

// The value, at most 255 characters (the read buffer held 256 with the final zero), or "".
QString Leggi(const QString& file, const QString& sezione, const QString& chiave);
// True when the file was written. Line breaks in the value are dropped (they would end the line).
bool Scrivi(const QString& file, const QString& sezione, const QString& chiave, const QString& valore);

// The parsing step, on the file's bytes; exposed for the fuzzer.
QString LeggiDaTesto(const QByteArray& contenuto, const QString& sezione, const QString& chiave);

} // namespace FileIni
