#include "Anagrafiche.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "archive/Schema.h"
#include "platform/Messaggi.h"

#include <QDate>
#include <QSqlQuery>

namespace Anagrafiche {

namespace {

const QString Tabella = QStringLiteral("TabellaAnagrafiche");

bool CampoData(const QString& campo)
{
    return campo == QLatin1String("DataNascita") || campo == QLatin1String("DataDocumento");
}

// Dates are kept as ISO text; anything that does not read as a date is kept as no date.
QVariant DataPerArchivio(const QString& testo)
{
    const QDate data = Module1::LeggiData(testo);
    return data.isValid() ? QVariant(data.toString(Qt::ISODate)) : QVariant(QMetaType(QMetaType::QString));
}

QString DataDaArchivio(const QVariant& valore)
{
    if (valore.isNull())
        return {};
    const QDate data = QDate::fromString(valore.toString().left(10), Qt::ISODate);
    return data.isValid() ? Module1::FormattaData(data) : QString();
}

bool Vero(const QVariant& valore)
{
    return !valore.isNull() && valore.toInt() != 0;
}

void Avviso(const QString& testo, Messaggi::Icona icona = Messaggi::NoIcon)
{
    messaggi().Messaggio(testo, Messaggi::Ok, icona);
}

void OperazioneAnnullata()
{
    Avviso(QStringLiteral("Operazione Annullata"), Messaggi::Information);
}

} // namespace

const QList<CampoScheda>& CampiScheda()
{
    static const QList<CampoScheda> campi = [] {
        QList<CampoScheda> c;
        auto aggiungi = [&c](const char* controllo, const char* campo, int limite = 0) {
            c << CampoScheda { QString::fromLatin1(controllo), QString::fromLatin1(campo), limite };
        };
        aggiungi("RagSociale", "RagSociale");
        aggiungi("Cognome", "Cognome");
        aggiungi("Nome", "Nome");
        aggiungi("Indirizzo", "Indirizzo", 50);
        aggiungi("Cap", "Cap", 5);
        aggiungi("Citta", "Comune", 50);
        aggiungi("Provincia", "Provincia", 2);
        aggiungi("CodiceFiscale", "CodiceFiscale");
        aggiungi("Nazione", "Nazione");
        aggiungi("Cellulare", "Cellulare");
        aggiungi("Telefono", "Telefono");
        aggiungi("Email", "Email");
        aggiungi("Web", "Web");
        aggiungi("DataNascita", "DataNascita", 10);
        aggiungi("LuogoNascita", "LuogoNascita");
        aggiungi("ProvinciaDiNascita", "ProvinciaDiNascita");
        aggiungi("StatoDiNascita", "StatoDiNascita");
        aggiungi("Cittadinanza", "Cittadinanza");
        aggiungi("TipoDocumento", "TipoDocumento");
        aggiungi("NroDocumento", "NroDocumento");
        aggiungi("DataDocumento", "DataDocumento", 10);
        aggiungi("LuogoDocumento", "LuogoDocumento");
        aggiungi("Note", "Note");
        return c;
    }();
    return campi;
}

int Limite(const QString& controllo)
{
    if (controllo == QLatin1String("Codice"))
        return Schema::Dimensione(Tabella, controllo);
    for (const CampoScheda& c : CampiScheda()) {
        if (c.controllo != controllo)
            continue;
        const int delCampo = Schema::Dimensione(Tabella, c.campo);
        if (c.limiteScheda > 0 && (delCampo == 0 || c.limiteScheda < delCampo))
            return c.limiteScheda;
        return delCampo;
    }
    return 0;
}

qint32 Scheda::chiave() const
{
    return static_cast<qint32>(Module1::ValoreNumerico(indice));
}

std::optional<Scheda> LeggiScheda(const QString& archivio, qint32 indice)
{
    std::optional<Scheda> risultato;
    EseguiPasso([&] {
        risultato.reset();
        Archivio db(archivio);
        QSqlQuery q
            = db.esegui(QStringLiteral("SELECT * FROM TabellaAnagrafiche WHERE Indice = ?"), { indice });
        if (!q.next())
            return;
        Scheda s;
        s.indice = q.value(QStringLiteral("Indice")).toString();
        s.imposta(QStringLiteral("Codice"), q.value(QStringLiteral("Codice")).toString());
        for (const CampoScheda& c : CampiScheda()) {
            const QVariant v = q.value(c.campo);
            s.imposta(c.controllo, CampoData(c.campo) ? DataDaArchivio(v) : v.toString());
        }
        s.maschio = Vero(q.value(QStringLiteral("Maschio")));
        s.femmina = Vero(q.value(QStringLiteral("Femmina")));
        s.attivo = Vero(q.value(QStringLiteral("Attivo")));
        s.nonAttivo = Vero(q.value(QStringLiteral("NonAttivo")));
        risultato = s;
    });
    return risultato;
}

qint32 CercaCodice(const QString& archivio, const QString& codice)
{
    if (codice.isEmpty())
        return 0;
    qint32 trovato = 0;
    EseguiPasso([&] {
        Archivio db(archivio);
        trovato = db.valore(QStringLiteral(
                                "SELECT Indice FROM TabellaAnagrafiche WHERE Codice = ? COLLATE NOCASE "
                                "ORDER BY Indice LIMIT 1"),
                        { codice })
                      .toInt();
    });
    return trovato;
}

bool ControllaEsistenzaCodiceAnagrafica(const QString& archivio, const QString& codice, qint32 indice)
{
    bool usato = false;
    QString altro;
    const bool ok = EseguiPasso([&] {
        Archivio db(archivio);
        QSqlQuery q = db.esegui(
            QStringLiteral("SELECT RagSociale FROM TabellaAnagrafiche WHERE Codice = ? COLLATE NOCASE "
                           "AND Indice <> ? ORDER BY Indice LIMIT 1"),
            { codice, indice });
        usato = q.next();
        altro = usato ? q.value(0).toString() : QString();
    });
    if (!ok) {
        Avviso(QStringLiteral("Impossibile controllare il codice anagrafica"), Messaggi::Critical);
        return true;
    }
    if (usato)
        Avviso(QStringLiteral("Codice anagrafica già utilizzato da: ") + altro, Messaggi::Critical);
    return usato;
}

bool EsistenzaMovimentiCollegatiAnagrafica(const QString& archivio, qint32 indice)
{
    bool esiste = true;
    EseguiPasso([&] {
        Archivio db(archivio);
        esiste = db.valore(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE IndiceAnagrafica = ? "
                                          "AND (Stato <> '' OR StatoNum <> 0 OR Note <> '')"),
                       { indice })
                     .toInt()
            > 0;
    });
    return esiste;
}

