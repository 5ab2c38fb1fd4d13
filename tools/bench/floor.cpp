// The floor of the benchmark: the least a Qt 5 Widgets program on the panel
// costs. One 1280 x 800 window holding one rich-text label, nothing else.
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(1280, 800);
    auto *label = new QLabel(QStringLiteral("<p style=\"font-size:40px\"><b>Fast Charge</b> &mdash; "
                                            "<span style=\"color:#2e86de\">ready</span></p>"),
                             &window);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(label);
    window.show();
    return app.exec();
}
