#include "EsportazioneCsv.h"

#include "archive/Module1.h"

#include <QIODevice>

namespace Esportazione::Csv {

QString Testo(const QString& testo)
{
    QString t = testo;
    // A spreadsheet takes a field that begins like this for a formula (and runs it): the
    // apostrophe makes it text. Only text fields pass here: hours and totals are written by
    // Numero, digits and a comma with at most a leading minus, which a spreadsheet reads as the
    // number it is (a negative hours value can be typed in an ORDINARIO row), never as a formula.
    if (!t.isEmpty() && QStringView(u"=+-@\t\r").contains(t.front()))
        t.prepend(QLatin1Char('\''));
    if (t.contains(QLatin1Char(';')) || t.contains(QLatin1Char('"')) || t.contains(QLatin1Char('\n'))
        || t.contains(QLatin1Char('\r'))) {
        t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        t = QLatin1Char('"') + t + QLatin1Char('"');
    }
    return t;
}

QString Numero(double valore)
{
    return Module1::FormattaNumero(valore);
}

QString Riga(const QStringList& campi)
{
    return campi.join(Separatore) + QStringLiteral("\r\n");
}

namespace {

QStringList testi(const QStringList& campi)
{
    QStringList t;
    t.reserve(campi.size());
    for (const QString& c : campi)
        t << Testo(c);
    return t;
}

bool scrivi(QIODevice& file, const QString& testo)
{
    return ScriviTutto(file, testo.toUtf8());
}

} // namespace

Risultato ScriviMese(QIODevice& file, const Lettura& dati, const Passo& passo)
{
    const int colonneIdentita = int(ColonneIdentita().size());
    QStringList iniziali(colonneIdentita);
    QStringList intestazione = testi(ColonneIdentita());
    for (const Giorno& g : dati.giorni) {
        iniziali << Testo(g.iniziali);
        intestazione << Testo(g.numero);
    }
    iniziali << QString();
    intestazione << Testo(ColonnaTotale);
    if (!ScriviTutto(file, Bom)
        || !scrivi(file,
            Riga({ Testo(Titolo(dati, QStringLiteral("Presenze"))) }) + Riga(iniziali) + Riga(intestazione)))
        return Risultato::Errore;

    const qsizetype giorni = dati.giorni.size();
    for (int p = 0; p < dati.persone.size(); ++p) {
        const QList<Cella> celle = dati.Blocco(p);
        QString blocco;
        for (qsizetype r = 0; r < dati.righe.size(); ++r) {
            QStringList campi = testi(Identita(dati.persone.at(p), dati.righe.at(r)));
            double totale = 0;
            for (qsizetype g = 0; g < giorni; ++g) {
                const Cella& c = celle.at(r * giorni + g);
                if (c.genere == Cella::Genere::Ore) {
                    campi << Numero(c.ore);
                    totale += c.ore;
                } else {
                    campi << Testo(c.testo);
                }
            }
            campi << Numero(totale);
            blocco += Riga(campi);
        }
        if (!scrivi(file, blocco))
            return Risultato::Errore;
        if (!passo(p + 1))
            return Risultato::Annullato;
    }
    return Risultato::Fatto;
}

Risultato ScriviRighe(QIODevice& file, const Lettura& dati, const Passo& passo)
{
    if (!ScriviTutto(file, Bom) || !scrivi(file, IntestazioneRighe + QStringLiteral("\r\n")))
        return Risultato::Errore;
    const qsizetype giorni = dati.giorni.size();
    for (int p = 0; p < dati.persone.size(); ++p) {
        const Persona& persona = dati.persone.at(p);
        const QString campiPersona = QStringList { Testo(persona.codice), Testo(persona.codiceFiscale),
            Testo(persona.cognome), Testo(persona.nome) }
                                         .join(Separatore);
        const QList<Cella> celle = dati.Blocco(p);
        QString blocco;
        for (qsizetype g = 0; g < giorni; ++g) {
            const QString data = Module1::FormattaData(dati.giorni.at(g).data);
            for (qsizetype r = 0; r < dati.righe.size(); ++r) {
                const Cella& c = celle.at(r * giorni + g);
                if (c.genere == Cella::Genere::Vuota)
                    continue;
                const bool ore = c.genere == Cella::Genere::Ore;
                blocco += Riga({ data, campiPersona, Testo(dati.righe.at(r)), ore ? Numero(c.ore) : QString(),
                    ore ? QString() : Testo(c.testo), Testo(c.descrizione), Testo(c.nota) });
            }
        }
        if (!scrivi(file, blocco))
            return Risultato::Errore;
        if (!passo(p + 1))
            return Risultato::Annullato;
    }
    return Risultato::Fatto;
}

} // namespace Esportazione::Csv
