#pragma once

#include <QString>
#include <QStringList>

// Triggers for the tests, written in each engine's own form: a write that fails half-way, the way
// a full disk or a broken network makes it fail.
namespace Innesco {

// A trigger `nome` on each row of `evento` ("BEFORE INSERT", "BEFORE UPDATE", "BEFORE DELETE") on
// `tabella` of `archivio`: it runs the statements `prima` (SQL both engines read), then, where
// `condizione` holds (SQL on NEW or OLD; "" for every row), fails the statement with the error
// `errore`, or with an empty `errore` leaves the row unwritten without any error.
void Crea(const QString& archivio, const QString& nome, const QString& evento, const QString& tabella,
    const QString& condizione, const QString& errore, const QStringList& prima = {});
void Togli(const QString& archivio, const QString& nome, const QString& tabella);

} // namespace Innesco
