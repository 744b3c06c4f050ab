#!/usr/bin/env python3
"""Writes the Jet (.mdb) archives of the old Windows version that the import tests read, into
this folder, and beside each good one <name>.attesi.json: what the imported archive must hold.

    python3 tests/archive/jet/genera.py [--mkjet DIR]

DIR is the folder of mkjet.py (default: ../shared/tools beside the repository). Standard
library only; the output is the same, byte for byte, on every run.
"""
import argparse
import datetime as dt
import json
import os
import random
import struct
import sys

QUI = os.path.dirname(os.path.abspath(__file__))
D = dt.date
DT = dt.datetime

# Tables in the order the old program created them; each field with its kind and size.
SCHEMA = {
    'Configurazioni': [
        ('Indice', 'auto'), ('RagSociale', 'text', 250), ('Indirizzo', 'text', 250),
        ('Cap', 'text', 50), ('Comune', 'text', 250), ('Provincia', 'text', 50),
        ('Piva', 'text', 50), ('CodiceFiscale', 'text', 50), ('Tel', 'text', 250),
        ('Fax', 'text', 250), ('Percorso', 'text', 250), ('PercorsoBackup', 'text', 250),
        ('prnDocs', 'text', 250), ('Password', 'text', 250), ('VisualizzaIntestazione', 'long'),
        ('VisualizzaLogo', 'long'), ('SalvataggioAutomatico', 'long'), ('Banca', 'text', 250),
        ('Cab', 'text', 250), ('Abi', 'text', 250), ('Cin', 'text', 250), ('CC', 'text', 250),
        ('Iban', 'text', 250), ('Agenzia', 'text', 250), ('PercorsoRicerca', 'text', 250),
        ('Logo', 'ole'), ('prnDocsPDF', 'text', 250)],
    'TabellaVersione': [('Indice', 'auto'), ('Versione', 'text', 200)],
    'Stampa': [('Indice', 'auto'), ('Descrizione', 'text', 200), ('IndiceRif', 'long'),
               ('DescrizioneMemo', 'memo')],
    'Stampa2': [('Indice', 'auto')] + [('Des%d' % i, 'text', 250) for i in range(1, 7)] +
               [('IndiceRif', 'long'), ('Grassetto', 'long')] +
               [('Des%d' % i, 'text', 250) for i in range(7, 10)],
    'Variabili': [('NomeVar', 'text', 50), ('ValoreStringa', 'text', 200)],
    'TabellaAnagrafiche': [('Indice', 'auto'), ('Codice', 'text', 50), ('RagSociale', 'text', 250)] +
        [(n, 'text', 250) for n in ('Nome', 'Cognome', 'Indirizzo', 'Cap', 'Comune', 'Provincia',
                                    'Cellulare', 'Telefono', 'Email', 'Web')] +
        [('Note', 'memo'), ('TipoDocumento', 'text', 250), ('NroDocumento', 'text', 250),
         ('DataDocumento', 'date'), ('DataNascita', 'date')] +
        [(n, 'text', 250) for n in ('LuogoNascita', 'Cittadinanza', 'Nazione', 'StatoDiNascita',
                                    'LuogoDocumento', 'ProvinciaDiNascita')] +
        [('Maschio', 'bool'), ('Femmina', 'bool'), ('CodiceFiscale', 'text', 50),
         ('Attivo', 'bool'), ('NonAttivo', 'bool')],
    'TabellaStati': [('Indice', 'auto'), ('Stato', 'text', 50), ('Descrizione', 'text', 250)],
    'TabellaTipi': [('Indice', 'auto'), ('Tipo', 'text', 50), ('Descrizione', 'text', 250)],
    'TabellaMovimenti': [
        ('Indice', 'auto'), ('Data', 'date'), ('Giorno', 'text', 50), ('Mese', 'text', 50),
        ('Anno', 'text', 50), ('IndiceAnagrafica', 'long'), ('CodiceAnagrafica', 'text', 50),
        ('RagSociale', 'text', 250), ('Stato', 'text', 50), ('Descrizione', 'text', 250),
        ('Note', 'memo'), ('StatoNum', 'double'), ('Tipo', 'text', 250)],
}
ORDINE = list(SCHEMA)
# What the import copies, and in this order the expected files list it.
IMPORTATE = ['Configurazioni', 'Variabili', 'TabellaAnagrafiche', 'TabellaStati', 'TabellaTipi',
             'TabellaMovimenti']
# Values a field missing from an old file gets in the imported archive.
MANCANTI = {('TabellaMovimenti', 'Tipo'): 'ORDINARIO'}

