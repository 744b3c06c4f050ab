#include "TabellaStampa.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"

#include <QSqlQuery>

namespace TabellaStampa {

QList<RigaStampa> Scrivi(const QString& archivio, const QStringList& righe, bool* ok)
{
    QList<RigaStampa> scritte;
    const bool fatto = EseguiPasso([&] {
        scritte.clear();
        Archivio db(archivio);
        InTransazione(db, [&] {
            db.esegui(QStringLiteral("DELETE FROM Stampa"));
            QSqlQuery inserisci = db.prepara(QStringLiteral("INSERT INTO Stampa (Descrizione) VALUES (?)"));
            for (const QString& testo : righe) {
                // An empty line is an empty text, not a null.
                db.eseguiPreparata(inserisci, { testo.isNull() ? QString(QLatin1String("")) : testo });
                scritte << RigaStampa { inserisci.lastInsertId().toLongLong(), testo };
            }
        });
    });
    if (!fatto)
        scritte.clear();
    if (ok)
        *ok = fatto;
    return scritte;
}

} // namespace TabellaStampa
