#include <QApplication>

#include "shell/kel_soft.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    kel::KEL_Soft window;
    window.show();
    return app.exec();
}
