#include "platform/report/StatusWindow.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace report {

StatusWindow::StatusWindow(const QString &title, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("StatusWindow"));
    setWindowTitle(title);
    setModal(false);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto *layout = new QVBoxLayout(this);
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("estado"));
    m_label->setMinimumWidth(260);
    m_label->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_label);
}

void StatusWindow::showPage(const QString &format, int page) {
    QString t = format;
    t.replace(QLatin1String("%p"), QString::number(page));
    m_label->setText(t);
    if (!isVisible())
        show();
    if (!m_lastPaint.isValid() || m_lastPaint.elapsed() > 100) {
        m_lastPaint.start();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

QString StatusWindow::text() const {
    return m_label->text();
}

} // namespace report
