#include "TabellaCodici.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "platform/Messaggi.h"

#include <QSqlQuery>

namespace {
// Shown when the archive could not be written: the fields stay as they were for another try.
const QString RegistrazioneNonRiuscita
    = QStringLiteral("Attenzione, la registrazione non è riuscita: l'archivio non è disponibile. Riprovare.");
const QString CancellazioneNonRiuscita
    = QStringLiteral("Attenzione, la cancellazione non è riuscita: l'archivio non è disponibile. Riprovare.");

qint64 chiave(const QString& indice)
{
    return qint64(Module1::ValoreNumerico(indice));
}
} // namespace

const DefinizioneTabellaCodici& DefinizioneStati()
{
    static const DefinizioneTabellaCodici d {
        QStringLiteral("TabellaStati"),
        QStringLiteral("Stato"),
        QStringLiteral("Tabella Stati"),
        525,
        5265,
        QStringLiteral("Attenzione, inserire uno stato!"),
        QStringLiteral("Attenzione, lo stato non può contenere numeri"),
        QStringLiteral("Attenzione, inserire una descrizione!"),
        QStringLiteral("Attenzione si stà aggiornando uno stato già esistente. Continuare?"),
        QStringLiteral("Attenzione, selezionare lo stato da cancellare"),
        QStringLiteral("Attenzione, cancellare lo stato selezionato?"),
        QStringLiteral("Cancellazione Effettuata!"),
    };
    return d;
}

const DefinizioneTabellaCodici& DefinizioneTipi()
{
    static const DefinizioneTabellaCodici d {
        QStringLiteral("TabellaTipi"),
        QStringLiteral("Tipo"),
        QStringLiteral("Tabella Tipi"),
        1635,
        4155,
        QStringLiteral("Attenzione, inserire uno tipo!"),
        QStringLiteral("Attenzione, lo tipo non può contenere numeri"),
        QStringLiteral("Attenzione, inserire una descrizione!"),
        QStringLiteral("Attenzione si stà aggiornando uno tipo già esistente. Continuare?"),
        QStringLiteral("Attenzione, selezionare il tipo da cancellare"),
        QStringLiteral("Attenzione, cancellare il tipo selezionato?"),
        QStringLiteral("Cancellazione Effettuata!"),
    };
    return d;
}

TabellaCodici::TabellaCodici(const QString& archivio, const DefinizioneTabellaCodici& definizione)
    : m_archivio(archivio)
    , m_definizione(definizione)
{
    m_griglia.impostaColonne(NumeroColonne);
    m_griglia.impostaRighe(1);
    m_griglia.impostaRigheFisse(1);
    DimensionaGriglia_Click();
}

bool TabellaCodici::Aggiorna_Click()
{
    struct Record
    {
        QString indice, codice, descrizione;
    };
    QList<Record> record;
    const bool letto = EseguiPasso([&] {
        record.clear();
        Archivio db(m_archivio);
        QSqlQuery q = db.esegui(
            QStringLiteral("SELECT Indice, %1, Descrizione FROM %2 WHERE Indice > 0 ORDER BY Indice")
                .arg(m_definizione.campoCodice, m_definizione.tabella));
        while (q.next())
            record.append({ q.value(0).toString(), q.value(1).toString(), q.value(2).toString() });
    });

    {
        Griglia::Ricostruzione blocco(m_griglia);
        m_griglia.impostaRighe(1);
        for (const Record& r : record) {
            const int riga = m_griglia.aggiungiRiga();
            m_griglia.impostaTesto(riga, ColIndice, r.indice);
            m_griglia.impostaTesto(riga, ColCodice, r.codice);
            m_griglia.impostaTesto(riga, ColDescrizione, r.descrizione);
        }
        m_evidenziata = 0;
        DimensionaGriglia_Click();
    }
    return letto;
}

void TabellaCodici::DimensionaGriglia_Click()
{
    m_griglia.impostaTesto(0, ColIndice, QStringLiteral("indice"));
    m_griglia.impostaTesto(0, ColCodice, m_definizione.campoCodice);
    m_griglia.impostaTesto(0, ColDescrizione, QStringLiteral("Descrizione"));
    m_griglia.impostaLarghezza(ColIndice, 0);
    m_griglia.impostaLarghezza(ColCodice, m_definizione.larghezzaCodice + 20);
    m_griglia.impostaLarghezza(ColDescrizione, m_definizione.larghezzaDescrizione + 20);
    m_griglia.impostaAllineamentoColonna(ColCodice, Qt::AlignCenter);
    m_griglia.impostaAllineamentoColonna(ColDescrizione, Qt::AlignLeft | Qt::AlignVCenter);
}

