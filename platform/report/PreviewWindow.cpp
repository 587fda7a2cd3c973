#include "platform/report/PreviewWindow.h"

#include "platform/report/PagePainter.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

namespace report {

// One page on white paper at the zoom factor; counts what it paints (property
// "paginasDibujadas") so that tests can see that only the page on screen is drawn.
class PageView : public QWidget {
public:
    PageView(Document &doc, QWidget *parent) : QWidget(parent), m_doc(doc) {
        setObjectName(QStringLiteral("pagina"));
        setProperty("paginasDibujadas", 0);
    }
    void setPage(int page) {
        m_page = page;
        update();
    }
    void setZoom(double zoom) {
        m_zoom = zoom;
        const double k = scale();
        setFixedSize(int(m_doc.pageWidth * k) + 1, int(m_doc.pageHeight * k) + 1);
        update();
    }
    double scale() const { return m_zoom * logicalDpiX() / 72.0; }
    double zoom() const { return m_zoom; }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        if (m_page < 0 || m_page >= m_doc.pageCount())
            return;
        paintPage(p, m_doc, m_page, scale());
        setProperty("paginasDibujadas", property("paginasDibujadas").toInt() + 1);
        setProperty("ultimaPagina", m_page);
    }

private:
    Document &m_doc;
    int m_page = 0;
    double m_zoom = 1;
};

PreviewWindow::PreviewWindow(const QString &title, Layouter &layouter, PrintAction print,
                             SaveAction save, QWidget *parent)
    : QDialog(parent), m_layouter(layouter), m_print(std::move(print)), m_save(std::move(save)) {
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(title);
    setModal(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    auto *main = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    auto button = [&](const QString &text, const QString &accessible) {
        auto *b = new QPushButton(text, this);
        b->setAccessibleName(accessible);
        b->setAutoDefault(false);
        bar->addWidget(b);
        return b;
    };
    m_first = button(QStringLiteral("Primera"), QStringLiteral("Primera página"));
    m_prior = button(QStringLiteral("Anterior"), QStringLiteral("Página anterior"));
    m_pageBox = new QSpinBox(this);
    m_pageBox->setObjectName(QStringLiteral("numeroPagina"));
    m_pageBox->setAccessibleName(QStringLiteral("Página"));
    m_pageBox->setMinimum(1);
    bar->addWidget(m_pageBox);
    m_count = new QLabel(this);
    bar->addWidget(m_count);
    m_next = button(QStringLiteral("Siguiente"), QStringLiteral("Página siguiente"));
    m_last = button(QStringLiteral("Última"), QStringLiteral("Última página"));
    m_zoom = new QComboBox(this);
    m_zoom->setObjectName(QStringLiteral("zoom"));
    m_zoom->setAccessibleName(QStringLiteral("Zoom"));
    m_zoom->addItems({QStringLiteral("Página completa"), QStringLiteral("Ancho de página"),
                      QStringLiteral("50 %"), QStringLiteral("75 %"), QStringLiteral("100 %"),
                      QStringLiteral("150 %"), QStringLiteral("200 %")});
    bar->addWidget(m_zoom);
    bar->addStretch();
    QPushButton *printButton = button(QStringLiteral("Imprimir"), QStringLiteral("Imprimir"));
    QPushButton *saveButton = button(QStringLiteral("Guardar PDF"), QStringLiteral("Guardar PDF"));
    QPushButton *close = button(QStringLiteral("Cerrar"), QStringLiteral("Cerrar"));
    main->addLayout(bar);

    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new PageView(m_layouter.document(), m_scroll);
    m_scroll->setWidget(m_view);
    main->addWidget(m_scroll, 1);
    resize(900, 1000);

    connect(m_first, &QPushButton::clicked, this, [this] { goToPage(0); });
    connect(m_prior, &QPushButton::clicked, this, [this] { goToPage(m_page - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { goToPage(m_page + 1); });
    connect(m_last, &QPushButton::clicked, this, [this] {
        finishLayout();
        goToPage(m_layouter.document().pageCount() - 1);
    });
    // The arrows and PgUp/PgDn move the page at once; a typed number when it is complete
    // (Enter or leaving the box).
    m_pageBox->setKeyboardTracking(false);
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int n) { goToPage(n - 1); });
    // Chosen again, a fitting zoom fits again.
    connect(m_zoom, &QComboBox::activated, this, &PreviewWindow::setZoom);
    connect(m_zoom, &QComboBox::currentIndexChanged, this, &PreviewWindow::setZoom);
    // A fitting zoom follows the window's size.
    m_scroll->installEventFilter(this);
    connect(printButton, &QPushButton::clicked, this, &PreviewWindow::print);
    connect(saveButton, &QPushButton::clicked, this, &PreviewWindow::save);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(&m_idle, &QTimer::timeout, this, &PreviewWindow::layOutMore);
    m_zoom->setCurrentIndex(1);
    setZoom(1);
    refresh();
    if (!m_layouter.finished())
        m_idle.start(0);
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::fail() {
    m_error = std::current_exception();
    m_idle.stop();
    reject();
}

// A slice of the remaining layout, short enough to keep the window responsive.
void PreviewWindow::layOutMore() {
    try {
        QElapsedTimer t;
        t.start();
        while (!m_layouter.finished() && t.elapsed() < 30)
            for (int i = 0; i < 50 && m_layouter.step(); ++i) {
            }
    } catch (...) {
        fail();
        return;
    }
    if (m_layouter.finished()) {
        m_idle.stop();
        m_view->update(); // "%n" is known now
    }
    refresh();
}

void PreviewWindow::finishLayout() {
    if (m_layouter.finished())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        m_layouter.runToEnd();
    } catch (...) {
        QApplication::restoreOverrideCursor();
        fail();
        return;
    }
    QApplication::restoreOverrideCursor();
    m_idle.stop();
    m_view->update();
    refresh();
}

void PreviewWindow::goToPage(int page) {
    Document &doc = m_layouter.document();
    // A page not yet laid out is laid out now.
    if (page >= doc.pageCount() - 1 && !m_layouter.finished()) {
        try {
            m_layouter.runUntil(page + 1);
        } catch (...) {
            fail();
            return;
        }
    }
    m_page = std::clamp(page, 0, std::max(0, doc.pageCount() - 1));
    m_view->setPage(m_page);
    m_scroll->verticalScrollBar()->setValue(0);
    refresh();
}

void PreviewWindow::refresh() {
    const Document &doc = m_layouter.document();
    const int n = doc.pageCount();
    m_pageBox->blockSignals(true);
    m_pageBox->setMaximum(std::max(1, n));
    m_pageBox->setValue(m_page + 1);
    m_pageBox->blockSignals(false);
    m_count->setText(m_layouter.finished() ? QStringLiteral("de %1").arg(n)
                                           : QStringLiteral("de %1…").arg(n));
    m_first->setEnabled(m_page > 0);
    m_prior->setEnabled(m_page > 0);
    m_next->setEnabled(m_page < n - 1 || !m_layouter.finished());
    m_last->setEnabled(m_page < n - 1 || !m_layouter.finished());
}

bool PreviewWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_scroll && event->type() == QEvent::Resize && m_zoom->currentIndex() < 2)
        setZoom(m_zoom->currentIndex());
    return QDialog::eventFilter(watched, event);
}

