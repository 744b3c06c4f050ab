#include "Innesco.h"

#include "archive/Archivio.h"

namespace Innesco {

namespace {
QString letterale(QString testo)
{
    testo.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + testo + QLatin1Char('\'');
}
} // namespace

void Crea(const QString& archivio, const QString& nome, const QString& evento, const QString& tabella,
    const QString& condizione, const QString& errore, const QStringList& prima)
{
    Archivio db(archivio);
    QString corpo;
    for (const QString& s : prima)
        corpo += s + QStringLiteral("; ");
    if (db.motore() == Motore::PostgreSQL) {
        // The server's triggers call a function; returning no row leaves the row unwritten.
        const QString riga
            = evento.contains(QLatin1String("DELETE")) ? QStringLiteral("OLD") : QStringLiteral("NEW");
        const QString azione = errore.isEmpty()
            ? QStringLiteral("RETURN NULL;")
            : QStringLiteral("RAISE EXCEPTION USING MESSAGE = %1;").arg(letterale(errore));
        db.esegui(
            QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN %2"
                           "IF %3 THEN %4 END IF; RETURN %5; END $$")
                .arg(nome, corpo, condizione.isEmpty() ? QStringLiteral("TRUE") : condizione, azione, riga));
        db.esegui(QStringLiteral("CREATE TRIGGER %1 %2 ON %3 FOR EACH ROW EXECUTE FUNCTION %1()")
                      .arg(nome, evento, tabella));
        return;
    }
    const QString azione = errore.isEmpty() ? QStringLiteral("RAISE(IGNORE)")
                                            : QStringLiteral("RAISE(ABORT, %1)").arg(letterale(errore));
    db.esegui(QStringLiteral("CREATE TRIGGER %1 %2 ON %3 BEGIN %4SELECT %5%6; END")
                  .arg(nome, evento, tabella, corpo, azione,
                      condizione.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condizione));
}

void Togli(const QString& archivio, const QString& nome, const QString& tabella)
{
    Archivio db(archivio);
    if (db.motore() == Motore::PostgreSQL) {
        db.esegui(QStringLiteral("DROP TRIGGER %1 ON %2").arg(nome, tabella));
        db.esegui(QStringLiteral("DROP FUNCTION %1()").arg(nome));
        return;
    }
    db.esegui(QStringLiteral("DROP TRIGGER %1").arg(nome));
}

} // namespace Innesco
