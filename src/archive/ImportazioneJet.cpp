#include "ImportazioneJet.h"

#include "archive/Archivio.h"
#include "archive/ConversioniJet.h"
#include "archive/CreazioneDB.h"
#include "archive/Module1.h"
#include "archive/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

// glib first: the library's header opens an extern "C" block that glib's C++ parts must not be in.
#include <glib.h>
#include <mdbtools.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

namespace ImportazioneJet {

namespace {

// In copy order: the employees before the rows that point at them.
const QStringList TabelleCopiate { QStringLiteral("Configurazioni"), QStringLiteral("Variabili"),
    QStringLiteral("TabellaAnagrafiche"), QStringLiteral("TabellaStati"), QStringLiteral("TabellaTipi"),
    QStringLiteral("TabellaMovimenti") };
// The types came later than the rest: an archive without them is an older one, not another program's.
const QString TabellaFacoltativa = QStringLiteral("TabellaTipi");

[[noreturn]] void nonPrecedente(const QString& sorgente)
{
    throw ErroreArchivio(CodiciErrore::NonUnArchivio,
        QStringLiteral("Il file scelto non è un archivio della versione precedente:\n«%1».")
            .arg(QDir::toNativeSeparators(sorgente)));
}

[[noreturn]] void danneggiato(const QString& sorgente, const QString& tabella)
{
    throw ErroreArchivio(CodiciErrore::NonUnArchivio,
        QStringLiteral("L'archivio «%1» è danneggiato: una pagina della tabella %2 non si legge. "
                       "Nessun archivio è stato creato.")
            .arg(QDir::toNativeSeparators(sorgente), tabella));
}

quint32 le32(const unsigned char* p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

void rc4(const unsigned char* chiave, int lunghezzaChiave, unsigned char* dati, int n)
{
    unsigned char s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + chiave[i % lunghezzaChiave]) & 255;
        std::swap(s[i], s[j]);
    }
    for (int k = 0, i = 0, j = 0; k < n; ++k) {
        i = (i + 1) & 255;
        j = (j + s[i]) & 255;
        std::swap(s[i], s[j]);
        dati[k] ^= s[(s[i] + s[j]) & 255];
    }
}

struct Intestazione
{
    bool jet4 = false;
    int codePagina = 1252;
};

// The first page says what the file is. Its settings part is scrambled with a key every Jet
// file shares; under it lie the database key (not zero: the pages are encrypted) and the
// password (Jet 4 masks it further with the creation date).
Intestazione leggiIntestazione(const QString& sorgente)
{
    QFile f(sorgente);
    if (!f.exists())
        throw ErroreArchivio(CodiciErrore::FileNonTrovato,
            QStringLiteral("Impossibile trovare il file «%1».").arg(QDir::toNativeSeparators(sorgente)));
    if (!f.open(QIODevice::ReadOnly))
        throw ErroreArchivio(CodiciErrore::FileInUso,
            QStringLiteral("Impossibile leggere il file «%1»: %2.")
                .arg(QDir::toNativeSeparators(sorgente), f.errorString()));
    constexpr int Inizio = 0x18;
    constexpr int Lunghezza = 128;
    const QByteArray pagina = f.read(Inizio + Lunghezza);
    if (pagina.size() < Inizio + Lunghezza
        || !pagina.mid(4, 16).startsWith(QByteArrayView("Standard Jet DB\0", 16)))
        nonPrecedente(sorgente);
    Intestazione r;
    const int versione = pagina.at(0x14);
    if (versione != 0 && versione != 1) // 2 and up: the engine of later versions, not ours
        nonPrecedente(sorgente);
    r.jet4 = versione == 1;
    const qint64 dimensionePagina = r.jet4 ? 4096 : 2048;
    if (f.size() < 3 * dimensionePagina || f.size() % dimensionePagina != 0)
        danneggiato(sorgente, QStringLiteral("MSysObjects"));

    unsigned char impostazioni[Lunghezza];
    std::memcpy(impostazioni, pagina.constData() + Inizio, Lunghezza);
    static const unsigned char chiave[] = { 0xC7, 0xDA, 0x39, 0x6B };
    rc4(chiave, 4, impostazioni, r.jet4 ? 128 : 126);
    const auto a = [&](int posizione) { return impostazioni + (posizione - Inizio); };
    if (le32(a(0x3E)) != 0)
        throw ErroreArchivio(CodiciErrore::NonUnArchivio,
            QStringLiteral("L'archivio «%1» è cifrato. Toglierne la cifratura con il programma che lo ha "
                           "creato, poi ripetere l'importazione.")
                .arg(QDir::toNativeSeparators(sorgente)));
    bool password = false;
    if (r.jet4) {
        double creazione = 0;
        std::memcpy(&creazione, a(0x72), sizeof creazione);
        const quint32 maschera
            = std::isfinite(creazione) && std::fabs(creazione) < 2.0e9 ? quint32(qint32(creazione)) : 0;
        unsigned char m[4];
        for (int i = 0; i < 4; ++i)
            m[i] = static_cast<unsigned char>(maschera >> (8 * i));
        for (int i = 0; i < 40; ++i)
            password = password || (a(0x42)[i] ^ m[i % 4]) != 0;
    } else {
        for (int i = 0; i < 20; ++i)
            password = password || a(0x42)[i] != 0;
    }
    if (password)
        throw ErroreArchivio(CodiciErrore::NonUnArchivio,
            QStringLiteral("L'archivio «%1» è protetto da una password. Toglierla con il programma che lo "
                           "ha creato, poi ripetere l'importazione.")
                .arg(QDir::toNativeSeparators(sorgente)));
    const int cp = a(0x3C)[0] | (a(0x3C)[1] << 8);
    if (!r.jet4 && !ConversioniJet::CodePaginaNota(cp))
        throw ErroreArchivio(CodiciErrore::NonUnArchivio,
            QStringLiteral(
                "L'archivio «%1» usa la codifica dei caratteri %2, che questo programma non legge.")
                .arg(QDir::toNativeSeparators(sorgente))
                .arg(cp));
    if (cp != 0)
        r.codePagina = cp;
    return r;
}

struct ChiudiMdb
{
    void operator()(MdbHandle* m) const { mdb_close(m); }
};
struct LiberaTabella
{
    void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};
using Mdb = std::unique_ptr<MdbHandle, ChiudiMdb>;
using TabellaMdb = std::unique_ptr<MdbTableDef, LiberaTabella>;

MdbColumn* colonnaMdb(MdbTableDef* t, unsigned i)
{
    return static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i));
}