void TabellaCodici::coloraRiga(int riga, const QColor& colore)
{
    for (int c = 0; c < NumeroColonne; ++c)
        m_griglia.impostaSfondo(riga, c, colore);
}

TabellaCodici::Campi TabellaCodici::Seleziona(int riga)
{
    if (riga <= 0 || riga >= m_griglia.righe())
        return {};
    if (m_evidenziata > 0)
        coloraRiga(m_evidenziata, QColor());
    coloraRiga(riga, ColoreEvidenza);
    m_evidenziata = riga;
    const qint64 indice = chiave(m_griglia.testo(riga, ColIndice));
    return { QString::number(indice), m_griglia.testo(riga, ColCodice),
        m_griglia.testo(riga, ColDescrizione) };
}

void TabellaCodici::PulisciGriglia()
{
    for (int r = 1; r < m_griglia.righe(); ++r)
        coloraRiga(r, QColor());
}

TabellaCodici::EsitoRegistrazione TabellaCodici::Registra(const Campi& campi)
{
    // Blanks around a code would keep it from ever matching what is typed in the grid.
    const QString codice = campi.codice.trimmed();
    if (codice.isEmpty()) {
        messaggi().Messaggio(m_definizione.inserireCodice, Messaggi::Ok, Messaggi::Critical);
        return EsitoRegistrazione::CodiceMancante;
    }
    if (Module1::ValoreNumerico(codice) != 0) {
        messaggi().Messaggio(m_definizione.codiceConNumeri, Messaggi::Ok, Messaggi::Critical);
        return EsitoRegistrazione::CodiceConNumeri;
    }
    if (campi.descrizione.trimmed().isEmpty()) {
        messaggi().Messaggio(m_definizione.inserireDescrizione, Messaggi::Ok, Messaggi::Critical);
        return EsitoRegistrazione::DescrizioneMancante;
    }

    const qint64 indice = chiave(campi.indice);
    const QString tabella = m_definizione.tabella;
    bool esiste = false;
    if (!EseguiPasso([&] {
            Archivio db(m_archivio);
            esiste = db.valore(QStringLiteral("SELECT count(*) FROM %1 WHERE Indice = ?").arg(tabella),
                           { indice })
                         .toLongLong()
                > 0;
        })) {
        messaggi().Messaggio(RegistrazioneNonRiuscita, Messaggi::Ok, Messaggi::Critical);
        return EsitoRegistrazione::NonRiuscito;
    }
    if (esiste
        && messaggi().Messaggio(m_definizione.aggiornamento, Messaggi::Yes | Messaggi::No, Messaggi::Question)
            != Messaggi::Yes)
        return EsitoRegistrazione::Annullato;

    const QString codiceMaiuscolo = codice.toUpper();
    const bool scritto = EseguiPasso([&] {
        Archivio db(m_archivio);
        if (esiste)
            db.esegui(QStringLiteral("UPDATE %1 SET %2 = ?, Descrizione = ? WHERE Indice = ?")
                          .arg(tabella, m_definizione.campoCodice),
                { codiceMaiuscolo, campi.descrizione, indice });
        else
            db.esegui(QStringLiteral("INSERT INTO %1 (%2, Descrizione) VALUES (?, ?)")
                          .arg(tabella, m_definizione.campoCodice),
                { codiceMaiuscolo, campi.descrizione });
    });
    if (!scritto) {
        messaggi().Messaggio(RegistrazioneNonRiuscita, Messaggi::Ok, Messaggi::Critical);
        return EsitoRegistrazione::NonRiuscito;
    }
    return EsitoRegistrazione::Registrato;
}

TabellaCodici::EsitoCancellazione TabellaCodici::Cancella(const QString& indice)
{
    const qint64 k = chiave(indice);
    if (k == 0) {
        messaggi().Messaggio(m_definizione.selezionareDaCancellare, Messaggi::Ok, Messaggi::Critical);
        return EsitoCancellazione::NessunaSelezione;
    }
    if (messaggi().Messaggio(
            m_definizione.cancellareSelezionato, Messaggi::Yes | Messaggi::No, Messaggi::Question)
        != Messaggi::Yes)
        return EsitoCancellazione::Annullato;
    const bool cancellato = EseguiPasso([&] {
        Archivio db(m_archivio);
        db.esegui(QStringLiteral("DELETE FROM %1 WHERE Indice = ?").arg(m_definizione.tabella), { k });
    });
    if (!cancellato) {
        messaggi().Messaggio(CancellazioneNonRiuscita, Messaggi::Ok, Messaggi::Critical);
        return EsitoCancellazione::NonRiuscito;
    }
    return EsitoCancellazione::Cancellato;
}
