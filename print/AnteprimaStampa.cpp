#include "print/AnteprimaStampa.h"

#include "print/PreviewPages.h"
#include "print/PreviewView.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace velmora {
namespace {
constexpr double screenShare = 0.85; // of the available screen the window first takes
} // namespace

AnteprimaStampa::AnteprimaStampa(std::unique_ptr<PreviewPages> pages, QWidget *parent)
    : QDialog(parent), m_pages(std::move(pages)) {
    setObjectName(QStringLiteral("AnteprimaStampa"));
    setWindowTitle(QStringLiteral("Anteprima di stampa"));
    m_view = new PreviewView(*m_pages, this);
    m_view->setObjectName(QStringLiteral("vistaPagine"));
    m_view->setAccessibleName(QStringLiteral("Pagine da stampare"));

    m_bar = new QWidget(this);
    auto *bar = new QHBoxLayout(m_bar);
    bar->setContentsMargins(0, 0, 0, 0);
    QToolButton *first =
        addButton("cmdPrima", QStringLiteral("« &Prima"), QStringLiteral("Prima pagina"));
    QToolButton *previous = addButton("cmdPrecedente", QStringLiteral("‹ Pr&ecedente"),
                                      QStringLiteral("Pagina precedente"));
    auto *pageLabel = new QLabel(QStringLiteral("Pa&gina"), m_bar);
    m_pageBox = new QSpinBox(m_bar);
    m_pageBox->setObjectName(QStringLiteral("txtPagina"));
    m_pageBox->setAccessibleName(QStringLiteral("Pagina mostrata"));
    m_pageBox->setRange(1, m_view->pageCount());
    pageLabel->setBuddy(m_pageBox);
    bar->addWidget(pageLabel);
    bar->addWidget(m_pageBox);
    m_ofPages = new QLabel(QStringLiteral("di %1").arg(m_view->pageCount()), m_bar);
    m_ofPages->setObjectName(QStringLiteral("lblPagine"));
    bar->addWidget(m_ofPages);
    QToolButton *next = addButton("cmdSuccessiva", QStringLiteral("&Successiva ›"),
                                  QStringLiteral("Pagina successiva"));
    QToolButton *last =
        addButton("cmdUltima", QStringLiteral("&Ultima »"), QStringLiteral("Ultima pagina"));
    bar->addSpacing(12);
    QToolButton *smaller =
        addButton("cmdRiduci", QStringLiteral("&Riduci"), QStringLiteral("Riduci l'ingrandimento"));
    QToolButton *larger = addButton("cmdIngrandisci", QStringLiteral("&Ingrandisci"),
                                    QStringLiteral("Aumenta l'ingrandimento"));
    QToolButton *whole = addButton("cmdPaginaIntera", QStringLiteral("Pagina i&ntera"),
                                   QStringLiteral("Mostra le pagine intere"));
    whole->setCheckable(true);
    whole->setChecked(true);
    QToolButton *two = addButton("cmdDuePagine", QStringLiteral("&Due pagine"),
                                 QStringLiteral("Due pagine affiancate"));
    two->setCheckable(true);
    bar->addStretch();
    QToolButton *print =
        addButton("cmdStampa", QStringLiteral("S&tampa…"), QStringLiteral("Stampa le cartelle"));
    QToolButton *close =
        addButton("cmdChiudi", QStringLiteral("&Chiudi"), QStringLiteral("Chiudi l'anteprima"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(m_view, 1);

    connect(first, &QToolButton::clicked, this, [this] { showPage(0); });
    connect(previous, &QToolButton::clicked, this,
            [this] { showPage(m_view->currentPage() - (m_view->twoPages() ? 2 : 1)); });
    connect(next, &QToolButton::clicked, this,
            [this] { showPage(m_view->currentPage() + (m_view->twoPages() ? 2 : 1)); });
    connect(last, &QToolButton::clicked, this, [this] { showPage(m_view->pageCount() - 1); });
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int shown) {
        if (shown - 1 != m_view->currentPage()) {
            m_view->setCurrentPage(shown - 1);
        }
    });
    connect(m_view, &PreviewView::currentPageChanged, this,
            [this](int page) { m_pageBox->setValue(page + 1); });
    connect(smaller, &QToolButton::clicked, this, [this, whole] {
        m_view->zoomOut();
        whole->setChecked(false);
    });
    connect(larger, &QToolButton::clicked, this, [this, whole] {
        m_view->zoomIn();
        whole->setChecked(false);
    });
    connect(whole, &QToolButton::toggled, m_view, &PreviewView::setFitToWindow);
    connect(two, &QToolButton::toggled, m_view, &PreviewView::setTwoPages);
    connect(print, &QToolButton::clicked, this, [this] { done(Stampa); });
    connect(close, &QToolButton::clicked, this, [this] { done(Chiudi); });
    connect(
        m_view, &PreviewView::drawingFailed, this,
        [this](const QString &reason) { QMessageBox::warning(this, windowTitle(), reason); },
        Qt::QueuedConnection);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        resize((screen->availableSize() * screenShare).expandedTo(QSize(640, 480)));
    }
    m_view->setFocus();
}

AnteprimaStampa::~AnteprimaStampa() = default;

QToolButton *AnteprimaStampa::addButton(const char *name, const QString &caption,
                                        const QString &accessible) {
    auto *button = new QToolButton(m_bar);
    button->setText(caption);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(accessible);
    button->setToolTip(accessible);
    button->setFocusPolicy(Qt::StrongFocus); // reached with Tab, as every command
    m_bar->layout()->addWidget(button);
    return button;
}

void AnteprimaStampa::showPage(int page) {
    m_view->setCurrentPage(page);
    m_view->setFocus();
}

} // namespace velmora