// A memo or OLE value: in the row itself, in one row of a long-value page, or in a chain of
// them. The length it claims is checked against what the pages hold, so a broken chain is
// damage, never a shorter value.
std::optional<QByteArray> valoreLungo(MdbHandle* mdb, const unsigned char* intestazione, int dimensione)
{
    constexpr int Intestazione = 12;
    if (dimensione < Intestazione)
        return std::nullopt;
    const quint32 parola = le32(intestazione);
    quint32 riga = le32(intestazione + 4);
    const auto leggiRiga = [mdb](quint32 pgRiga, const unsigned char*& dati, size_t& lunghezza) {
        void* buffer = nullptr;
        int inizio = 0;
        lunghezza = 0;
        if (mdb_find_pg_row(mdb, int(pgRiga), &buffer, &inizio, &lunghezza) != 0 || !buffer || inizio < 0
            || size_t(inizio) + lunghezza > size_t(mdb->fmt->pg_size))
            return false;
        dati = static_cast<const unsigned char*>(buffer) + inizio;
        return true;
    };
    if (parola & 0x80000000u) {
        const quint32 n = parola & 0x3FFFFFFFu;
        if (n > quint32(dimensione - Intestazione))
            return std::nullopt;
        return QByteArray(reinterpret_cast<const char*>(intestazione + Intestazione), qsizetype(n));
    }
    if (parola & 0x40000000u) {
        const quint32 n = parola & 0x3FFFFFFFu;
        const unsigned char* dati = nullptr;
        size_t lunghezza = 0;
        if (!leggiRiga(riga, dati, lunghezza) || lunghezza < n)
            return std::nullopt;
        return QByteArray(reinterpret_cast<const char*>(dati), qsizetype(n));
    }
    if (parola & 0xFF000000u)
        return std::nullopt;
    QByteArray r;
    const quint32 n = parola;
    // Each page of the chain holds at least one byte, and no more pages than the file has.
    for (quint32 passi = 0; quint32(r.size()) < n; ++passi) {
        const unsigned char* dati = nullptr;
        size_t lunghezza = 0;
        if (riga == 0 || passi > n || !leggiRiga(riga, dati, lunghezza) || lunghezza <= 4)
            return std::nullopt;
        const size_t parte = std::min<size_t>(lunghezza - 4, n - quint32(r.size()));
        r.append(reinterpret_cast<const char*>(dati + 4), qsizetype(parte));
        riga = le32(dati);
    }
    return r;
}

