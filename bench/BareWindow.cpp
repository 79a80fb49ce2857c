// The baseline of the module's cold start: a bare Qt program that shows an empty window of the
// tool's designed size and quits.

#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(824, 616);
    window.show();
    QCoreApplication::processEvents();
    return 0;
}
