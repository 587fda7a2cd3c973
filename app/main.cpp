#include <QApplication>
#include <QLabel>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Trelmavondis"));
    QLabel window(QStringLiteral("Trelmavondis: programa en construcción."));
    window.setMinimumSize(400, 120);
    window.setAlignment(Qt::AlignCenter);
    window.show();
    return QApplication::exec();
}
