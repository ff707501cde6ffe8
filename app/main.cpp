// The program's entry: creates the windows and runs the event loop.
#include <QApplication>

#include "u_main.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Tf_main f_main;
    f_main.show();
    return app.exec();
}