MESI = ['Gennaio', 'Febbraio', 'Marzo', 'Aprile', 'Maggio', 'Giugno', 'Luglio', 'Agosto',
        'Settembre', 'Ottobre', 'Novembre', 'Dicembre']
CREAZIONE = DT(2005, 11, 7, 10, 15, 0)
CHIAVE_INTESTAZIONE = bytes([0xC7, 0xDA, 0x39, 0x6B])


def tipo_jet(m, campo):
    nome, genere = campo[0], campo[1]
    if genere == 'auto':
        return m.Col(nome, m.LONG, autonumber=True)
    return m.Col(nome, {'long': m.LONG, 'text': m.TEXT, 'memo': m.MEMO, 'date': m.DATETIME,
                        'double': m.DOUBLE, 'bool': m.BOOL, 'ole': m.OLE}[genere],
                 campo[2] if len(campo) > 2 else None)


def tabella(m, nome, campi, righe):
    nomi = [c[0] for c in campi]
    for r in righe:
        ignoti = set(r) - set(nomi)
        assert not ignoti, (nome, ignoti)
    return m.Table(nome, [tipo_jet(m, c) for c in campi], [[r.get(n) for n in nomi] for r in righe])


def valore_atteso(genere, v):
    if isinstance(v, tuple):      # (value, storage form)
        v = v[0]
    if genere == 'bool':
        return 1 if v else 0      # a yes/no field is never NULL in a Jet file
    if v is None:
        return None
    if genere == 'date':
        if isinstance(v, DT) and v.time() != dt.time(0):
            return v.strftime('%Y-%m-%d %H:%M:%S')
        return v.strftime('%Y-%m-%d')
    if genere == 'double':
        return float(v)
    if genere == 'ole':
        return {'hex': bytes(v).hex()}
    return v


def attesi(archivio):
    """The six imported tables as the new archive holds them, from the rows written."""
    tabelle, conteggi, saltati = {}, {}, []
    for nome in ORDINE:
        if nome in archivio['tabelle'] and nome in IMPORTATE:
            noti = {c[0] for c in SCHEMA[nome]}
            saltati += ['%s.%s' % (nome, c[0]) for c in archivio['campi'][nome] if c[0] not in noti]
    for nome in IMPORTATE:
        righe = []
        for r in archivio['tabelle'].get(nome, []):
            riga = {}
            for campo in SCHEMA[nome]:
                v = valore_atteso(campo[1], r.get(campo[0]))
                if v is None and (nome, campo[0]) in MANCANTI:
                    v = MANCANTI[(nome, campo[0])]
                riga[campo[0]] = v
            righe.append(riga)
        chiave = 'NomeVar' if nome == 'Variabili' else 'Indice'
        righe.sort(key=lambda r: r[chiave])
        tabelle[nome] = righe
        conteggi[nome] = len(righe)
    return tabelle, saltati, conteggi


def scrivi_attesi(percorso, archivio, solo_conteggi=False):
    tabelle, saltati, conteggi = attesi(archivio)
    dump = lambda v: json.dumps(v, ensure_ascii=False)
    out = ['{']
    if not solo_conteggi:
        out.append('  "tabelle": {')
        for i, (nome, righe) in enumerate(tabelle.items()):
            out.append('    %s: [' % dump(nome))
            out += ['      %s%s' % (dump(r), ',' if j < len(righe) - 1 else '')
                    for j, r in enumerate(righe)]
            out.append('    ]%s' % (',' if i < len(tabelle) - 1 else ''))
        out.append('  },')
    out.append('  "saltati": %s,' % dump(saltati))
    out.append('  "conteggi": %s' % dump(conteggi))
    out.append('}')
    with open(percorso, 'w', encoding='utf-8', newline='\n') as f:
        f.write('\n'.join(out) + '\n')


def scrivi_mdb(m, percorso, archivio, jet4):
    tabelle = [tabella(m, nome, archivio['campi'][nome], archivio['tabelle'][nome])
               for nome in archivio['ordine']]
    m.build(percorso, tabelle, jet4=jet4, created=CREAZIONE)
    return {t.name: t for t in tabelle}


def nuovo_archivio(tabelle, campi=None, ordine=None):
    campi = dict(campi or {})
    ordine = ordine or [n for n in ORDINE if n in tabelle]
    for n in ordine:
        campi.setdefault(n, SCHEMA[n])
    return {'tabelle': tabelle, 'campi': campi, 'ordine': ordine}


# ---- content ------------------------------------------------------------------------------

def righe_numerate(prefisso, frase, lunghezza):
    """Numbered lines, so that pieces read in the wrong order or twice do not go unnoticed."""
    righe, n = [], 0
    while sum(len(r) + 2 for r in righe) < lunghezza:
        n += 1
        righe.append('%s %04d: %s' % (prefisso, n, frase))
    return '\r\n'.join(righe)


