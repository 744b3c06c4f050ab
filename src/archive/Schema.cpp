#include "Schema.h"

namespace Schema {

namespace {

Campo testo(const char* nome, int dimensione)
{
    return { QString::fromLatin1(nome), Tipo::Testo, dimensione };
}

QList<Campo> testi(std::initializer_list<const char*> nomi, int dimensione)
{
    QList<Campo> r;
    for (const char* n : nomi)
        r << testo(n, dimensione);
    return r;
}

Campo campo(const char* nome, Tipo tipo)
{
    return { QString::fromLatin1(nome), tipo, 0 };
}

Indice chiavePrimaria()
{
    return { QStringLiteral("PrimaryKey"), { QStringLiteral("Indice") }, true, true, {} };
}

QList<Tabella> costruisci()
{
    QList<Tabella> t;

    Tabella conf { QStringLiteral("Configurazioni"), { campo("Indice", Tipo::LongAuto) },
        { chiavePrimaria() }, QStringLiteral("Controllo Tabella Configurazioni Effettuato") };
    conf.campi << testi({ "RagSociale", "Indirizzo" }, 250) << testo("Cap", 50) << testo("Comune", 250)
               << testi({ "Provincia", "Piva", "CodiceFiscale" }, 50)
               << testi({ "Tel", "Fax", "Percorso", "PercorsoBackup", "prnDocs", "Password" }, 250)
               << campo("VisualizzaIntestazione", Tipo::Long) << campo("VisualizzaLogo", Tipo::Long)
               << campo("SalvataggioAutomatico", Tipo::Long)
               << testi({ "Banca", "Cab", "Abi", "Cin", "CC", "Iban", "Agenzia", "PercorsoRicerca" }, 250)
               << campo("Logo", Tipo::Binario) << testo("prnDocsPDF", 250);
    t << conf;

    t << Tabella { QStringLiteral("TabellaVersione"),
        { campo("Indice", Tipo::LongAuto), testo("Versione", 200) }, { chiavePrimaria() },
        QStringLiteral("Controllo Tabella Versione Effettuato") };

    t << Tabella { QStringLiteral("Stampa"),
        { campo("Indice", Tipo::LongAuto), testo("Descrizione", 200), campo("IndiceRif", Tipo::Long),
            campo("DescrizioneMemo", Tipo::Memo) },
        { { QStringLiteral("Primario"), { QStringLiteral("Indice") }, false, true, {} },
            { QStringLiteral("Secondario"), { QStringLiteral("IndiceRif") }, false, false, {} } },
        QStringLiteral("Controllo Tabella Stampa Effettuato") };

    Tabella stampa2 { QStringLiteral("Stampa2"), { campo("Indice", Tipo::LongAuto) },
        { { QStringLiteral("Primario"), { QStringLiteral("Indice") }, false, true, {} },
            { QStringLiteral("Secondrio"), { QStringLiteral("IndiceRif") }, false, false, {} } },
        QStringLiteral("Controllo Tabella Stampa2 Effettuato") };
    stampa2.campi << testi({ "Des1", "Des2", "Des3", "Des4", "Des5", "Des6" }, 250)
                  << campo("IndiceRif", Tipo::Long) << campo("Grassetto", Tipo::Long)
                  << testi({ "Des7", "Des8", "Des9" }, 250);
    t << stampa2;

    t << Tabella { QStringLiteral("Variabili"),
        { { QStringLiteral("NomeVar"), Tipo::Testo, 50, false }, testo("ValoreStringa", 200) },
        { { QStringLiteral("NomeVarInd"), { QStringLiteral("NomeVar") }, true, true, {}, true } },
        QStringLiteral("Controllo Variabili Effettuato") };

    Tabella anag { QStringLiteral("TabellaAnagrafiche"),
        { campo("Indice", Tipo::LongAuto), testo("Codice", 50), testo("RagSociale", 250) },
        { chiavePrimaria(),
            { QStringLiteral("SecondaryKey"), { QStringLiteral("Codice") }, false, true, {} } },
        QStringLiteral("Controllo Tabella Anagrafiche Effettuato") };
    anag.campi << testi({ "Nome", "Cognome", "Indirizzo", "Cap", "Comune", "Provincia", "Cellulare",
                            "Telefono", "Email", "Web" },
        250) << campo("Note", Tipo::Memo)
               << testi({ "TipoDocumento", "NroDocumento" }, 250) << campo("DataDocumento", Tipo::Data)
               << campo("DataNascita", Tipo::Data)
               << testi({ "LuogoNascita", "Cittadinanza", "Nazione", "StatoDiNascita", "LuogoDocumento",
                            "ProvinciaDiNascita" },
                      250)
               << campo("Maschio", Tipo::Booleano) << campo("Femmina", Tipo::Booleano)
               << testo("CodiceFiscale", 50) << campo("Attivo", Tipo::Booleano)
               << campo("NonAttivo", Tipo::Booleano);
    t << anag;

    t << Tabella { QStringLiteral("TabellaStati"),
        { campo("Indice", Tipo::LongAuto), testo("Stato", 50), testo("Descrizione", 250) },
        { chiavePrimaria(), { QStringLiteral("StatoKey"), { QStringLiteral("Stato") }, false, false, {} } },
        QStringLiteral("Controllo Tabella Stati Effettuato") };

    t << Tabella { QStringLiteral("TabellaTipi"),
        { campo("Indice", Tipo::LongAuto), testo("Tipo", 50), testo("Descrizione", 250) },
        { chiavePrimaria() }, QStringLiteral("Controllo Tabella Tipi Effettuato") };

    // MeseKey and DataKey serve the month and period queries of the diary.
    t << Tabella { QStringLiteral("TabellaMovimenti"),
        { campo("Indice", Tipo::LongAuto), campo("Data", Tipo::Data), testo("Giorno", 50), testo("Mese", 50),
            testo("Anno", 50), campo("IndiceAnagrafica", Tipo::Long), testo("CodiceAnagrafica", 50),
            testo("RagSociale", 250), testo("Stato", 50), testo("Descrizione", 250),
            campo("Note", Tipo::Memo), campo("StatoNum", Tipo::Double), testo("Tipo", 250) },
        { chiavePrimaria(), { QStringLiteral("GiornoKey"), { QStringLiteral("Giorno") }, false, false, {} },
            { QStringLiteral("MeseKey"),
                { QStringLiteral("IndiceAnagrafica"), QStringLiteral("Anno"), QStringLiteral("Mese"),
                    QStringLiteral("Tipo") },
                false, false, {} },
            { QStringLiteral("DataKey"), { QStringLiteral("Data") }, false, false, {} },
            // Covers the totals of a period: only the days that hold something.
            { QStringLiteral("TotaliKey"),
                { QStringLiteral("Data"), QStringLiteral("IndiceAnagrafica"), QStringLiteral("Tipo"),
                    QStringLiteral("Stato"), QStringLiteral("StatoNum") },
                false, false, CondizioneTotali } },
        QStringLiteral("Controllo Tabella Movimenti Effettuato") };
    return t;
}

} // namespace

const QList<Tabella>& Tabelle()
{
    static const QList<Tabella> tabelle = costruisci();
    return tabelle;
}

const Tabella* TrovaTabella(const QString& nome)
{
    for (const Tabella& t : Tabelle())
        if (t.nome.compare(nome, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

int Dimensione(const QString& tabella, const QString& campo)
{
    if (const Tabella* t = TrovaTabella(tabella))
        for (const Campo& c : t->campi)
            if (c.nome.compare(campo, Qt::CaseInsensitive) == 0)
                return c.tipo == Tipo::Testo ? c.dimensione : 0;
    return 0;
}

QString TipoMotore(Tipo tipo, Motore motore)
{
    const bool server = motore == Motore::PostgreSQL;
    switch (tipo) {
    case Tipo::Long:
    case Tipo::Booleano:
        return server ? QStringLiteral("bigint") : QStringLiteral("INTEGER");
    case Tipo::LongAuto:
        return server ? QStringLiteral("bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")
                      : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case Tipo::Testo:
    case Tipo::Memo:
    case Tipo::Data:
        return server ? QStringLiteral("text") : QStringLiteral("TEXT");
    case Tipo::Double:
        return server ? QStringLiteral("double precision") : QStringLiteral("REAL");
    case Tipo::Binario:
        return server ? QStringLiteral("bytea") : QStringLiteral("BLOB");
    }
    return QStringLiteral("TEXT");
}

QString NomeIndiceArchivio(const QString& tabella, const QString& indice)
{
    return tabella + QLatin1Char('_') + indice;
}

} // namespace Schema