// One field of the old table and where it goes.
struct Colonna
{
    unsigned jet = 0;
    int tipoJet = 0;
    int destinazione = 0;
    Schema::Tipo tipo = Schema::Tipo::Testo;
    QString nome;
    qint64 nonValidi = 0;
};

bool tipoLetto(int tipoJet)
{
    switch (tipoJet) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_DATETIME:
    case MDB_BINARY:
    case MDB_TEXT:
    case MDB_OLE:
    case MDB_MEMO:
        return true;
    default:
        return false;
    }
}

int dimensioneFissa(int tipoJet)
{
    switch (tipoJet) {
    case MDB_BYTE:
        return 1;
    case MDB_INT:
        return 2;
    case MDB_LONGINT:
    case MDB_FLOAT:
        return 4;
    case MDB_MONEY:
    case MDB_DOUBLE:
    case MDB_DATETIME:
        return 8;
    default:
        return 0;
    }
}

class Importazione
{
public:
    Importazione(const QString& sorgente, const Avanzamento& avanzamento)
        : m_sorgente(sorgente)
        , m_avanzamento(avanzamento)
    { }

    Rapporto esegui(const QString& destinazione);

private:
    void copia(Archivio& db, MdbCatalogEntry* voce, const Schema::Tabella& schema, Tabella& conteggio);
    bool scriviValore(ScritturaRapida& scrittura, Colonna& c, const MdbField& campo);
    void avanza(const QString& riga);
    void avvisaPercorsiWindows(Archivio& db);

    QString m_sorgente;
    const Avanzamento& m_avanzamento;
    Intestazione m_intestazione;
    MdbHandle* m_mdb = nullptr;
    Rapporto m_rapporto;
    qint64 m_righeTotali = 0;
    qint64 m_righeFatte = 0;
    QString m_rigaCorrente;
};

void Importazione::avvisaPercorsiWindows(Archivio& db)
{
#ifndef Q_OS_WIN
    // The folders the old settings name were the old computer's; kept, since the program may run
    // on Windows again, but worth a look in the settings.
    static const QRegularExpression windows(QStringLiteral("^([A-Za-z]:[\\\\/]|\\\\\\\\)"));
    const QStringList cartelle { QStringLiteral("Percorso"), QStringLiteral("PercorsoBackup"),
        QStringLiteral("prnDocs"), QStringLiteral("prnDocsPDF"), QStringLiteral("PercorsoRicerca") };
    QStringList campi;
    db.scorri(QStringLiteral("SELECT %1 FROM Configurazioni").arg(cartelle.join(QStringLiteral(", "))), {},
        [&](const RigaRapida& r) {
            for (int c = 0; c < cartelle.size(); ++c)
                if (windows.match(r.testo(c)).hasMatch() && !campi.contains(cartelle.at(c)))
                    campi << cartelle.at(c);
        });
    if (!campi.isEmpty())
        m_rapporto.avvisi << QStringLiteral(
            "Configurazioni: %1 indicano cartelle di Windows del vecchio computer; "
            "controllarle nelle impostazioni.")
                                 .arg(campi.join(QStringLiteral(", ")));
#else
    Q_UNUSED(db);
#endif
}

