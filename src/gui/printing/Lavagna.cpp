#include "Lavagna.h"
#include "ui_Lavagna.h"

#include "archive/Sessione.h"

#include "archive/Module1.h"
#include "comune/Twips.h"
#include "masterdata/Configurazione.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

QRect Pixel(const QRect& twips)
{
    return { Twips::pixel(twips.left()), Twips::pixel(twips.top()), Twips::pixel(twips.width()),
        Twips::pixel(twips.height()) };
}

// The logo keeps its proportions inside its box, against the box's right edge.
QRectF Adatta(const QSizeF& immagine, const QRectF& riquadro)
{
    if (immagine.isEmpty())
        return {};
    const QSizeF dimensione = immagine.scaled(riquadro.size(), Qt::KeepAspectRatio);
    return { riquadro.right() - dimensione.width(), riquadro.top(), dimensione.width(), dimensione.height() };
}

} // namespace

Lavagna::Lavagna(Sessione& sessione, QWidget* parent)
    : QDialog(parent)
    , m_sessione(sessione)
    , m_ui(new Ui::Lavagna)
{
    m_ui->setupUi(this);
    // Closing a page is part of the print, not a return to the main window (no rebuild there).
    setProperty("CartaviaPasseggera", true);
    setAutoFillBackground(true);
    QPalette carta = palette();
    carta.setColor(QPalette::Window, Qt::white);
    carta.setColor(QPalette::WindowText, Qt::black);
    setPalette(carta);
    m_ui->FStampa->setPalette(QGuiApplication::palette());
    m_ui->FStampa->setAutoFillBackground(true);

    m_ui->RagSociale->setFont(Carattere(PuntiRagSociale, true, Twips::PerPixel));
    for (QLabel* l : { m_ui->Indirizzo, m_ui->Cap, m_ui->Piva, m_ui->Tel })
        l->setFont(Carattere(PuntiIntestazione, false, Twips::PerPixel));
    m_ui->Periodo->setFont(Carattere(PuntiPeriodo, true, Twips::PerPixel));
    m_ui->LabelInfo->setFont(Carattere(PuntiLegenda, false, Twips::PerPixel));
    m_ui->Logo->setAlignment(Qt::AlignRight | Qt::AlignTop);
    for (QLabel* l : { m_ui->RagSociale, m_ui->Indirizzo, m_ui->Cap, m_ui->Piva, m_ui->Tel, m_ui->Periodo })
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);

    connect(m_ui->Stampa, &QPushButton::clicked, this, &Lavagna::Stampa_Click);
    connect(m_ui->esci, &QPushButton::clicked, this, &Lavagna::esci_Click);
    Applica();
}

Lavagna::~Lavagna() = default;

QFont Lavagna::Carattere(double punti, bool grassetto, int scala)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    // 20 twips a point; `scala` twips a unit of the device drawn on.
    f.setPixelSize(std::max(1, int(std::lround(punti * 20 / scala))));
    f.setBold(grassetto);
    return f;
}

void Lavagna::InserisciDatiTestata(const QString& legenda)
{
    const Configurazione::Lettura lettura = Configurazione::Leggi(m_sessione.PercorsoArchivio);
    QImage logo;
    if (lettura.riga && lettura.dati.VisualizzaLogo && !lettura.fileLogo.isEmpty())
        logo.load(lettura.fileLogo);
    // The legend's height on the page, wrapped to the page width at the printed size.
    const QFontMetricsF metrica(Carattere(PuntiLegenda, false, 1));
    const int larghezza = PaginaLavagna::LarghezzaFinestra - 2 * m_pagina.LabelInfo.left;
    const qreal altezza
        = metrica.boundingRect(QRectF(0, 0, larghezza, 1e6), Qt::TextWordWrap, legenda).height();
    // One line keeps the designed height; more lines take what they need.
    const int necessaria = altezza > metrica.lineSpacing() * 1.5 ? int(std::ceil(altezza)) + 40 : 0;
    PaginaLavagna::InserisciDatiTestata(
        m_pagina, lettura.riga ? &lettura.dati : nullptr, logo, legenda, necessaria);
    Applica();
}

void Lavagna::PreparaPagina(const FotoGriglia& foto, const QString& periodo)
{
    m_foto = foto;
    const QScreen* schermo = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect area = schermo ? schermo->geometry() : QRect(0, 0, 1024, 768);
    PaginaLavagna::PreparaPagina(m_pagina, foto.dimensione(), periodo, area.size() * Twips::PerPixel);
    Applica();
    m_ui->ImmagineStampa->setPixmap(ImmagineGriglia());
    move(area.topLeft() + QPoint(Twips::pixel(m_pagina.left), Twips::pixel(m_pagina.top)));
}

