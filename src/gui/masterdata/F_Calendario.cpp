#include "F_Calendario.h"
#include "ui_F_Calendario.h"

#include "archive/FestivitaAzienda.h"
#include "archive/Module1.h"
#include "comune/Twips.h"
#include "comune/Orologio.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>

namespace {
// The grid's layout in twips.
constexpr int SinistraPrimaColonna = 240;
constexpr int PassoColonne = 390;
constexpr int LarghezzaCella = 400;
constexpr int LarghezzaDomenica = 495;
constexpr int AltoPrimaRiga = 1110;
constexpr int PassoRighe = 300;
constexpr int AltezzaCella = 310;

QRect posizioneCella(int indice)
{
    const int colonna = GrigliaCalendario::Colonna(indice);
    const int riga = GrigliaCalendario::Riga(indice);
    const int larghezza = colonna == 6 ? LarghezzaDomenica : LarghezzaCella;
    return { Twips::pixel(SinistraPrimaColonna + colonna * PassoColonne),
        Twips::pixel(AltoPrimaRiga + riga * PassoRighe), Twips::pixel(larghezza),
        Twips::pixel(AltezzaCella) };
}

const char* const Intestazioni[] = { "Lun", "Mar", "Mer", "Gio", "Ven", "Sab", "Dom" };
} // namespace

F_Calendario::F_Calendario(
    QWidget* parent, const QString& dataIniziale, const QString& archivio, bool* saltaRicostruzione)
    : QDialog(parent)
    , m_ui(new Ui::F_Calendario)
    , m_archivio(archivio)
    , m_saltaRicostruzione(saltaRicostruzione)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    creaGiorni();

    // The headings stand over their columns; the row keeps the caption's spacing for readers.
    for (int c = 0; c < 7; ++c) {
        auto* l = new QLabel(QString::fromLatin1(Intestazioni[c]), m_ui->LunMarMer);
        const QRect cella = posizioneCella(c + 1);
        l->setGeometry(cella.x(), 0, cella.width(), m_ui->LunMarMer->height());
        l->setAlignment(Qt::AlignCenter);
        QFont f = l->font();
        f.setPointSize(8);
        f.setBold(c == 6);
        l->setFont(f);
    }
    m_ui->LunMarMer->setAccessibleDescription(QStringLiteral("  Lun  Mar  Mer Gio  Ven  Sab  Dom "));
    m_ui->Anno->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,4}")), this));
    QFont grassetto = m_ui->Datasel->font();
    grassetto.setBold(true);
    m_ui->Datasel->setFont(grassetto);

    connect(m_ui->prec, &QPushButton::clicked, this, &F_Calendario::prec_Click);
    connect(m_ui->succ, &QPushButton::clicked, this, &F_Calendario::succ_Click);
    connect(m_ui->oggi, &QPushButton::clicked, this, &F_Calendario::oggi_Click);
    connect(m_ui->Command1, &QPushButton::clicked, this, &F_Calendario::Command1_Click);
    connect(m_ui->Command2, &QPushButton::clicked, this, &F_Calendario::Command2_Click);
    connect(m_ui->Mese, &QComboBox::activated, this, &F_Calendario::CompilaCalendario);
    connect(m_ui->Anno, &QComboBox::activated, this, &F_Calendario::CompilaCalendario);
    connect(m_ui->Anno->lineEdit(), &QLineEdit::editingFinished, this, &F_Calendario::CompilaCalendario);
    for (QWidget* w : QList<QWidget*> { m_ui->Command1, m_ui->Command2, m_ui->prec, m_ui->oggi, m_ui->succ })
        w->installEventFilter(this);

    // Form_Load
    if (QScreen* s = screen()) {
        const QRect schermo = s->availableGeometry();
        move(schermo.x() + (schermo.width() - width()) / 2,
            schermo.y() + (schermo.height() - height()) / 2 - Twips::pixel(200));
    }
    const QDate iniziale = Module1::LeggiData(dataIniziale);
    const QDate scelta = iniziale.isValid() ? iniziale : Orologio::Oggi();
    m_ui->Datasel->setText(Module1::FormattaData(scelta));
    DataSceltaCalendario.clear();
    PreparaCalandario();
    if (iniziale.isValid()) {
        m_ui->Mese->setCurrentIndex(iniziale.month() - 1);
        impostaAnno(iniziale.year());
    }
    CompilaCalendario();

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &F_Calendario::Timer1_Timer);
    Timer1.start();
    Timer1_Timer();
}