void Importazione::avanza(const QString& riga)
{
    if (!riga.isEmpty())
        m_rigaCorrente = riga;
    const int percento = m_righeTotali > 0 ? int(m_righeFatte * 100 / m_righeTotali) : 0;
    if (m_avanzamento && !m_avanzamento(m_rigaCorrente, std::min(percento, 100)))
        throw ErroreArchivio(CodiciErrore::Annullato, QStringLiteral("Importazione annullata."));
}

bool Importazione::scriviValore(ScritturaRapida& s, Colonna& c, const MdbField& campo)
{
    const int d = c.destinazione;
    if (c.tipoJet == MDB_BOOL) {
        s.intero(d, campo.is_null ? 0 : 1);
        return true;
    }
    if (campo.is_null)
        return true;
    const auto* v = static_cast<const unsigned char*>(campo.value);
    const int n = campo.siz;
    const int fissa = dimensioneFissa(c.tipoJet);
    if (fissa && n != fissa)
        return false;
    const auto numero = [&](double x) {
        switch (c.tipo) {
        case Schema::Tipo::Booleano:
            s.intero(d, x != 0 ? 1 : 0);
            break;
        case Schema::Tipo::Long:
        case Schema::Tipo::LongAuto:
            if (x == std::trunc(x) && std::fabs(x) < 9.0e15)
                s.intero(d, qint64(x));
            else
                s.reale(d, x);
            break;
        case Schema::Tipo::Testo:
        case Schema::Tipo::Memo:
            s.testo(d, QString::number(x, 'g', 17));
            break;
        default:
            s.reale(d, x);
        }
    };
    switch (c.tipoJet) {
    case MDB_BYTE:
        numero(v[0]);
        return true;
    case MDB_INT: {
        qint16 x;
        std::memcpy(&x, v, 2);
        numero(x);
        return true;
    }
    case MDB_LONGINT:
        numero(qint32(le32(v)));
        return true;
    case MDB_MONEY: {
        qint64 x;
        std::memcpy(&x, v, 8);
        numero(double(x) / 10000.0);
        return true;
    }
    case MDB_FLOAT: {
        float x;
        std::memcpy(&x, v, 4);
        numero(x);
        return true;
    }
    case MDB_DOUBLE:
    case MDB_DATETIME: {
        double x;
        std::memcpy(&x, v, 8);
        if (c.tipoJet == MDB_DOUBLE && c.tipo != Schema::Tipo::Data) {
            numero(x);
            return true;
        }
        const QString data = ConversioniJet::Data(x);
        if (data.isNull())
            ++c.nonValidi;
        else
            s.testo(d, data);
        return true;
    }
    case MDB_TEXT:
        s.testo(
            d, ConversioniJet::Testo(QByteArrayView(v, n), m_intestazione.jet4, m_intestazione.codePagina));
        return true;
    case MDB_BINARY:
        s.binario(d, QByteArrayView(v, n));
        return true;
    case MDB_MEMO:
    case MDB_OLE: {
        const std::optional<QByteArray> valore = valoreLungo(m_mdb, v, n);
        if (!valore)
            return false;
        if (c.tipoJet == MDB_OLE)
            s.binario(d, *valore);
        else
            s.testo(d, ConversioniJet::Testo(*valore, m_intestazione.jet4, m_intestazione.codePagina));
        return true;
    }
    default:
        return true;
    }
}