QString ComponiRagSociale(const QString& cognome, const QString& nome)
{
    if (!cognome.isEmpty() && !nome.isEmpty())
        return cognome + QLatin1Char(' ') + nome;
    return cognome.isEmpty() ? nome : cognome;
}

EsitoRegistrazione Registra(const QString& archivio, Scheda& scheda)
{
    const QString codice = scheda.testo(QStringLiteral("Codice"));
    const qint32 chiave = scheda.chiave();
    if (codice.isEmpty()) {
        Avviso(QStringLiteral("Inserire un codice"));
        return EsitoRegistrazione::CodiceMancante;
    }
    if (ControllaEsistenzaCodiceAnagrafica(archivio, codice, chiave))
        return EsitoRegistrazione::CodiceUsato;

    const QString cognome = scheda.testo(QStringLiteral("Cognome"));
    const QString nome = scheda.testo(QStringLiteral("Nome"));
    if (scheda.testo(QStringLiteral("RagSociale")).isEmpty() && cognome.isEmpty() && nome.isEmpty()) {
        Avviso(QStringLiteral("Valorizzare i campi obbligatori"));
        return EsitoRegistrazione::CampiObbligatori;
    }
    if (scheda.testo(QStringLiteral("RagSociale")).isEmpty())
        scheda.imposta(QStringLiteral("RagSociale"), ComponiRagSociale(cognome, nome));

    auto nonRiuscita = [] {
        Avviso(QStringLiteral("Registrazione non effettuata"), Messaggi::Critical);
        return EsitoRegistrazione::NonRiuscita;
    };

    bool ragSocialeUsata = false;
    bool esistente = false;
    const bool letto = EseguiPasso([&] {
        Archivio db(archivio);
        ragSocialeUsata
            = db.valore(QStringLiteral("SELECT count(*) FROM TabellaAnagrafiche WHERE RagSociale = ? "
                                       "COLLATE NOCASE AND Indice <> ?"),
                    { scheda.testo(QStringLiteral("RagSociale")), chiave })
                  .toInt()
            > 0;
        esistente = chiave > 0
            && db.valore(
                     QStringLiteral("SELECT count(*) FROM TabellaAnagrafiche WHERE Indice = ?"), { chiave })
                    .toInt()
                > 0;
    });
    if (!letto)
        return nonRiuscita();
    if (ragSocialeUsata) {
        Avviso(QStringLiteral("La Ragione Sociale è già utilizzata"));
        return EsitoRegistrazione::RagSocialeUsata;
    }
    if (esistente
        && messaggi().Messaggio(
               QStringLiteral("Attenzione si stà aggiornando un Anagrafica già esistente. Continuare?"),
               Messaggi::Yes | Messaggi::No, Messaggi::Question)
            != Messaggi::Yes)
        return EsitoRegistrazione::Annullata;

    QStringList campi { QStringLiteral("Codice") };
    QVariantList valori { codice };
    for (const CampoScheda& c : CampiScheda()) {
        campi << c.campo;
        const QString testo = scheda.testo(c.controllo);
        valori << (CampoData(c.campo) ? DataPerArchivio(testo) : QVariant(testo));
    }
    campi << QStringLiteral("Maschio") << QStringLiteral("Femmina") << QStringLiteral("Attivo")
          << QStringLiteral("NonAttivo");
    valori << int(scheda.maschio) << int(scheda.femmina) << int(scheda.attivo) << int(scheda.nonAttivo);

    qint32 nuovaChiave = 0;
    const bool scritto = EseguiPasso([&] {
        Archivio db(archivio);
        InTransazione(db, [&] {
            if (esistente) {
                QStringList assegnazioni;
                for (const QString& c : campi)
                    assegnazioni << c + QStringLiteral(" = ?");
                QSqlQuery q = db.esegui(QStringLiteral("UPDATE TabellaAnagrafiche SET %1 WHERE Indice = ?")
                                            .arg(assegnazioni.join(QStringLiteral(", "))),
                    QVariantList(valori) << chiave);
                // Another program may have deleted the employee since the question.
                nuovaChiave = q.numRowsAffected() == 1 ? chiave : 0;
            } else {
                QSqlQuery q = db.esegui(
                    QStringLiteral("INSERT INTO TabellaAnagrafiche (%1) VALUES (%2)")
                        .arg(campi.join(QStringLiteral(", ")),
                            QStringList(campi.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
                    valori);
                nuovaChiave = q.lastInsertId().toInt();
            }
        });
    });
    if (!scritto || nuovaChiave <= 0)
        return nonRiuscita();
    scheda.indice = QString::number(nuovaChiave);
    return EsitoRegistrazione::Registrata;
}

EsitoCancellazione Cancella(const QString& archivio, const Scheda& scheda)
{
    const qint32 chiave = scheda.chiave();
    if (chiave == 0) {
        Avviso(QStringLiteral("Selezionare l'anagrafica da cancellare"), Messaggi::Critical);
        return EsitoCancellazione::NessunaSelezione;
    }
    const QString ragSociale = scheda.testo(QStringLiteral("RagSociale"));
    if (EsistenzaMovimentiCollegatiAnagrafica(archivio, chiave)) {
        const QString domanda = QStringLiteral("ATTENZIONE!! Cancellare l'anagrafica selezionata (")
            + ragSociale
            + QStringLiteral(
                ") e tutti i dati collegati?\n\n(Non è possibile recuperare i dati dopo la cancellazione)");
        if (messaggi().Messaggio(domanda, Messaggi::Yes | Messaggi::No, Messaggi::Critical)
            != Messaggi::Yes) {
            OperazioneAnnullata();
            return EsitoCancellazione::Annullata;
        }
        if (messaggi().InputBox(QStringLiteral("Confermare digitando: SI")).trimmed().toUpper()
            != QLatin1String("SI")) {
            OperazioneAnnullata();
            return EsitoCancellazione::Annullata;
        }
    } else {
        const QString domanda = QStringLiteral("Sicuri di voler cancellare l'anagrafica selezionata (")
            + ragSociale + QStringLiteral(") ?");
        if (messaggi().Messaggio(domanda, Messaggi::Yes | Messaggi::No, Messaggi::Question, {}, Messaggi::No)
            != Messaggi::Yes) {
            OperazioneAnnullata();
            return EsitoCancellazione::Annullata;
        }
    }

    // The employee and all their entry rows go together or not at all.
    const bool ok = EseguiPasso([&] {
        Archivio db(archivio);
        InTransazione(db, [&] {
            db.esegui(QStringLiteral("DELETE FROM TabellaAnagrafiche WHERE Indice = ?"), { chiave });
            db.esegui(QStringLiteral("DELETE FROM TabellaMovimenti WHERE IndiceAnagrafica = ?"), { chiave });
        });
    });
    if (!ok) {
        Avviso(QStringLiteral("Cancellazione non effettuata"), Messaggi::Critical);
        return EsitoCancellazione::NonRiuscita;
    }
    return EsitoCancellazione::Cancellata;
}

} // namespace Anagrafiche