void PreviewWindow::setZoom(int index) {
    const Document &doc = m_layouter.document();
    const double dpi = m_view->logicalDpiX() / 72.0;
    // The room of the scroll area itself, not of its viewport: the viewport narrows when a
    // scroll bar shows, and a fit measured on it would change the scroll bars it depends on.
    const int frame = 2 * m_scroll->frameWidth() + 4;
    const QSize room = m_scroll->size() - QSize(frame, frame);
    double z = 1;
    switch (index) {
    case 0:
        z = std::min(room.width() / (doc.pageWidth * dpi), room.height() / (doc.pageHeight * dpi));
        break;
    case 1:
        z = room.width() / (doc.pageWidth * dpi);
        // A page taller than the room brings the vertical scroll bar: the width left beside it.
        if (doc.pageHeight * dpi * z > room.height())
            z = (room.width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
                                                     m_scroll->verticalScrollBar())) /
                (doc.pageWidth * dpi);
        break;
    default: {
        static const double fixed[] = {0.5, 0.75, 1.0, 1.5, 2.0};
        z = fixed[std::clamp(index - 2, 0, 4)];
    }
    }
    m_view->setZoom(std::max(0.1, z));
}

void PreviewWindow::print() {
    finishLayout();
    if (m_error)
        return;
    try {
        m_print(m_layouter.document());
    } catch (...) {
        fail();
    }
}

void PreviewWindow::save() {
    finishLayout();
    if (m_error)
        return;
    QFileDialog dialog(this, QStringLiteral("Guardar PDF"));
    dialog.setObjectName(QStringLiteral("guardarPdf"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("Adobe Acrobat (PDF) (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (!m_proposedFileName.isEmpty())
        dialog.selectFile(m_proposedFileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    try {
        m_save(m_layouter.document(), dialog.selectedFiles().constFirst());
    } catch (...) {
        fail();
    }
}

} // namespace report