void Importazione::copia(
    Archivio& db, MdbCatalogEntry* voce, const Schema::Tabella& schema, Tabella& conteggio)
{
    TabellaMdb t(mdb_read_table(voce));
    if (!t || !mdb_read_columns(t.get()) || t->num_cols == 0 || t->num_cols > MDB_MAX_COLS)
        danneggiato(m_sorgente, schema.nome);

    QList<Colonna> colonne;
    QStringList nomi;
    for (unsigned i = 0; i < t->num_cols; ++i) {
        const MdbColumn* mc = colonnaMdb(t.get(), i);
        const QString nome = QString::fromUtf8(mc->name);
        const auto campo = std::find_if(schema.campi.cbegin(), schema.campi.cend(),
            [&](const Schema::Campo& c) { return c.nome.compare(nome, Qt::CaseInsensitive) == 0; });
        if (campo == schema.campi.cend()) {
            m_rapporto.campiSaltati << schema.nome + QLatin1Char('.') + nome;
            continue;
        }
        if (!tipoLetto(mc->col_type)) {
            m_rapporto.avvisi << QStringLiteral("%1.%2: tipo di dato non gestito, campo non importato.")
                                     .arg(schema.nome, campo->nome);
            continue;
        }
        if (nomi.contains(campo->nome))
            continue;
        colonne.append({ i, mc->col_type, int(nomi.size()), campo->tipo, campo->nome, 0 });
        nomi << campo->nome;
    }
    for (const Schema::Campo& c : schema.campi)
        if (!nomi.contains(c.nome))
            m_rapporto.campiAggiunti << schema.nome + QLatin1Char('.') + c.nome;
    if (nomi.isEmpty())
        return;

    QStringList segnaposti;
    segnaposti.fill(QStringLiteral("?"), nomi.size());
    ScritturaRapida scrittura(db,
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(schema.nome, nomi.join(QStringLiteral(", ")), segnaposti.join(QStringLiteral(", "))));

    avanza(QStringLiteral("%1: lettura di %2 righe...")
               .arg(schema.nome, QLocale(QLocale::Italian).toString(qulonglong(t->num_rows))));
    MdbHandle* mdb = m_mdb;
    const auto dimensionePagina = size_t(mdb->fmt->pg_size);
    std::unique_ptr<MdbField[]> campi(new MdbField[MDB_MAX_COLS]);
    mdb_rewind_table(t.get());
    while (mdb_fetch_row(t.get())) {
        int inizio = 0;
        size_t lunghezza = 0;
        if (t->cur_row == 0 || mdb_find_row(mdb, int(t->cur_row - 1), &inizio, &lunghezza) != 0)
            danneggiato(m_sorgente, schema.nome);
        inizio &= 0x1FFF; // the row's flags (deleted, moved) are the library's to act on
        if (size_t(inizio) + lunghezza > dimensionePagina
            || mdb_crack_row(t.get(), inizio, lunghezza, campi.get()) != int(t->num_cols))
            danneggiato(m_sorgente, schema.nome);
        for (Colonna& c : colonne) {
            const MdbField* campo = nullptr;
            for (unsigned k = 0; k < t->num_cols && !campo; ++k)
                if (campi[k].colnum == int(c.jet))
                    campo = &campi[k];
            if (!campo)
                danneggiato(m_sorgente, schema.nome);
            const auto* v = static_cast<const unsigned char*>(campo->value);
            const bool dentro = campo->is_null || c.tipoJet == MDB_BOOL
                || (campo->siz >= 0 && v >= mdb->pg_buf && v + campo->siz <= mdb->pg_buf + dimensionePagina);
            if (!dentro || !scriviValore(scrittura, c, *campo))
                danneggiato(m_sorgente, schema.nome);
        }
        scrittura.esegui();
        ++conteggio.lette;
        ++conteggio.scritte;
        if (++m_righeFatte % 2048 == 0)
            avanza({});
    }
    scrittura.completa();
    // The table says how many rows it has; a page the library could not take as one of the
    // table's is skipped by it without a word, and only the count tells.
    if (conteggio.lette != qint64(t->num_rows))
        danneggiato(m_sorgente, schema.nome);
    for (const Colonna& c : colonne)
        if (c.nonValidi)
            m_rapporto.avvisi << QStringLiteral("%1.%2: %3 date fuori dagli anni 100-9999, lasciate vuote.")
                                     .arg(schema.nome, c.nome)
                                     .arg(c.nonValidi);
    avanza(QStringLiteral("%1: %2 righe importate.")
               .arg(schema.nome, QLocale(QLocale::Italian).toString(conteggio.scritte)));
}

