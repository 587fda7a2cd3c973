#pragma once

#include "platform/report/Layout.h"
#include "platform/report/RunSettings.h"

#include <QDialog>
#include <QTimer>

#include <exception>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace report {

class PageView;

// The modal preview: page navigation, zoom, print and save as PDF. It shows the first page
// as soon as it is laid out and lays the rest out while idle; it draws only the page on
// screen. Child object names (for tests): pagina (the page view), numeroPagina, zoom; buttons
// "Primera", "Anterior", "Siguiente", "Última", "Imprimir", "Guardar PDF", "Cerrar".
class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    // print: asks for printer options and prints the complete document (false: cancelled).
    using PrintAction = std::function<void(const Document &)>;
    using SaveAction = std::function<void(const Document &, const QString &path)>;
    PreviewWindow(const QString &title, Layouter &layouter, PrintAction print, SaveAction save,
                  QWidget *parent = nullptr);
    ~PreviewWindow() override;

    // The file "Guardar PDF" proposes (its folder and name).
    void setProposedFileName(const QString &path) { m_proposedFileName = path; }

    int currentPage() const { return m_page; } // 0-based
    void goToPage(int page);
    // An error raised while laying out or printing from the window; rethrown by the run.
    std::exception_ptr error() const { return m_error; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layOutMore();
    void finishLayout();
    void refresh();
    void setZoom(int index);
    void print();
    void save();
    void fail();

    Layouter &m_layouter;
    PrintAction m_print;
    SaveAction m_save;
    QTimer m_idle;
    int m_page = 0;
    PageView *m_view;
    QScrollArea *m_scroll;
    QSpinBox *m_pageBox;
    QLabel *m_count;
    QComboBox *m_zoom;
    QPushButton *m_first, *m_prior, *m_next, *m_last;
    std::exception_ptr m_error;
    QString m_proposedFileName;
};

} // namespace report
