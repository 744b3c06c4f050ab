#include "LegendaStati.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"

#include <QSqlQuery>
#include <QStringList>

namespace LegendaStati {

QString CaricaInfo(const QString& archivio)
{
    QStringList voci;
    EseguiPasso([&] {
        voci.clear();
        Archivio db(archivio);
        QSqlQuery q = db.esegui(
            QStringLiteral("SELECT Stato, Descrizione FROM TabellaStati WHERE Indice > 0 ORDER BY Indice"));
        while (q.next())
            voci << QLatin1Char('(') + q.value(0).toString() + QStringLiteral(") ") + q.value(1).toString();
    });
    return voci.isEmpty() ? QString() : QStringLiteral("Stati:  ") + voci.join(QStringLiteral("  -  "));
}

} // namespace LegendaStati