void Lavagna::Applica()
{
    const PaginaLavagna::Pagina& p = m_pagina;
    resize(Twips::pixel(p.width), Twips::pixel(p.height));
    const auto applica = [](QWidget* w, const PaginaLavagna::Controllo& c) {
        w->setGeometry(Pixel(c.rettangolo()));
        w->setVisible(c.visibile);
    };
    applica(m_ui->FStampa, p.FStampa);
    const QList<std::pair<QLabel*, const PaginaLavagna::Controllo*>> testi { { m_ui->RagSociale,
                                                                                 &p.RagSociale },
        { m_ui->Indirizzo, &p.Indirizzo }, { m_ui->Cap, &p.Cap }, { m_ui->Piva, &p.Piva },
        { m_ui->Tel, &p.Tel }, { m_ui->Periodo, &p.Periodo }, { m_ui->LabelInfo, &p.LabelInfo } };
    for (const auto& [etichetta, controllo] : testi) {
        applica(etichetta, *controllo);
        etichetta->setText(controllo->testo);
    }
    applica(m_ui->Logo, p.Logo);
    if (p.Logo.visibile && !p.immagineLogo.isNull()) {
        const QSize box = Pixel(p.Logo.rettangolo()).size();
        QPixmap logo = QPixmap::fromImage(
            p.immagineLogo.scaled(box * devicePixelRatioF(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        logo.setDevicePixelRatio(devicePixelRatioF());
        m_ui->Logo->setPixmap(logo);
    }
    applica(m_ui->ImmagineStampa, p.ImmagineStampa);
    m_ui->FStampa->raise();
}

QPixmap Lavagna::ImmagineGriglia() const
{
    const QSize dimensione = Pixel(m_pagina.ImmagineStampa.rettangolo()).size();
    if (dimensione.isEmpty())
        return {};
    const qreal dpr = devicePixelRatioF();
    QPixmap immagine(dimensione * dpr);
    immagine.setDevicePixelRatio(dpr);
    immagine.fill(Qt::white);
    QPainter painter(&immagine);
    painter.setRenderHint(QPainter::TextAntialiasing);
    m_foto.Disegna(painter, QRectF(QPointF(0, 0), QSizeF(dimensione)));
    return immagine;
}

void Lavagna::DisegnaPagina(QPainter& painter, const QRectF& area) const
{
    DisegnaPagina(painter, area, m_pagina, m_foto);
}

void Lavagna::DisegnaPagina(
    QPainter& painter, const QRectF& area, const PaginaLavagna::Pagina& p, const FotoGriglia& foto)
{
    if (p.width <= 0 || p.height <= 0)
        return;
    const qreal scala = std::min(area.width() / p.width, area.height() / p.height);
    painter.save();
    painter.translate(area.topLeft());
    // From here on in twips of the window.
    painter.scale(scala, scala);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);

    const auto testo
        = [&painter](const PaginaLavagna::Controllo& c, double punti, bool grassetto, int allineamento) {
              if (!c.visibile || c.testo.isEmpty())
                  return;
              painter.setFont(Carattere(punti, grassetto, 1));
              painter.drawText(QRectF(c.rettangolo()), allineamento, c.testo);
          };
    const int riga = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    testo(p.RagSociale, PuntiRagSociale, true, riga);
    for (const PaginaLavagna::Controllo* c : { &p.Indirizzo, &p.Cap, &p.Piva, &p.Tel })
        testo(*c, PuntiIntestazione, false, riga);
    if (p.Logo.visibile && !p.immagineLogo.isNull())
        painter.drawImage(Adatta(p.immagineLogo.size(), QRectF(p.Logo.rettangolo())), p.immagineLogo);
    testo(p.Periodo, PuntiPeriodo, true, riga);
    testo(p.LabelInfo, PuntiLegenda, false, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
    if (p.ImmagineStampa.visibile)
        foto.Disegna(painter, QRectF(p.ImmagineStampa.rettangolo()));
    painter.restore();
}

void Lavagna::showEvent(QShowEvent* evento)
{
    QDialog::showEvent(evento);
    Form_Activate();
}

void Lavagna::Form_Activate()
{
    // After the first page was printed the others print themselves as soon as they show.
    if (m_sessione.StampaInCorso)
        QTimer::singleShot(0, this, [this] {
            if (isVisible())
                Stampa_Click();
        });
}

void Lavagna::Stampa_Click()
{
    m_ui->FStampa->hide();
    const bool stampata = m_stampa && m_stampa(*this);
    if (!stampata) {
        // Not printed (file choice cancelled, printer refused): the page stays open to try again
        // or leave, and leaving ends the print.
        m_sessione.StampaInCorso = false;
        m_ui->FStampa->show();
        return;
    }
    m_sessione.StampaInCorso = true;
    accept();
}

void Lavagna::esci_Click()
{
    reject();
}

void Lavagna::done(int esito)
{
    AnteprimaChiusa = true;
    QDialog::done(esito);
}
