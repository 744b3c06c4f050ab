#include "ArchivioDanneggiato.h"

#include "archive/Archivio.h"

#include <QFile>
#include <QSqlQuery>
#include <QList>

namespace ArchivioDanneggiato {

void RiempiMovimenti(const QString& archivio, int righe, const QString& mese, const QString& anno)
{
    Archivio db(archivio);
    InTransazione(db, [&] {
        QSqlQuery q = db.prepara(QStringLiteral(
            "INSERT INTO TabellaMovimenti (Data, Giorno, Mese, Anno, IndiceAnagrafica, Tipo, Stato, Note) "
            "VALUES (?, ?, ?, ?, 1, 'ORDINARIO', 'F', ?)"));
        for (int i = 0; i < righe; ++i)
            db.eseguiPreparata(
                q, { QString(), QString::number(i % 28 + 1), mese, anno, QString(500, QLatin1Char('n')) });
    });
}

bool DanneggiaPaginaCentrale(const QString& archivio)
{
    QFile f(archivio);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    const QByteArray dati = f.readAll();
    const auto byte = [&dati](qsizetype i) { return quint8(dati.at(i)); };
    int pagina = (byte(16) << 8) | byte(17);
    if (pagina == 1)
        pagina = 65536;
    // Table leaf pages (type 13) full of the notes' filler: the rows of TabellaMovimenti.
    QList<qsizetype> foglie;
    for (qsizetype inizio = pagina; inizio + pagina <= dati.size(); inizio += pagina)
        if (byte(inizio) == 13 && dati.mid(inizio, pagina).count('n') > pagina / 2)
            foglie << inizio;
    if (foglie.size() < 5)
        return false;
    f.seek(foglie.at(foglie.size() / 2));
    return f.write(QByteArray(pagina, '\xff')) == pagina;
}

} // namespace ArchivioDanneggiato