F_Calendario::~F_Calendario() = default;

void F_Calendario::creaGiorni()
{
    QFont carattere = font();
    carattere.setPointSize(GrigliaCalendario::DimensioneCarattere);
    for (int i = 0; i < GrigliaCalendario::NumeroCelle; ++i) {
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("giorno_%1").arg(i));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        b->setFont(carattere);
        if (i == 0)
            b->hide(); // outside the grid: it never shows a day
        else
            b->setGeometry(posizioneCella(i));
        connect(b, &QPushButton::clicked, this, [this, i] { giorno_Click(i); });
        m_giorni << b;
    }
}

void F_Calendario::PreparaCalandario()
{
    const int anno = Orologio::Oggi().year();
    m_ui->Anno->clear();
    for (int a = anno + 3; a >= anno - 1; --a)
        m_ui->Anno->insertItem(0, QString::number(a));
    m_ui->Anno->setCurrentIndex(-1);
    m_ui->Anno->setEditText({});
    m_ui->Mese->clear();
    for (int m = 1; m <= 12; ++m)
        m_ui->Mese->addItem(Module1::NomeMese(m));
    m_ui->Mese->setCurrentIndex(-1);
}

void F_Calendario::completaMeseAnno()
{
    const QDate oggi = Orologio::Oggi();
    if (m_ui->Anno->currentText().isEmpty())
        impostaAnno(oggi.year());
    if (m_ui->Mese->currentText().isEmpty())
        m_ui->Mese->setCurrentIndex(oggi.month() - 1);
}

void F_Calendario::impostaAnno(int anno)
{
    // Years outside the five listed ones are shown as typed, not added to the list.
    const int i = m_ui->Anno->findText(QString::number(anno));
    m_ui->Anno->setCurrentIndex(i);
    m_ui->Anno->setEditText(QString::number(anno));
}

void F_Calendario::CompilaCalendario()
{
    m_ui->oggi->setText(QString::number(Orologio::Oggi().day()));
    completaMeseAnno();
    const int anno = int(Module1::ValoreNumerico(m_ui->Anno->currentText()));
    if (anno != m_annoAzienda) {
        m_annoAzienda = anno;
        // Without an archive (the picker opened before one is chosen) the national holidays only.
        m_azienda
            = m_archivio.isEmpty() ? Festivita::GiorniAzienda {} : FestivitaAzienda::Leggi(m_archivio, anno);
    }
    m_celle = GrigliaCalendario::Compila(Module1::NumeroMese(m_ui->Mese->currentText()),
        m_ui->Anno->currentText(), m_ui->Datasel->text(), m_azienda);
    for (int i = 0; i < GrigliaCalendario::NumeroCelle; ++i)
        mostraCella(i);
}

void F_Calendario::mostraCella(int indice)
{
    const GrigliaCalendario::Cella& c = m_celle[indice];
    QPushButton* b = m_giorni.at(indice);
    b->setText(c.giorno ? QString::number(c.giorno) : QString());
    // A day is read by its number; only a blank cell needs a name.
    b->setAccessibleName(c.giorno ? QString() : QStringLiteral("Vuoto"));
    b->setToolTip(c.festa);
    b->setAccessibleDescription(c.festa);
    QFont f = b->font();
    f.setPointSize(c.dimensione);
    f.setBold(c.grassetto);
    f.setUnderline(c.sottolineato);
    b->setFont(f);
    b->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: black; border: 1px solid #7F7FA0; "
                       "padding: 0px; } QPushButton:pressed { border: 2px solid #40406A; }")
            .arg(c.sfondo.name()));
}

