#include "ArchivioEsempio.h"

#include "archive/IndirizzoServer.h"

#include "archive/Archivio.h"
#include "archive/CreazioneDB.h"
#include "archive/Module1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlQuery>

namespace ArchivioEsempio {

namespace {

struct Stato
{
    const char* codice;
    const char* descrizione;
};

const Stato Stati[] = {
    { "F", "Ferie" },
    { "M", "Malattia" },
    { "P", "Permesso" },
    { "R", "Riposo" },
    { "I", "Infortunio" },
    { "L", "Lutto" },
    { "S", "Sciopero" },
    { "MT", "Maternità" },
    { "CI", "Cassa integrazione" },
    { "FO", "Formazione" },
    { "T", "Trasferta" },
    { "DS", "Donazione sangue" },
    { "AS", "Assemblea sindacale" },
    { "CM", "Congedo matrimoniale" },
    { "A", "Assenza ingiustificata" },
};

const char* const Tipi[][2] = {
    { "STRAORDINARIO", "Ore di lavoro straordinario" },
    { "NOTTURNO", "Ore di lavoro notturno" },
    { "FESTIVO", "Ore di lavoro festivo" },
};

const char* const Cognomi[] = {
    "Rossi",
    "Russo",
    "Ferrari",
    "Esposito",
    "Bianchi",
    "Romano",
    "Colombo",
    "Ricci",
    "Marino",
    "Greco",
    "Bruno",
    "Gallo",
    "Conti",
    "De Luca",
    "Mancini",
    "Costa",
    "Giordano",
    "Rizzo",
    "Lombardi",
    "Moretti",
    "Barbieri",
    "Fontana",
    "Santoro",
    "Mariani",
    "Rinaldi",
    "Caruso",
    "Ferrara",
    "Galli",
    "Martini",
    "Leone",
    "Longo",
    "Gentile",
    "Martinelli",
    "Vitale",
    "Lombardo",
    "Serra",
    "Coppola",
    "De Santis",
    "D'Angelo",
    "Marchetti",
    "Parisi",
    "Villa",
    "Conte",
    "Ferraro",
    "Ferri",
    "Fabbri",
    "Bianco",
    "Marini",
    "Grasso",
    "Valentini",
};

const char* const NomiMaschili[] = {
    "Marco",
    "Luca",
    "Giuseppe",
    "Francesco",
    "Alessandro",
    "Andrea",
    "Matteo",
    "Lorenzo",
    "Davide",
    "Stefano",
    "Paolo",
    "Giovanni",
    "Roberto",
    "Simone",
    "Antonio",
    "Fabio",
    "Riccardo",
    "Nicola",
    "Emanuele",
    "Federico",
};

const char* const NomiFemminili[] = {
    "Giulia",
    "Francesca",
    "Chiara",
    "Sara",
    "Martina",
    "Valentina",
    "Alessandra",
    "Elena",
    "Laura",
    "Anna",
    "Federica",
    "Silvia",
    "Paola",
    "Roberta",
    "Elisa",
    "Ilaria",
    "Monica",
    "Claudia",
    "Serena",
    "Beatrice",
};

const char* const Comuni[][3] = {
    { "Milano", "MI", "20121" },
    { "Monza", "MB", "20900" },
    { "Bergamo", "BG", "24121" },
    { "Brescia", "BS", "25121" },
    { "Como", "CO", "22100" },
    { "Lecco", "LC", "23900" },
    { "Varese", "VA", "21100" },
    { "Pavia", "PV", "27100" },
};

const char* const Vie[] = { "Via Roma", "Via Garibaldi", "Via Mazzini", "Corso Italia", "Via Dante",
    "Viale Lombardia", "Via Verdi", "Piazza della Repubblica", "Via Manzoni", "Via Cavour" };

const char* const Note[] = { "Visita medica", "Uscita anticipata alle 16", "Entrata posticipata",
    "Corso sicurezza", "Permesso per motivi familiari", "Recupero ore" };

QString t(const char* s)
{
    return QString::fromUtf8(s);
}

template <typename T, std::size_t N> const T& scegli(QRandomGenerator& g, const T (&elenco)[N])
{
    return elenco[g.bounded(int(N))];
}

} // namespace

Risultato Crea(
    const QString& percorso, const Opzioni& opzioni, const std::function<void(int, int)>& avanzamento)
{
    Risultato r;
    const bool server = IndirizzoServer::E(percorso);
    const QString assoluto = server ? percorso : QFileInfo(percorso).absoluteFilePath();
    if (Archivio::Esiste(assoluto)) {
        r.errore = server
            ? QStringLiteral("L'archivio %1 contiene già le tabelle di Cartavia: l'archivio di esempio "
                             "si crea solo in un database vuoto.")
                  .arg(IndirizzoServer::Leggi(assoluto)->Descrizione())
            : QStringLiteral("Il file «%1» esiste già: l'archivio di esempio si crea solo in un file nuovo.")
                  .arg(QDir::toNativeSeparators(assoluto));
        return r;
    }
    if (opzioni.dipendenti < 0 || opzioni.mesi < 0 || !opzioni.ultimoMese.isValid()) {
        r.errore = QStringLiteral("Numero di dipendenti o di mesi non valido.");
        return r;
    }
    CreazioneDB creazione;
    if (!creazione.CreaDB(assoluto)) {
        r.errore = creazione.DescrizioneUltimoErrore();
        if (r.errore.isEmpty())
            r.errore = QStringLiteral("Impossibile creare l'archivio.");
        return r;
    }

    QRandomGenerator g(opzioni.seme);
    const int numeroStati = std::clamp(opzioni.stati, 1, int(std::size(Stati)));
    const int numeroTipi = std::clamp(opzioni.tipiExtra, 0, int(std::size(Tipi)));
    const QDate oggi = QDate::currentDate();

    try {
        Archivio db(assoluto);
        InTransazione(db, [&] {
            db.esegui(QStringLiteral("INSERT INTO TabellaVersione (Versione) VALUES (?)"),
                { Module1::VersioneProgramma });
            db.esegui(
                QStringLiteral(
                    "INSERT INTO Configurazioni (RagSociale, Indirizzo, Cap, Comune, Provincia, Piva, "
                    "CodiceFiscale, "
                    "Tel, Fax, VisualizzaIntestazione, VisualizzaLogo, SalvataggioAutomatico, Banca, Iban) "
                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                { QStringLiteral("Officine Meccaniche Valsassina S.r.l."),
                    QStringLiteral("Via dell'Industria 14"), QStringLiteral("23900"), QStringLiteral("Lecco"),
                    QStringLiteral("LC"), QStringLiteral("02345678901"), QStringLiteral("02345678901"),
                    QStringLiteral("0341 123456"), QStringLiteral("0341 123457"), -1, 0, 0,
                    QStringLiteral("Banca Popolare del Lario"),
                    QStringLiteral("IT60X0542811101000000123456") });

            for (int i = 0; i < numeroStati; ++i)
                db.esegui(QStringLiteral("INSERT INTO TabellaStati (Stato, Descrizione) VALUES (?, ?)"),
                    { t(Stati[i].codice), t(Stati[i].descrizione) });
            QStringList tipi;
            for (int i = 0; i < numeroTipi; ++i) {
                db.esegui(QStringLiteral("INSERT INTO TabellaTipi (Tipo, Descrizione) VALUES (?, ?)"),
                    { t(Tipi[i][0]), t(Tipi[i][1]) });
                tipi << t(Tipi[i][0]);
            }

            struct Dipendente
            {
                qint64 indice;
                QString codice;
                QString nome;
                bool attivo;
            };
            QList<Dipendente> dipendenti;
            QSqlQuery nuovo = db.prepara(QStringLiteral(
                "INSERT INTO TabellaAnagrafiche (Codice, RagSociale, Nome, Cognome, Indirizzo, Cap, Comune, "
                "Provincia, "
                "Cellulare, Email, DataNascita, LuogoNascita, Cittadinanza, Nazione, Maschio, Femmina, "
                "CodiceFiscale, "
                "Attivo, NonAttivo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
            QSet<QString> nomiUsati;
            for (int i = 0; i < opzioni.dipendenti; ++i) {
                const bool maschio = g.bounded(2) == 0;
                QString cognome, nome, ragione;
                // Names are unique, as the card requires.
                for (int tentativo = 0;; ++tentativo) {
                    cognome = t(scegli(g, Cognomi));
                    nome = t(maschio ? scegli(g, NomiMaschili) : scegli(g, NomiFemminili));
                    ragione = cognome + QLatin1Char(' ') + nome;
                    if (tentativo > 20)
                        ragione += QStringLiteral(" (%1)").arg(i + 1);
                    if (!nomiUsati.contains(ragione))
                        break;
                }
                nomiUsati.insert(ragione);
                const auto& comune = scegli(g, Comuni);
                const bool attivo = g.bounded(100) < 94;
                const QString codice = QStringLiteral("D%1").arg(i + 1, 4, 10, QLatin1Char('0'));
                const QDate nascita(1960 + g.bounded(40), 1 + g.bounded(12), 1 + g.bounded(28));
                QString posta = (nome + QLatin1Char('.') + cognome).toLower();
                posta.remove(QLatin1Char(' '));
                posta.remove(QLatin1Char('\''));
                db.eseguiPreparata(nuovo,
                    { codice, ragione, nome, cognome,
                        QStringLiteral("%1 %2").arg(t(scegli(g, Vie))).arg(1 + g.bounded(120)), t(comune[2]),
                        t(comune[0]), t(comune[1]),
                        QStringLiteral("3%1 %2").arg(20 + g.bounded(80)).arg(1000000 + g.bounded(8999999)),
                        posta + QStringLiteral("@esempio.it"), nascita.toString(Qt::ISODate), t(comune[0]),
                        QStringLiteral("Italiana"), QStringLiteral("Italia"), maschio ? 1 : 0,
                        maschio ? 0 : 1, QString(), attivo ? 1 : 0, attivo ? 0 : 1 });
                dipendenti.append({ nuovo.lastInsertId().toLongLong(), codice, ragione, attivo });
            }

            QSqlQuery movimento = db.prepara(QStringLiteral(
                "INSERT INTO TabellaMovimenti (Data, Giorno, Mese, Anno, IndiceAnagrafica, CodiceAnagrafica, "
                "RagSociale, "
                "Stato, Descrizione, Note, StatoNum, Tipo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
            const QDate ultimo(opzioni.ultimoMese.year(), opzioni.ultimoMese.month(), 1);
            for (int m = 0; m < opzioni.mesi; ++m) {
                const QDate primo = ultimo.addMonths(m - opzioni.mesi + 1);
                const QString nomeMese = Module1::NomeMese(primo.month());
                const QString anno = QString::number(primo.year());
                for (const Dipendente& d : dipendenti) {
                    QStringList righe { QStringLiteral("ORDINARIO") };
                    righe += tipi;
                    for (const QString& tipo : righe) {
                        const bool ordinario = tipo == QLatin1String("ORDINARIO");
                        for (int giorno = 1; giorno <= primo.daysInMonth(); ++giorno) {
                            const QDate data(primo.year(), primo.month(), giorno);
                            const bool festivo = data.dayOfWeek() >= 6;
                            QString stato;
                            QString descrizione;
                            QVariant nota;
                            double ore = 0;
                            const int caso = int(g.bounded(1000));
                            if (data > oggi || !d.attivo) {
                                // Days still to come and people who left hold empty cells.
                            } else if (ordinario && !festivo) {
                                if (caso < 50) {
                                    const Stato& s = Stati[caso < 30 ? 0 : (caso < 42 ? 1 : 2) % numeroStati];
                                    stato = t(s.codice);
                                    descrizione = t(s.descrizione);
                                } else if (caso < 56 && numeroStati > 9) {
                                    const Stato& s = Stati[3 + caso % 7];
                                    stato = t(s.codice);
                                    descrizione = t(s.descrizione);
                                } else if (caso < 120) {
                                    ore = caso % 2 ? 7.5 : 6;
                                } else {
                                    ore = 8;
                                }
                            } else if (tipo == QLatin1String("STRAORDINARIO") && !festivo && caso < 110) {
                                ore = 1 + caso % 3 * 0.5;
                            } else if (tipo == QLatin1String("NOTTURNO") && !festivo && caso < 30) {
                                ore = 8;
                            } else if (tipo == QLatin1String("FESTIVO") && festivo && caso < 60) {
                                ore = 4;
                            }
                            if (!stato.isEmpty() || ore != 0)
                                if (g.bounded(1000) < 12)
                                    nota = t(scegli(g, Note));
                            if (ore != 0)
                                stato = Module1::FormattaNumero(ore);
                            db.eseguiPreparata(movimento,
                                { data.toString(Qt::ISODate), QString::number(giorno), nomeMese, anno,
                                    d.indice, d.codice, ordinario ? d.nome : QString(), stato,
                                    descrizione.isEmpty() ? QVariant() : QVariant(descrizione), nota, ore,
                                    tipo });
                            ++r.registrazioni;
                        }
                    }
                }
                if (avanzamento)
                    avanzamento(m + 1, opzioni.mesi);
            }
        });
    } catch (const ErroreArchivio& e) {
        if (!server)
            QFile::remove(assoluto);
        r.errore = e.descrizione();
        r.registrazioni = 0;
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace ArchivioEsempio