def logo_bmp(lato=32):
    """A small 24-bit bitmap whose pixels hold every byte value."""
    pixel = bytes((i * 7 + i // 256) & 0xFF for i in range(lato * lato * 3))
    testa = b'BM' + struct.pack('<IHHI', 54 + len(pixel), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, lato, lato, 1, 24, 0, len(pixel), 2835, 2835, 0, 0)
    return testa + info + pixel


def configurazione(**diverso):
    c = {'Indice': 1, 'RagSociale': "Officine Brambilla & Figli S.r.l.",
         'Indirizzo': "Via dell'Artigianato, 12", 'Cap': '20900', 'Comune': 'Monza',
         'Provincia': 'MB', 'Piva': '01234560967', 'CodiceFiscale': '01234560967',
         'Tel': '039 2345678', 'Fax': '039 2345679',
         'Percorso': 'C:\\Documents and Settings\\Ufficio\\Documenti\\Archivi Cartavia',
         'PercorsoBackup': 'C:\\Backup Cartavia', 'prnDocs': 'Stampante Ufficio Personale',
         'Password': '', 'VisualizzaIntestazione': -1, 'VisualizzaLogo': 0,
         'SalvataggioAutomatico': -1, 'Banca': 'Banca Popolare di Brianza', 'Cab': '20400',
         'Abi': '05584', 'Cin': 'X', 'CC': '000012345678',
         'Iban': 'IT60X0558420400000012345678', 'Agenzia': 'Agenzia n° 3 - Monza Centro',
         'PercorsoRicerca': 'C:\\Documents and Settings\\Ufficio\\Documenti',
         'Logo': logo_bmp(), 'prnDocsPDF': 'PDFCreator'}
    c.update(diverso)
    return c


VARIABILI = [
    {'NomeVar': 'F_SchedaDipendente_Ordinamento', 'ValoreStringa': 'Codice'},
    {'NomeVar': 'F_Avvio_VisualizzaAttivi', 'ValoreStringa': '-1'},
    {'NomeVar': 'F_Avvio_Ordinamento', 'ValoreStringa': 'RagSociale'},
    {'NomeVar': 'F_Avvio_VisualizzaNonAttivi', 'ValoreStringa': '0'},
    {'NomeVar': 'F_Avvio_VisualizzaTutti', 'ValoreStringa': '0'},
    {'NomeVar': 'F_Avvio_EspandiCalendario', 'ValoreStringa': '-1'},
    {'NomeVar': 'F_Configurazioni_MostraNome', 'ValoreStringa': ''},
    {'NomeVar': 'F_Configurazioni_MostraIpPubblico', 'ValoreStringa': None},
]

STATI = [
    (1, 'F', 'Ferie'), (2, 'M', 'Malattia'), (3, 'P', 'Permesso'), (4, 'FE', 'Festività'),
    (6, 'INF', 'Infortunio'), (7, 'MAT', 'Maternità'), (9, 'R', 'Riposo compensativo'),
    (10, 'L104', 'Permesso "L. 104"'), (12, 'S', None), (15, 'CIG', ''),
]
DESCRIZIONE_STATO = {s: d for _, s, d in STATI}

TIPI = [(1, 'STRAORDINARIO', 'Ore di straordinario'), (2, 'NOTTURNO', 'Lavoro notturno'),
        (5, 'FESTIVO', "Lavoro nei giorni festivi")]


def stati(elenco=STATI):
    return [{'Indice': i, 'Stato': s, 'Descrizione': d} for i, s, d in elenco]


def tipi(elenco=TIPI):
    return [{'Indice': i, 'Tipo': t, 'Descrizione': d} for i, t, d in elenco]


def dipendente(indice, cognome, nome, maschio, **altro):
    d = {'Indice': indice, 'Codice': '%03d' % indice, 'RagSociale': '%s %s' % (cognome, nome),
         'Nome': nome, 'Cognome': cognome, 'Maschio': maschio, 'Femmina': not maschio,
         'Attivo': True, 'NonAttivo': False}
    d.update(altro)
    return d


def dipendenti(jet4):
    lunga_accentata = righe_numerate(
        'Riga', "mansioni svolte: carico e scarico merci, attività di magazzino, "
        "verifica bolle; è richiesta la patente per il carrello elevatore (più turni).", 24000)
    lunga_ascii = righe_numerate(
        'Nota', 'servizio regolare nel reparto spedizioni, nessun richiamo, '
        'disponibile per turni serali e sabato mattina.', 21000)
    singola = righe_numerate('Punto', "colloquio annuale: obiettivi raggiunti, "
                             "richiesta di formazione sulla sicurezza; già prenotata.", 1500)
    singola_breve = righe_numerate('Voce', "idoneità alla mansione confermata, "
                                   "prossima visita tra dodici mesi.", 900)
    estera = ('Referente in Polonia: Łukasz Wójcik — tel. +48 22 123 4567, rimborso 25 €' if jet4
              else 'Referente in Polonia: Lukasz Wójcik — tel. +48 22 123 4567, rimborso 25 €')
    return [
        dipendente(1, 'Rossi', 'Mario', True, Indirizzo='Via Garibaldi, 14', Cap='20900',
                   Comune='Monza', Provincia='MB', Cellulare='333 1234567', Telefono='039 123456',
                   Email='mario.rossi@example.it', Note=('Preferisce il turno del mattino.', 'inline'),
                   TipoDocumento="Carta d'identità", NroDocumento='AX1234567',
                   DataDocumento=D(2019, 3, 15), DataNascita=D(1975, 4, 12), LuogoNascita='Monza',
                   Cittadinanza='italiana', Nazione='Italia', StatoDiNascita='Italia',
                   LuogoDocumento='Comune di Monza', ProvinciaDiNascita='MB',
                   CodiceFiscale='RSSMRA75D12F704X'),
        dipendente(2, 'Bianchi', 'Giulia', False, Indirizzo='Corso Milano, 3/B', Cap='20900',
                   Comune='Monza', Provincia='MB', Cellulare='347 7654321', Telefono='',
                   Email='', Web='', Note=(singola, 'single'), TipoDocumento='Patente',
                   NroDocumento='MB5551234X', DataDocumento=DT(2021, 6, 30, 23, 59, 59),
                   DataNascita=D(1982, 9, 3), LuogoNascita='Lecco', Cittadinanza='italiana',
                   Nazione='Italia', StatoDiNascita='Italia', LuogoDocumento='Motorizzazione di Lecco',
                   ProvinciaDiNascita='LC', CodiceFiscale='BNCGLI82P43E507K'),
        dipendente(3, "D'Angelo", 'Nicolò', True, Indirizzo="Via Sant'Anna, 7", Cap='82019',
                   Comune="Sant'Agata de' Goti", Provincia='BN', Cellulare='320 1112223',
                   Note=(singola_breve, 'single'), TipoDocumento="Carta d'identità",
                   NroDocumento='CA00011AB', DataDocumento=D(2022, 11, 2), DataNascita=D(1990, 1, 31),
                   LuogoNascita='Benevento', Cittadinanza='italiana', Nazione='Italia',
                   StatoDiNascita='Italia', LuogoDocumento="Comune di Sant'Agata de' Goti",
                   ProvinciaDiNascita='BN', CodiceFiscale='DNGNCL90A31A783Q'),
        dipendente(5, 'Quispe', 'Rosa', False, Indirizzo='Via Lecco, 120', Cap='20900',
                   Comune='Monza', Provincia='MB', Cellulare='389 4445556', Note=(estera, 'inline'),
                   TipoDocumento='Permesso di soggiorno', NroDocumento='I12345678',
                   DataDocumento=D(2020, 2, 29), DataNascita=D(1988, 7, 28), LuogoNascita='Cusco',
                   Cittadinanza='peruviana', Nazione='Perù', StatoDiNascita='Perù',
                   LuogoDocumento='Questura di Monza e della Brianza', ProvinciaDiNascita='EE',
                   CodiceFiscale='QSPRSO88L68Z611W'),
        dipendente(8, 'Esposito', 'Gennaro', True, RagSociale='Esposito Gennaro "Rino"',
                   Indirizzo='Via Napoli, 1', Cap='20052', Comune='Monza', Provincia='MB',
                   Note=(lunga_accentata, 'multi'), DataNascita=D(1969, 12, 24),
                   LuogoNascita='Napoli', Cittadinanza='italiana', Nazione='Italia',
                   CodiceFiscale='SPSGNR69T24F839L', Attivo=False, NonAttivo=True),
        dipendente(13, 'Ferrari', 'Anna', False, Indirizzo='Piazza Trento e Trieste, 2',
                   Cap='20900', Comune='Monza', Provincia='MB', Cellulare='', Telefono='',
                   Email='anna.ferrari@example.it', Note=(lunga_ascii, 'multi'),
                   TipoDocumento='Passaporto', NroDocumento='YA1234567', DataDocumento=D(2023, 5, 8),
                   DataNascita=D(1979, 3, 1), LuogoNascita='Milano', Cittadinanza='italiana',
                   Nazione='Italia', StatoDiNascita='Italia', LuogoDocumento='Questura di Milano',
                   ProvinciaDiNascita='MI', CodiceFiscale='FRRNNA79C41F205T'),
        # Out of key order on purpose: a reader must not depend on where a row lies.
        dipendente(34, 'Marino', 'Lucia', False, Maschio=False, Femmina=False, Attivo=False,
                   NonAttivo=False, Comune='Monza', Note=None),
        dipendente(21, 'Verdi', 'Giuseppe', True, Note='', DataNascita=DT(1895, 1, 2, 6, 30, 0),
                   LuogoNascita='Monza', Nazione='Italia', Attivo=False, NonAttivo=True,
                   TipoDocumento='', NroDocumento=''),
    ]


def giorni(anno, mese):
    g = D(anno, mese, 1)
    while g.month == mese:
        yield g
        g += dt.timedelta(days=1)


def movimenti(impiegati, mesi, rng, note=None, tipo_nullo=(), descr_vuota=(), codici=None,
              extra=None, con_tipo=True, primo=1):
    """One row per employee, entry type and day, as each saved month leaves them."""
    note, codici, extra = note or {}, codici or {}, extra or {}
    righe, indice = [], primo
    for anno, mese in mesi:
        for imp in impiegati:
            i = imp['Indice']
            for tipo in ['ORDINARIO'] + extra.get(i, []):
                for g in giorni(anno, mese):
                    festivo = g.weekday() >= 5
                    stato, num, descr = '', 0.0, None
                    if tipo == 'ORDINARIO':
                        if (i, g) in codici:
                            stato = codici[(i, g)]
                        elif g.month == 1 and g.day in (1, 6):
                            stato = 'FE'
                        elif not festivo:
                            stato = rng.choice(['8'] * 8 + ['7,5', '6'])
                    elif not festivo and rng.random() < 0.3:
                        stato = rng.choice(['1', '2', '1,5', '0,5'] if tipo != 'NOTTURNO' else ['8', '6'])
                    if stato in DESCRIZIONE_STATO:
                        descr = DESCRIZIONE_STATO[stato]
                    elif stato:
                        num = float(stato.replace(',', '.'))
                    if stato and stato not in DESCRIZIONE_STATO and (i, anno, mese) in descr_vuota:
                        descr = ''
                    r = {'Indice': indice, 'Data': g, 'Giorno': str(g.day), 'Mese': MESI[mese - 1],
                         'Anno': str(anno), 'IndiceAnagrafica': i, 'CodiceAnagrafica': imp['Codice'],
                         'RagSociale': imp['RagSociale'] if tipo == 'ORDINARIO' else '',
                         'Stato': stato, 'Descrizione': descr, 'StatoNum': num}
                    if tipo == 'ORDINARIO' and (i, g) in note:
                        r['Note'] = note[(i, g)]
                    if con_tipo:
                        r['Tipo'] = None if (i, anno, mese) in tipo_nullo else tipo
                    righe.append(r)
                    indice += 1
                if rng.random() < 0.4:          # a month cleared and saved again
                    indice += rng.randint(1, 40)
    return righe


def lavorativi(anno, mese, dal, al):
    return [D(anno, mese, g) for g in range(dal, al + 1) if D(anno, mese, g).weekday() < 5]


def archivio_completo(jet4):
    rng = random.Random(20240331)
    imp = dipendenti(jet4)
    per_indice = {d['Indice']: d for d in imp}
    codici = {}
    for g in lavorativi(2024, 2, 12, 16):
        codici[(2, g)] = 'F'
    for g in lavorativi(2024, 3, 4, 6):
        codici[(3, g)] = 'M'
    codici[(5, D(2024, 1, 19))] = 'P'
    codici[(13, D(2024, 3, 22))] = 'L104'
    codici[(13, D(2024, 3, 25))] = '4'
    note = {
        (1, D(2024, 1, 1)): 'Lunedì festivo',
        (1, D(2024, 2, 9)): 'Entrata posticipata alle 10:00\r\nper visita medica',
        (3, D(2024, 3, 4)): "Certificato n° 123456 inviato all'INPS",
        (5, D(2024, 1, 19)): 'Sostituita da "Rino" in magazzino',
        (13, D(2024, 3, 25)): 'Uscita anticipata: sciopero dei trasporti',
        (13, D(2024, 3, 26)): '',
        (2, D(2024, 2, 12)): 'Ferie già concordate a dicembre (€ 0 di anticipo)',
    }
    mov = movimenti([per_indice[i] for i in (1, 2, 3, 5, 13)], [(2024, 1), (2024, 2), (2024, 3)],
                    rng, note=note, codici=codici, tipo_nullo={(13, 2024, 1)},
                    descr_vuota={(2, 2024, 3)}, extra={1: ['STRAORDINARIO'], 3: ['STRAORDINARIO'],
                                                       5: ['NOTTURNO']})
    tabelle = {
        'Configurazioni': [configurazione()],
        'TabellaVersione': [{'Indice': 1, 'Versione': '2.0.5'}],
        'Stampa': [{'Indice': 1, 'Descrizione': 'Rossi Mario', 'IndiceRif': 1,
                    'DescrizioneMemo': 'Via Garibaldi, 14 - Monza'},
                   {'Indice': 2, 'Descrizione': 'Bianchi Giulia', 'IndiceRif': 2,
                    'DescrizioneMemo': None}],
        'Stampa2': [{'Indice': 1, 'Des1': 'Rossi Mario', 'Des2': 'ORDINARIO', 'Des3': '160',
                     'Des4': 'F 0', 'IndiceRif': 1, 'Grassetto': -1},
                    {'Indice': 2, 'Des1': '', 'Des2': 'STRAORDINARIO', 'Des3': '6,5',
                     'IndiceRif': 1, 'Grassetto': 0, 'Des9': 'fine'}],
        'Variabili': VARIABILI,
        'TabellaAnagrafiche': imp,
        'TabellaStati': stati(),
        'TabellaTipi': tipi(),
        'TabellaMovimenti': mov,
    }
    return nuovo_archivio(tabelle)


def archivio_vecchio():
    rng = random.Random(2003)
    campi = {
        'TabellaAnagrafiche': SCHEMA['TabellaAnagrafiche'][:3] +
            [('Qualifica', 'text', 50)] + SCHEMA['TabellaAnagrafiche'][3:],
        'Configurazioni': SCHEMA['Configurazioni'][:10] + [('Modem', 'text', 50)] +
            [c for c in SCHEMA['Configurazioni'][10:] if c[0] != 'prnDocsPDF'],
        'TabellaMovimenti': [c for c in SCHEMA['TabellaMovimenti'] if c[0] != 'Tipo'],
    }
    imp = [dipendente(1, 'Galli', 'Ernesto', True, Qualifica='Operaio specializzato',
                      Comune='Seregno', DataNascita=D(1948, 10, 4), Note='Assunto nel 1970.'),
           dipendente(2, 'Fumagalli', 'Carla', False, Qualifica='Impiegata', Comune='Desio',
                      Note=('Part-time verticale: lunedì, mercoledì e venerdì. ' * 40, 'single')),
           dipendente(4, 'Brivio', 'Agostino', True, Qualifica=None, Comune='Lissone',
                      Attivo=False, NonAttivo=True),
           dipendente(7, 'Cazzaniga', 'Noemi', False, Qualifica='', Comune='Cantù',
                      Nazione='Italia')]
    config = configurazione(RagSociale='Brambilla Utensili s.n.c.', Modem='Modem esterno 56K',
                            Logo=None, VisualizzaLogo=0, VisualizzaIntestazione=-1,
                            SalvataggioAutomatico=0, Cin=None, Iban=None)
    del config['prnDocsPDF']
    codici = {(2, D(2003, 11, 3)): 'F', (2, D(2003, 11, 4)): 'F', (7, D(2003, 11, 20)): 'M'}
    mov = movimenti(imp[:2] + imp[3:], [(2003, 11)], rng, codici=codici, con_tipo=False,
                    note={(1, D(2003, 11, 28)): 'Inventario di fine anno, più ore'})
    tabelle = {
        'Configurazioni': [config],
        'TabellaVersione': [{'Indice': 1, 'Versione': '1.0.3'}],
        'Stampa': [{'Indice': 3, 'Descrizione': 'Galli Ernesto', 'IndiceRif': 1}],
        'Stampa2': [{'Indice': 1, 'Des1': 'Galli Ernesto', 'IndiceRif': 1, 'Grassetto': 0}],
        'Variabili': VARIABILI[:4],
        'TabellaAnagrafiche': imp,
        'TabellaStati': stati([s for s in STATI if s[1] in ('F', 'M', 'P', 'FE')]),
        'TabellaMovimenti': mov,
    }
    return nuovo_archivio(tabelle, campi)


def archivio_grande():
    rng = random.Random(10000)
    cognomi = ['Rossi', 'Russo', 'Ferrari', 'Esposito', 'Bianchi', 'Romano', 'Colombo', 'Ricci',
               'Marino', 'Greco', 'Bruno', 'Gallo', 'Conti', 'De Luca', 'Mancini']
    nomi = ['Luca', 'Sara', 'Marco', 'Elena', 'Paolo', 'Marta', 'Nicolò', 'Ilaria', 'Davide',
            'Chiara', 'Andrea', 'Giulia', 'Matteo', 'Sofia', 'Fabio']
    indici = [i for i in range(1, 18) if i not in (6, 11)]
    imp = [dipendente(i, c, n, k % 2 == 0, Comune='Monza', Provincia='MB')
           for k, (i, c, n) in enumerate(zip(indici, cognomi, nomi))]
    mesi = [(2022 + k // 12, k % 12 + 1) for k in range(22)]
    codici = {}
    for imp_i in indici:
        for _ in range(20):
            anno, mese = rng.choice(mesi)
            g = rng.choice(lavorativi(anno, mese, 1, 28))
            codici[(imp_i, g)] = rng.choice(['F', 'F', 'M', 'P'])
    note = {(1, D(2022, 12, 23)): 'Chiusura natalizia anticipata',
            (7, D(2023, 4, 25)): 'Festa della Liberazione: turno di guardia'}
    mov = movimenti(imp, mesi, rng, codici=codici, note=note)
    tabelle = {
        'Configurazioni': [configurazione(Logo=bytes(range(256)) * 4)],
        'TabellaVersione': [{'Indice': 1, 'Versione': '2.0.5'}],
        'Stampa': [], 'Stampa2': [],
        'Variabili': VARIABILI[:5],
        'TabellaAnagrafiche': imp,
        'TabellaStati': stati([s for s in STATI if s[1] in ('F', 'M', 'P', 'FE')]),
        'TabellaTipi': [],
        'TabellaMovimenti': mov,
    }
    return nuovo_archivio(tabelle)


def archivio_piccolo(jet4=True, memo_a_catena=False):
    """A few employees and one month, for the files that must fail."""
    rng = random.Random(7)
    imp = [d for d in dipendenti(jet4) if d['Indice'] in (1, 3, 5)]
    if memo_a_catena:
        imp[0]['Note'] = (righe_numerate('Riga', 'nota lunga, letta per intero o per niente.',
                                         24000), 'multi')
    mov = movimenti(imp, [(2024, 1)], rng, note={(1, D(2024, 1, 1)): 'Lunedì festivo'})
    tabelle = {
        'Configurazioni': [configurazione(Logo=None)],
        'TabellaVersione': [{'Indice': 1, 'Versione': '2.0.5'}],
        'Stampa': [], 'Stampa2': [],
        'Variabili': VARIABILI[:2],
        'TabellaAnagrafiche': imp,
        'TabellaStati': stati(),
        'TabellaTipi': tipi(),
        'TabellaMovimenti': mov,
    }
    return nuovo_archivio(tabelle)


# ---- damaging a written file --------------------------------------------------------------

def rc4(chiave, dati):
    s, j = list(range(256)), 0
    for i in range(256):
        j = (j + s[i] + chiave[i % len(chiave)]) & 255
        s[i], s[j] = s[j], s[i]
    i = j = 0
    out = bytearray()
    for b in dati:
        i = (i + 1) & 255
        j = (j + s[i]) & 255
        s[i], s[j] = s[j], s[i]
        out.append(b ^ s[(s[i] + s[j]) & 255])
    return bytes(out)


def cambia_intestazione(percorso, jet4, cambia):
    """Decodes the header's encoded block, lets `cambia` edit it (absolute offsets), encodes it."""
    with open(percorso, 'rb') as f:
        dati = bytearray(f.read())
    n = 128 if jet4 else 126
    chiaro = bytearray(0x18) + bytearray(rc4(CHIAVE_INTESTAZIONE, bytes(dati[0x18:0x18 + n])))
    cambia(chiaro)
    assert len(chiaro) == 0x18 + n
    dati[0x18:0x18 + n] = rc4(CHIAVE_INTESTAZIONE, bytes(chiaro[0x18:]))
    with open(percorso, 'wb') as f:
        f.write(dati)


def sovrascrivi_pagina(percorso, pagina, contenuto, dim=4096):
    assert len(contenuto) == dim
    with open(percorso, 'r+b') as f:
        f.seek(pagina * dim)
        f.write(contenuto)


def catena_lval(percorso, dim=4096):
    """The long-value pages of the file's longest chained memo, first to last."""
    with open(percorso, 'rb') as f:
        dati = f.read()
    seguente = {}
    for p in range(len(dati) // dim):
        pg = dati[p * dim:(p + 1) * dim]
        if pg[0:2] == b'\x01\x01' and pg[4:8] == b'LVAL':
            inizio = struct.unpack_from('<H', pg, 14)[0] & 0x1FFF
            seguente[p] = struct.unpack_from('<I', pg, inizio)[0] >> 8
    def da(p):
        catena = []
        while p in seguente and p not in catena:
            catena.append(p)
            p = seguente[p]
        return catena if p == 0 else []
    puntate = set(seguente.values())
    catene = [da(p) for p in seguente if p not in puntate]
    catena = max(catene, key=len)
    assert sum(len(c) == len(catena) for c in catene) == 1, catene
    return catena


def main():
    ap = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    ap.add_argument('--mkjet', default=os.path.join(QUI, '..', '..', '..', '..', 'shared', 'tools'))
    ap.add_argument('--uscita', default=QUI)
    a = ap.parse_args()
    sys.dont_write_bytecode = True      # leave no cache in the tools folder
    sys.path.insert(0, os.path.abspath(a.mkjet))
    import mkjet as m
    out = lambda nome: os.path.join(a.uscita, nome)

    for nome, jet4 in (('archivio_jet4', True), ('archivio_jet3', False)):
        arch = archivio_completo(jet4)
        scrivi_mdb(m, out(nome + '.mdb'), arch, jet4)
        scrivi_attesi(out(nome + '.attesi.json'), arch)

    arch = archivio_vecchio()
    scrivi_mdb(m, out('archivio_vecchio_jet3.mdb'), arch, False)
    scrivi_attesi(out('archivio_vecchio_jet3.attesi.json'), arch)

    arch = archivio_grande()
    scrivi_mdb(m, out('archivio_grande_jet4.mdb'), arch, True)
    scrivi_attesi(out('archivio_grande_jet4.attesi.json'), arch, solo_conteggi=True)

    clienti = [('Indice', 'auto'), ('Nome', 'text', 100), ('Città', 'text', 50)]
    ordini = [('Indice', 'auto'), ('IndiceCliente', 'long'), ('Data', 'date'), ('Totale', 'double')]
    m.build(out('senza_tabelle.mdb'), [
        tabella(m, 'Clienti', clienti, [{'Indice': 1, 'Nome': 'Ferramenta Sala', 'Città': 'Cantù'},
                                        {'Indice': 2, 'Nome': 'Colori Riva', 'Città': 'Monza'}]),
        tabella(m, 'Ordini', ordini, [{'Indice': 1, 'IndiceCliente': 2, 'Data': D(2004, 5, 6),
                                       'Totale': 120.5}])], jet4=True, created=CREAZIONE)

    # A data page of the movements, not the first, turned to noise.
    tab = scrivi_mdb(m, out('danneggiato_pagina.mdb'), archivio_completo(True), True)
    pagine = tab['TabellaMovimenti'].data_pages
    rumore = random.Random(404)
    sporco = bytes(rumore.getrandbits(8) for _ in range(4096))
    if sporco[0] == 1:
        sporco = b'\x00' + sporco[1:]
    sovrascrivi_pagina(out('danneggiato_pagina.mdb'), pagine[len(pagine) // 2], sporco)

    # A page in the middle of a chained memo zeroed.
    scrivi_mdb(m, out('danneggiato_memo.mdb'), archivio_piccolo(memo_a_catena=True), True)
    catena = catena_lval(out('danneggiato_memo.mdb'))
    assert len(catena) >= 3, catena
    sovrascrivi_pagina(out('danneggiato_memo.mdb'), catena[len(catena) // 2], bytes(4096))

    # An encoded database: a non-zero key in the header.
    scrivi_mdb(m, out('cifrato.mdb'), archivio_piccolo(), True)
    def chiave(h):
        h[0x3E:0x42] = struct.pack('<I', 0x2B5A91C3)
    cambia_intestazione(out('cifrato.mdb'), True, chiave)

    # A database password, as each format keeps it in the header.
    password = 'segreto'

    def password_jet3(h):
        h[0x42:0x42 + 20] = password.encode('cp1252').ljust(20, b'\0')

    def password_jet4(h):
        maschera = bytes(h[0x42:0x46]) * 10
        chiaro = password.encode('utf-16-le').ljust(40, b'\0')
        h[0x42:0x42 + 40] = bytes(x ^ y for x, y in zip(chiaro, maschera))

    for nome, jet4, cambia in (('password_jet3.mdb', False, password_jet3),
                               ('password_jet4.mdb', True, password_jet4)):
        scrivi_mdb(m, out(nome), archivio_piccolo(jet4), jet4)
        cambia_intestazione(out(nome), jet4, cambia)

    print('scritti in', a.uscita)


if __name__ == '__main__':
    main()