Rapporto Importazione::esegui(const QString& destinazione)
{
    m_intestazione = leggiIntestazione(m_sorgente);
    m_rapporto.formato = m_intestazione.jet4 ? QStringLiteral("Jet 4") : QStringLiteral("Jet 3");

    const QFileInfo info(destinazione);
    if (info.exists() || info.isSymLink())
        throw ErroreArchivio(CodiciErrore::Generico,
            QStringLiteral("Il file «%1» esiste già: scegliere un altro nome per il nuovo archivio.")
                .arg(QDir::toNativeSeparators(destinazione)));
    if (!info.absoluteDir().exists())
        throw ErroreArchivio(CodiciErrore::PercorsoNonValido,
            QStringLiteral("La cartella «%1» non esiste.")
                .arg(QDir::toNativeSeparators(info.absolutePath())));

    const Mdb mdb(mdb_open(QFile::encodeName(m_sorgente).constData(), MDB_NOFLAGS));
    if (!mdb)
        throw ErroreArchivio(CodiciErrore::FileInUso,
            QStringLiteral("Impossibile leggere il file «%1».").arg(QDir::toNativeSeparators(m_sorgente)));
    m_mdb = mdb.get();
    if (!mdb_read_catalog(m_mdb, MDB_TABLE))
        danneggiato(m_sorgente, QStringLiteral("MSysObjects"));

    QList<MdbCatalogEntry*> voci;
    QStringList mancanti;
    for (const QString& nome : TabelleCopiate) {
        MdbCatalogEntry* trovata = nullptr;
        for (unsigned i = 0; i < m_mdb->num_catalog && !trovata; ++i) {
            auto* v = static_cast<MdbCatalogEntry*>(g_ptr_array_index(m_mdb->catalog, i));
            if (v->object_type == MDB_TABLE && mdb_is_user_table(v)
                && nome.compare(QString::fromUtf8(v->object_name), Qt::CaseInsensitive) == 0)
                trovata = v;
        }
        if (!trovata && nome != TabellaFacoltativa)
            mancanti << nome;
        else if (!trovata)
            m_rapporto.tabelleAssenti << nome;
        voci << trovata;
    }
    if (!mancanti.isEmpty())
        throw ErroreArchivio(CodiciErrore::TabellaNonTrovata,
            QStringLiteral("Il file «%1» non contiene le tabelle di Cartavia: mancano %2.")
                .arg(QDir::toNativeSeparators(m_sorgente), mancanti.join(QStringLiteral(", "))));
    // The library reads a table's fields from where reading its definition left off, so each table
    // is read again where it is copied; here only its row count is wanted.
    for (MdbCatalogEntry* v : voci)
        if (v) {
            TabellaMdb t(mdb_read_table(v));
            if (!t)
                danneggiato(m_sorgente, QString::fromUtf8(v->object_name));
            m_righeTotali += t->num_rows;
        }

    // The rows go into a file of their own beside the new archive; it takes the archive's name
    // only when everything is in, so a failure or a stop leaves nothing that looks like one.
    const QString parziale = info.absoluteFilePath() + QStringLiteral(".importazione");
    const auto rimuoviParziale = [&parziale] {
        QFile::remove(parziale);
        QFile::remove(parziale + QStringLiteral("-journal"));
    };
    rimuoviParziale();
    try {
        avanza(QStringLiteral("Creazione del nuovo archivio..."));
        CreazioneDB creazione;
        if (!creazione.CreaDB(parziale))
            throw ErroreArchivio(creazione.UltimoErrore() ? creazione.UltimoErrore() : CodiciErrore::Generico,
                QStringLiteral("Impossibile creare l'archivio «%1».\n%2")
                    .arg(QDir::toNativeSeparators(destinazione), creazione.DescrizioneUltimoErrore()));
        // The movements' lookup indexes are built once over all the rows, which is quicker than
        // keeping them up to date row by row; the creation command puts them back after the copy.
        // Until then the file is a scratch file, written without waiting for the disk.
        const Schema::Tabella& movimenti = *Schema::TrovaTabella(QStringLiteral("TabellaMovimenti"));
        {
            Archivio db(parziale);
            db.esegui(QStringLiteral("PRAGMA synchronous = OFF"));
            db.esegui(QStringLiteral("PRAGMA journal_mode = MEMORY"));
            InTransazione(db, [&] {
                for (const Schema::Indice& indice : movimenti.indici)
                    if (!indice.unico)
                        db.esegui(QStringLiteral("DROP INDEX IF EXISTS \"%1\"")
                                      .arg(Schema::NomeIndiceArchivio(movimenti.nome, indice.nome)));
                for (int i = 0; i < TabelleCopiate.size(); ++i) {
                    Tabella conteggio { TabelleCopiate.at(i), 0, 0 };
                    if (voci.at(i))
                        copia(db, voci.at(i), *Schema::TrovaTabella(TabelleCopiate.at(i)), conteggio);
                    m_rapporto.tabelle << conteggio;
                }
                CreazioneDB::Allinea(db);
                avvisaPercorsiWindows(db);
                db.esegui(QStringLiteral("INSERT INTO TabellaVersione (Versione) VALUES (?)"),
                    { Module1::VersioneProgramma });
            });
        }
        avanza(QStringLiteral("Indici dei movimenti..."));
        // Its commit waits for the disk: what is renamed below is on it.
        creazione.CreaTabellaMovimenti();
        {
            Archivio db(parziale);
            const QStringList indici = db.indici(movimenti.nome);
            for (const Schema::Indice& indice : movimenti.indici)
                if (!indici.contains(
                        Schema::NomeIndiceArchivio(movimenti.nome, indice.nome), Qt::CaseInsensitive))
                    throw ErroreArchivio(
                        creazione.UltimoErrore() ? creazione.UltimoErrore() : CodiciErrore::Generico,
                        QStringLiteral("Impossibile creare gli indici dell'archivio «%1».\n%2")
                            .arg(
                                QDir::toNativeSeparators(destinazione), creazione.DescrizioneUltimoErrore()));
        }
        avanza(QStringLiteral("Conclusione..."));
        if (!QFile::rename(parziale, destinazione))
            throw ErroreArchivio(CodiciErrore::Generico,
                QStringLiteral("Impossibile dare al nuovo archivio il nome «%1».")
                    .arg(QDir::toNativeSeparators(destinazione)));
    } catch (...) {
        rimuoviParziale();
        throw;
    }
    return m_rapporto;
}

} // namespace

