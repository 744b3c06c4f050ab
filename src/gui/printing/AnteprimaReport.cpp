#include "AnteprimaReport.h"
#include "gui/printing/EsecuzioneReport.h"

#include "gui/printing/LavoroStampa.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

QString NomeStampante(const Stampante& s)
{
    if (!s.valida())
        return QStringLiteral("Stampante: predefinita del sistema");
    if (s.pdfIntegrata)
        return QStringLiteral("Stampante: %1 (file PDF)").arg(s.nome);
    return QStringLiteral("Stampante: %1").arg(s.nome);
}

QPushButton* Pulsante(const QString& testo, const char* nome, QWidget* genitore)
{
    auto* p = new QPushButton(testo, genitore);
    p->setObjectName(QLatin1String(nome));
    p->setAutoDefault(false);
    return p;
}

} // namespace

AnteprimaReport::AnteprimaReport(
    const Report::Documento& documento, const Stampante& stampante, const QString& titolo, QWidget* parent)
    : AnteprimaReport(
        [documento](QPainter& painter, QPrinter& printer) { Report::Disegna(documento, painter, printer); },
        [documento, stampante, titolo] { return Report::StampaSu(documento, stampante, titolo); }, stampante,
        titolo, parent)
{ }

AnteprimaReport::AnteprimaReport(Disegno disegna, std::function<bool()> stampaReport,
    const Stampante& stampante, const QString& titolo, QWidget* parent)
    : QDialog(parent)
    , m_disegna(std::move(disegna))
    , m_stampa(std::move(stampaReport))
    , m_printer(QPrinter::HighResolution)
{
    // Closing the preview is no return from another window: the main window need not rebuild.
    setProperty("CartaviaPasseggera", true);
    setWindowTitle(titolo.isEmpty() ? QStringLiteral("Anteprima di stampa")
                                    : QStringLiteral("Anteprima di stampa - ") + titolo);
    PaginaAnteprima(m_printer, titolo);

    QPushButton* stampa = Pulsante(QStringLiteral("&Stampa"), "Stampa", this);
    stampa->setDefault(true);
    auto* nomeStampante = new QLabel(NomeStampante(stampante), this);
    nomeStampante->setObjectName(QStringLiteral("Stampante"));
    // Short captions keep the bar within a small screen; the names say what they do.
    m_precedente = Pulsante(QStringLiteral("◀"), "PaginaPrecedente", this);
    m_precedente->setAccessibleName(QStringLiteral("Pagina precedente"));
    m_precedente->setToolTip(QStringLiteral("Pagina precedente (PagSu)"));
    m_successiva = Pulsante(QStringLiteral("▶"), "PaginaSuccessiva", this);
    m_successiva->setAccessibleName(QStringLiteral("Pagina successiva"));
    m_successiva->setToolTip(QStringLiteral("Pagina successiva (PagGiù)"));
    m_pagina = new QLabel(this);
    m_pagina->setObjectName(QStringLiteral("Pagina"));
    QPushButton* riduci = Pulsante(QStringLiteral("−"), "Riduci", this);
    riduci->setAccessibleName(QStringLiteral("Riduci"));
    riduci->setToolTip(QStringLiteral("Riduci (Ctrl+-)"));
    QPushButton* ingrandisci = Pulsante(QStringLiteral("+"), "Ingrandisci", this);
    ingrandisci->setAccessibleName(QStringLiteral("Ingrandisci"));
    ingrandisci->setToolTip(QStringLiteral("Ingrandisci (Ctrl++)"));
    for (QPushButton* p : { m_precedente, m_successiva, riduci, ingrandisci })
        p->setMaximumWidth(p->fontMetrics().height() * 3);
    QPushButton* larghezza = Pulsante(QStringLiteral("Adatta &larghezza"), "AdattaLarghezza", this);
    QPushButton* intera = Pulsante(QStringLiteral("Pagina &intera"), "PaginaIntera", this);
    QPushButton* chiudi = Pulsante(QStringLiteral("&Chiudi"), "Chiudi", this);

    m_anteprima = new QPrintPreviewWidget(&m_printer, this);
    m_anteprima->setObjectName(QStringLiteral("Pagine"));
    m_anteprima->setAccessibleName(QStringLiteral("Pagine dell'anteprima"));
    connect(m_anteprima, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* p) {
        QPainter painter;
        if (painter.begin(p)) {
            m_disegna(painter, *p);
            painter.end();
        }
    });
    connect(m_anteprima, &QPrintPreviewWidget::previewChanged, this, &AnteprimaReport::AggiornaPagina);

    auto* barra = new QHBoxLayout;
    barra->addWidget(stampa);
    barra->addWidget(nomeStampante);
    barra->addStretch(1);
    for (QWidget* w : std::initializer_list<QWidget*> {
             m_precedente, m_pagina, m_successiva, riduci, ingrandisci, larghezza, intera })
        barra->addWidget(w);
    barra->addStretch(1);
    barra->addWidget(chiudi);
    auto* colonna = new QVBoxLayout(this);
    colonna->addLayout(barra);
    colonna->addWidget(m_anteprima, 1);

    connect(stampa, &QPushButton::clicked, this, &AnteprimaReport::Stampa_Click);
    connect(chiudi, &QPushButton::clicked, this, &QDialog::reject);
    // Moving to a page is not reported by the preview (scrolling is).
    connect(m_precedente, &QPushButton::clicked, this, [this] {
        m_anteprima->setCurrentPage(m_anteprima->currentPage() - 1);
        AggiornaPagina();
    });
    connect(m_successiva, &QPushButton::clicked, this, [this] {
        m_anteprima->setCurrentPage(m_anteprima->currentPage() + 1);
        AggiornaPagina();
    });
    connect(riduci, &QPushButton::clicked, this, [this] { m_anteprima->zoomOut(); });
    connect(ingrandisci, &QPushButton::clicked, this, [this] { m_anteprima->zoomIn(); });
    connect(larghezza, &QPushButton::clicked, m_anteprima, &QPrintPreviewWidget::fitToWidth);
    connect(intera, &QPushButton::clicked, m_anteprima, &QPrintPreviewWidget::fitInView);
    for (const auto& [tasto, azione] : { std::pair { QKeySequence(QKeySequence::ZoomIn), ingrandisci },
             std::pair { QKeySequence(QKeySequence::ZoomOut), riduci },
             std::pair { QKeySequence(Qt::Key_PageUp), m_precedente },
             std::pair { QKeySequence(Qt::Key_PageDown), m_successiva } }) {
        auto* scorciatoia = new QShortcut(tasto, this);
        connect(scorciatoia, &QShortcut::activated, azione, &QPushButton::click);
    }

    if (const QScreen* schermo = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect disponibile = schermo->availableGeometry();
        resize(disponibile.width() * 4 / 5, disponibile.height() * 9 / 10);
    }
    m_anteprima->fitToWidth();
    m_anteprima->updatePreview();
    stampa->setFocus();
}

AnteprimaReport::~AnteprimaReport() = default;

void AnteprimaReport::PaginaAnteprima(QPrinter& printer, const QString& titolo)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    LavoroStampa::ImpostaPagina(printer);
    printer.setDocName(titolo);
    printer.setCreator(QStringLiteral("Cartavia"));
}

void AnteprimaReport::AggiornaPagina()
{
    const int pagine = m_anteprima->pageCount();
    const int corrente = m_anteprima->currentPage();
    m_pagina->setText(QStringLiteral("Pag. %1 di %2").arg(corrente).arg(pagine));
    m_precedente->setEnabled(corrente > 1);
    m_successiva->setEnabled(corrente < pagine);
}

void AnteprimaReport::Stampa_Click()
{
    if (!m_stampa())
        return;
    m_stampato = true;
    accept();
}