void F_Calendario::giorno_Click(int indice)
{
    if (indice < 0 || indice >= GrigliaCalendario::NumeroCelle)
        return;
    const int giorno = m_celle[indice].giorno;
    if (!giorno) {
        if (indice > 19)
            succ_Click();
        else
            prec_Click();
        return;
    }
    m_ui->Datasel->setText(QStringLiteral("%1/%2/%3")
                               .arg(giorno, 2, 10, QLatin1Char('0'))
                               .arg(Module1::NumeroMese(m_ui->Mese->currentText()), 2, 10, QLatin1Char('0'))
                               .arg(m_ui->Anno->currentText()));
    CompilaCalendario();
}

void F_Calendario::prec_Click()
{
    completaMeseAnno();
    const int m = Module1::NumeroMese(m_ui->Mese->currentText());
    if (m == 1) {
        m_ui->Mese->setCurrentIndex(11);
        impostaAnno(int(Module1::ValoreNumerico(m_ui->Anno->currentText())) - 1);
    } else {
        m_ui->Mese->setCurrentIndex(m - 2);
    }
    CompilaCalendario();
}

void F_Calendario::succ_Click()
{
    completaMeseAnno();
    const int m = Module1::NumeroMese(m_ui->Mese->currentText());
    if (m == 12) {
        m_ui->Mese->setCurrentIndex(0);
        impostaAnno(int(Module1::ValoreNumerico(m_ui->Anno->currentText())) + 1);
    } else {
        m_ui->Mese->setCurrentIndex(m);
    }
    CompilaCalendario();
}

void F_Calendario::oggi_Click()
{
    const QDate oggi = Orologio::Oggi();
    impostaAnno(oggi.year());
    m_ui->Mese->setCurrentIndex(oggi.month() - 1);
    CompilaCalendario();
}

void F_Calendario::Command1_Click()
{
    DataSceltaCalendario = m_ui->Datasel->text();
    accept();
}

void F_Calendario::Command2_Click()
{
    reject();
}

void F_Calendario::done(int risultato)
{
    // Form_Unload: however the window closes.
    Timer1.stop();
    if (m_saltaRicostruzione)
        *m_saltaRicostruzione = true;
    QDialog::done(risultato);
}

QString F_Calendario::Datasel() const
{
    return m_ui->Datasel->text();
}

QString F_Calendario::MeseMostrato() const
{
    return m_ui->Mese->currentText();
}

QString F_Calendario::AnnoMostrato() const
{
    return m_ui->Anno->currentText();
}

void F_Calendario::Timer1_Timer()
{
    setWindowTitle(
        QString(22, QLatin1Char(' ')) + Orologio::Adesso().time().toString(QStringLiteral("HH:mm:ss")));
}

void F_Calendario::spostaSelezione(int giorni)
{
    QDate data = Module1::LeggiData(m_ui->Datasel->text());
    if (!data.isValid())
        data = Orologio::Oggi();
    data = data.addDays(giorni);
    m_ui->Datasel->setText(Module1::FormattaData(data));
    m_ui->Mese->setCurrentIndex(data.month() - 1);
    impostaAnno(data.year());
    CompilaCalendario();
}

bool F_Calendario::eventFilter(QObject* oggetto, QEvent* evento)
{
    // From the buttons the arrows move the selected day and the page keys the month, so the
    // picker works without a mouse; Enter confirms (CONFERMA is the default button).
    if (evento->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(evento)->key()) {
        case Qt::Key_Left:
            spostaSelezione(-1);
            return true;
        case Qt::Key_Right:
            spostaSelezione(1);
            return true;
        case Qt::Key_Up:
            spostaSelezione(-7);
            return true;
        case Qt::Key_Down:
            spostaSelezione(7);
            return true;
        case Qt::Key_PageUp:
            prec_Click();
            return true;
        case Qt::Key_PageDown:
            succ_Click();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(oggetto, evento);
}
