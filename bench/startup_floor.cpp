// The floor of the start-up benchmark: a Qt Widgets program that shows one window of the
// splash screen's size and nothing else, and ends when that window is closed. With --text
// the window also holds one label in the splash's font, sized to its text before the
// window shows, as the splash's labels are: a second floor, for the cost of fonts.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Start-up floor"));
    window.setFixedSize(402, 227);
    if (QApplication::arguments().contains(QStringLiteral("--text"))) {
        auto* label = new QLabel(QStringLiteral("Nimbolt"), &window);
        QFont font(QStringLiteral("Comic Sans MS"));
        font.setPointSizeF(18);
        font.setBold(true);
        label->setFont(font);
        label->resize(label->sizeHint());
    }
    window.show();
    return QApplication::exec();
}