QStringList Rapporto::Righe() const
{
    const QLocale it(QLocale::Italian);
    QStringList r;
    r << QStringLiteral("Archivio precedente: formato %1.").arg(formato);
    for (const Tabella& t : tabelle)
        r << QStringLiteral("%1: %2 righe lette, %3 scritte.")
                 .arg(t.nome, it.toString(t.lette), it.toString(t.scritte));
    if (!tabelleAssenti.isEmpty())
        r << QStringLiteral("Tabelle assenti nell'archivio precedente, create vuote: %1.")
                 .arg(tabelleAssenti.join(QStringLiteral(", ")));
    if (!campiAggiunti.isEmpty())
        r << QStringLiteral("Campi assenti nell'archivio precedente, completati: %1.")
                 .arg(campiAggiunti.join(QStringLiteral(", ")));
    if (!campiSaltati.isEmpty())
        r << QStringLiteral("Campi sconosciuti a questo programma, non importati: %1.")
                 .arg(campiSaltati.join(QStringLiteral(", ")));
    r << avvisi;
    return r;
}

Rapporto Importa(const QString& sorgente, const QString& destinazione, const Avanzamento& avanzamento)
{
    return Importazione(sorgente, avanzamento).esegui(destinazione);
}

QString NomeProposto(const QString& sorgente, const QString& cartella)
{
    // An archive's name takes letters, digits and "_- ()" only.
    QString base = QFileInfo(sorgente).completeBaseName();
    for (QChar& c : base)
        if (!c.isLetterOrNumber() && !QStringLiteral("_- ()").contains(c))
            c = QLatin1Char('_');
    if (base.trimmed().isEmpty())
        base = QStringLiteral("Archivio");
    const QDir dir(cartella);
    QString nome = base + QStringLiteral(".mdb");
    for (int n = 2; QFileInfo::exists(dir.filePath(nome)); ++n)
        nome = QStringLiteral("%1 (%2).mdb").arg(base).arg(n);
    return nome;
}

} // namespace ImportazioneJet
